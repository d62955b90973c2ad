#!/usr/bin/env python3
"""The Windows program on a screen of its own (run it through tools/screen-run): the splash,
centred as the application window places it, then after its five seconds one empty frame; a
second start hands the sample job over and ends, and the frames take the sheets; File > Exit ends
the program. Pixels are compared with the art the build drew. Screenshots of the splash and the
frames go to --shots.

  windows_program_test.py --exe HalvorenKRX.exe --writer write_sample_job.exe --art DIR
                          --shots DIR"""
import argparse
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402
from screen import SAMPLES, WINE, fail, screen_size, geometry  # noqa: E402

# The frame's client area is the system's application-workspace colour (wine's default).
WORKSPACE = (128, 128, 128)


def visible_windows(name_pattern):
    """(id, name) of the visible top-level windows whose names match the pattern."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_pattern],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    windows = []
    for window in found.stdout.decode().split():
        name = subprocess.run(["xdotool", "getwindowname", window], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
        windows.append((window, name.strip()))
    return windows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--writer", required=True)
    parser.add_argument("--art", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    for old in ("failure.png", "windows-splash.png", "windows-frames.png"):
        if os.path.exists(os.path.join(args.shots, old)):
            os.remove(os.path.join(args.shots, old))
    width, height = screen_size()

    written = subprocess.run([WINE, args.writer, SAMPLES], stdout=subprocess.PIPE)
    samples = [line.strip() for line in written.stdout.decode().splitlines() if line.strip()]
    if written.returncode != 0 or len(samples) != 20:
        fail("the sample job was not written: %r" % samples)

    program = subprocess.Popen([WINE, args.exe], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        run(args, program, samples, width, height)
    finally:
        if program.poll() is None:
            program.kill()


def run(args, program, samples, width, height):
    # The splash: the art itself, centred across and a quarter down the work area (the whole
    # screen here), in a window one pixel larger than the picture on every side.
    splash = screen.read_png(os.path.join(args.art, "png213.png"))
    last = [None]

    def splash_shown():
        last[0] = screen.grab()
        return screen.find(last[0], splash)

    found = screen.wait_for(splash_shown, 90)
    if found is None:
        fail("no splash within 90 s", last[0], args.shots)
    expected = ((width - splash.width - 2) // 2, (height - splash.height - 2) // 4)
    if found[:2] != expected:
        fail("splash at %s, expected at %s" % (found[:2], expected), last[0], args.shots)
    screen.write_png(os.path.join(args.shots, "windows-splash.png"), last[0])
    print("splash at %d,%d (%.0f %% of its pixels as drawn)" % (found[0], found[1],
                                                               100 * found[2]))

    # Its timer ends it after five seconds; without files one empty frame opens at the work
    # area less five pixels on every side, titled with the program's name.
    frames = screen.wait_for(lambda: visible_windows("^Halvoren Orvendal$") or None, 30)
    if not frames:
        fail("no empty frame after the splash", screen.grab(), args.shots)
    if len(frames) != 1:
        fail("%d empty frames" % len(frames))
    frame = geometry(frames[0][0])
    if frame != (5, 5, width - 10, height - 10):
        fail("frame at %s" % (frame, ))
    shot = screen.wait_for(lambda: None if screen.find(screen.grab(), splash) else screen.grab(),
                           10)
    if shot is None:
        fail("the splash still shows beside the frame", screen.grab(), args.shots)
    check_frame(args, shot, frame)

    # A second start hands its files over and ends at once; the empty frame takes the first
    # sheet and a new frame opens for the second.
    second = subprocess.run([WINE, args.exe] + samples, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, timeout=60)
    if second.returncode != 0:
        fail("the second start ended with %d" % second.returncode)
    titles = screen.wait_for(
        lambda: sorted(n for _, n in visible_windows("^Halvoren KRX - ")) if len(
            visible_windows("^Halvoren KRX - ")) == 2 else None, 30)
    if titles is None:
        fail("the sheets did not open: %r" % visible_windows("."), screen.grab(), args.shots)
    for web, title in zip((1, 2), titles):
        if "Sample Folder" not in title or "Web %d" % web not in title:
            fail("frame titles %r" % titles)
    if visible_windows("^Halvoren Orvendal$"):
        fail("the empty frame stayed empty")
    time.sleep(1)  # let the frames finish painting
    shot = screen.grab()
    check_frame(args, shot, frame, empty=False)
    screen.write_png(os.path.join(args.shots, "windows-frames.png"), shot)
    print("frames: %s" % "; ".join(titles))

    # File > Exit through the keyboard: the program saves its preferences and ends with 0.
    subprocess.run(["xdotool", "key", "alt+f"], check=True)
    time.sleep(1)
    subprocess.run(["xdotool", "key", "x"], check=True)
    try:
        code = program.wait(timeout=30)
    except subprocess.TimeoutExpired:
        fail("File > Exit did not end the program", screen.grab(), args.shots)
    if code != 0:
        fail("the program ended with %d" % code)
    print("File > Exit ended the program with 0")


def check_frame(args, shot, frame, empty=True):
    """The frame's caption carries the program's icon (its 16-pixel image, as drawn), and its
    client area is the workspace colour while it is empty, the sheet's view once it shows one
    (windows_sheet_view_test.py looks at the view itself)."""
    x, y, w, h = frame
    icon = screen.read_ico(os.path.join(args.art, "icon128.ico"), 16)
    caption = shot.crop(x, y, min(w, 64), 40)
    if screen.find(caption, icon) is None:
        fail("no program icon in the frame's caption", shot, args.shots)
    centre = shot.pixel(x + w // 2, y + h // 2)
    if screen.close(centre, WORKSPACE, 2) != empty:
        fail("the frame's client shows %s" % (centre, ), shot, args.shots)


if __name__ == "__main__":
    main()
