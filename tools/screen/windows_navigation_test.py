#!/usr/bin/env python3
"""The Windows program's navigation palette on a screen of its own (run it through
tools/screen-run): the program started on the sample job's first sheet floats the palette beside
the view; it shows the sheet's thumbnail with the frame of what the view shows drawn over it in the
frame colour. A drag of that frame by the mouse (xdotool) scrolls the view: the view's pixels
change and the palette's frame stands where it was dropped. The screenshots go to --shots as
windows-navigation.png (before) and windows-navigation-moved.png (after).

  windows_navigation_test.py --exe HalvorenKRX.exe --writer write_sample_job.exe --shots DIR"""
import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402
from screen import SAMPLES, WINE, fail, geometry, visible_window_ids as visible  # noqa: E402

# The default frame colour: yellow, fully covering.
FRAME = (255, 255, 0)
DRAG = (24, 16)


def frame_box(shot, area):
    """The bounding box (left, top, right, bottom) of the frame-coloured pixels in area, or None
    when there are too few to be a frame."""
    x0, y0, w, h = area
    xs, ys = [], []
    for y in range(max(y0, 0), min(y0 + h, shot.height)):
        for x in range(max(x0, 0), min(x0 + w, shot.width)):
            if screen.close(shot.pixel(x, y), FRAME, 2):
                xs.append(x)
                ys.append(y)
    if len(xs) < 40:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def colours_inside(shot, box):
    left, top, right, bottom = box
    seen = set()
    for y in range(top + 2, bottom - 2, 2):
        for x in range(left + 2, right - 2, 2):
            seen.add(shot.pixel(x, y))
    return seen


def view_pixels(shot, palette):
    """A sample of the screen left of the palette, where the view lies."""
    x0 = max(palette[0] - 400, 0)
    return [shot.pixel(x, y) for y in range(150, 500, 7) for x in range(x0, palette[0] - 10, 7)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--writer", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    for old in ("failure.png", "windows-navigation.png", "windows-navigation-moved.png"):
        if os.path.exists(os.path.join(args.shots, old)):
            os.remove(os.path.join(args.shots, old))

    written = subprocess.run([WINE, args.writer, SAMPLES], stdout=subprocess.PIPE)
    samples = [line.strip() for line in written.stdout.decode().splitlines() if line.strip()]
    sheet = [path for path in samples if "_Sheet1_" in path]
    if written.returncode != 0 or not sheet:
        fail("the sample job was not written: %r" % samples)

    program = subprocess.Popen([WINE, args.exe] + sheet, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        run(args)
    finally:
        if program.poll() is None:
            program.kill()


def run(args):
    palettes = screen.wait_for(lambda: visible("^Navigation$") or None, 90)
    if not palettes:
        fail("no navigation palette within 90 s", screen.grab(), args.shots)
    area = geometry(palettes[0])
    # Without a window manager wine does not restack an owned window above its owner on X when
    # the owner comes up later (the splash's end activates the frame): raised here, on X alone,
    # it stays as wine drew it and the frame stays the active window.
    time.sleep(7)
    subprocess.run(["xdotool", "windowraise", palettes[0]], check=True)
    print("palette at %d,%d, %d x %d" % area)

    # The splash goes after its five seconds; the view's first paint gives the palette its frame.
    last = [None]

    def framed():
        last[0] = screen.grab()
        box = frame_box(last[0], area)
        return box if box and len(colours_inside(last[0], box)) >= 3 else None

    box = screen.wait_for(framed, 60, interval=1)
    if box is None:
        fail("the palette shows no thumbnail with a frame over it", last[0], args.shots)
    before = last[0]
    screen.write_png(os.path.join(args.shots, "windows-navigation.png"), before)
    print("frame at %d,%d to %d,%d" % box)
    if box[2] - box[0] >= area[2] - 4 or box[3] - box[1] >= area[3] - 4:
        fail("the frame covers the whole thumbnail: nothing to drag", before, args.shots)
    # Outside the frame the veiled thumbnail, not the workspace alone.
    outside = set(before.pixel(x, box[3] + 3) for x in range(box[0], box[2]))
    outside |= set(before.pixel(box[2] + 3, y) for y in range(box[1], box[3]))
    if len(outside) < 2:
        fail("nothing of the thumbnail shows outside the frame", before, args.shots)

    # The drag: press inside the frame, move in steps, release.
    cx, cy = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    subprocess.run(["xdotool", "mousemove", str(cx), str(cy)], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "mousedown", "1"], check=True)
    for step in range(1, 5):
        time.sleep(0.15)
        subprocess.run(["xdotool", "mousemove", str(cx + DRAG[0] * step // 4),
                        str(cy + DRAG[1] * step // 4)], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "mouseup", "1"], check=True)

    def moved():
        last[0] = screen.grab()
        now = frame_box(last[0], area)
        if now is None:
            return None
        if abs(now[0] - box[0] - DRAG[0]) <= 2 and abs(now[1] - box[1] - DRAG[1]) <= 2:
            return now
        return None

    after_box = screen.wait_for(moved, 30, interval=1)
    if after_box is None:
        fail("the frame did not move by the drag", last[0], args.shots)

    def view_changed():
        last[0] = screen.grab()
        return last[0] if view_pixels(last[0], area) != view_pixels(before, area) else None

    after = screen.wait_for(view_changed, 30, interval=1)
    if after is None:
        fail("the view did not scroll", last[0], args.shots)
    # The view's paint put the frame where the drag left it.
    final = frame_box(after, area)
    if final is None or abs(final[0] - after_box[0]) > 2 or abs(final[1] - after_box[1]) > 2:
        fail("the view's new place does not match the dropped frame", after, args.shots)
    screen.write_png(os.path.join(args.shots, "windows-navigation-moved.png"), after)
    print("frame moved to %d,%d to %d,%d; the view scrolled" % final)


if __name__ == "__main__":
    main()
