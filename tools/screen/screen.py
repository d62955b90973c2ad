"""Pixels of the screen tests: screenshots of the X display (through xwd), the art's PNG files,
and finding a picture on the screen; the windows on the display and the tests' way of failing.
Python 3 standard library only."""
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zlib

# The Windows program's tests: wine, and the folder the sample job is written to.
WINE = shutil.which("wine64") or shutil.which("wine")
SAMPLES = r"C:\samples"


def fail(message, shot=None, shots=None):
    """Ends the test with the message; the screenshot, when given, goes to shots/failure.png."""
    if shot is not None and shots:
        write_png(os.path.join(shots, "failure.png"), shot)
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def screen_size():
    """The size of the screen that tools/screen-run made."""
    width, height = os.environ.get("SCREEN_RUN_SIZE", "1280x800").split("x")
    return int(width), int(height)


def visible_window_ids(name_pattern):
    """The ids of the visible windows whose names match the pattern."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name_pattern],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return found.stdout.decode().split()


def geometry(window):
    """(x, y, width, height) of a window on the screen."""
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                         stdout=subprocess.PIPE, check=True).stdout.decode()
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


class Picture:
    """Rows of pixels, 3 (RGB) or 4 (RGBA) bytes each."""

    def __init__(self, width, height, channels, rows):
        self.width = width
        self.height = height
        self.channels = channels
        self.rows = rows  # list of bytes, one per row

    def pixel(self, x, y):
        row = self.rows[y]
        i = x * self.channels
        return tuple(row[i:i + self.channels])

    def rgb_row(self, y, x0=0, x1=None):
        """The row's RGB bytes from x0 up to x1 (alpha dropped)."""
        x1 = self.width if x1 is None else x1
        row = self.rows[y]
        if self.channels == 3:
            return bytes(row[x0 * 3:x1 * 3])
        out = bytearray()
        for x in range(x0, x1):
            out += row[x * 4:x * 4 + 3]
        return bytes(out)

    def crop(self, x, y, width, height):
        return Picture(width, height, self.channels,
                       [bytes(self.rows[y + j][x * self.channels:(x + width) * self.channels])
                        for j in range(height)])


def grab():
    """A screenshot of the whole screen, put together from the top-level windows bottom to top
    (xwininfo names them top first): a capture of the root alone leaves windows of wine's X11
    driver black."""
    root = parse_xwd(_xwd("-root"))
    canvas = [bytearray(row) for row in root.rows]
    listing = subprocess.run(["xwininfo", "-root", "-children"], check=True,
                             stdout=subprocess.PIPE).stdout.decode("utf-8", "replace")
    for line in reversed(listing.splitlines()):
        found = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$",
                         line)
        if not found or int(found.group(2)) < 2 or int(found.group(3)) < 2:
            continue
        try:
            window = parse_xwd(_xwd("-id", found.group(1)))
        except (subprocess.CalledProcessError, ValueError):
            continue  # not mapped, or gone meanwhile
        _paste(canvas, root.width, root.height, window, int(found.group(4)),
               int(found.group(5)))
    return Picture(root.width, root.height, 3, [bytes(row) for row in canvas])


def _xwd(*args):
    return subprocess.run(["xwd", "-silent"] + list(args), check=True, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout


def _paste(canvas, width, height, picture, x, y):
    x0, x1 = max(0, x), min(width, x + picture.width)
    for j in range(max(0, y), min(height, y + picture.height)):
        if x1 > x0:
            canvas[j][x0 * 3:x1 * 3] = picture.rows[j - y][(x0 - x) * 3:(x1 - x) * 3]


def parse_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, version = fields[0], fields[1]
    if version != 7:
        raise ValueError("not an XWD file of version 7")
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14], fields[15], fields[16]
    colours = fields[19]
    if bits_per_pixel not in (24, 32):
        raise ValueError("only 24- and 32-bit screens are read, not %d-bit" % bits_per_pixel)
    size = bits_per_pixel // 8
    start = header_size + colours * 12
    unpack = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    # Each channel a byte of the pixel's word: slices take them out a whole row at a time.
    if all(s % 8 == 0 for s in shifts):
        offsets = [s // 8 if byte_order == 0 else size - 1 - s // 8 for s in shifts]
        rows = []
        for y in range(height):
            line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * size]
            out = bytearray(width * 3)
            for channel, offset in enumerate(offsets):
                out[channel::3] = line[offset::size]
            rows.append(bytes(out))
        return Picture(width, height, 3, rows)
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * size]
        if size == 3:
            line = b"".join((line[i:i + 3] + b"\0") if byte_order == 0 else
                            (b"\0" + line[i:i + 3]) for i in range(0, len(line), 3))
        values = struct.unpack(unpack + "%dI" % width, line)
        out = bytearray(width * 3)
        for x, v in enumerate(values):
            out[3 * x] = (v >> shifts[0]) & 255
            out[3 * x + 1] = (v >> shifts[1]) & 255
            out[3 * x + 2] = (v >> shifts[2]) & 255
        rows.append(bytes(out))
    return Picture(width, height, 3, rows)


def read_png(path):
    """An 8-bit RGB or RGBA PNG without interlacing, as the project's art tool writes them."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is no PNG file" % path)
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("%s: only 8-bit RGB or RGBA PNG files without interlacing" % path)
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                best = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + best) & 255
        rows.append(bytes(line))
        previous = line
    return Picture(width, height, channels, rows)


def read_ico(path, size):
    """The size x size image of an icon file, as an RGBA picture: 32-bit images only."""
    with open(path, "rb") as f:
        data = f.read()
    _, _, count = struct.unpack("<HHH", data[:6])
    for i in range(count):
        width, height, _, _, _, bits, _, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        if (width or 256) != size or (height or 256) != size:
            continue
        header = struct.unpack("<IiiHH", data[offset:offset + 16])
        if header[4] != 32:
            raise ValueError("%s: only 32-bit icon images are read" % path)
        pixels = offset + header[0]
        stride = size * 4
        rows = []
        for y in range(size):
            line = data[pixels + (size - 1 - y) * stride:pixels + (size - y) * stride]
            out = bytearray(stride)
            out[0::4], out[1::4], out[2::4], out[3::4] = line[2::4], line[1::4], line[0::4], \
                line[3::4]
            rows.append(bytes(out))
        return Picture(size, size, 4, rows)
    raise ValueError("%s has no %d x %d image" % (path, size, size))


def write_png(path, picture):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    colour = 2 if picture.channels == 3 else 6
    raw = b"".join(b"\0" + row for row in picture.rows)
    data = (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", picture.width, picture.height, 8, colour, 0,
                                       0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def close(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def match_share(screen, picture, x, y, tolerance=8, step=3):
    """The share of the picture's opaque pixels (every step-th in each direction) that the
    screen shows at (x, y) within tolerance per channel."""
    if x < 0 or y < 0 or x + picture.width > screen.width or y + picture.height > screen.height:
        return 0.0
    matched = total = 0
    for j in range(0, picture.height, step):
        for i in range(0, picture.width, step):
            p = picture.pixel(i, j)
            if picture.channels == 4 and p[3] < 255:
                continue
            total += 1
            if close(screen.pixel(x + i, y + j), p[:3], tolerance):
                matched += 1
    return matched / total if total else 0.0


def find(screen, picture, tolerance=8, threshold=0.95):
    """Where the screen shows the picture: (x, y, share) of the best place whose share of
    matching pixels reaches the threshold, else None. Candidates come from an exact search for
    a run of the picture's most varied opaque row; so at least that run must be drawn exactly."""
    if not hasattr(picture, "key_run"):
        picture.key_run = _key_run(picture)  # the same for every screenshot searched
    key_y, key_x0, key_x1 = picture.key_run
    if key_y is None:
        return None
    needle = picture.rgb_row(key_y, key_x0, key_x1)
    best = None
    for y in range(screen.height):
        row = screen.rows[y]
        start = row.find(needle)
        while start >= 0:
            if start % 3 == 0:
                x, top = start // 3 - key_x0, y - key_y
                share = match_share(screen, picture, x, top, tolerance)
                if share >= threshold and (best is None or share > best[2]):
                    best = (x, top, share)
            start = row.find(needle, start + 1)
    return best


def _key_run(picture):
    """A run of opaque pixels of the picture with the most colour changes, to search for: the
    longest of 12, 8 or 4 pixels that the picture has."""
    for length in (12, 8, 4):
        best, best_changes = (None, 0, 0), -1
        for y in range(picture.height):
            for x0 in range(0, picture.width - length + 1):
                pixels = [picture.pixel(x, y) for x in range(x0, x0 + length)]
                if picture.channels == 4 and any(p[3] < 255 for p in pixels):
                    continue
                changes = sum(1 for a, b in zip(pixels, pixels[1:]) if a[:3] != b[:3])
                if changes > best_changes:
                    best, best_changes = (y, x0, x0 + length), changes
        if best[0] is not None:
            return best
    return None, 0, 0


def wait_for(what, timeout, interval=0.25):
    """Calls what() until it gives something other than None, or the time runs out (None)."""
    end = time.monotonic() + timeout
    while True:
        found = what()
        if found is not None or time.monotonic() > end:
            return found
        time.sleep(interval)
