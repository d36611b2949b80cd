#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs: small pictures in the layouts the
picture loader takes (BMP and TGA, paletted, grey, 16, 24 and 32 bits,
run-length coded) and the box model in both model versions.

    fuzz/seeds/make_seeds.py [BOX_MS3D]

Every picture seed starts with the byte that picks its type (0 BMP, 1 TGA).
BOX_MS3D defaults to the generated build/run/models/box.ms3d."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))


def pixel(x, y, side):
    """A gentle slope with a bump, so the heightmap reads varied heights."""
    return (x * 255 // max(side - 1, 1) + y * 7) & 0xFF


def bmp(width, height, bits, palette=None, pixels_row=None, compression=0, masks=None, data=None):
    stride = (width * bits + 31) // 32 * 4
    if data is None:
        rows = []
        for y in reversed(range(height)):
            row = pixels_row(y)
            rows.append(row + b"\0" * (stride - len(row)))
        data = b"".join(rows)
    extra = b"".join(struct.pack("<I", m) for m in masks) if masks else b""
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette or []))
    offset = 14 + 40 + len(extra) + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data), 2835, 2835,
                       len(palette or []), 0)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + extra + pal + data


def tga(width, height, kind, depth, body, colour_map=b"", map_depth=0, descriptor=0x20):
    map_length = len(colour_map) // (map_depth // 8) if map_depth else 0
    header = struct.pack("<BBBHHBHHHHBB", 0, 1 if map_depth else 0, kind, 0, map_length, map_depth, 0, 0,
                         width, height, depth, descriptor)
    return header + colour_map + body


def rle_tga_body(width, height):
    """Runs of repeated pixels and raw packets, one row at a time."""
    out = b""
    for y in range(height):
        out += bytes((0x80 | (width // 2 - 1),)) + bytes((y * 30, 90, 200))
        raw = width - width // 2
        out += bytes((raw - 1,)) + b"".join(bytes((pixel(x, y, width),) * 3) for x in range(raw))
    return out


def seeds():
    side = 5
    grey = [(v, v, v) for v in range(0, 256, 16)]
    yield "bmp24-5x5", 0, bmp(side, side, 24, pixels_row=lambda y: b"".join(
        bytes((pixel(x, y, side), 40, 200)) for x in range(side)))
    yield "bmp8-paletted-4x3", 0, bmp(4, 3, 8, palette=grey, pixels_row=lambda y: bytes(
        (x + y * 4) % 16 for x in range(4)))
    yield "bmp4-9x2", 0, bmp(9, 2, 4, palette=grey, pixels_row=lambda y: bytes(
        ((2 * x) << 4 | (2 * x + 1)) & 0xFF for x in range(5)))
    yield "bmp1-8x2", 0, bmp(8, 2, 1, palette=[(0, 0, 0), (255, 255, 255)], pixels_row=lambda y: bytes((0xA5 ^ y,)))
    yield "bmp32-bitfields-3x3", 0, bmp(3, 3, 32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF),
                                        pixels_row=lambda y: b"".join(bytes((x * 80, y * 80, 9, 255))
                                                                      for x in range(3)))
    yield "bmp16-565-4x2", 0, bmp(4, 2, 16, compression=3, masks=(0xF800, 0x7E0, 0x1F),
                                  pixels_row=lambda y: b"".join(struct.pack("<H", 0x1234 * (x + y)  & 0xFFFF)
                                                                for x in range(4)))
    yield "bmp8-rle-4x2", 0, bmp(4, 2, 8, palette=grey, compression=1,
                                 data=bytes((4, 3, 0, 0, 0, 4, 0, 1, 2, 3, 0, 1)))
    yield "tga24-5x5", 1, tga(side, side, 2, 24, b"".join(
        bytes((pixel(x, y, side), 100, 30)) for y in range(side) for x in range(side)))
    yield "tga24-bottom-up-3x2", 1, tga(3, 2, 2, 24, bytes(range(18)), descriptor=0)
    yield "tga32-alpha-2x2", 1, tga(2, 2, 2, 32, bytes(range(16)), descriptor=0x28)
    yield "tga16-3x2", 1, tga(3, 2, 2, 16, bytes(range(12)))
    yield "tga8-grey-5x5", 1, tga(side, side, 3, 8, bytes(pixel(x, y, side) for y in range(side) for x in range(side)))
    yield "tga8-colourmap-4x2", 1, tga(4, 2, 1, 8, bytes((0, 1, 2, 3, 3, 2, 1, 0)),
                                      colour_map=bytes((0, 0, 255, 0, 255, 0, 255, 0, 0, 90, 90, 90)), map_depth=24)
    yield "tga24-rle-6x3", 1, tga(6, 3, 10, 24, rle_tga_body(6, 3))
    yield "tga8-grey-rle-4x1", 1, tga(4, 1, 11, 8, bytes((0x81, 10, 1, 20, 30)))


def main():
    pictures = os.path.join(here, "image")
    models = os.path.join(here, "ms3d")
    os.makedirs(pictures, exist_ok=True)
    os.makedirs(models, exist_ok=True)
    for name, kind, data in seeds():
        with open(os.path.join(pictures, name), "wb") as f:
            f.write(bytes((kind,)) + data)
    box_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build", "run", "models", "box.ms3d")
    box = open(box_path, "rb").read()
    for version in (3, 4):
        with open(os.path.join(models, "box-v%d.ms3d" % version), "wb") as f:
            f.write(box[:10] + struct.pack("<i", version) + box[14:])
    # The header and the vertex count alone: the reader must stop cleanly.
    with open(os.path.join(models, "box-cut-after-header.ms3d"), "wb") as f:
        f.write(box[:16])


if __name__ == "__main__":
    main()
