# Draws quillFeed's 16x16 pictures (quillFeed.png, channel.ico, item.ico, link.ico) next to this script; run: python3 res/generate_icons.py
import math
import os
import struct
import zlib

SIZE = 16
SS = 4  # supersampling factor per axis, used for anti-aliased edges

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------- canvas --

def new_canvas():
    """16x16 array of straight-alpha RGBA floats (0..1)."""
    return [[(0.0, 0.0, 0.0, 0.0) for _ in range(SIZE)] for _ in range(SIZE)]


def hexcol(h):
    return tuple(int(h[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def fill(canvas, inside, color):
    """Paint colour (RGB tuple or f(x, y) -> RGB) over every point where
    inside(x, y) is true; edge pixels get partial alpha from supersampling."""
    for py in range(SIZE):
        for px in range(SIZE):
            hits = 0
            for sy in range(SS):
                for sx in range(SS):
                    if inside(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS):
                        hits += 1
            if not hits:
                continue
            a = hits / (SS * SS)
            rgb = color(px + 0.5, py + 0.5) if callable(color) else color
            r0, g0, b0, a0 = canvas[py][px]
            out_a = a + a0 * (1 - a)
            mix = [(c * a + c0 * a0 * (1 - a)) / out_a for c, c0 in zip(rgb, (r0, g0, b0))]
            canvas[py][px] = (mix[0], mix[1], mix[2], out_a)


# ---------------------------------------------------------------- shapes --
# Each shape is a predicate inside(x, y) in pixel coordinates (0..16, y down).

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def quarter_arc(cx, cy, r_in, r_out):
    """Ring between r_in and r_out, only the quarter up and right of (cx, cy)."""
    return lambda x, y: x >= cx and y <= cy and r_in ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out ** 2


def polygon(points):
    """Convex polygon, points listed clockwise on screen (y down)."""
    edges = list(zip(points, points[1:] + points[:1]))
    return lambda x, y: all((bx - ax) * (y - ay) - (by - ay) * (x - ax) >= 0
                            for (ax, ay), (bx, by) in edges)


def stadium_ring(p, q, r_in, r_out):
    """Outline of a capsule: points whose distance to segment p-q lies in [r_in, r_out]."""
    (px, py), (qx, qy) = p, q
    dx, dy = qx - px, qy - py
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = min(max(((x - px) * dx + (y - py) * dy) / length2, 0.0), 1.0)
        d2 = (x - px - t * dx) ** 2 + (y - py - t * dy) ** 2
        return r_in ** 2 <= d2 <= r_out ** 2
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def gradient(top, bottom):
    """Diagonal gradient from the top-left colour to the bottom-right one."""
    t0, t1 = hexcol(top), hexcol(bottom)
    return lambda x, y: tuple(a + (b - a) * (x + y) / (2 * SIZE) for a, b in zip(t0, t1))


# -------------------------------------------------------------- pictures --

WHITE = (1.0, 1.0, 1.0)


def feed_waves(c, cx, cy, dot, arcs):
    """White feed dot and two quarter arcs around the corner point (cx, cy)."""
    fill(c, circle(cx + dot[0], cy - dot[0], dot[1]), WHITE)
    for r_in, r_out in arcs:
        fill(c, quarter_arc(cx, cy, r_in, r_out), WHITE)


def draw_feed():
    """Classic orange feed symbol on a rounded square."""
    c = new_canvas()
    fill(c, rounded_rect(0, 0, 16, 16, 3), hexcol("#c8521a"))
    fill(c, rounded_rect(1, 1, 15, 15, 2.2), gradient("#fcae4c", "#ec6a14"))
    feed_waves(c, 3, 13, (1.5, 1.8), ((5, 7), (9, 11)))
    return c


def draw_channel():
    """Channel: a smaller dot and waves on a round orange disc."""
    c = new_canvas()
    fill(c, circle(8, 8, 7.6), hexcol("#c8521a"))
    fill(c, circle(8, 8, 6.8), gradient("#fcae4c", "#ec6a14"))
    feed_waves(c, 4, 12, (1.4, 1.55), ((4, 5.6), (7.2, 8.8)))
    return c


def draw_item():
    """News sheet: white page with a folded top-right corner and grey text lines."""
    c = new_canvas()
    dark, grey = hexcol("#3c3c3c"), hexcol("#9a9a9a")
    fill(c, polygon([(2, 0), (9, 0), (14, 5), (14, 16), (2, 16)]), dark)
    fill(c, polygon([(3, 1), (8.6, 1), (13, 5.4), (13, 15), (3, 15)]), gradient("#ffffff", "#e4e4e4"))
    fill(c, polygon([(9, 0), (14, 5), (9, 5)]), hexcol("#7a7a7a"))  # folded flap edge
    fill(c, polygon([(10, 2), (12, 4), (10, 4)]), hexcol("#dcdcdc"))  # folded flap
    for y, x0, x1 in ((3, 5, 8), (7, 5, 11), (9, 5, 11), (11, 5, 11), (13, 5, 9)):
        fill(c, rect(x0, y, x1, y + 1), grey)
    return c


def draw_link():
    """Two interlocked chain links on the rising diagonal."""
    c = new_canvas()
    outline = hexcol("#1d3a66")

    def along(t):  # point t pixels from the centre, towards the top-right corner
        return (8 + t / math.sqrt(2), 8 - t / math.sqrt(2))

    def link(seg, metal, clip=lambda x, y: True):
        fill(c, both(stadium_ring(*seg, 0.9, 2.9), clip), outline)
        fill(c, both(stadium_ring(*seg, 1.5, 2.3), clip), metal)

    a, b = (along(-7.0), along(-1.2)), (along(1.2), along(7.0))
    light, deep = gradient("#9cc4f2", "#3a74c0"), gradient("#7aa2d4", "#24528f")
    link(a, light)
    link(b, deep)
    # Repaint link A where it passes over B (upper-left crossing), so they interlock.
    link(a, light, lambda x, y: x + y < 16 and (x - 8) ** 2 + (y - 8) ** 2 < 9)
    return c


# --------------------------------------------------------------- writers --

def to_bytes(canvas):
    """Rows of straight-alpha (r, g, b, a) byte tuples, top row first."""
    rows = []
    for row in canvas:
        out = []
        for r, g, b, a in row:
            if a <= 0:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(int(round(v * 255)) for v in (r, g, b, a)))
        rows.append(out)
    return rows


def write_png(path, canvas):
    rows = to_bytes(canvas)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(path, canvas):
    """One 16x16 32-bit BMP/DIB icon (BGRA bottom-up + 1-bit AND mask)."""
    rows = to_bytes(canvas)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask = b""
    for row in reversed(rows):
        bits = 0
        for r, g, b, a in row:
            bits = (bits << 1) | (1 if a == 0 else 0)  # 1 = fully transparent
        mask += struct.pack(">H", bits) + b"\0\0"        # 16 bits, padded to 4 bytes
    dib = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                      len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(dib), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + dib)


if __name__ == "__main__":
    write_png(os.path.join(HERE, "quillFeed.png"), draw_feed())
    write_ico(os.path.join(HERE, "channel.ico"), draw_channel())
    write_ico(os.path.join(HERE, "item.ico"), draw_item())
    write_ico(os.path.join(HERE, "link.ico"), draw_link())
