#!/usr/bin/env python3
"""Writes the small cursor files of the shell's tests: 32 x 32, monochrome, a black square in
the top left corner. Each argument is NAME:X:Y, the file name and the cursor's hot spot; the
hot spot is what tells the tests whose cursor was loaded."""
import struct
import sys


def cursor_file(hot_x, hot_y):
    size = 32
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    colour = b''
    mask = b''
    for row in range(size):
        y = size - 1 - row  # bottom row first
        transparent = 0
        for x in range(size):
            if not (x < 8 and y < 8):
                transparent |= 1 << (size - 1 - x)
        colour += struct.pack('>I', 0)
        mask += struct.pack('>I', transparent)
    image = header + palette + colour + mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image


def main(folder, specs):
    for spec in specs:
        name, x, y = spec.split(':')
        with open(f'{folder}/{name}', 'wb') as out:
            out.write(cursor_file(int(x), int(y)))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2:])
