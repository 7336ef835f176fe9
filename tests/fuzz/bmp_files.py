#!/usr/bin/env python3
"""Writes BMP files byte by byte, and makes the seed corpus of the image-loading fuzz target.

    tests/fuzz/bmp_files.py [OUT_DIR]     (default: tests/fuzz/corpus/images)

The seeds are small valid files of every layout the loader meets: 1, 4, 8, 16, 24 and 32 bits,
palettes shorter than the pixel size allows, run-length compression (RLE4, RLE8), rows stored
top first, colour masks, the old 12-byte header and the long 124-byte one. The real-window
test of hostile images imports encode() from here too.
"""

import os
import struct
import sys

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3


def _pack_row(row, bits):
    if bits >= 8:
        data = b"".join(value.to_bytes(4, "little")[:bits // 8] for value in row)
    else:
        per_byte = 8 // bits
        data = bytes(sum(value << (8 - bits * (slot + 1))
                         for slot, value in enumerate(row[start:start + per_byte]))
                     for start in range(0, len(row), per_byte))
    return data + bytes(-len(data) % 4)


def encode(width, height, bits, rows, palette=(), top_down=False, masks=None, info_size=40,
           colors_used=None, compression=BI_RGB):
    """A BMP file of `rows` (top row first): palette indices up to 8 bits, else raw pixel values.

    palette holds 0xRRGGBB colours; masks (red, green, blue) go after a 40-byte header or into a
    longer one; info_size 12 writes the old header with 16-bit sizes and 3-byte palette entries.
    Compressed files hold index 0 throughout: the game turns them down by their header alone.
    """
    stored = list(rows) if top_down else list(reversed(rows))
    if compression in (BI_RLE8, BI_RLE4):
        pixels = b"".join(bytes((len(row), 0)) + b"\x00\x00" for row in stored) + b"\x00\x01"
    else:
        pixels = b"".join(_pack_row(row, bits) for row in stored)
    if info_size == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        entry = 3
    else:
        info = struct.pack("<IiiHHIIiiII", info_size, width, -height if top_down else height, 1,
                           bits, compression, len(pixels), 2835, 2835,
                           len(palette) if colors_used is None else colors_used, 0)
        if masks is not None:
            info += struct.pack("<III", *masks)
            if info_size > 52:
                info += struct.pack("<I", 0)  # no alpha
        info = info.ljust(info_size, b"\x00") if info_size > 40 else info
        entry = 4
    table = b"".join(struct.pack("<I", colour)[:entry] for colour in palette)
    offset = 14 + len(info) + len(table)
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


def seed_corpus():
    """Name -> bytes of every seed file."""
    w, h = 9, 6  # an odd width, so that rows need padding at every pixel size

    def indices(colours):
        return [[(3 * x + 5 * y) % colours for x in range(w)] for y in range(h)]

    def grey(count):
        return [(255 * i // max(count - 1, 1)) * 0x010101 for i in range(count)]

    rgb = [[(40 * x) % 256 << 16 | (50 * y) % 256 << 8 | (90 + 20 * x * y) % 256
            for x in range(w)] for y in range(h)]
    as565 = [[(c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31) for c in row]
             for row in rgb]
    return {
        "bits1.bmp": encode(w, h, 1, indices(2), [0x000000, 0xFFFFFF]),
        "bits4.bmp": encode(w, h, 4, indices(16), grey(16)),
        "bits4-six-colours.bmp": encode(w, h, 4, indices(6), grey(6)),
        "bits8.bmp": encode(w, h, 8, indices(256), grey(256), colors_used=0),
        "bits8-twenty-colours.bmp": encode(w, h, 8, indices(20), grey(20)),
        # The old header has no colour count: its palette always has every colour.
        "bits4-old-header.bmp": encode(w, h, 4, indices(16), grey(16), info_size=12),
        # 5-5-5: the 5-6-5 words without green's lowest bit.
        "bits16.bmp": encode(w, h, 16, [[(c >> 1 & 0x7FE0) | (c & 31) for c in row]
                                        for row in as565]),
        "bits16-565-masks.bmp": encode(w, h, 16, as565, masks=(0xF800, 0x07E0, 0x001F),
                                       compression=BI_BITFIELDS),
        "bits24.bmp": encode(w, h, 24, rgb),
        "bits24-top-down.bmp": encode(w, h, 24, rgb, top_down=True),
        "bits32.bmp": encode(w, h, 32, rgb),
        "bits32-masks-v5.bmp": encode(w, h, 32, [[c << 8 for c in row] for row in rgb],
                                      masks=(0xFF000000, 0x00FF0000, 0x0000FF00),
                                      info_size=124, compression=BI_BITFIELDS),
        "rle8.bmp": encode(w, h, 8, indices(3), grey(3), compression=BI_RLE8),
        "rle4.bmp": encode(w, h, 4, indices(5), grey(5), compression=BI_RLE4),
        "one-pixel.bmp": encode(1, 1, 24, [[0x336699]]),
    }


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus", "images")
    os.makedirs(out_dir, exist_ok=True)
    corpus = seed_corpus()
    for name, data in sorted(corpus.items()):
        with open(os.path.join(out_dir, name), "wb") as out:
            out.write(data)
    print(f"wrote {len(corpus)} seed files to {out_dir}")


if __name__ == "__main__":
    main()
