#!/usr/bin/env python3
"""The Windows program's separations palette on a screen of its own (run it through
tools/screen-run): started on a sheet of two plates of the sample job, Cyan and Black, the sheet
window opens its separations palette beside the view, one row a plate, Cyan's swatch above
Black's. A click on Cyan's check box hides the plate: a point of the view that only Cyan inks
shows the paper in the next screenshots. The screenshots go to --shots as
windows-separations.png (before the click) and windows-separations-hidden.png (after).

  windows_separations_palette_test.py --exe HalvorenKRX.exe --writer write_sample_job.exe
                                      --art ART_DIR --shots DIR"""
import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402
from screen import SAMPLES, WINE, fail, visible_window_ids as windows, geometry  # noqa: E402

KEY = r"HKCU\Software\Nolt\Orvendal System"
PAPER = (255, 255, 255)  # the default surface colour
ROW = 24  # a separation row of the palette
# From the middle of a row's ink swatch to the middle of its check box.
SWATCH_TO_CHECK_BOX = 21
SHOTS = ("failure.png", "windows-separations.png", "windows-separations-hidden.png")


def cyan(p):
    """Cyan ink on paper: red well below green and blue."""
    return p[0] + 60 < p[1] and p[0] + 80 < p[2]


def dark(p):
    return max(p) < 90


def inside(rect, x, y):
    left, top, width, height = rect
    return left <= x < left + width and top <= y < top + height


def cyan_probe(shot, frame, palette):
    """A point of the view deep inside a patch of Cyan alone (a disc of the sample's front), away
    from the palette; None while the view shows none."""
    left, top, width, height = frame
    reach = 12
    found = []
    for y in range(top + reach, top + height - reach, 4):
        for x in range(left + reach, left + width - reach, 4):
            around = [(x, y), (x - reach, y), (x + reach, y), (x, y - reach), (x, y + reach)]
            if any(inside(palette, i, j) for i, j in around):
                continue
            if all(cyan(shot.pixel(i, j)) for i, j in around):
                found.append((x, y))
    return found[len(found) // 2] if found else None


def swatch_middle(shot, palette, test):
    """The middle of the topmost block of pixels that pass test in the palette's left margin,
    where the rows' ink swatches stand (the ink-type pictures further right have Cyan in them)."""
    left, top, width, height = palette
    points = [(x, y) for y in range(top, top + height) for x in range(left, left + ROW + 6)
              if test(shot.pixel(x, y))]
    if not points:
        return None
    first_y = points[0][1]
    block = [(x, y) for x, y in points if y < first_y + ROW]
    xs = [x for x, _ in block]
    ys = [y for _, y in block]
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--writer", required=True)
    parser.add_argument("--art", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    for old in SHOTS:
        if os.path.exists(os.path.join(args.shots, old)):
            os.remove(os.path.join(args.shots, old))

    written = subprocess.run([WINE, args.writer, SAMPLES], stdout=subprocess.PIPE)
    samples = [line.strip() for line in written.stdout.decode().splitlines() if line.strip()]
    plates = [path for path in samples
              if "_Sheet1_Front_" in path and path.endswith(("_Cyan.krx", "_Black.krx"))]
    if written.returncode != 0 or len(plates) != 2:
        fail("the sample job was not written: %r" % samples)
    # The whole sheet in the window: both pages' discs in view.
    subprocess.run([WINE, "reg", "add", KEY, "/v", "WKRX_ZoomToFitWindowOnOpen", "/t", "REG_BINARY",
                    "/d", "01", "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)

    program = subprocess.Popen([WINE, args.exe] + plates, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        run(args)
    finally:
        if program.poll() is None:
            program.kill()


def run(args):
    frames = screen.wait_for(lambda: windows("^Halvoren KRX - ") or None, 90)
    if not frames:
        fail("no sheet window within 90 s", screen.grab(), args.shots)
    palettes = screen.wait_for(lambda: windows("^Separations$") or None, 30)
    if not palettes or len(palettes) != 1:
        fail("separations palettes: %r" % palettes, screen.grab(), args.shots)
    frame = geometry(frames[0])
    palette = geometry(palettes[0])
    print("frame at %s, palette at %s" % (frame, palette))
    if not inside(frame, palette[0] + palette[2] - 1, palette[1]):
        fail("the palette is not at the frame's right", screen.grab(), args.shots)
    # Without a window manager wine keeps the X stacking of the windows it made only loosely in
    # step with Windows' order, where an owned palette stays above its frame: the X window is
    # raised as Windows would show it, before each screenshot that looks at it (the frame comes
    # up again when the splash goes).
    def grab_with_palette():
        subprocess.run(["xdotool", "windowraise", palettes[0]], check=True)
        time.sleep(0.3)
        return screen.grab()

    # The splash goes after its five seconds; the view's timer draws the sheet meanwhile.
    splash = screen.read_png(os.path.join(args.art, "png213.png"))
    last = [None]

    def ready():
        last[0] = screen.grab()
        if screen.find(last[0], splash):
            return None
        return cyan_probe(last[0], frame, palette)

    probe = screen.wait_for(ready, 60, interval=1)
    if probe is None:
        fail("the view shows no Cyan", last[0], args.shots)

    # Both plates, one row each, in lay-down order: Cyan's swatch, Black's one row below, and
    # no third row. The raised palette paints itself anew meanwhile.
    def painted():
        last[0] = grab_with_palette()
        return swatch_middle(last[0], palette, cyan)

    swatch = screen.wait_for(painted, 30, interval=1)
    shot = last[0]
    if swatch is None:
        fail("no Cyan swatch in the palette", shot, args.shots)
    if not cyan(shot.pixel(*probe)):
        fail("the probe %s is not Cyan: %r" % (probe, shot.pixel(*probe)), shot, args.shots)
    below = (swatch[0], swatch[1] + ROW)
    if not dark(shot.pixel(*below)):
        fail("no Black swatch below Cyan's: %r" % (shot.pixel(*below), ), shot, args.shots)
    if swatch[1] + 2 * ROW < palette[1] + palette[3] - 4:
        fail("the palette has room for a third row", shot, args.shots)
    screen.write_png(os.path.join(args.shots, "windows-separations.png"), shot)
    check_box = (swatch[0] + SWATCH_TO_CHECK_BOX, swatch[1])
    print("Cyan swatch at %s, Black's at %s, probe %s %r" % (swatch, below, probe,
                                                              shot.pixel(*probe)))

    subprocess.run(["xdotool", "mousemove", str(check_box[0]), str(check_box[1]), "click", "1"],
                   check=True)
    # The view's timer redraws the tiles: a loaded machine may take a few screenshots for it.
    def paper_shown():
        last[0] = grab_with_palette()
        return last[0] if screen.close(last[0].pixel(*probe), PAPER, 8) else None

    screen.wait_for(paper_shown, 20, interval=1)
    hidden = last[0]
    screen.write_png(os.path.join(args.shots, "windows-separations-hidden.png"), hidden)
    if not screen.close(hidden.pixel(*probe), PAPER, 8):
        fail("after the click the probe shows %r, not paper" % (hidden.pixel(*probe), ), hidden,
             args.shots)
    if not dark(hidden.pixel(*below)):
        fail("Black's swatch went with Cyan's plate", hidden, args.shots)
    print("after the click on %s the probe shows paper" % (check_box, ))


if __name__ == "__main__":
    main()
