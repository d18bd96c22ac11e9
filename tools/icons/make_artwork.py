#!/usr/bin/env python3
"""Writes Quorzel's artwork into the repository: the plugin icons content/data/<plugin>.bmp, the tray
icon shell/resources/quorzel.png and the about picture shell/resources/about.png.

    make_artwork.py            regenerate every file
    make_artwork.py --check    write nothing; fail when a file is missing, malformed or out of date
"""

import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # keep the source folder free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from designs import PLUGIN_ICONS, ROW_BACKGROUND, SELECTED_BACKGROUND, about_picture, plugin_icon, tray_icon  # noqa: E402
from raster import bmp_bytes, png_bytes  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))


def artwork():
    """(path relative to the repository, file bytes, expected width and height) for every file."""
    files = [(f'content/data/{name}.bmp', bmp_bytes(plugin_icon(draw)), (44, 22))
             for name, draw in sorted(PLUGIN_ICONS.items())]
    files.append(('shell/resources/quorzel.png', png_bytes(tray_icon()), (64, 64)))
    files.append(('shell/resources/about.png', png_bytes(about_picture()), (106, 70)))
    return files


def bmp_problems(data, size):
    """Reads the bitmap back on its own terms, as the command list will, and lists what is wrong."""
    if len(data) < 54 or data[:2] != b'BM':
        return ['not a Windows bitmap']
    file_size, offset = struct.unpack_from('<I4xI', data, 2)
    header, width, height, planes, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    problems = []
    if file_size != len(data):
        problems.append(f'header says {file_size} bytes, file has {len(data)}')
    if (header, planes, bits, compression) != (40, 1, 24, 0):
        problems.append('not an uncompressed 24-bit bitmap')
    if (width, height) != size:
        problems.append(f'{width} x {height} instead of {size[0]} x {size[1]}')
    if problems:
        return problems
    row_size = (width * 3 + 3) // 4 * 4

    def pixel(x, y):  # y counted from the top; rows are stored bottom-up
        at = offset + (height - 1 - y) * row_size + x * 3
        b, g, r = data[at:at + 3]
        return (r, g, b)

    # Each frame's corners show its row's background, so the icon sits cleanly in the row.
    for left, background, frame in ((0, ROW_BACKGROUND, 'normal'), (22, SELECTED_BACKGROUND, 'selected')):
        for x, y in ((left, 0), (left + 21, 0), (left, 21), (left + 21, 21)):
            if pixel(x, y) != background:
                problems.append(f'{frame} frame corner ({x}, {y}) is {pixel(x, y)}, not {background}')
    if all(pixel(x, y) == ROW_BACKGROUND for x in range(22) for y in range(22)):
        problems.append('normal frame is empty')
    return problems


def png_problems(data, size):
    if data[:8] != b'\x89PNG\r\n\x1a\n' or data[12:16] != b'IHDR':
        return ['not a PNG file']
    width, height = struct.unpack_from('>II', data, 16)
    return [] if (width, height) == size else [f'{width} x {height} instead of {size[0]} x {size[1]}']


def png_pixels(data):
    """The header and the uncompressed pixel rows: what the picture is, whatever zlib packed it."""
    at, header, packed = 8, b'', b''
    while at + 8 <= len(data):
        length, kind = struct.unpack_from('>I4s', data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            header = body
        elif kind == b'IDAT':
            packed += body
        at += 12 + length
    try:
        return header, zlib.decompress(packed)
    except zlib.error:
        return header, None


def check(files):
    failures = []
    for path, expected, size in files:
        full = os.path.join(ROOT, path)
        if not os.path.exists(full):
            failures.append(f'{path}: missing')
            continue
        with open(full, 'rb') as f:
            data = f.read()
        problems = bmp_problems(data, size) if path.endswith('.bmp') else png_problems(data, size)
        same = data == expected if path.endswith('.bmp') else png_pixels(data) == png_pixels(expected)
        if not same:
            problems.append('differs from what the generator draws: run tools/icons/make_artwork.py')
        failures += [f'{path}: {p}' for p in problems]
    for line in failures:
        print(line, file=sys.stderr)
    if not failures:
        print(f'{len(files)} artwork files are up to date')
    return 1 if failures else 0


def main(argv):
    files = artwork()
    if argv[1:] == ['--check']:
        return check(files)
    if argv[1:]:
        print(__doc__, file=sys.stderr)
        return 2
    for path, data, _ in files:
        full = os.path.join(ROOT, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, 'wb') as f:
            f.write(data)
        print(f'wrote {path}')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
