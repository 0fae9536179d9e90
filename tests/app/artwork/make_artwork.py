#!/usr/bin/env python3
"""Draws the main window's own pictures: the start-up collages (JPEG, through cjpeg),
the splash and About pictures and the text toolbar's glyphs (PNG, for res/app).

Each picture is written as ImageMagick drawing commands (MVG) computed here - field
lines traced numerically, orbits and paths from their formulas - and rendered by
`convert`. Run from anywhere: python3 tests/app/artwork/make_artwork.py
"""
import math
import os
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
# The text pages' picture script holds the field laws and the line tracer.
sys.path.insert(0, os.path.join(ROOT, "tools", "pictures"))
import make_pictures as laws  # noqa: E402
RES = os.path.join(ROOT, "res", "app")
IMAGES = os.path.join(ROOT, "HTML", "images")
FONT = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"
BOLD = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"


def polyline(points, colour, width=1.0):
    pts = " ".join("%.1f,%.1f" % p for p in points)
    return "push graphic-context\nfill none\nstroke %s\nstroke-width %.1f\npolyline %s\npop graphic-context\n" % (
        colour, width, pts)


def circle(x, y, r, fill, stroke="none"):
    return "push graphic-context\nfill %s\nstroke %s\ncircle %.1f,%.1f %.1f,%.1f\npop graphic-context\n" % (
        fill, stroke, x, y, x + r, y)


def text(x, y, s, size, colour="black", font=FONT):
    s = s.replace("'", "\\'")
    return "push graphic-context\nfont '%s'\nfont-size %d\nfill %s\nstroke none\ntext %.1f,%.1f '%s'\npop graphic-context\n" % (
        font, size, colour, x, y, s)


def rect(x1, y1, x2, y2, fill, stroke="none", width=1):
    return "push graphic-context\nfill %s\nstroke %s\nstroke-width %d\nrectangle %.1f,%.1f %.1f,%.1f\npop graphic-context\n" % (
        fill, stroke, width, x1, y1, x2, y2)


def field_lines(charges, box, per_charge=12, step=1.5):
    """Field lines of point charges (q, x, y): E = sum q r / |r|^3 in picture units.
    Traced from every positive charge until they leave the box or reach a charge."""
    x0, y0, x1, y1 = box
    lines = []
    for q, cx, cy in charges:
        if q <= 0:
            continue
        for k in range(per_charge):
            a = 2 * math.pi * k / per_charge
            x, y = cx + 6 * math.cos(a), cy + 6 * math.sin(a)
            pts = [(x, y)]
            for _ in range(1500):
                ex = ey = 0.0
                for qq, qx, qy in charges:
                    dx, dy = x - qx, y - qy
                    r3 = (dx * dx + dy * dy) ** 1.5 + 1e-9
                    ex += qq * dx / r3
                    ey += qq * dy / r3
                e = math.hypot(ex, ey)
                if e == 0:
                    break
                x += step * ex / e
                y += step * ey / e
                pts.append((x, y))
                if not (x0 <= x <= x1 and y0 <= y <= y1):
                    break
                if any(qq < 0 and math.hypot(x - qx, y - qy) < 5 for qq, qx, qy in charges):
                    break
            lines.append(pts)
    return lines


def tile_field(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#ffffff", "#808080")
    # Faint grid, as on the field page.
    for gx in range(0, w, 16):
        out += polyline([(ox + gx, oy + 1), (ox + gx, oy + h - 2)], "#e4e4e4")
    for gy in range(0, h, 16):
        out += polyline([(ox + 1, oy + gy), (ox + w - 2, oy + gy)], "#e4e4e4")
    # Placed symmetrically about the tile's centre, so the picture is too.
    cx, cy, half = ox + w / 2, oy + h / 2, w * 0.17
    pair = [(cx - half, cy, 1.0), (cx + half, cy, -1.0)]
    for line, _ in laws.dipole_lines(pair, (ox + 1, oy + 1, ox + w - 2, oy + h - 2), 12, 1.0, 6):
        out += polyline(line, "#202020")
    charges = [(q, x, y) for x, y, q in pair]
    out += circle(charges[0][1], charges[0][2], 6, "#e01010")
    out += circle(charges[1][1], charges[1][2], 6, "#1030e0")
    out += text(charges[0][1] - 3.5, charges[0][2] + 4, "+", 12, "white", BOLD)
    out += text(charges[1][1] - 2.5, charges[1][2] + 4, "-", 12, "white", BOLD)
    return out


def tile_orbit(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#000020", "#808080")
    for i in range(40):  # a sprinkling of stars, placed by a fixed rule
        sx = ox + 3 + (i * 53) % (w - 6)
        sy = oy + 3 + (i * 37 + i * i * 7) % (h - 6)
        out += circle(sx, sy, 0.7, "#c0c0ff")
    # Kepler ellipse with the sun at a focus: r = a(1 - e^2) / (1 + e cos theta).
    a, e = w * 0.36, 0.55
    fx, fy = ox + w * 0.3, oy + h * 0.5
    pts = []
    for k in range(0, 361, 3):
        t = math.radians(k)
        r = a * (1 - e * e) / (1 + e * math.cos(t))
        pts.append((fx - r * math.cos(t), fy - r * math.sin(t)))
    out += polyline(pts, "#60a0ff", 1.2)
    out += circle(fx, fy, 9, "#ffd040")
    px, py = pts[25]
    out += circle(px, py, 4, "#40c060")
    return out


def tile_projectile(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#f4f8ff", "#808080")
    gy = oy + h - 14
    out += polyline([(ox + 6, gy), (ox + w - 6, gy)], "#606060")
    out += polyline([(ox + 10, oy + 6), (ox + 10, gy)], "#606060")
    # y = x tan(a) - g x^2 / (2 v^2 cos^2 a), without drag; the drag path falls short.
    v, ang, g = 1.0, math.radians(55), 1.0
    span = v * v * math.sin(2 * ang) / g
    sx = (w - 30) / span
    ideal, drag = [], []
    for i in range(61):
        x = span * i / 60
        y = x * math.tan(ang) - g * x * x / (2 * v * v * math.cos(ang) ** 2)
        ideal.append((ox + 10 + x * sx, gy - y * sx))
    x = y = 0.0
    vx, vy = v * math.cos(ang), v * math.sin(ang)
    k, dt = 0.6, 0.01
    while y >= 0:
        drag.append((ox + 10 + x * sx, gy - y * sx))
        sp = math.hypot(vx, vy)
        vx += -k * sp * vx * dt
        vy += (-g - k * sp * vy) * dt
        x += vx * dt
        y += vy * dt
    out += polyline(ideal, "#2060d0", 1.5)
    out += polyline(drag, "#d03020", 1.5)
    return out


def tile_coil(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#ffffff", "#808080")
    cx, cy = ox + w / 2, oy + h / 2
    # Field of a short coil of seven turns from Biot-Savart: lines run through the coil
    # along its axis and close outside it.  Traced in one quarter and mirrored, as the
    # coil is symmetric about its axis and its mid-plane.  Started inside, they run out
    # of the ends and back round outside, clear of the wires.
    loops = [(x, 20, 1.0) for x in range(-30, 31, 10)]

    def field(x, y):
        bx, by = laws.loop_field(loops, x - cx, cy - y)
        return bx, -by

    for y0 in (3, 6, 9, 12):
        pts = laws.trace(field, cx, cy - y0, 1.0,
                         lambda a, b: not (ox + 1 <= a <= ox + w - 2 and oy + 1 <= b <= oy + h - 2), 3000)
        for sx in (1, -1):
            for sy in (1, -1):
                out += polyline([(cx + sx * (a - cx), cy + sy * (b - cy)) for a, b in pts], "#404040")
    out += polyline([(ox + 2, cy), (ox + w - 3, cy)], "#404040")
    for i in range(7):
        x = cx - 30 + i * 10
        out += circle(x, cy - 20, 3, "#c06020")
        out += circle(x, cy + 20, 3, "#c06020")
    return out


def tile_deflect(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#101010", "#808080")
    px1, px2 = ox + w * 0.25, ox + w * 0.7
    out += rect(px1, oy + h * 0.25, px2, oy + h * 0.25 + 5, "#d04040")
    out += rect(px1, oy + h * 0.75 - 5, px2, oy + h * 0.75, "#4060d0")
    y0 = oy + h * 0.55
    pts = [(ox + 8, y0), (px1, y0)]
    # Uniform field between the plates: a parabola; a straight line beyond them.
    L = px2 - px1
    a = (h * 0.22) / (L * L)
    for i in range(1, 31):
        x = L * i / 30
        pts.append((px1 + x, y0 - a * x * x))
    slope = 2 * a * L
    pts.append((ox + w - 8, y0 - a * L * L - slope * (ox + w - 8 - px2)))
    out += polyline(pts, "#40ff60", 1.5)
    return out


def tile_alpha(ox, oy, w, h):
    out = rect(ox, oy, ox + w - 1, oy + h - 1, "#fffaf0", "#808080")
    nx, ny = ox + w * 0.62, oy + h * 0.5
    # Rutherford paths: hyperbolae, deflected more the nearer they pass the nucleus.
    for b in (-40, -26, -15, -8, -3, 3, 8, 15, 26, 40):
        x, y = ox + 6.0, ny + b
        vx, vy = 2.0, 0.0
        pts = [(x, y)]
        for _ in range(600):
            dx, dy = x - nx, y - ny
            r3 = (dx * dx + dy * dy) ** 1.5 + 1e-6
            vx += 40 * dx / r3 * 0.5
            vy += 40 * dy / r3 * 0.5
            x += vx * 0.5
            y += vy * 0.5
            pts.append((x, y))
            if not (ox + 1 < x < ox + w - 2 and oy + 1 < y < oy + h - 2):
                break
        out += polyline(pts, "#a05000")
    out += circle(nx, ny, 4, "#d02020")
    return out


def mvg_render(mvg, w, h, path, background="white"):
    # The drawing goes on the command line (reading MVG files may be barred by the
    # ImageMagick policy), one -draw per group, each well under the argument limit.
    args = ["convert", "-size", "%dx%d" % (w, h), "xc:" + background]
    chunk = ""
    for group in mvg.split("push graphic-context\n"):
        if not group.strip():
            continue
        part = "push graphic-context\n" + group if group.rstrip().endswith("pop graphic-context") else group
        if len(chunk) + len(part) > 60000 and chunk:
            args += ["-draw", chunk]
            chunk = ""
        chunk += part
    if chunk:
        args += ["-draw", chunk]
    # No time stamps in the files: the same drawing gives the same bytes.
    subprocess.run(args + ["-define", "png:exclude-chunks=date,time", path], check=True)


def collage(w, h, path):
    title_h = 54
    mvg = rect(0, 0, w - 1, title_h - 1, "#1c3c78")
    mvg += text(12, 34, "Vornelle", 28, "white", BOLD)
    mvg += text(14 + 0.38 * w, 34, "fields in physics", 16, "#d8e4ff")
    cols, rows, gap = 2, 3, 6
    tw = (w - gap * (cols + 1)) // cols
    th = (h - title_h - gap * (rows + 1) - 18) // rows
    tiles = [tile_field, tile_orbit, tile_deflect, tile_coil, tile_alpha, tile_projectile]
    for i, tile in enumerate(tiles):
        c, r = i % cols, i // cols
        mvg += tile(gap + c * (tw + gap), title_h + gap + r * (th + gap), tw, th)
    mvg += text(gap, h - 6, "Choose a topic from the Topics menu, or follow a link in the text.", 11 if w > 320 else 9, "#303030")
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "collage.ppm")
        mvg_render(mvg, w, h, ppm, "#f0f0f0")
        with open(path, "wb") as out:
            subprocess.run(["cjpeg", "-quality", "85", "-optimize", ppm], stdout=out, check=True)


def splash(path):
    w, h = 350, 235
    mvg = rect(0, 0, w - 1, 64, "#1c3c78")
    mvg += text(16, 46, "Vornelle", 36, "white", BOLD)
    mvg += text(190, 44, "fields in physics", 16, "#d8e4ff")
    charges = [(1, 120, 150), (1, 230, 150)]
    for line in field_lines(charges, (1, 66, w - 2, h - 30), per_charge=14):
        mvg += polyline(line, "#303030")
    for _, x, y in charges:
        mvg += circle(x, y, 7, "#e01010")
        mvg += text(x - 4, y + 5, "+", 14, "white", BOLD)
    mvg += rect(0, h - 26, w - 1, h - 1, "#e8e8e8")
    mvg += text(12, h - 9, "Electric, magnetic and gravitational fields", 12, "#303030")
    mvg += rect(0, 0, w - 1, h - 1, "none", "#1c3c78", 2)
    mvg_render(mvg, w, h, path)


def about_icon(path):
    w = h = 64
    mvg = ""
    for k in range(16):
        a = 2 * math.pi * k / 16
        mvg += polyline([(32 + 10 * math.cos(a), 32 + 10 * math.sin(a)),
                         (32 + 30 * math.cos(a), 32 + 30 * math.sin(a))], "#404040")
    mvg += circle(32, 32, 9, "#e01010")
    mvg += text(26.5, 38, "+", 16, "white", BOLD)
    mvg_render(mvg, w, h, path)


# Glyphs: 20 x 20 on magenta, which the buttons take as transparent (lower-left pixel).
GLYPHS = {
    "forward": "fill #208020\nstroke #104010\npolygon 3,7 11,7 11,3 18,10 11,17 11,13 3,13\n",
    "back": "fill #208020\nstroke #104010\npolygon 17,7 9,7 9,3 2,10 9,17 9,13 17,13\n",
    "index": ("fill white\nstroke black\npolygon 4,2 13,2 16,5 16,18 4,18\n"
              "stroke #404080\nline 6,7 14,7\nline 6,10 14,10\nline 6,13 14,13\nline 6,16 11,16\n"),
    "print": ("fill white\nstroke black\nrectangle 6,2 14,8\nfill #c0c0c0\nrectangle 2,8 18,15\n"
              "fill white\nrectangle 6,12 14,18\nfill #20c020\nstroke none\nrectangle 15,10 16,11\n"),
    "copy": ("fill white\nstroke black\nrectangle 2,2 11,13\nrectangle 8,6 17,18\n"
             "stroke #404080\nline 10,10 15,10\nline 10,13 15,13\nline 10,16 14,16\n"),
    "font": ("font '%s'\nfont-size 17\nfill #000080\nstroke none\ntext 2,16 'A'\n"
             "font-size 11\nfill #800000\ntext 12,17 'a'\n" % BOLD),
}


def glyph(name, path):
    mvg = "push graphic-context\nstroke-antialias 0\n" + GLYPHS[name] + "pop graphic-context\n"
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "g.png")
        mvg_render(mvg, 20, 20, raw, "#ff00ff")
        # Antialiased edges against magenta would leave pink fringes: snap them.
        subprocess.run(["convert", raw, "-fuzz", "30%", "-fill", "#ff00ff", "-opaque", "#ff00ff",
                        "-type", "TrueColor", "-define", "png:exclude-chunks=date,time", "PNG24:" + path],
                       check=True)


def main():
    os.makedirs(os.path.join(RES, "glyphs"), exist_ok=True)
    os.makedirs(IMAGES, exist_ok=True)
    collage(400, 500, os.path.join(IMAGES, "FSplash800.jpg"))
    collage(300, 390, os.path.join(IMAGES, "FSplash640.jpg"))
    splash(os.path.join(RES, "splash.png"))
    about_icon(os.path.join(RES, "about.png"))
    for name in GLYPHS:
        glyph(name, os.path.join(RES, "glyphs", name + ".png"))


if __name__ == "__main__":
    main()
