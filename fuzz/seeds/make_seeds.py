#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs: small pictures in the layouts of
the formats the picture loader decodes (BMP and TGA, paletted, grey, 16, 24
and 32 bits, run-length coded; PNG grey, paletted, interlaced and 16-bit;
JPEG baseline, progressive and with restart markers) and the box model in
both model versions. It also writes the pictures that once crashed the game
or its fuzzer into fuzz/findings/image.

    fuzz/seeds/make_seeds.py [BOX_MS3D]

Every picture starts with the byte that picks its type (0 BMP, 1 TGA): the
other formats go as BMP, which the loader tells apart by their bytes.
BOX_MS3D defaults to the generated build/run/models/box.ms3d. The JPEG seeds
are encoded by cjpeg (Debian's libjpeg-turbo-progs) from a picture made
here."""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

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


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, depth=8, colour=0, channels=1, extra=b"", interlaced=False):
    """Rows of filter type 0 (Adam7 passes, each row filtered, when interlaced)."""
    sample = depth // 8 if depth >= 8 else 1

    def row(y, xs):
        if depth < 8:  # packed, the leftmost pixel in the high bits
            bits = "".join(format(pixel(x, y, width) >> (8 - depth), "0%db" % depth) for x in xs)
            bits += "0" * (-len(bits) % 8)
            return b"\0" + bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        return b"\0" + b"".join(bytes((pixel(x, y, width),) * (sample * channels)) for x in xs)
    if interlaced:
        passes = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))
        rows = b"".join(row(y, range(x0, width, dx)) for x0, y0, dx, dy in passes if x0 < width
                        for y in range(y0, height, dy))
    else:
        rows = b"".join(row(y, range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 1 if interlaced else 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra + png_chunk(b"IDAT", zlib.compress(rows)) +
            png_chunk(b"IEND", b""))


def gif_empty_image():
    """A GIF whose one image is 0 x 0 pixels: SDL_image's reader wrote
    through a null pointer on it."""
    return (b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff" +
            b"," + struct.pack("<HHHHB", 0, 0, 0, 0, 0) + b"\x02\x02\x44\x01\0;")


def webp_negative_size():
    """A WebP whose RIFF size, plus its header, is negative as an int:
    SDL_image asked malloc for 0xffffffffffff0013 bytes."""
    return b"RIFF" + struct.pack("<I", 0xFFFF000B) + b"WEBPVP8 " + struct.pack("<I", 10) + b"\0\0\0\x9d\x01\x2a" + \
        struct.pack("<HH", 4, 4)


def encoded(tool, args, width, height):
    """A picture encoded by a Debian tool from a PPM made here."""
    ppm = b"P6\n%d %d\n255\n" % (width, height) + b"".join(
        bytes((pixel(x, y, width), 80, 200)) for y in range(height) for x in range(width))
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "in.ppm")
        target = os.path.join(scratch, "out")
        with open(source, "wb") as f:
            f.write(ppm)
        subprocess.run([tool] + args(source, target), check=True, capture_output=True)
        with open(target, "rb") as f:
            return f.read()


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
    yield "png8-grey-5x5", 0, png(side, side)
    yield "png24-interlaced-7x3", 0, png(7, 3, colour=2, channels=3, interlaced=True)
    yield "png4-paletted-transparent-6x2", 0, png(6, 2, depth=4, colour=3, extra=png_chunk(
        b"PLTE", b"".join(bytes((v, 255 - v, 40)) for v in range(0, 256, 16))) + png_chunk(b"tRNS", bytes((0, 128))))
    yield "png16-grey-alpha-3x2", 0, png(3, 2, depth=16, colour=4, channels=2)
    yield "jpeg-8x8", 0, encoded("cjpeg", lambda i, o: ["-quality", "80", "-outfile", o, i], 8, 8)
    yield "jpeg-progressive-grey-9x4", 0, encoded(
        "cjpeg", lambda i, o: ["-progressive", "-grayscale", "-outfile", o, i], 9, 4)
    yield "jpeg-restarts-subsampled-20x18", 0, encoded(
        "cjpeg", lambda i, o: ["-restart", "1", "-sample", "2x2", "-optimize", "-outfile", o, i], 20, 18)


def findings():
    yield "gif-image-0x0", 0, gif_empty_image()
    yield "webp-declares-negative-size", 0, webp_negative_size()


def main():
    pictures = os.path.join(here, "image")
    models = os.path.join(here, "ms3d")
    os.makedirs(pictures, exist_ok=True)
    os.makedirs(models, exist_ok=True)
    found = os.path.join(root, "fuzz", "findings", "image")
    for folder, inputs in ((pictures, seeds()), (found, findings())):
        for name, kind, data in inputs:
            with open(os.path.join(folder, name), "wb") as f:
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
