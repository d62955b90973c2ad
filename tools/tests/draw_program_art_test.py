#!/usr/bin/env python3
"""Runs tools/draw-program-art for both programs into a temporary folder and reads every file
back as its format says: PNG chunks and pixels, BMP headers, icon and cursor directories with hot
spots, icon-family lengths. The file names are what the resource script and the bundle use.
ART_TOOL names the tool (default: beside this folder); ART_WINDRES, when it names a resource
compiler, compiles a script that takes every Windows file."""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.environ.get("ART_TOOL") or os.path.join(HERE, "..", "draw-program-art")
WINDRES = os.environ.get("ART_WINDRES", "")

WIN_ICONS = [128, 311, 312, 313, 314, 315, 321, 322, 323, 324, 325, 331, 332, 333, 334, 341, 342,
             343, 344, 351, 352]
WIN_CURSORS = [401, 402, 403, 404, 405, 406, 407, 411, 412, 413, 414, 415]
MAC_TOOLBAR = ["JobBrowser", "OpenFiles", "AddFiles", "ZoomToFit", "ZoomOut", "ZoomIn",
               "RotateLeft", "RotateRight", "ShowHideEdgeInformation", "PressSheetEdge",
               "BleedEdges", "PageEdges", "PageNumbers", "TypeSafetyEdges", "ShowHideRulers",
               "ShowHideGuides", "PanTool", "MeasureTool", "ZoomTool", "EyedropperTool"]
MAC_FAMILIES = MAC_TOOLBAR[8:16] + [
    "Job", "Signature", "Surface", "SourceFile", "Separation", "WSSingleSided", "WSSheetWise",
    "WSPerfector", "WSWorkNTurn", "WSWorkNTumble", "PageOrientationUp", "PageOrientationDown",
    "PageOrientationLeft", "PageOrientationRight", "InkOpaque", "InkOpaquePressed",
    "InkTransparent", "InkTransparentPressed", "UnknownInk", "Info", "Swap"]
MAC_CURSORS = ["crsr_2001", "crsr_2002", "crsr_2003", "crsr_2004", "CURS_2011", "CURS_2012",
               "CURS_2013", "CURS_2014", "CURS_2021", "CURS_2022"]


def read_png(data):
    """(width, height, rows of RGBA tuples, text chunks); fails on any malformed part."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature"
    at, chunks = 8, []
    while at < len(data):
        length, tag = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert crc == zlib.crc32(tag + body) & 0xFFFFFFFF, "CRC of %r" % tag
        chunks.append((tag, body))
        at += 12 + length
    assert at == len(data) and chunks[0][0] == b"IHDR" and chunks[-1] == (b"IEND", b"")
    width, height, depth, colour, _, _, _ = struct.unpack(">IIBBBBB", chunks[0][1])
    assert (depth, colour) == (8, 6), "8-bit RGBA"
    raw = zlib.decompress(b"".join(body for tag, body in chunks if tag == b"IDAT"))
    stride = 1 + 4 * width
    assert len(raw) == height * stride
    rows = []
    for y in range(height):
        assert raw[y * stride] == 0, "unfiltered rows"
        line = raw[y * stride + 1:(y + 1) * stride]
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
    texts = dict(body.split(b"\0", 1) for tag, body in chunks if tag == b"tEXt")
    return width, height, rows, texts


def read_dib(header, body):
    """(width, height, bits) of a BITMAPINFOHEADER whose pixels are body."""
    size, width, height, planes, bits, compression = struct.unpack("<IiiHHI", header[:20])
    assert size == 40 and planes == 1 and compression == 0 and bits in (24, 32)
    return width, height, bits


def read_bmp(data):
    magic, file_size, _, _, offset = struct.unpack("<2sIHHI", data[:14])
    assert magic == b"BM" and file_size == len(data) and offset == 54
    width, height, bits = read_dib(data[14:54], data[54:])
    assert len(data) - 54 == ((width * bits // 8 + 3) & ~3) * height
    return width, height, bits


def read_icon_file(data):
    """(type, [(width, height, hot spot or planes/bits, opaque(x, y))])."""
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert reserved == 0 and kind in (1, 2) and count >= 1
    images = []
    for i in range(count):
        w, h, colours, _, a, b, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        assert offset + size <= len(data) and colours == 0
        width, height, bits = read_dib(data[offset:offset + 40], None)
        assert (width % 256, height // 2 % 256, bits) == (w, h, 32) and height == 2 * width
        mask_stride = ((width + 31) // 32) * 4
        assert size == 40 + width * width * 4 + mask_stride * width
        xor = data[offset + 40:offset + 40 + width * width * 4]

        def opaque(x, y, xor=xor, width=width):
            return xor[((width - 1 - y) * width + x) * 4 + 3] > 0
        images.append((w or 256, h or 256, (a, b), opaque))
    return kind, images


def read_icns(data):
    """{element tag: PNG width} of an icon family whose lengths add up."""
    assert data[:4] == b"icns" and struct.unpack(">I", data[4:8])[0] == len(data)
    at, sizes = 8, {}
    while at < len(data):
        tag, length = struct.unpack(">4sI", data[at:at + 8])
        assert length > 8 and at + length <= len(data)
        sizes[tag] = read_png(data[at + 8:at + length])[0]
        at += length
    return sizes


def on_drawing(opaque, x, y, size):
    """The hot spot lies on the drawing or touches it."""
    return any(opaque(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)
               if 0 <= x + dx < size and 0 <= y + dy < size)


class ProgramArtTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.files = {}
        for flavour in ("win", "mac"):
            out = os.path.join(cls.temp.name, flavour)
            subprocess.run([sys.executable, TOOL, "--flavour", flavour, "--out", out], check=True)
            listed = subprocess.run([sys.executable, TOOL, "--list", flavour], check=True,
                                    capture_output=True, text=True).stdout.split()
            written = sorted(os.path.relpath(os.path.join(d, f), out)
                             for d, _, names in os.walk(out) for f in names)
            assert sorted(listed) == written, "the list names exactly the files written"
            cls.files[flavour] = {}
            for name in listed:
                with open(os.path.join(out, name), "rb") as f:
                    cls.files[flavour][name] = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def test_windows_files_are_the_resources_ids(self):
        expected = (["bitmap%d.bmp" % i for i in (128, 129, 201, 202)] +
                    ["icon%d.ico" % i for i in WIN_ICONS] +
                    ["cursor%d.cur" % i for i in WIN_CURSORS] + ["png211.png", "png213.png"] +
                    ["de/cursor401.cur", "de/png213.png"])
        self.assertEqual(sorted(expected), sorted(self.files["win"]))

    def test_toolbar_strips_hold_twenty_distinct_glyphs(self):
        win = self.files["win"]
        self.assertEqual((320, 16, 32), read_bmp(win["bitmap128.bmp"]))
        self.assertEqual((320, 16, 24), read_bmp(win["bitmap129.bmp"]))
        self.assertEqual((16, 16, 24), read_bmp(win["bitmap201.bmp"]))
        self.assertEqual(24, read_bmp(win["bitmap202.bmp"])[2])
        body = win["bitmap128.bmp"][54:]
        cells = [b"".join(body[y * 1280 + i * 64:y * 1280 + i * 64 + 64] for y in range(16))
                 for i in range(20)]
        for i, cell in enumerate(cells):
            self.assertTrue(any(cell[3::4]), "glyph %d is drawn" % i)
        self.assertEqual(20, len(set(cells)))

    def test_icons_carry_small_and_large_images(self):
        for i in WIN_ICONS:
            kind, images = read_icon_file(self.files["win"]["icon%d.ico" % i])
            self.assertEqual(1, kind)
            self.assertEqual([16, 32, 48] if i == 128 else [16, 32], [w for w, *_ in images])

    def test_cursors_have_their_hot_spot_on_the_drawing(self):
        for name in ["cursor%d.cur" % i for i in WIN_CURSORS] + ["de/cursor401.cur"]:
            kind, [(w, h, (x, y), opaque)] = read_icon_file(self.files["win"][name])
            self.assertEqual((2, 32, 32), (kind, w, h), name)
            self.assertTrue(x < w and y < h and on_drawing(opaque, x, y, w), name)
        # The eyedropper's spot is its tip, low at the left.
        self.assertEqual((1, 14), read_icon_file(self.files["win"]["cursor407.cur"])[1][0][2])

    def test_pictures_and_german_variants(self):
        win = self.files["win"]
        splash = read_png(win["png213.png"])
        german = read_png(win["de/png213.png"])
        self.assertEqual(splash[:2], german[:2])
        self.assertNotEqual(splash[2], german[2])
        self.assertNotEqual(win["cursor401.cur"], win["de/cursor401.cur"])
        width, height, _, _ = read_png(win["png211.png"])
        # The About window writes its texts from (80, 80) in a band 390 pixels wide, 130 high.
        self.assertGreaterEqual((width, height), (80 + 390, 80 + 130))
        self.assertEqual(win["png213.png"], self.files["mac"]["SplashScreen.png"])

    def test_mac_bundle_files(self):
        mac = self.files["mac"]
        expected = ([n + ".png" for n in MAC_TOOLBAR] + [n + ".icns" for n in MAC_FAMILIES] +
                    [n + ".png" for n in MAC_CURSORS] +
                    ["SplashScreen.png", "AboutScreen.png", "NavigationPreviewImage.png",
                     "HalvorenKRX.icns"])
        self.assertEqual(29, len(MAC_FAMILIES))
        self.assertEqual(sorted(expected), sorted(mac))
        for name in MAC_TOOLBAR:
            self.assertEqual((32, 32), read_png(mac[name + ".png"])[:2], name)
        for name in MAC_FAMILIES + ["HalvorenKRX"]:
            self.assertEqual({b"icp4": 16, b"icp5": 32, b"ic07": 128},
                             read_icns(mac[name + ".icns"]), name)

    def test_mac_cursors_name_their_hot_spot(self):
        for name in MAC_CURSORS:
            width, height, rows, texts = read_png(self.files["mac"][name + ".png"])
            x, y = (int(v) for v in texts[b"HotSpot"].split(b","))
            self.assertEqual((16, 16), (width, height), name)
            self.assertTrue(on_drawing(lambda a, b: rows[b][a][3] > 0, x, y, 16), name)
            if name.startswith("CURS"):  # black and white
                colours = {p[:3] for row in rows for p in row if p[3]}
                self.assertLessEqual(colours, {(0, 0, 0), (255, 255, 255)}, name)

    @unittest.skipUnless(os.path.isfile(WINDRES), "no resource compiler")
    def test_resource_compiler_takes_every_windows_file(self):
        """One script for the program's own files, one for the German library's."""
        kinds = {"bitmap": "BITMAP", "icon": "ICON", "cursor": "CURSOR", "png": "PNG"}
        out = os.path.join(self.temp.name, "win")
        for folder in ("", "de"):
            script = os.path.join(self.temp.name, "art%s.rc" % folder)
            with open(script, "w") as f:
                for name in self.files["win"]:
                    if os.path.dirname(name) == folder:
                        kind, number = re.match(r"([a-z]+)(\d+)\.", os.path.basename(name)).groups()
                        f.write('%s %s "%s"\n' % (number, kinds[kind], name))
            subprocess.run([WINDRES, "-I", out, "-i", script, "-o", script + ".res", "-O", "res"],
                           check=True)


if __name__ == "__main__":
    unittest.main()
