#!/usr/bin/env python3
"""Generates Pikora's pictures and its default sound.

Writes src/res/*.ico, src/res/*.bmp and src/res/pu.wav from nothing but
geometry, using only the standard library, so the output is the same on every
run. The generated files are committed; run this again after changing a
drawing:

    python3 tools/make_assets.py [--preview DIR]

With --preview, every picture is also written as an enlarged PNG into DIR.
"""

import argparse
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "src", "res")

# Samples per pixel along each axis; odd, so one sample sits on the centre.
SUPERSAMPLE = 5


# ---------------------------------------------------------------------------
# Signed distance functions (negative inside), in drawing units.


def sd_ellipse(px, py, cx, cy, rx, ry):
    x, y = (px - cx) / rx, (py - cy) / ry
    k0 = math.hypot(x, y)
    k1 = math.hypot(x / rx, y / ry)
    if k1 == 0.0:
        return -min(rx, ry)
    return k0 * (k0 - 1.0) / k1


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_polygon(px, py, pts):
    d = (px - pts[0][0]) ** 2 + (py - pts[0][1]) ** 2
    inside = False
    n = len(pts)
    j = n - 1
    for i in range(n):
        ex, ey = pts[j][0] - pts[i][0], pts[j][1] - pts[i][1]
        wx, wy = px - pts[i][0], py - pts[i][1]
        t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
        bx, by = wx - ex * t, wy - ey * t
        d = min(d, bx * bx + by * by)
        c1 = py >= pts[i][1]
        c2 = py < pts[j][1]
        c3 = ex * wy > ey * wx
        if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
            inside = not inside
        j = i
    return -math.sqrt(d) if inside else math.sqrt(d)


def sd_round_box(px, py, x0, y0, x1, y1, radii):
    """Box with per-corner radii (top-left, top-right, bottom-right, bottom-left)."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
    qx, qy = px - cx, py - cy
    if qx < 0:
        r = radii[0] if qy < 0 else radii[3]
    else:
        r = radii[1] if qy < 0 else radii[2]
    ax, ay = abs(qx) - hx + r, abs(qy) - hy + r
    outside = math.hypot(max(ax, 0.0), max(ay, 0.0))
    return min(max(ax, ay), 0.0) + outside - r


def sd_segment(px, py, ax, ay, bx, by, r):
    ex, ey = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
    return math.hypot(wx - ex * t, wy - ey * t) - r


def smooth_union(a, b, k):
    h = max(k - abs(a - b), 0.0) / k
    return min(a, b) - h * h * k / 4.0


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def over(dst, src, alpha):
    return mix(dst, src, alpha)


# ---------------------------------------------------------------------------
# Rendering: each drawing maps a point to an (r, g, b) colour or None
# (transparent). A pixel is the average of its samples.


def render(width, height, scene, scale):
    """Returns rows of (r, g, b, coverage); the scene works in units where the
    picture is `width * scale` wide."""
    rows = []
    n = SUPERSAMPLE
    for y in range(height):
        row = []
        for x in range(width):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    ux = (x + (sx + 0.5) / n) * scale
                    uy = (y + (sy + 0.5) / n) * scale
                    c = scene(ux, uy, scale)
                    if c is None:
                        continue
                    hits += 1
                    for i in range(3):
                        acc[i] += c[i]
            if hits:
                row.append(tuple(acc[i] / hits for i in range(3)) + (hits / (n * n),))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------
# Speech balloons for the program and tray icons (drawn in a 32-unit square).

BALLOON_STYLES = {
    "orange": {
        "outline": (140, 58, 0),
        "top": (255, 200, 96),
        "bottom": (246, 128, 16),
        "shine": (255, 246, 214),
    },
    "grey": {
        "outline": (72, 72, 76),
        "top": (226, 226, 230),
        "bottom": (150, 150, 156),
        "shine": (255, 255, 255),
    },
    "red": {
        "outline": (112, 0, 0),
        "top": (255, 128, 116),
        "bottom": (212, 24, 24),
        "shine": (255, 226, 220),
    },
}

LOGO_FACE = (255, 255, 255)


def balloon_distance(x, y, unit):
    body = sd_ellipse(x, y, 16.0, 13.2, 14.6, 11.2)
    # The tail is thickened by about a pixel so its tip survives at 16 x 16.
    tip = 0.55 * unit
    tail = sd_polygon(x, y, [(7.6, 18.0), (14.6, 21.6), (4.4 + tip, 30.4 - tip)]) - tip
    return smooth_union(body, tail, 2.5)


def logo_distance(x, y):
    """A stylised capital P, upright, sitting left of the balloon's centre."""
    stem = sd_round_box(x, y, 10.6, 5.4, 14.2, 21.0, (0.8, 0.0, 0.8, 0.8))
    bowl = sd_round_box(x, y, 12.0, 5.4, 21.6, 15.0, (0.0, 4.6, 4.6, 0.0))
    counter = sd_round_box(x, y, 14.2, 8.4, 18.2, 12.0, (0.0, 1.8, 1.8, 0.0))
    return max(min(stem, bowl), -counter)


def balloon_scene(style, with_logo):
    pal = BALLOON_STYLES[style]

    def scene(x, y, unit):
        d = balloon_distance(x, y, unit)
        if d > 0.0:
            return None
        # Keep the outline about one pixel wide at every size.
        width = max(1.25, 1.1 * unit)
        if d > -width:
            return pal["outline"]
        c = mix(pal["top"], pal["bottom"], (y - 3.0) / 22.0)
        shine = sd_ellipse(x, y, 10.5, 7.6, 5.4, 2.6)
        if shine < 0.0:
            c = over(c, pal["shine"], 0.75 * min(1.0, -shine / 1.2))
        if with_logo:
            shadow = logo_distance(x - 1.1, y - 1.1)
            face = logo_distance(x, y)
            if face < 0.0:
                c = LOGO_FACE
            elif shadow < 0.0:
                c = pal["outline"]
        return c

    return scene


# ---------------------------------------------------------------------------
# Item-list pictures: a page and a key, 17 x 17 pixels on the window colour.

PAGE_EDGE = (88, 88, 96)
PAGE_FILL = (255, 255, 255)
PAGE_FOLD = (214, 218, 226)
PAGE_LINE = (160, 168, 184)
KEY_EDGE = (118, 78, 0)
KEY_FILL = (242, 190, 40)
KEY_SHINE = (255, 236, 150)
BACKGROUND = (255, 255, 255)

# Pixel centres lie at .5, so edges on .5 come out one crisp pixel wide.
PAGE_L, PAGE_T, PAGE_R, PAGE_B, FOLD = 1.5, 1.5, 12.5, 15.5, 4.0
SHEAR = 0.3


def page_layer(c, x, y):
    body = sd_polygon(
        x,
        y,
        [(PAGE_L, PAGE_T), (PAGE_R - FOLD, PAGE_T), (PAGE_R, PAGE_T + FOLD), (PAGE_R, PAGE_B), (PAGE_L, PAGE_B)],
    )
    if body > 0.5:
        return c
    if body > -0.5:
        return PAGE_EDGE
    fold = sd_polygon(x, y, [(PAGE_R - FOLD, PAGE_T), (PAGE_R, PAGE_T + FOLD), (PAGE_R - FOLD, PAGE_T + FOLD)])
    if fold < 0.5:
        return PAGE_EDGE if fold > -0.5 else PAGE_FOLD
    for row, right in ((4, 8), (7, 11), (10, 11), (13, 8)):
        if row <= y < row + 1 and 4 <= x < right:
            return PAGE_LINE
    return PAGE_FILL


def key_layer(c, x, y):
    """An upright key, ring at the top, teeth to the right at the bottom."""
    ring = sd_circle(x, y, 12.5, 5.5, 3.5)
    hole = sd_circle(x, y, 12.5, 5.5, 0.75)
    shaft = sd_round_box(x, y, 11.0, 8.0, 14.0, 17.0, (0.0, 0.0, 0.0, 0.0))
    teeth = sd_round_box(x, y, 13.0, 11.0, 16.0, 16.0, (0.0, 0.0, 0.0, 0.0))
    notch = sd_round_box(x, y, 14.0, 13.0, 17.0, 14.0, (0.0, 0.0, 0.0, 0.0))
    shape = max(min(ring, shaft, teeth), -notch)
    if shape > 0.0:
        return c
    # At this size the hole reads best as one dark pixel rather than a gap.
    if shape > -1.0 or hole < 0.0:
        return KEY_EDGE
    shine = sd_circle(x, y, 11.0, 4.0, 0.8)
    if shine < 0.0:
        return KEY_SHINE
    return KEY_FILL


def unshear(x, y, cy):
    # Slanting leans the top to the right, like italic type.
    return x - SHEAR * (cy - y), y


def item_scene(slanted_page, key):
    def scene(x, y, unit):
        c = BACKGROUND
        px, py = unshear(x - 1.5, y, 8.5) if slanted_page else (x, y)
        c = page_layer(c, px, py)
        if key == "upright":
            c = key_layer(c, x, y)
        elif key == "slanted":
            kx, ky = unshear(x, y, 12.0)
            c = key_layer(c, kx + 1.0, ky)
        return c

    return scene


# ---------------------------------------------------------------------------
# Colour reduction.


def median_cut(colours, count):
    """colours: dict rgb -> weight. Returns up to `count` representative colours."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        best, best_range, best_axis = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for axis in range(3):
                vals = [c[axis] for c, _ in box]
                r = max(vals) - min(vals)
                w = sum(wt for _, wt in box)
                score = r * math.sqrt(w)
                if score > best_range:
                    best, best_range, best_axis = i, score, axis
        if best is None or best_range <= 0:
            break
        box = sorted(boxes.pop(best), key=lambda cw: (cw[0][best_axis], cw[0]))
        total = sum(wt for _, wt in box)
        acc, cut = 0, 1
        for k, (_, wt) in enumerate(box):
            acc += wt
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes.append(box[:cut])
        boxes.append(box[cut:])
    result = []
    for box in boxes:
        w = sum(wt for _, wt in box)
        result.append(tuple(int(round(sum(c[i] * wt for c, wt in box) / w)) for i in range(3)))
    return sorted(set(result))


def nearest(palette, c):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = 3 * (p[0] - c[0]) ** 2 + 4 * (p[1] - c[1]) ** 2 + 2 * (p[2] - c[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def quantise(rows, bits):
    """Returns (palette, index rows, mask rows); index 0 is black, used under
    transparent pixels."""
    colours = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 0.5:
                key = (int(round(r)), int(round(g)), int(round(b)))
                colours[key] = colours.get(key, 0) + 1
    slots = (1 << bits) - 1
    if len(colours) <= slots:
        palette = sorted(colours)
    else:
        palette = median_cut(colours, slots)
    palette = [(0, 0, 0)] + [p for p in palette if p != (0, 0, 0)]
    palette += [(0, 0, 0)] * ((1 << bits) - len(palette))
    indices, mask = [], []
    cache = {}
    for row in rows:
        irow, mrow = [], []
        for r, g, b, a in row:
            if a >= 0.5:
                key = (int(round(r)), int(round(g)), int(round(b)))
                if key not in cache:
                    cache[key] = nearest(palette, key)
                irow.append(cache[key])
                mrow.append(0)
            else:
                irow.append(0)
                mrow.append(1)
        indices.append(irow)
        mask.append(mrow)
    return palette, indices, mask


# ---------------------------------------------------------------------------
# File formats.


def pack_bits(values, bits):
    """Packs one row of pixel values MSB first and pads it to 4 bytes."""
    out = bytearray()
    acc, used = 0, 0
    for v in values:
        acc = (acc << bits) | v
        used += bits
        if used == 8:
            out.append(acc)
            acc, used = 0, 0
    if used:
        out.append(acc << (8 - used))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def ico_image(rows, bits):
    h = len(rows)
    w = len(rows[0])
    palette, indices, mask = quantise(rows, bits)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    xor = b"".join(pack_bits(indices[y], bits) for y in reversed(range(h)))
    and_mask = b"".join(pack_bits(mask[y], 1) for y in reversed(range(h)))
    data = header + pal + xor + and_mask
    header = struct.pack("<BBBBHHI", w % 256, h % 256, 16 if bits == 4 else 0, 0, 1, bits, len(data))
    preview = [
        [palette[indices[y][x]] + (0 if mask[y][x] else 255,) for x in range(w)] for y in range(h)
    ]
    return header, data, preview


def write_ico(path, images):
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for header, data, _ in images:
        out += header + struct.pack("<I", offset)
        offset += len(data)
    for _, data, _ in images:
        out += data
    write_file(path, bytes(out))


def write_bmp(path, rows):
    h = len(rows)
    w = len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(h)):
        line = bytearray()
        for r, g, b, _ in rows[y]:
            line += bytes((int(round(b)), int(round(g)), int(round(r))))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    write_file(path, file_header + info + bytes(pixels))


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def write_png(path, pixels, zoom):
    """pixels: rows of (r, g, b, a); enlarged by nearest neighbour over a
    checkerboard so transparency shows."""
    h = len(pixels)
    w = len(pixels[0])
    raw = bytearray()
    for y in range(h * zoom):
        raw.append(0)
        for x in range(w * zoom):
            r, g, b, a = pixels[y // zoom][x // zoom]
            if a == 0:
                light = ((x // 4) + (y // 4)) % 2 == 0
                r = g = b = 236 if light else 200
            raw += bytes((int(r), int(g), int(b)))

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    ihdr = struct.pack(">IIBBBBB", w * zoom, h * zoom, 8, 2, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    write_file(path, png)


# ---------------------------------------------------------------------------
# The "pu" sound.

RATE = 22050


def make_pu():
    duration = 0.19
    n = int(RATE * duration)
    attack = 0.006
    release = 0.02
    peak = 0.5  # -6 dBFS
    samples = []
    phase = 0.0
    for i in range(n):
        t = i / RATE
        # A short downward glide gives the blip its soft "pu" shape.
        freq = 940.0 + 260.0 * math.exp(-t / 0.025)
        phase += 2.0 * math.pi * freq / RATE
        tone = math.sin(phase) + 0.18 * math.sin(2.0 * phase) + 0.05 * math.sin(3.0 * phase)
        env = math.exp(-t / 0.045)
        if t < attack:
            env *= 0.5 - 0.5 * math.cos(math.pi * t / attack)
        left = duration - t
        if left < release:
            env *= 0.5 - 0.5 * math.cos(math.pi * max(left, 0.0) / release)
        samples.append(tone * env)
    scale = peak / max(abs(s) for s in samples)
    pcm = [int(round(s * scale * 32767)) for s in samples]
    pcm[0] = 0
    pcm[-1] = 0
    return pcm


def write_wav(path, pcm):
    data = struct.pack("<%dh" % len(pcm), *pcm)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    write_file(path, b"RIFF" + struct.pack("<I", len(body)) + body)


# ---------------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews into DIR")
    args = parser.parse_args()

    icons = {
        "Pikora.ico": [("orange", True, 32, 8), ("orange", True, 32, 4)],
        "history_off.ico": [("grey", False, 32, 4), ("grey", False, 16, 4)],
        "history_on.ico": [("red", False, 32, 4), ("red", False, 16, 4)],
    }
    for name, variants in icons.items():
        images = []
        for style, logo, size, bits in variants:
            rows = render(size, size, balloon_scene(style, logo), 32.0 / size)
            images.append(ico_image(rows, bits))
            if args.preview:
                stem = "%s_%dx%d_%dbit.png" % (name[:-4], size, size, bits)
                write_png(os.path.join(args.preview, stem), images[-1][2], 256 // size)
        write_ico(os.path.join(RES, name), images)

    bitmaps = {
        "item_locked.bmp": item_scene(False, "upright"),
        "item_locked_focus.bmp": item_scene(False, "slanted"),
        "item_normal.bmp": item_scene(False, None),
        "item_normal_focus.bmp": item_scene(True, None),
    }
    for name, scene in bitmaps.items():
        rows = render(17, 17, scene, 1.0)
        write_bmp(os.path.join(RES, name), rows)
        if args.preview:
            pixels = [[(int(round(r)), int(round(g)), int(round(b)), 255) for r, g, b, _ in row] for row in rows]
            write_png(os.path.join(args.preview, name[:-4] + ".png"), pixels, 12)

    write_wav(os.path.join(RES, "pu.wav"), make_pu())


if __name__ == "__main__":
    main()
