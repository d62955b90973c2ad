#!/usr/bin/env python3
"""The Windows program's sheet view on a screen of its own (run it through tools/screen-run): with
ZoomToFitWindowOnOpen set in the registry, the program started on the sample job's first sheet
shows it fitted to its window with the rulers around it. Once the tile timer has drawn the
reduced level, the view's pixels match what the same frame draws off screen from the same tiles
(the reference program), and the rulers' zero ticks stand on the sheet's corner. The screenshot
goes to --shots as windows-sheet.png.

  windows_sheet_view_test.py --exe HalvorenKRX.exe --reference WKRX_SheetViewReference.exe
                             --writer write_sample_job.exe --shots DIR"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # the source tree stays as checked out
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import screen  # noqa: E402
from screen import SAMPLES, WINE, fail, screen_size  # noqa: E402

KEY = r"HKCU\Software\Nolt\Orvendal System"
RULER_INK = (0x11, 0x11, 0x11)
RULER = 20


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    parts = data.split(b"\n", 3)
    width, height = (int(v) for v in parts[1].split())
    pixels = parts[3]
    rows = [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]
    return screen.Picture(width, height, 3, rows)


def sheet_windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Halvoren KRX - "],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return found.stdout.decode().split()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--writer", required=True)
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    os.makedirs(args.shots, exist_ok=True)
    for old in ("failure.png", "windows-sheet.png", "windows-sheet-reference.png"):
        if os.path.exists(os.path.join(args.shots, old)):
            os.remove(os.path.join(args.shots, old))
    width, height = screen_size()

    written = subprocess.run([WINE, args.writer, SAMPLES], stdout=subprocess.PIPE)
    samples = [line.strip() for line in written.stdout.decode().splitlines() if line.strip()]
    sheet = [path for path in samples if "_Sheet1_" in path]
    if written.returncode != 0 or not sheet:
        fail("the sample job was not written: %r" % samples)
    subprocess.run([WINE, "reg", "add", KEY, "/v", "WKRX_ZoomToFitWindowOnOpen", "/t", "REG_BINARY",
                    "/d", "01", "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)

    # The frame the program opens: the work area (the whole screen here) less five pixels.
    area = [5, 5, width - 5, height - 5]
    with tempfile.TemporaryDirectory() as scratch:
        ppm = os.path.join(scratch, "reference.ppm")
        drawn = subprocess.run([WINE, args.reference, "Z:" + ppm.replace("/", "\\")] +
                               [str(v) for v in area] + sheet, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, timeout=120)
        if drawn.returncode != 0:
            fail("the reference was not drawn (%d)" % drawn.returncode)
        facts = drawn.stdout.decode().split()
        corner = (int(facts[7]), int(facts[8]))
        reference = read_ppm(ppm)
        screen.write_png(os.path.join(args.shots, "windows-sheet-reference.png"), reference)
    print("reference: %s" % " ".join(facts))

    program = subprocess.Popen([WINE, args.exe] + sheet, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        run(args, reference, corner)
    finally:
        if program.poll() is None:
            program.kill()


def run(args, reference, corner):
    if not screen.wait_for(lambda: sheet_windows() or None, 90):
        fail("no sheet window within 90 s", screen.grab(), args.shots)
    # The splash goes after its five seconds; the timer fills the reduced level in meanwhile.
    last = [None]

    def view_shown():
        last[0] = screen.grab()
        return screen.find(last[0], reference)

    found = screen.wait_for(view_shown, 60, interval=1)
    if found is None:
        fail("the view does not show the sheet as the reference draws it", last[0], args.shots)
    shot = last[0]
    x, y, share = found
    print("view at %d,%d (%.1f %% of its pixels as the reference draws them)" % (x, y,
                                                                                 100 * share))

    # The rulers: button face around, ink on the ticks; the zero ticks meet the sheet's corner.
    face = shot.pixel(x - RULER // 2, y - RULER // 2)
    if screen.close(face, reference.pixel(0, 0), 2):
        fail("no corner box above the view's left", shot, args.shots)
    zero_x = x + corner[0]
    zero_y = y + corner[1]
    if not any(screen.close(shot.pixel(zero_x + d, y - 3), RULER_INK, 2) for d in (-1, 0, 1)):
        fail("no zero tick above the sheet's corner at x %d" % zero_x, shot, args.shots)
    if not any(screen.close(shot.pixel(x - 3, zero_y + d), RULER_INK, 2) for d in (-1, 0, 1)):
        fail("no zero tick beside the sheet's corner at y %d" % zero_y, shot, args.shots)
    screen.write_png(os.path.join(args.shots, "windows-sheet.png"), shot)
    print("rulers' zero ticks at %d and %d" % (zero_x, zero_y))


if __name__ == "__main__":
    main()
