#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs: small pictures in the layouts the
picture loader takes (BMP and TGA, paletted, grey, 16, 24 and 32 bits,
run-length coded; and one of each other format SDL_image decodes by its
bytes: ICO, CUR, GIF, JPEG, LBM, PCX, PNG, PNM, TIFF, XCF, XPM, XV, WebP) and
the box model in both model versions.

    fuzz/seeds/make_seeds.py [BOX_MS3D]

Every picture seed starts with the byte that picks its type (0 BMP, 1 TGA):
the other formats go as BMP, which SDL_image passes by for their bytes.
BOX_MS3D defaults to the generated build/run/models/box.ms3d. The JPEG and
WebP seeds are encoded by cjpeg and cwebp (Debian's libjpeg-turbo-progs and
webp) from a picture made here."""
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


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(pixel(x, y, width) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def gif(width, height):
    """Four grey levels; every code a literal, with a clear code before the
    table would grow past three bits."""
    codes = []
    for i, value in enumerate(pixel(x, y, width) >> 6 for y in range(height) for x in range(width)):
        if i % 3 == 0:
            codes.append(4)
        codes.append(value)
    codes.append(5)
    bits = sum(code << (3 * i) for i, code in enumerate(codes))
    data = bits.to_bytes((3 * len(codes) + 7) // 8, "little")
    palette = b"".join(bytes((v, v, v)) for v in (0, 85, 170, 255))
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0x81, 0, 0) + palette +
            b"!\xf9\x04\x00\x00\x00\x00\x00" +
            b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02" + bytes((len(data),)) + data + b"\0;")


def pcx(width, height):
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, 8, 0, 0, width - 1, height - 1, 72, 72) + b"\0" * 48
    header += struct.pack("<BBHH", 0, 1, width, 1) + b"\0" * 58
    body = b"".join(bytes((0xC1, pixel(x, y, width))) for y in range(height) for x in range(width))
    palette = b"\x0c" + b"".join(bytes((v, v, v)) for v in range(256))
    return header + body + palette


def tiff(width, height):
    data = bytes(pixel(x, y, width) for y in range(height) for x in range(width))
    entries = [(256, 3, 1, width), (257, 3, 1, height), (258, 3, 1, 8), (259, 3, 1, 1), (262, 3, 1, 1),
               (273, 4, 1, 8), (277, 3, 1, 1), (278, 3, 1, height), (279, 4, 1, len(data))]
    directory = struct.pack("<H", len(entries)) + b"".join(
        struct.pack("<HHII", tag, kind, count, value) for tag, kind, count, value in entries) + b"\0\0\0\0"
    return b"II*\0" + struct.pack("<I", 8 + len(data)) + data + directory


def lbm(width, height):
    def chunk(kind, data):
        return kind + struct.pack(">I", len(data)) + data + (b"\0" if len(data) % 2 else b"")
    stride = (width + 15) // 16 * 16  # a packed row fills whole 16-pixel words
    body = b"".join(bytes(pixel(x, y, width) for x in range(width)) + b"\0" * (stride - width)
                    for y in range(height))
    form = b"PBM " + chunk(b"BMHD", struct.pack(">HHhhBBBBHBBhh", width, height, 0, 0, 8, 0, 0, 0, 0, 1, 1,
                                                width, height))
    form += chunk(b"CMAP", b"".join(bytes((v, v, v)) for v in range(256))) + chunk(b"BODY", body)
    return b"FORM" + struct.pack(">I", len(form)) + form


def icon(width, height, kind):
    inner = bmp(width, height, 32, pixels_row=lambda y: b"".join(bytes((pixel(x, y, width), 60, 9, 255))
                                                                 for x in range(width)))[14:]
    inner = inner[:8] + struct.pack("<i", height * 2) + inner[12:] + b"\0" * (4 * height)  # the mask
    return struct.pack("<HHH", 0, kind, 1) + struct.pack("<BBBBHHII", width, height, 0, 0, 1, 32, len(inner),
                                                          22) + inner


def xcf(width, height):
    """A canvas whose file ends before its list of layers does (the game
    refuses XCF: SDL_image's reader reads on past such an end)."""
    return b"gimp xcf file\0" + struct.pack(">III", width, height, 0) + struct.pack(">II", 0, 0)


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
    yield "gif-4x3", 0, gif(4, 3)
    yield "pcx8-5x2", 0, pcx(side, 2)
    yield "tiff8-grey-4x3", 0, tiff(4, 3)
    yield "lbm-pbm-16x2", 0, lbm(16, 2)
    yield "ico32-4x4", 0, icon(4, 4, 1)
    yield "cur32-4x4", 0, icon(4, 4, 2)
    yield "xcf-cut-short", 0, xcf(6, 4)
    yield "pgm-5x2", 0, b"P5\n# a comment\n5 2\n255\n" + bytes(range(10))
    yield "ppm-ascii-2x2", 0, b"P3 2 2 255\n255 0 0  0 255 0\n0 0 255  9 9 9\n"
    yield "xpm-3x2", 0, (b'/* XPM */\nstatic char *seed[] = {\n"3 2 2 1",\n". c #000000",\n"# c #ff8000",\n'
                         b'".#.",\n"#.#"\n};\n')
    yield "xv-thumbnail-2x2", 0, b"P7 332\n#XVVERSION:Version 2.28\n#END_OF_COMMENTS\n2 2 255\n" + bytes((0, 0xE0, 0x1C, 3))
    yield "jpeg-8x8", 0, encoded("cjpeg", lambda i, o: ["-quality", "80", "-outfile", o, i], 8, 8)
    yield "webp-lossless-4x4", 0, encoded("cwebp", lambda i, o: ["-quiet", "-lossless", i, "-o", o], 4, 4)
    yield "webp-lossy-4x4", 0, encoded("cwebp", lambda i, o: ["-quiet", "-q", "50", i, "-o", o], 4, 4)


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
