#!/usr/bin/env python3
"""Turns the 24-bit BMPs of the screenshot program into small indexed PNGs.

    bmp_to_png.py IN.bmp OUT.png

Python's standard library only (zlib), so `make screenshots` needs no image
package. A picture of at most 256 colours keeps its colours exactly; one with
more (smoothed glyph edges) gets a median-cut palette of 256 and every pixel
the nearest colour of it, which keeps text readable at a fraction of the size.
"""
import struct
import sys
import zlib


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        raise ValueError(f"{path}: only uncompressed 24-bit BMPs are read")
    bottom_up = height > 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        source_row = height - 1 - y if bottom_up else y
        start = offset + source_row * stride
        row = data[start : start + width * 3]
        # BGR to RGB triples.
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    return width, height, rows


def median_cut(histogram, colours):
    """Up to `colours` representative colours for a {rgb: count} histogram."""
    boxes = [list(histogram.items())]
    while len(boxes) < colours:
        # Split the box with the widest channel range, weighted by its pixels.
        best, best_score, best_channel = None, -1, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                score = spread * sum(n for _, n in box)
                if score > best_score:
                    best, best_score, best_channel = index, score, channel
        if best is None or best_score == 0:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for i, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(
            tuple(round(sum(c[ch] * n for c, n in box) / total) for ch in range(3))
        )
    return palette


def nearest(colour, palette):
    r, g, b = colour
    return min(
        range(len(palette)),
        key=lambda i: (palette[i][0] - r) ** 2 + (palette[i][1] - g) ** 2 + (palette[i][2] - b) ** 2,
    )


def index_image(rows):
    histogram = {}
    for row in rows:
        for colour in row:
            histogram[colour] = histogram.get(colour, 0) + 1
    if len(histogram) <= 256:
        # Most frequent first: the background gets index 0.
        palette = sorted(histogram, key=lambda c: -histogram[c])
        lookup = {c: i for i, c in enumerate(palette)}
    else:
        palette = median_cut(histogram, 256)
        lookup = {c: nearest(c, palette) for c in histogram}
    return palette, [bytes(lookup[c] for c in row) for row in rows]


def write_png(path, width, height, palette, indexed_rows):
    bit_depth = 8
    for depth in (1, 2, 4):
        if len(palette) <= 1 << depth:
            bit_depth = depth
            break
    raw = bytearray()
    for row in indexed_rows:
        raw.append(0)  # filter: none; indexed pictures compress best unfiltered
        if bit_depth == 8:
            raw += row
            continue
        per_byte = 8 // bit_depth
        for start in range(0, width, per_byte):
            value = 0
            for i, index in enumerate(row[start : start + per_byte]):
                value |= index << (8 - bit_depth * (i + 1))
            raw.append(value)

    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    header = struct.pack(">IIBBBBB", width, height, bit_depth, 3, 0, 0, 0)
    plte = b"".join(bytes(c) for c in palette)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"PLTE", plte))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        print("usage: bmp_to_png.py IN.bmp OUT.png", file=sys.stderr)
        return 2
    width, height, rows = read_bmp(sys.argv[1])
    palette, indexed = index_image(rows)
    write_png(sys.argv[2], width, height, palette, indexed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
