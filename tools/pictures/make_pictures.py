#!/usr/bin/env python3
"""Draws every picture of the text pages into HTML/images/.

Run from anywhere:  python3 tools/pictures/make_pictures.py
Needs ImageMagick's convert (drawing) and cjpeg (JPEG files).

Curves that show physics (field lines, paths, orbits) are computed here
from the laws they illustrate, not sketched by hand.  Every label is checked
to stand clear of all other drawing and of the other labels; the script
stops, naming them, if one does not.
"""

import math
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import picture_files as pf  # noqa: E402
import drawing  # noqa: E402
from drawing import FONT_ITALIC, FONT_BOLD  # noqa: E402

# The narrowest text pane (beside the widest topic page) leaves about this much room.
PAGE_WIDTH = 270


def Drawing(w, h, background="white", popup=False):
    return drawing.Drawing(w, h, background, None if popup else PAGE_WIDTH)

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "HTML", "images")

RED = "#d00000"
BLUE = "#0030c0"
GREEN = "#007000"
GREY = "#808080"
PALE = "#fff8d0"


# Labels that sit on drawing, found while saving; main() refuses to finish with any.
CLASHES = []


def check_labels(name, drawing):
    for label, pixels in drawing.clashes():
        where = ("outside the picture" if pixels == -1 else "at the picture's edge" if pixels == -2 else
                 "on another label" if pixels == 0 else "on drawing (%d px)" % pixels)
        CLASHES.append("%s: label %r %s" % (name, label, where))


def save_gif(name, drawing, colours=64):
    check_labels(name, drawing)
    pf.write_gif(os.path.join(OUT, name), [drawing.render(colours=colours)])


def save_bmp(name, drawing, bits=8, colours=128):
    check_labels(name, drawing)
    pic = drawing.render(colours=colours if bits == 8 else None)
    pf.write_bmp(os.path.join(OUT, name), pic, bits)


def save_jpeg(name, drawing, quality=80):
    check_labels(name, drawing)
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "p.ppm")
        drawing.render_to_ppm(ppm)
        pf.write_jpeg(os.path.join(OUT, name), ppm, quality)


def charge(d, x, y, q, r=9):
    d.circle(x, y, r, RED if q > 0 else BLUE, "black")
    d.text(x, y, "+" if q > 0 else "\u2212", 13, "white", FONT_BOLD, "c", on_shape=True)


def arrow_clear(d, points, frac, clear_of, gap, colour, head=7, frame=None):
    """An arrowhead near frac along the line, but at least gap from every point of
    clear_of and inside frame (x0, y0, x1, y1), so no wire or edge hides it."""
    ok = []
    for i in range(1, len(points)):
        x, y = points[i]
        if frame and not (frame[0] + head <= x <= frame[2] - head and frame[1] + head <= y <= frame[3] - head):
            continue
        if all(math.hypot(x - a, y - b) >= gap for a, b in clear_of):
            ok.append(i)
    if not ok:
        return
    want = frac * (len(points) - 1)
    i = min(ok, key=lambda k: abs(k - want))
    (x1, y1), (x2, y2) = points[i - 1], points[i]
    if (x1, y1) != (x2, y2):
        d.arrow_head(x2, y2, math.atan2(y2 - y1, x2 - x1), colour, head)


def dot_symbol(d, x, y, r=6, colour="black"):
    d.circle(x, y, r, "none", colour)
    d.circle(x, y, 1.5, colour, colour)


def cross_symbol(d, x, y, r=6, colour="black"):
    d.circle(x, y, r, "none", colour)
    k = r * 0.7
    d.line(x - k, y - k, x + k, y + k, colour)
    d.line(x - k, y + k, x + k, y - k, colour)


# ---------------------------------------------------------------- electric

def point_field(charges, x, y):
    """E of point charges, 1/r^2 law, in arbitrary units (k = 1)."""
    ex = ey = 0.0
    for cx, cy, q in charges:
        dx, dy = x - cx, y - cy
        r2 = dx * dx + dy * dy
        if r2 < 1e-9:
            return 0.0, 0.0
        r3 = r2 * math.sqrt(r2)
        ex += q * dx / r3
        ey += q * dy / r3
    return ex, ey


def trace(fieldfn, x, y, step, stop, max_steps=4000):
    pts = [(x, y)]
    for _ in range(max_steps):
        ex, ey = fieldfn(x, y)
        m = math.hypot(ex, ey)
        if m < 1e-12:
            break
        # Midpoint step: smoother lines than a plain Euler step.
        mx, my = x + 0.5 * step * ex / m, y + 0.5 * step * ey / m
        ex, ey = fieldfn(mx, my)
        m = math.hypot(ex, ey)
        if m < 1e-12:
            break
        x, y = x + step * ex / m, y + step * ey / m
        pts.append((x, y))
        if stop(x, y):
            break
    return pts


def coulomb():
    d = Drawing(280, 100)
    charge(d, 80, 55, 1)
    charge(d, 200, 55, 1)
    d.arrow(68, 55, 20, 55, RED, 2)
    d.arrow(212, 55, 260, 55, RED, 2)
    d.text(30, 42, "F", 13, RED, FONT_ITALIC, "c")
    d.text(250, 42, "F", 13, RED, FONT_ITALIC, "c")
    d.line(80, 80, 200, 80, GREY, 1)
    d.line(80, 74, 80, 86, GREY)
    d.line(200, 74, 200, 86, GREY)
    d.text(140, 91, "r", 13, "black", FONT_ITALIC, "c")
    d.text(80, 30, "Q\u2081", 13, "black", FONT_ITALIC, "c")
    d.text(200, 30, "Q\u2082", 13, "black", FONT_ITALIC, "c")
    d.text(140, 14, "F = Q\u2081Q\u2082 / 4\u03c0\u03b5\u2080r\u00b2", 12, "black", FONT_ITALIC, "c")
    save_gif("coulomb.gif", d)


def dipole_lines(charges, box, n, step=1.0, r0=9):
    """Field lines of an equal and opposite pair on the x axis, n leaving the +Q.

    Every line from the +Q ends on the -Q at the mirror angle.  A line that leaves the
    box is brought back by tracing its returning half from the -Q against the field.
    Returns [(points, runs along the field)].
    """
    (px, py, _), (nx, ny, _) = charges
    x0, y0, x1, y1 = box

    def field(x, y):
        return point_field(charges, x, y)

    def against(x, y):
        ex, ey = field(x, y)
        return -ex, -ey

    def outside(x, y):
        return not (x0 <= x <= x1 and y0 <= y <= y1)

    def land(pts, cx, cy):
        # End a line that reached a charge on the circle it starts from, as lines leave.
        (xa, ya), (xb, yb) = pts[-2], pts[-1]
        ra, rb = math.hypot(xa - cx, ya - cy), math.hypot(xb - cx, yb - cy)
        if rb < r0 <= ra:
            t = (ra - r0) / (ra - rb)
            pts[-1] = (xa + t * (xb - xa), ya + t * (yb - ya))
        return pts

    lines = []
    for k in range(n):
        a = 2 * math.pi * (k + 0.5) / n
        out = trace(field, px + r0 * math.cos(a), py + r0 * math.sin(a), step,
                    lambda x, y: outside(x, y) or math.hypot(x - nx, y - ny) < r0)
        lines.append((land(out, nx, ny), True))
        if outside(*out[-1]):
            back = trace(against, nx - r0 * math.cos(a), ny + r0 * math.sin(a), step,
                         lambda x, y: outside(x, y) or math.hypot(x - px, y - py) < r0)
            lines.append((land(back, px, py)[::-1], False))
    return lines


def crossings(lines, x):
    """How many times the lines cross the vertical x."""
    n = 0
    for pts, _ in lines:
        for (xa, _), (xb, _) in zip(pts, pts[1:]):
            if (xa - x) * (xb - x) < 0:
                n += 1
    return n


def dipole(labels=True):
    w, h = 280, 220
    fh = 196 if labels else h  # the legend sits below the field's frame
    c, cy, half = 140, 98 if labels else 110, 35
    charges = [(c - half, cy, 1.0), (c + half, cy, -1.0)]
    d = Drawing(w, h)
    d.rect(0, 0, w - 1, fh - 1, "white", GREY)

    def field(x, y):
        return point_field(charges, x, y)

    # Equipotentials: follow the direction at right angles to E.
    def perp(x, y):
        ex, ey = field(x, y)
        return -ey, ex

    for x0 in (c - 80, c - 62, c - 48, c + 48, c + 62, c + 80):
        start = (x0, cy)
        pts = [start]
        x, y = start
        for i in range(3000):
            nxt = trace(perp, x, y, 1.0, lambda a, b: True, 1)
            x, y = nxt[-1]
            pts.append((x, y))
            if i > 20 and math.hypot(x - start[0], y - start[1]) < 1.2:
                break
            if not (0 <= x < w and 0 <= y < fh):
                break
        d.polyline(pts, GREEN, 1, (4, 3))

    lines = dipole_lines(charges, (1, 1, w - 2, fh - 2), 16)
    # An equal and opposite pair is mirror-symmetric about the perpendicular bisector.
    for off in range(5, c, 5):
        left, right = crossings(lines, c - off), crossings(lines, c + off)
        if left != right:
            sys.exit("dipole: %d lines cross x = c - %d, %d cross x = c + %d" % (left, off, right, off))
    for pts, along in lines:
        d.polyline(pts, "black", 1)
        d.arrow_along(pts, 0.35 if along else 0.65, "black", 7)
    charge(d, c - half, cy, 1)
    charge(d, c + half, cy, -1)
    if labels:
        d.line(10, 208, 30, 208, "black")
        d.text(34, 208, "field line", 10)
        d.line(110, 208, 130, 208, GREEN, 1, (4, 3))
        d.text(134, 208, "equipotential", 10, GREEN)
        save_gif("dipole.gif", d)
    return d


def potential_surface():
    """Pop-up: V = sum Q/r over a plane, seen in perspective from above its near edge,
    as the program's own 3-D view shows it."""
    w, h = 420, 300
    d = Drawing(w, h, popup=True)
    n = 36
    cap = 6.0
    # Height of the surface above the plane per unit of V, and the view: the viewer stands
    # off the near edge (y = -0.9), turned a little about the vertical, and looks down.
    k = 0.33 / cap
    turn, elev, dist = math.radians(-22), math.radians(38), 7.0
    # The charges lie square to the line of sight, at one distance from the eye, so that
    # the peak and the pit, equal and opposite, look it.
    charges = [(-0.35 * math.cos(turn), -0.35 * math.sin(turn), 1.0),
               (0.35 * math.cos(turn), 0.35 * math.sin(turn), -1.0)]

    def v(x, y):
        s = 0.0
        for cx, cy, q in charges:
            s += q / max(math.hypot(x - cx, y - cy), 0.06)
        return max(-cap, min(cap, s))

    toward = (math.sin(turn) * math.cos(elev), -math.cos(turn) * math.cos(elev), math.sin(elev))
    right = (math.cos(turn), math.sin(turn), 0.0)
    up = (toward[1] * right[2] - toward[2] * right[1], toward[2] * right[0] - toward[0] * right[2],
          toward[0] * right[1] - toward[1] * right[0])

    def dot(a, b):
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]

    def view(x, y, z):
        p = (x, y, z)
        f = dist / (dist - dot(p, toward))
        return f * dot(p, right), f * dot(p, up), dot(p, toward)

    pot = [[v(-0.9 + 1.8 * i / n, -0.9 + 1.8 * j / n) for j in range(n + 1)] for i in range(n + 1)]
    nodes = [[view(-0.9 + 1.8 * i / n, -0.9 + 1.8 * j / n, k * pot[i][j]) for j in range(n + 1)]
             for i in range(n + 1)]
    # Fit the surface between the caption strips.
    us = [p[0] for row in nodes for p in row]
    vs = [p[1] for row in nodes for p in row]
    top, bottom = 30, h - 26
    scale = min((w - 24) / (max(us) - min(us)), (bottom - top) / (max(vs) - min(vs)))
    ox = w / 2 - scale * (max(us) + min(us)) / 2
    oy = (top + bottom) / 2 + scale * (max(vs) + min(vs)) / 2

    def screen(p):
        return ox + scale * p[0], oy - scale * p[1]

    # Both extremes must be in sight: no part of the surface may rise between the top of
    # the peak (or the bottom of the pit) and the eye.
    eye = tuple(dist * c for c in toward)

    def height(x, y):
        a, b = (x + 0.9) / 1.8 * n, (y + 0.9) / 1.8 * n
        i, j = min(int(a), n - 1), min(int(b), n - 1)
        a, b = a - i, b - j
        return k * ((1 - a) * (1 - b) * pot[i][j] + a * (1 - b) * pot[i + 1][j] +
                    (1 - a) * b * pot[i][j + 1] + a * b * pot[i + 1][j + 1])

    for cx, cy, q in charges:
        p = (cx, cy, k * v(cx, cy))
        for step in range(1, 2000):
            t = step / 2000
            x, y, z = (p[c] + t * (eye[c] - p[c]) for c in range(3))
            if not (-0.9 <= x <= 0.9 and -0.9 <= y <= 0.9):
                break
            if z < height(x, y) - 1e-3:
                sys.exit("potential.jpg: the %s charge's %s is hidden" % ("+" if q > 0 else "-",
                                                                       "peak" if q > 0 else "pit"))
    quads = []
    for i in range(n):
        for j in range(n):
            corners = [nodes[i][j], nodes[i + 1][j], nodes[i + 1][j + 1], nodes[i][j + 1]]
            depth = sum(c[2] for c in corners) / 4
            xm, ym = -0.9 + 1.8 * (i + 0.5) / n, -0.9 + 1.8 * (j + 0.5) / n
            quads.append((depth, [screen(c) for c in corners], v(xm, ym)))
    # Far quads first, so that nearer ones cover them.
    quads.sort(key=lambda q: q[0])
    for _, pts, val in quads:
        t = (val + cap) / (2 * cap)
        r = int(80 + 175 * t)
        b = int(80 + 175 * (1 - t))
        g = int(120 + 100 * (1 - abs(2 * t - 1)))
        d.polygon(pts, "#%02x%02x%02x" % (r, g, b), "#303030", 0.5)
    d.text(10, 14, "Potential V = \u03a3 Q/4\u03c0\u03b5\u2080r of a dipole", 12)
    d.text(10, 288, "peak: near +Q     pit: near \u2212Q     (cut off close to the charges)", 10, GREY)
    save_jpeg("potential.jpg", d, 78)


# ---------------------------------------------------------------- magnetic

def loop_field(loops, x, y, segs=48):
    """B in the plane z = 0 of circular loops about the x axis (Biot-Savart, mu0 I / 4 pi = 1).

    loops: list of (axial position, radius, current).
    """
    bx = by = 0.0
    for x0, r, cur in loops:
        for k in range(segs):
            p = 2 * math.pi * (k + 0.5) / segs
            # Element at (x0, r cos p, r sin p), dl = r dp (0, -sin p, cos p).
            ly, lz = r * math.cos(p), r * math.sin(p)
            dly, dlz = -math.sin(p), math.cos(p)
            rx, ry, rz = x - x0, y - ly, -lz
            r2 = rx * rx + ry * ry + rz * rz
            r3 = r2 * math.sqrt(r2)
            # dl x r, components x and y
            cx = dly * rz - dlz * ry
            cy = dlz * rx
            bx += cur * cx / r3
            by += cur * cy / r3
    return bx, by


def coil_picture(name, loops, w, h, starts, step=1.0, popup=False, top=0, bottom=0):
    """Field lines in a frame between a caption strip of height top and one of bottom."""
    cx, cy = w / 2, top + (h - top - bottom) / 2
    y_lo, y_hi = top, h - 1 - bottom
    d = Drawing(w, h, popup=popup)
    d.rect(0, y_lo, w - 1, y_hi, "white", GREY)
    wires = [(cx + x0, cy + s * r) for x0, r, _ in loops for s in (-1, 1)]

    def field(x, y):
        return loop_field(loops, x - cx, cy - y)

    def field_screen(x, y):
        bx, by = field(x, y)
        return bx, -by

    for y0 in starts:
        # Trace in the right half only, then mirror: the coil is symmetric about
        # its mid-plane and about its axis.  Outside the turns B points back
        # along the axis, so those lines are traced against the field.
        x, y = cx, cy - y0
        s = 1.0 if field_screen(x, y)[0] > 0 else -1.0
        pts = trace(lambda a, b: tuple(s * c for c in field_screen(a, b)), x, y, step,
                    lambda a, b: a < cx or not (1 <= a < w - 1 and y_lo + 1 <= b < y_hi), 6000)
        if pts[-1][0] < cx:
            pts[-1] = (cx, pts[-1][1])
        forward = pts if s > 0 else pts[::-1]
        for sx in (1, -1):
            for sy in (1, -1):
                mirrored = [(cx + sx * (a - cx), cy + sy * (b - cy)) for a, b in forward]
                d.polyline(mirrored, BLUE, 1)
                # Mirroring in the mid-plane reverses the sense of the line.
                along = mirrored if sx == 1 else mirrored[::-1]
                arrow_clear(d, along, 0.5, wires, 18, BLUE, 7, (0, y_lo, w - 1, y_hi))
    for x0, r, _ in loops:
        d.circle(cx + x0, cy - r, 5, "white", RED)
        dot_symbol(d, cx + x0, cy - r, 5, RED)
        d.circle(cx + x0, cy + r, 5, "white", RED)
        cross_symbol(d, cx + x0, cy + r, 5, RED)
    d.line(4, cy, w - 4, cy, GREY, 1, (2, 3))
    return d


def coil():
    d = coil_picture("coil.gif", [(0, 40, 1.0)], 280, 220, [4, 12, 20, 52, 68, 86], top=18, bottom=18)
    d.text(8, 9, "one turn, cut through its centre", 10)
    d.text(8, 211, "current out of page (top), into page (bottom)", 10, RED)
    save_gif("coil.gif", d)


def solenoid():
    loops = [(x, 35, 1.0) for x in range(-70, 71, 20)]
    d = coil_picture("solenoid.gif", loops, 420, 260, [3, 8, 13, 18, 23], 1.5, popup=True,
                     top=20, bottom=18)
    d.text(8, 10, "Field of a short solenoid: 8 turns, cut along the axis", 11)
    d.text(8, 251, "Inside, B is nearly uniform; outside it is weak and spreads out.", 10)
    save_gif("solenoid.gif", d)


def plates():
    w, h = 300, 170
    d = Drawing(w, h)
    top, bot, x0, x1 = 50, 120, 60, 190
    mid = (top + bot) / 2
    d.rect(x0, top - 6, x1, top, "#c0c0c0", "black")
    d.rect(x0, bot, x1, bot + 6, "#c0c0c0", "black")
    d.text(x1 - 12, top - 15, "+", 14, RED, FONT_BOLD)
    d.text(x1 + 6, bot + 3, "\u2212", 14, BLUE, FONT_BOLD)
    for x in range(75, x1, 25):
        d.arrow(x, top + 2, x, bot - 2, "#e08080", 1, 6)
    d.rect(8, mid - 6, 40, mid + 6, "yellow", "black")
    d.text(8, mid + 18, "gun", 10)
    # y = a x^2 with a chosen so the beam leaves near the upper plate; deflection towards +.
    a = 26.0 / (x1 - x0) ** 2
    pts = [(40, mid), (x0, mid)]
    for i in range(1, 61):
        x = (x1 - x0) * i / 60
        pts.append((x0 + x, mid - a * x * x))
    slope = 2 * a * (x1 - x0)
    pts.append((w - 10, mid - a * (x1 - x0) ** 2 - slope * (w - 10 - x1)))
    d.polyline(pts, BLUE, 2)
    d.line(x1, mid, w - 10, mid, GREY, 1, (3, 3))
    d.text(87.5, bot - 10, "E", 13, RED, FONT_ITALIC, "c")
    d.arrow(x0 - 2, 150, x1 + 2, 150, GREY, 1, 6)
    d.arrow(x1 + 2, 150, x0 - 2, 150, GREY, 1, 6)
    # The page's formula gives y at a distance x along the plates; at their end x is their length.
    d.text((x0 + x1) / 2, 160, "x", 13, "black", FONT_ITALIC, "c")
    d.line(30, top, 50, top, GREY)
    d.line(30, bot, 50, bot, GREY)
    d.arrow(40, mid - 10, 40, top, GREY, 1, 5)
    d.arrow(40, mid + 14, 40, bot, GREY, 1, 5)
    d.text(28, top + 12, "d", 12, "black", FONT_ITALIC)
    d.text(150, 16, "parabola between the plates, straight beyond", 10, "black", anchor="c")
    # Dimension line of the deflection y where the beam leaves the plates.
    d.arrow(x1, mid - 1, x1, mid - a * (x1 - x0) ** 2 + 1, GREY, 1, 5)
    d.arrow(x1, mid - a * (x1 - x0) ** 2 + 1, x1, mid - 1, GREY, 1, 5)
    d.text(x1 + 6, mid - 14, "y", 12, "black", FONT_ITALIC)
    save_gif("plates.gif", d)


def circle_path(labels=True):
    w, h = 260, 220
    d = Drawing(w, h)
    fx0 = 70
    d.rect(fx0, 5, w - 5, h - 5, PALE, GREY)
    for x in range(fx0 + 10, w - 5, 18):
        for y in range(14, h - 5, 18):
            d.circle(x, y, 1.3, "black", "black")
    r = 80
    ex, ey = fx0, 170
    cx, cy = fx0, ey - r
    pts = [(10, ey), (ex, ey)]
    for i in range(0, 91):
        t = math.pi / 2 - math.pi * i / 90
        pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    pts.append((cx - 60, cy - r))
    d.polyline(pts, BLUE, 2)
    d.arrow_along(pts, 0.62, BLUE, 8)
    d.circle(cx + r * math.cos(-0.6), cy - r * math.sin(-0.6), 4, "#80c0ff", "black")
    px, py = cx + r * math.cos(-0.6), cy - r * math.sin(-0.6)
    d.arrow(px, py, px + 0.45 * (cx - px), py + 0.45 * (cy - py), RED, 2)
    d.line(cx, cy, cx + r * math.cos(0.9), cy - r * math.sin(0.9), GREY, 1, (3, 2))
    d.circle(cx, cy, 2, "black")
    if labels:
        d.text(px - 10, py - 22, "F", 13, RED, FONT_ITALIC)
        d.text(cx + 34, cy - 14, "r", 13, "black", FONT_ITALIC)
        d.text(14, ey - 12, "v", 13, BLUE, FONT_ITALIC)
        d.text(w - 12, h - 16, "B out of page", 10, "black", anchor="e")
        save_gif("circle.gif", d)
    return d


def b_symbols():
    """Transparent GIF: the page's background shows through."""
    d = Drawing(230, 44, "white")
    dot_symbol(d, 16, 22, 9)
    d.text(32, 22, "B out of page", 11)
    cross_symbol(d, 130, 22, 9)
    d.text(146, 22, "B into page", 11)
    pic = d.render(antialias=False)
    pf.write_gif(os.path.join(OUT, "bsymbols.gif"), [pic], transparent=b"\xff\xff\xff")


def helix_path(r, pitch, turns, steps_per_turn=180):
    """The path of an electron in a uniform B along +x, from the Lorentz force.

    Units with |q|/m = B = 1, so that the electron turns at one radian per unit of time:
    entering at the near side of its circle (0, 0, r) with v = (p / 2 pi, vy, 0), it is
    pushed towards the axis only if q vy > 0, so an electron (q < 0) starts downwards.
    Stepped by exact rotations of the velocity about B; returns [(x, y, z)].
    """
    q, b = -1.0, (1.0, 0.0, 0.0)
    vx, vy, vz = pitch / (2 * math.pi), -r if q < 0 else r, 0.0
    x, y, z = 0.0, 0.0, r
    # dv/dt = q v x B turns v about B at the angular velocity -q B.
    w = -q * b[0]
    dt = 2 * math.pi / steps_per_turn
    c, s = math.cos(w * dt), math.sin(w * dt)
    pts = [(x, y, z)]
    for _ in range(int(turns * steps_per_turn)):
        # Position by the exact circle: the centre is fixed while v turns.
        cy, cz = y - vz / w, z + vy / w
        vy, vz = vy * c - vz * s, vy * s + vz * c
        x, y, z = x + vx * dt, cy + vz / w, cz - vy / w
        pts.append((x, y, z))
    return pts


def helix():
    w, h = 300, 168
    d = Drawing(w, h)
    r, pitch, turns = 30, 76, 3.0
    # Seen from the right of the page, in front and a little above, with B kept level.
    az, el, dist = math.radians(50), math.radians(22), 700.0
    toward = (math.sin(az) * math.cos(el), math.sin(el), math.cos(az) * math.cos(el))
    n = math.hypot(toward[2], toward[1])
    up = (0.0, toward[2] / n, -toward[1] / n)
    right = (up[1] * toward[2] - up[2] * toward[1], up[2] * toward[0] - up[0] * toward[2],
             up[0] * toward[1] - up[1] * toward[0])
    ox, oy = 84, 80

    def proj(x, y, z):
        p = (x, y, z)
        f = dist / (dist - sum(a * b for a, b in zip(p, toward)))
        return ox + f * sum(a * b for a, b in zip(p, right)), oy - f * sum(a * b for a, b in zip(p, up))

    path = helix_path(r, pitch, turns)
    # The half of each turn nearer the eye than the axis is bold, the far half faint; the
    # axis (the B arrow) hides the far halves and the near halves hide it.
    near, far = [], []
    for a, b in zip(path, path[1:]):
        is_near = a[1] * toward[1] + a[2] * toward[2] > 0
        runs = near if is_near else far
        if runs and runs[-1][-1] == proj(*a):
            runs[-1].append(proj(*b))
        else:
            runs.append([proj(*a), proj(*b)])
    for run in far:
        d.polyline(run, "#a0a0dc", 1.5)
    bx0 = proj(-18, 0, 0)
    bx1 = (w - 12, proj(pitch * turns, 0, 0)[1])
    d.line(bx0[0], bx0[1], bx1[0] - 8, bx1[1], "white", 6)
    d.arrow(bx0[0], bx0[1], bx1[0], bx1[1], RED, 2)
    d.text(bx1[0] - 6, bx1[1] - 13, "B", 14, RED, FONT_ITALIC)
    for run in near:
        # The white edge shows where the near half passes in front; not at its ends, where
        # it meets the far half at the same depth.
        d.polyline(run[4:-4], "white", 6)
        d.polyline(run, BLUE, 2)
    # Arrow heads along the motion, where the near halves come closest to the eye.
    per_turn = (len(path) - 1) / turns
    for k in range(1, int(turns)):
        i = int(per_turn * (k + 0.08))
        (x1, y1), (x2, y2) = proj(*path[i - 2]), proj(*path[i + 2])
        d.arrow_head(x2, y2, math.atan2(y2 - y1, x2 - x1), BLUE, 8)
    # The velocity at entry, split along and across B: the across part is tangent to the
    # circle (straight down at the near side) and the two stand as p / 2 pi to r, so that
    # tan theta = 2 pi r / p as the helix drawn has it.
    k = 1.8
    x0, y0 = proj(*path[0])
    ax, ay = proj(k * pitch / (2 * math.pi), 0, r)
    sx, sy = proj(0, -k * r, r)
    d.arrow(x0, y0, ax, ay, GREEN, 2, 7)
    d.arrow(x0, y0, sx, sy, GREEN, 2, 7)
    d.text(x0 - 5, y0, "v cos \u03b8", 11, GREEN, FONT_ITALIC, "e")
    d.text(sx - 9, sy - 8, "v sin \u03b8", 11, GREEN, FONT_ITALIC, "e")
    # The pitch: two points a turn apart, at the near side, marked below the helix.
    p1, p2 = proj(pitch, -r - 12, r), proj(2 * pitch, -r - 12, r)
    d.line(p1[0], p1[1], p2[0], p2[1], GREY)
    for px, py in (p1, p2):
        d.line(px, py - 6, px, py + 6, GREY)
    d.text((p1[0] + p2[0]) / 2, p1[1] + 12, "pitch p", 10, "black", FONT_ITALIC, "c")
    d.text(8, 12, "path of an electron entering at angle \u03b8 to B", 10)
    save_gif("helix.gif", d)


# ---------------------------------------------------------------- Millikan

def millikan():
    w, h = 290, 200
    d = Drawing(w, h)
    d.rect(40, 40, 220, 48, "#c0c0c0", "black")
    d.rect(40, 150, 220, 158, "#c0c0c0", "black")
    d.text(228, 44, "+", 14, RED, FONT_BOLD)
    d.text(228, 154, "\u2212", 14, BLUE, FONT_BOLD)
    d.line(250, 44, 270, 44)
    d.line(250, 154, 270, 154)
    d.line(270, 44, 270, 84)
    d.line(270, 114, 270, 154)
    d.rect(262, 84, 278, 114, "white", "black")
    d.text(270, 99, "V", 12, "black", FONT_ITALIC, "c")
    d.line(125, 20, 125, 40, GREY)
    d.polygon([(115, 8), (135, 8), (127, 22), (123, 22)], "#e0e0e0", "black")
    d.text(140, 12, "oil spray", 10, GREY)
    cx, cy = 130, 98
    d.circle(cx, cy, 7, "#ffd040", "black")
    d.text(cx, cy, "\u2212", 10, "black", FONT_BOLD, "c", on_shape=True)
    d.arrow(cx, cy - 8, cx, cy - 44, RED, 2)
    d.text(cx + 6, cy - 38, "QE = QV/d", 11, RED, FONT_ITALIC)
    d.arrow(cx, cy + 8, cx, cy + 44, BLUE, 2)
    d.text(cx + 6, cy + 38, "mg", 11, BLUE, FONT_ITALIC)
    # The microscope sees the drop by the light it scatters, at an angle to the beam; the
    # beam itself goes on past the objective, so the drops shine on a dark field.
    def at(a, r, v=0):
        c, s = math.cos(math.radians(a)), math.sin(math.radians(a))
        return (cx + r * c - v * s, cy + r * s + v * c)

    lamp, scope = 160, 20  # directions from the drop, degrees clockwise from +x
    d.polygon([at(lamp, 128, -8), at(lamp, 104, -14), at(lamp, 104, 14), at(lamp, 128, 8)], "#404040", "black")
    d.text(6, 114, "lamp", 10)
    d.arrow(*at(lamp, 102), *at(lamp, 10), "#e0c000", 1, 6)
    d.arrow(*at(lamp - 180, 10), *at(lamp - 180, 60), "#e0c000", 1, 6)
    d.line(*at(scope, 10), *at(scope, 49), GREY, 1, (2, 2))
    d.polygon([at(scope, 50, -9), at(scope, 92, -9), at(scope, 92, 9), at(scope, 50, 9)], "#606060", "black")
    d.text(160, 98, "microscope", 10)
    d.text(46, 175, "balanced drop:  mg = QV/d", 12, "black", FONT_ITALIC)
    d.text(46, 192, "separation d between the plates", 10, GREY)
    save_jpeg("millikan.jpg", d, 80)


# ---------------------------------------------------------------- alpha

def rutherford():
    w, h = 300, 200
    nx, ny = 190, 120
    d = Drawing(w, h)
    dmin = 24.0  # head-on distance of closest approach, pixels

    def track(b):
        # Coulomb repulsion with speed 1: a = (d/2) r_hat / r^2, since mv^2/2 = kqQ/d.
        x, y, vx, vy = -250.0, -b, 1.0, 0.0
        dt = 0.25
        pts = []
        for _ in range(6000):
            rx, ry = x, y
            r = math.hypot(rx, ry)
            ax, ay = 0.5 * dmin * rx / r ** 3, 0.5 * dmin * ry / r ** 3
            vx += ax * dt
            vy += ay * dt
            x += vx * dt
            y += vy * dt
            pts.append((nx + x, ny + y))
            if x > 150 or x < -260 or abs(y) > 200:
                break
        return pts

    for b in (5, 12, 30, 55, 90):
        pts = [p for p in track(b) if 0 <= p[0] <= w and 24 <= p[1] <= h]
        d.polyline(pts, RED if b == 30 else "#e09090", 2 if b == 30 else 1)
    main = track(30)
    d.line(0, ny, w, ny, GREY, 1, (3, 3))
    d.line(0, ny - 30, 80, ny - 30, GREY, 1, (2, 2))
    d.arrow(40, ny - 2, 40, ny - 28, "black", 1, 5)
    d.arrow(40, ny - 28, 40, ny - 2, "black", 1, 5)
    d.text(46, ny - 19, "b", 12, "black", FONT_ITALIC)
    # Outgoing asymptote and angle theta.
    ex, ey = main[-1]
    px, py = main[-40]
    ang = math.atan2(ey - py, ex - px)
    theta = -ang if ang < 0 else ang
    d.line(nx, ny, nx + 90 * math.cos(ang), ny + 90 * math.sin(ang), GREY, 1, (2, 2))
    arc = [(nx + 40 * math.cos(-t), ny + 40 * math.sin(-t)) for t in [theta * k / 20 for k in range(21)]]
    d.polyline(arc, "black", 1)
    d.text(nx + 46, ny - 12, "\u03b8", 13, "black", FONT_ITALIC)
    d.circle(nx, ny, 5, "#ffd000", "black")
    d.text(nx - 8, ny + 16, "nucleus", 10)
    d.text(8, 14, "alpha tracks past a nucleus; impact parameter b", 10)
    d.text(8, 190, "smaller b, larger deflection:  tan(\u03b8/2) = d/2b", 10, "black", FONT_ITALIC)
    save_gif("rutherford.gif", d)


def gold_foil():
    """Pop-up, 8-bit BMP: the scattering experiment as a whole."""
    w, h = 380, 240
    d = Drawing(w, h, popup=True)
    d.rect(10, 105, 50, 135, "#808080", "black")
    d.text(12, 150, "alpha", 10)
    d.text(12, 162, "source", 10)
    d.rect(60, 100, 66, 116, "#404040")
    d.rect(60, 124, 66, 140, "#404040")
    d.line(190, 40, 190, 200, "#c09000", 3)
    d.text(186, 50, "thin gold foil", 10, anchor="e")
    fx, fy, rx, ry = 190, 120, 150, 92  # the foil's middle; the screen's half-axes round it
    d.ellipse(fx, fy, rx, ry, "none", "#40a040", 2, 200, 520)
    d.text(190, 232, "zinc sulphide screen with microscope, turned round the foil", 9, GREEN, anchor="c")

    def scattered(y0, b, up):
        # Rutherford: tan(theta/2) = d/2b, b the impact parameter in units of the head-on
        # distance d; the track runs straight from the foil until it meets the screen.
        theta = 2 * math.atan(1 / (2 * b))
        c, s = math.cos(theta), -math.sin(theta) if up else math.sin(theta)
        qa = (c / rx) ** 2 + (s / ry) ** 2
        qb = 2 * (y0 - fy) * s / ry ** 2
        qc = ((y0 - fy) / ry) ** 2 - 1
        t = (-qb + math.sqrt(qb * qb - 4 * qa * qc)) / (2 * qa)
        d.line(fx, y0, fx + c * t, y0 + s * t, RED)

    for k in range(-3, 4):
        d.arrow(66, fy + 2 * k, fx - 2, fy + 2 * k, RED, 1, 4)
    for k in range(-3, 4):
        if k:
            scattered(fy + 2 * k, 150 / abs(k), k < 0)
        else:
            d.line(fx, fy, fx + rx, fy, RED)
    scattered(fy - 2, 2.8, True)
    scattered(fy + 2, 1.15, False)
    scattered(fy, 0.16, True)
    d.text(270, 103, "a few", 9)
    d.text(118, 88, "very few", 9, anchor="e")
    d.text(230, 140, "most pass", 9)
    d.text(230, 151, "almost straight", 9)
    d.text(8, 14, "Alpha scattering by a gold foil", 12, "black", FONT_BOLD)
    save_bmp("goldfoil.bmp", d, 8)


def lattice():
    """Inline BMP: tracks through the lattice of the simulation (same law, same layout)."""
    nuclei = [(-0.5, y) for y in (1.5, 0.5, -0.5, -1.5)] + [(0.0, y) for y in (2, 1, 0, -1, -2)] + \
             [(0.5, y) for y in (1.5, 0.5, -0.5, -1.5)]
    S, H = 55, 140
    w, h = 270, 2 * H
    d = Drawing(w, h)

    def scr(x, y):
        return 110 + S * x, H - S * y

    for x, y in nuclei:
        sx, sy = scr(x, y)
        d.circle(sx, sy, 8, "#ffff80", "black")
    colours = [RED, BLUE, GREEN, "#a000a0", "#c06000"]
    for n, y0 in enumerate((0.03, 0.25, 0.5, 0.8, 1.2)):
        x, y = 2.4, y0
        vx, vy = -4.0, 0.0
        dt = 0.005

        def acc(px, py):
            ax = ay = 0.0
            for cx, cy in nuclei:
                dx, dy = px - cx, py - cy
                r3 = math.hypot(dx, dy) ** 3
                ax += 0.1 * dx / r3
                ay += 0.1 * dy / r3
            return ax, ay
        ax, ay = acc(x, y)
        vx += ax * dt / 2
        vy += ay * dt / 2
        pts = [scr(x, y)]
        for _ in range(4000):
            x += vx * dt
            y += vy * dt
            ax, ay = acc(x, y)
            vx += ax * dt
            vy += ay * dt
            p = scr(x, y)
            pts.append(p)
            if not (-10 < p[0] < w + 10 and -10 < p[1] < h + 10):
                break
        d.polyline(pts, colours[n], 1.5)
    d.text(6, h - 10, "tracks from five starting heights", 10)
    save_bmp("lattice.bmp", d, 8)


# ---------------------------------------------------------------- gravitation

def kepler(labels=True):
    w, h = 300, 222
    d = Drawing(w, h)
    a, e = 96, 0.6
    b = a * math.sqrt(1 - e * e)
    cx, cy = 148, 112
    sx = cx + a * e  # the sun at the right-hand focus

    def pos(E):
        return cx + a * math.cos(E), cy - b * math.sin(E)

    def sector(t0, t1):
        # Equal times: mean anomaly M = E - e sin E advances evenly.
        pts = [(sx, cy)]
        for k in range(31):
            M = t0 + (t1 - t0) * k / 30
            E = M
            for _ in range(30):
                E = E - (E - e * math.sin(E) - M) / (1 - e * math.cos(E))
            pts.append(pos(E))
        return pts
    d.polygon(sector(-0.35, 0.35), "#ffd0d0", RED)
    d.polygon(sector(math.pi - 0.35, math.pi + 0.35), "#ffd0d0", RED)
    d.ellipse(cx, cy, a, b, "none", "black", 1.5)
    d.line(cx - a, cy, cx + a, cy, GREY, 1, (3, 3))
    d.circle(sx, cy, 7, "#ffd000", "black")
    d.circle(cx - a * e, cy, 2, GREY, GREY)
    d.arrow(cx, cy, cx, cy - b + 1, GREY, 1, 5)
    if not labels:
        return d
    # The semi-major axis as a dimension line below the orbit.
    ya = cy + b + 9
    d.line(cx - a, ya - 4, cx - a, ya + 4, GREY)
    d.line(cx, ya - 4, cx, ya + 4, GREY)
    d.line(cx - a, ya, cx, ya, GREY)
    d.text(cx - a / 2, ya + 10, "a", 12, "black", FONT_ITALIC, "c")
    d.text(cx + 4, cy - b / 2, "b", 12, "black", FONT_ITALIC)
    d.text(cx - a * e, cy + 22, "F\u2082", 10, GREY, anchor="c")
    d.text(sx - 6, cy + 22, "Sun (F\u2081)", 10, anchor="e")
    d.text(cx + a + 4, cy - 10, "perihelion", 9)
    d.text(cx - a - 4, cy - 10, "aphelion", 9, anchor="e")
    d.text(8, 12, "Equal times sweep equal areas (shaded)", 10)
    d.text(w - 8, 212, "eccentricity e = 0.6", 10, GREY, anchor="e")
    save_bmp("kepler.bmp", d, 24)
    return d


def orbit_animation():
    """Animated GIF: a planet on an ellipse, one frame per equal time step."""
    w, h = 220, 150
    a, e = 85, 0.55
    b = a * math.sqrt(1 - e * e)
    cx, cy = 110, 75
    sx = cx + a * e
    frames = []
    n = 36
    for k in range(n):
        M = 2 * math.pi * k / n
        E = M
        for _ in range(40):
            E = E - (E - e * math.sin(E) - M) / (1 - e * math.cos(E))
        px, py = cx + a * math.cos(E), cy - b * math.sin(E)
        d = Drawing(w, h)
        d.ellipse(cx, cy, a, b, "none", "#808080", 1)
        d.circle(sx, cy, 7, "#ffd000", "black")
        d.line(sx, cy, px, py, "#d08080", 1)
        r = math.hypot(px - sx, py - cy)
        # Speed from the vis-viva law v^2 = GM (2/r - 1/a), in units of the largest.
        v = math.sqrt(2 / r - 1 / a) / math.sqrt(2 / (a * (1 - e)) - 1 / a)
        # The speed bar stands up in the corner the orbit leaves free.
        d.rect(4, 134 - 96 * v, 10, 134, "#d00000", "none")
        d.text(2, 143, "speed", 9, "black")
        d.circle(px, py, 4, "#0040ff", "black")
        check_labels("orbit.gif", d)
        frames.append(d.render(antialias=False))
    pf.write_gif(os.path.join(OUT, "orbit.gif"), frames, delay_cs=12)


def binary():
    w, h = 280, 200
    d = Drawing(w, h)
    m1, m2 = 2.0, 1.0
    # Relative orbit an ellipse (a = 120, e = 0.5); each body moves on a copy scaled by the other's mass share.
    a, e = 120, 0.5
    b = a * math.sqrt(1 - e * e)
    cmx, cmy = 150, 100
    pts1, pts2 = [], []
    for k in range(181):
        E = 2 * math.pi * k / 180
        rx, ry = a * (math.cos(E) - e), b * math.sin(E)
        pts1.append((cmx - m2 / (m1 + m2) * rx, cmy - m2 / (m1 + m2) * ry))
        pts2.append((cmx + m1 / (m1 + m2) * rx, cmy + m1 / (m1 + m2) * ry))
    d.polyline(pts1, "#c09000", 1.5)
    d.polyline(pts2, RED, 1.5)
    d.line(pts1[30][0], pts1[30][1], pts2[30][0], pts2[30][1], GREY, 1, (3, 3))
    d.circle(pts1[30][0], pts1[30][1], 8, "#ffd000", "black")
    d.circle(pts2[30][0], pts2[30][1], 5, RED, "black")
    d.line(cmx - 5, cmy, cmx + 5, cmy)
    d.line(cmx, cmy - 5, cmx, cmy + 5)
    # The centre of mass lies inside the smaller orbit: label it outside, with a leader.
    d.line(cmx + 4, cmy + 4, 196, 166, GREY)
    d.text(190, 174, "centre of mass", 9)
    d.text(8, 12, "Two bodies, masses 2 : 1, about their centre of mass", 10)
    d.text(8, 192, "the heavier body moves on the smaller ellipse", 10, GREY)
    save_gif("binary.gif", d)


def projectile():
    w, h = 300, 190
    d = Drawing(w, h)
    ox, oy, sc = 36, 160, 11.0  # pixels per metre
    d.arrow(ox, oy, w - 8, oy, "black", 1, 6)
    d.arrow(ox, oy, ox, 8, "black", 1, 6)
    d.text(w - 8, oy - 10, "x / m", 10, anchor="e")
    d.text(ox + 6, 14, "y / m", 10)
    for m in range(0, 23, 5):
        d.line(ox + m * sc, oy, ox + m * sc, oy + 4)
        d.text(ox + m * sc, oy + 14, str(m), 9, anchor="c")
    for m in range(0, 13, 5):
        d.line(ox - 4, oy - m * sc, ox, oy - m * sc)
        d.text(ox - 6, oy - m * sc, str(m), 9, anchor="e")
    g, v, ang, h0, k = 9.81, 12.0, math.radians(45), 3.0, 0.4
    vx, vy = v * math.cos(ang), v * math.sin(ang)
    T = (vy + math.sqrt(vy * vy + 2 * g * h0)) / g
    ideal = [(ox + sc * vx * T * i / 100, oy - sc * (h0 + vy * T * i / 100 - 0.5 * g * (T * i / 100) ** 2))
             for i in range(101)]
    d.polyline(ideal, GREEN, 2)
    # Drag force proportional to velocity: a = g - k v (per kilogram).
    x, y, ux, uy, dt = 0.0, h0, vx, vy, 0.01
    n = 0
    while y >= 0:
        ax, ay = -k * ux, -g - k * uy
        x += ux * dt + 0.5 * ax * dt * dt
        y += uy * dt + 0.5 * ay * dt * dt
        ux += ax * dt
        uy += ay * dt
        n += 1
        if n % 10 == 0 and y >= 0:
            d.circle(ox + sc * x, oy - sc * y, 2.2, RED, RED)
    d.line(150, 22, 170, 22, GREEN, 2)
    d.text(174, 22, "no drag", 10, GREEN)
    d.circle(160, 38, 2.2, RED, RED)
    d.text(174, 38, "drag k = 0.4 s\u207b\u00b9", 10, RED)
    d.text(150, 56, "12 m/s at 45\u00b0 from 3 m", 10, GREY)
    save_gif("projectile.gif", d)


# ---------------------------------------------------------------- e/m

def thomson():
    w, h = 300, 196
    d = Drawing(w, h)
    # Plates 125 long and 100 apart; the field symbols stand one to a 25-pixel square of
    # the whole space between them, in rows clear of the beam.
    px0, px1, pt, pb = 85, 210, 42, 142
    mid = (pt + pb) / 2
    cell = 25
    d.rect(10, mid - 10, 50, mid + 10, "#c0c0c0", "black")
    d.text(12, mid + 22, "gun", 10)
    d.rect(px0, pt - 6, px1, pt, "#c0c0c0", "black")
    d.rect(px0, pb, px1, pb + 6, "#c0c0c0", "black")
    d.text(px1 + 4, pt - 2, "+", 13, RED, FONT_BOLD)
    d.text(px1 + 4, pb + 4, "\u2212", 13, BLUE, FONT_BOLD)
    for i in range((px1 - px0) // cell):
        for j in range((pb - pt) // cell):
            cross_symbol(d, px0 + cell * (i + 0.5), pt + cell * (j + 0.5), 3.5, GREEN)
    # E, from the + plate to the - plate, between the columns of field symbols.
    for x in (px0 + cell, px1 - cell):
        d.arrow(x, pt + 3, x, pb - 3, "#e08080", 1, 6)
    # With eE = Bev there is no force across the beam: it goes straight, and ends on the screen.
    screen = 280
    d.line(50, mid, screen, mid, BLUE, 2)
    d.line(screen, 26, screen, 168, "#40a040", 3)
    d.text(screen - 12, 180, "screen", 10, anchor="c")
    d.text(px0 + 22, 160, "E down, B into page", 10)
    # The two forces on one electron, between the second and third columns; their labels
    # in the gaps between the rows.  Picture axes: x right, y down, z into the page.
    q, e_field, b_field, v = -1.0, (0.0, 1.0, 0.0), (0.0, 0.0, 1.0), (1.0, 0.0, 0.0)
    f_e = q * e_field[1]
    f_b = q * (v[2] * b_field[0] - v[0] * b_field[2])
    if f_e + f_b != 0:
        sys.exit("thomson.gif: the forces do not balance")
    fx = px0 + 2 * cell
    for f, colour, label in ((f_e, RED, "eE"), (f_b, GREEN, "Bev")):
        sign = 1 if f > 0 else -1
        d.arrow(fx, mid + 2 * sign, fx, mid + 28 * sign, colour, 2, 6)
        d.text(fx + 5, mid + cell * sign, label, 10, colour, FONT_ITALIC)
    d.text(8, 14, "Balanced: eE = Bev, so v = E/B; the beam goes straight", 10)
    save_gif("thomson.gif", d)


# ---------------------------------------------------------------- machines

def bil():
    w, h = 280, 180
    d = Drawing(w, h)
    th = math.radians(35)
    cx, cy = 140, 95
    # One field line runs through the middle of the wire, so the angle is read off it.
    for y in range(cy - 72, 160, 24):
        d.arrow(10, y, w - 10, y, "#9090c0", 1, 6)
    d.text(w - 16, 10, "B", 14, BLUE, FONT_ITALIC)
    L = 75
    d.line(cx - L * math.cos(th), cy + L * math.sin(th), cx + L * math.cos(th), cy - L * math.sin(th), "#b06000", 4)
    d.arrow(cx + 20 * math.cos(th), cy - 20 * math.sin(th), cx + 55 * math.cos(th), cy - 55 * math.sin(th), RED, 2, 8)
    d.text(cx + 22, cy - 36, "I", 14, RED, FONT_ITALIC)
    arc = [(cx + 40 * math.cos(t), cy - 40 * math.sin(t)) for t in [th * k / 20 for k in range(21)]]
    d.polyline(arc, "black", 1)
    d.text(cx + 52 * math.cos(th / 2), cy - 52 * math.sin(th / 2), "\u03b8", 12, "black", FONT_ITALIC, "c")
    cross_symbol(d, cx - 30, cy - 36, 8, GREEN)
    d.text(cx - 92, cy - 60, "F into page", 10, GREEN)
    # A capital L, as the pages write it: in a sans-serif face a plain l is read as a capital I.
    d.text(8, 172, "F = BIL sin \u03b8  (L: length of wire in the field)", 10, "black", FONT_ITALIC)
    save_gif("bil.gif", d)


def fleming():
    """Pop-up: three perpendicular directions of the motor rule."""
    w, h = 260, 220
    d = Drawing(w, h, popup=True)
    ox, oy = 110, 130
    d.arrow(ox, oy, ox, 25, RED, 3, 10)
    d.text(ox + 8, 30, "F  force (thumb)", 11, RED)
    d.arrow(ox, oy, 235, oy, BLUE, 3, 10)
    d.text(134, oy + 16, "B  field (first finger)", 11, BLUE)
    d.arrow(ox, oy, 50, 190, GREEN, 3, 10)
    d.text(10, 208, "I  current (second finger)", 11, GREEN)
    d.text(8, 12, "Left hand: F, B and I at right angles", 11, "black", FONT_BOLD)
    save_gif("fleming.gif", d)


def dc_motor():
    w, h = 300, 210
    d = Drawing(w, h)
    d.rect(10, 30, 60, 140, "#e04040", "black")
    d.text(35, 85, "N", 18, "white", FONT_BOLD, "c", on_shape=True)
    d.rect(240, 30, 290, 140, "#4060e0", "black")
    d.text(265, 85, "S", 18, "white", FONT_BOLD, "c", on_shape=True)
    for y in (45, 65, 105, 125):
        d.arrow(62, y, 238, y, "#a0a0d0", 1, 6)
    cx, cy, r = 150, 85, 50
    a = math.radians(20)
    lx, ly = cx - r * math.cos(a), cy + r * math.sin(a)
    rx, ry = cx + r * math.cos(a), cy - r * math.sin(a)
    d.line(lx, ly, rx, ry, "#b06000", 3)
    d.circle(lx, ly, 8, "white", "black")
    cross_symbol(d, lx, ly, 8)
    d.circle(rx, ry, 8, "white", "black")
    dot_symbol(d, rx, ry, 8)
    d.arrow(lx, ly + 10, lx, ly + 40, GREEN, 2, 7)
    d.arrow(rx, ry - 10, rx, ry - 40, GREEN, 2, 7)
    d.text(lx + 6, ly + 38, "F", 12, GREEN, FONT_ITALIC)
    d.text(rx + 6, ry - 36, "F", 12, GREEN, FONT_ITALIC)
    arc = [(cx + 64 * math.cos(t), cy - 64 * math.sin(t)) for t in [math.radians(100 + 3 * k) for k in range(21)]]
    d.polyline(arc, GREY, 1.5)
    d.arrow_head(arc[-1][0], arc[-1][1], math.atan2(arc[-1][1] - arc[-2][1], arc[-1][0] - arc[-2][0]), GREY, 8)
    # Split ring, end on, with its two brushes.
    kx, ky = 150, 180
    d.ellipse(kx, ky, 16, 16, "none", "#b08000", 5, 100, 260)
    d.ellipse(kx, ky, 16, 16, "none", "#b08000", 5, 280, 440)
    d.rect(108, 174, 128, 186, "#404040")
    d.rect(172, 174, 192, 186, "#404040")
    d.text(100, 200, "+", 12, RED, FONT_BOLD)
    d.text(196, 200, "\u2212", 12, BLUE, FONT_BOLD)
    d.text(200, 172, "split ring", 10)
    d.text(8, 12, "Coil seen end on: forces on its two sides turn it", 10)
    save_gif("dcmotor.gif", d)


def emf_curve():
    w, h = 300, 170
    d = Drawing(w, h)
    ox, oy, sx, sy = 30, 95, 0.62, 45
    d.arrow(ox, oy, w - 8, oy, "black", 1, 6)
    d.arrow(ox, 150, ox, 20, "black", 1, 6)
    d.text(ox + 4, 18, "e.m.f.", 10)
    d.text(w - 4, oy - 12, "angle", 10, anchor="e")
    pts = [(ox + sx * t, oy - sy * math.sin(math.radians(t))) for t in range(0, 361, 3)]
    d.polyline(pts, RED, 2)
    for t in (0, 90, 180, 270, 360):
        x = ox + sx * t
        d.line(x, oy - 2, x, oy + 2)
        # Where the curve crosses the axis the label goes in the quarter it leaves free.
        if t == 0:
            d.text(x - 3, oy + 10, "0\u00b0", 9, anchor="e")
        elif t == 180:
            d.text(x - 3, oy + 10, "180\u00b0", 9, anchor="e")
        elif t == 360:
            d.text(x - 3, oy - 10, "360\u00b0", 9, anchor="e")
        else:
            d.text(x, oy + 12 if t == 90 else oy - 10, "%d\u00b0" % t, 9, anchor="c")
        # The coil seen end on: at 0 degrees its plane is square to the field (horizontal).
        a = math.radians(t + 90)
        d.line(x - 10 * math.cos(a), 150 + 10 * math.sin(a), x + 10 * math.cos(a), 150 - 10 * math.sin(a), "#b06000", 3)
    d.arrow(w - 34, 150, w - 6, 150, "#8080c0", 1, 5)
    d.text(w - 20, 162, "B", 10, BLUE, FONT_ITALIC, "c")
    d.text(ox + 10, 40, "E = BAN\u03c9 sin \u03c9t", 11, "black", FONT_ITALIC)
    save_gif("emf.gif", d)


def lenz():
    w, h = 280, 230
    d = Drawing(w, h)
    # Bar magnet, N pole down, moving down towards the coil.
    d.rect(120, 10, 160, 50, "#4060e0", "black")
    d.text(140, 30, "S", 14, "white", FONT_BOLD, "c", on_shape=True)
    d.rect(120, 50, 160, 90, "#e04040", "black")
    d.text(140, 70, "N", 14, "white", FONT_BOLD, "c", on_shape=True)
    d.arrow(180, 40, 180, 85, "black", 2, 8)
    d.text(186, 62, "v", 13, "black", FONT_ITALIC)
    # Coil: front halves of the turns.
    for k in range(5):
        y = 130 + 14 * k
        d.ellipse(140, y, 50, 9, "none", "#b06000", 2, 0, 180)
        d.ellipse(140, y, 50, 9, "none", "#d8b890", 1, 180, 360)
    d.arrow(120, 139, 150, 139, RED, 2, 7)
    d.text(84, 139, "I", 13, RED, FONT_ITALIC, "e")
    d.text(200, 130, "induced N", 10, RED)
    d.text(200, 143, "pole on top", 10, RED)
    d.line(90, 186, 60, 210, "#b06000", 2)
    d.line(190, 186, 220, 210, "#b06000", 2)
    d.circle(140, 214, 12, "white", "black")
    d.text(140, 214, "G", 11, "black", FONT_BOLD, "c", on_shape=True)
    d.line(60, 210, 128, 214, "#b06000", 2)
    d.line(220, 210, 152, 214, "#b06000", 2)
    d.text(8, 12, "The coil opposes", 10)
    d.text(8, 25, "the approaching", 10)
    d.text(8, 38, "N pole.", 10)
    save_gif("lenz.gif", d)


def mass_spectrometer():
    w, h = 300, 210
    d = Drawing(w, h)
    fy1 = 194
    d.rect(100, 10, 290, fy1, PALE, GREY)
    paths = ((70, BLUE, "m\u2081"), (110, GREEN, "m\u2082"), (150, RED, "m\u2083"))
    # The field's dots leave room round each mass's label.
    clear = [(100 + r + 2, 30 + r - 18, 100 + r + 20, 30 + r - 2) for r, _, _ in paths]
    for x in range(110, 290, 16):
        for y in range(20, fy1, 16):
            if not any(a - 2 <= x <= c + 2 and b - 2 <= y <= e + 2 for a, b, c, e in clear):
                d.circle(x, y, 1.2, "black", "black")
    d.rect(8, 22, 26, 38, RED, "black")
    d.text(6, 52, "ions", 10)
    for x in (44, 70):
        d.rect(x, 12, x + 4, 26)
        d.rect(x, 34, x + 4, 48)
    d.text(40, 62, "V", 12, "black", FONT_ITALIC)
    d.line(26, 30, 100, 30, BLUE, 2)
    for r, col, lab in paths:
        pts = [(100 + r * math.sin(t), 30 + r - r * math.cos(t)) for t in [k * math.pi / 60 for k in range(31)]]
        d.polyline(pts, col, 1.5)
        d.text(100 + r + 5, 30 + r - 10, lab, 11, col, FONT_ITALIC)
    d.rect(246, 180, 254, fy1, "#00c000", "black")
    d.text(250, 203, "detector", 9, anchor="c")
    d.text(6, 120, "r = mv/Bq", 12, "black", FONT_ITALIC)
    d.text(6, 140, "heavier ions", 10)
    d.text(6, 153, "bend less", 10)
    save_gif("massspec.gif", d)


def index_banner():
    """A strip of three of the diagrams for the index page, as a JPEG.

    At a third of their size their words could not be read, so the strip shows the
    diagrams without them.
    """
    import subprocess
    with tempfile.TemporaryDirectory() as tmp:
        parts = []
        for n, job in enumerate((dipole, circle_path, kepler)):
            part = os.path.join(tmp, "%d.ppm" % n)
            drawing = job(labels=False)
            drawing.max_width = None
            drawing.render_to_ppm(part)
            parts.append(part)
        ppm = os.path.join(tmp, "b.ppm")
        subprocess.run(["convert"] + parts + ["-trim", "+repage", "-resize", "x110", "-bordercolor", "white",
                        "-border", "4", "+append", "-resize", "%dx" % PAGE_WIDTH, "-depth", "8", "ppm:" + ppm], check=True)
        pf.write_jpeg(os.path.join(OUT, "banner.jpg"), ppm, 75)


def main():
    os.makedirs(OUT, exist_ok=True)
    for job in (coulomb, dipole, potential_surface, coil, solenoid, plates, circle_path, b_symbols,
                helix, millikan, rutherford, gold_foil, lattice, kepler, orbit_animation, binary,
                projectile, thomson, bil, fleming, dc_motor, emf_curve, lenz, mass_spectrometer,
                index_banner):
        job()
        print("drew", job.__name__)
    if CLASHES:
        sys.exit("labels on drawing:\n  " + "\n  ".join(CLASHES))


if __name__ == "__main__":
    main()
