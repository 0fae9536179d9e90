"""A small drawing list rendered by ImageMagick into a PPM raster.

Coordinates are pixels, y downwards.  Text uses DejaVu Sans, which has the
Greek letters the diagrams label their quantities with.
"""

import math
import os
import subprocess
import tempfile

import picture_files

FONT = "DejaVu-Sans"
FONT_ITALIC = "DejaVu-Sans-Oblique"
FONT_BOLD = "DejaVu-Sans-Bold"


def _q(text):
    return "'" + text.replace("\\", "\\\\").replace("'", "\\'") + "'"


class Drawing:
    def __init__(self, width, height, background="white", max_width=None):
        self.w = width
        self.h = height
        # Pictures in a page are scaled down to this width after drawing, so that they
        # fit the narrowest text pane; pop-ups keep their size (None).
        self.max_width = max_width
        self.background = background
        self.cmds = []
        self.labels = []

    # State-free primitives: each sets what it needs.
    def line(self, x1, y1, x2, y2, colour="black", width=1, dash=None):
        self.polyline([(x1, y1), (x2, y2)], colour, width, dash)

    def polyline(self, points, colour="black", width=1, dash=None):
        if len(points) < 2:
            return
        pts = " ".join("%.2f,%.2f" % p for p in points)
        d = ("stroke-dasharray %s " % " ".join(str(v) for v in dash)) if dash else "stroke-dasharray none "
        self.cmds.append("push graphic-context fill none stroke %s stroke-width %g %s"
                         "stroke-linecap round stroke-linejoin round polyline %s pop graphic-context"
                         % (_q(colour), width, d, pts))

    def polygon(self, points, fill, stroke="none", width=1):
        pts = " ".join("%.2f,%.2f" % p for p in points)
        self.cmds.append("push graphic-context fill %s stroke %s stroke-width %g polygon %s pop graphic-context"
                         % (_q(fill), _q(stroke), width, pts))

    def rect(self, x1, y1, x2, y2, fill="none", stroke="black", width=1):
        self.cmds.append("push graphic-context fill %s stroke %s stroke-width %g rectangle %g,%g %g,%g pop graphic-context"
                         % (_q(fill), _q(stroke), width, x1, y1, x2, y2))

    def circle(self, cx, cy, r, fill="none", stroke="black", width=1):
        self.cmds.append("push graphic-context fill %s stroke %s stroke-width %g circle %g,%g %g,%g pop graphic-context"
                         % (_q(fill), _q(stroke), width, cx, cy, cx + r, cy))

    def ellipse(self, cx, cy, rx, ry, fill="none", stroke="black", width=1, a0=0, a1=360):
        self.cmds.append("push graphic-context fill %s stroke %s stroke-width %g ellipse %g,%g %g,%g %g,%g pop graphic-context"
                         % (_q(fill), _q(stroke), width, cx, cy, rx, ry, a0, a1))

    def arrow(self, x1, y1, x2, y2, colour="black", width=1, head=7):
        """A line with a filled head at (x2, y2)."""
        a = math.atan2(y2 - y1, x2 - x1)
        bx, by = x2 - head * math.cos(a), y2 - head * math.sin(a)
        self.line(x1, y1, bx, by, colour, width)
        self.arrow_head(x2, y2, a, colour, head)

    def arrow_head(self, x, y, angle, colour="black", head=7):
        s = head * 0.45
        bx, by = x - head * math.cos(angle), y - head * math.sin(angle)
        self.polygon([(x, y), (bx - s * math.sin(angle), by + s * math.cos(angle)),
                      (bx + s * math.sin(angle), by - s * math.cos(angle))], colour)

    def arrow_along(self, points, frac, colour="black", head=7):
        """An arrow head part-way along a polyline, pointing along it."""
        if len(points) < 3:
            return
        i = max(1, min(len(points) - 1, int(frac * (len(points) - 1))))
        (x1, y1), (x2, y2) = points[i - 1], points[i]
        if (x1, y1) == (x2, y2):
            return
        self.arrow_head(x2, y2, math.atan2(y2 - y1, x2 - x1), colour, head)

    def text(self, x, y, s, size=12, colour="black", font=FONT, anchor="w", on_shape=False):
        """anchor: w (left, baseline-centred), c (centre), e (right).

        on_shape: the label is meant to sit on a filled shape (a sign in a charge, a
        pole's letter); every other label must stand clear of all drawing.
        """
        gravity = {"w": "West", "c": "Center", "e": "East"}[anchor]
        # With gravity the offset is measured from the gravity point of the canvas.
        if anchor == "w":
            ox, oy = x, y - self.h / 2
        elif anchor == "e":
            ox, oy = self.w - x, y - self.h / 2
        else:
            ox, oy = x - self.w / 2, y - self.h / 2
        cmd = ("push graphic-context font %s font-size %g fill %s stroke none gravity %s text %g,%g %s pop graphic-context"
               % (_q(font), size, _q(colour), gravity, ox, oy, _q(s)))
        self.cmds.append(cmd)
        if not on_shape:
            self.labels.append((s, cmd))

    def _raster(self, cmds, background=None):
        with tempfile.TemporaryDirectory() as tmp:
            ppm = os.path.join(tmp, "layer.ppm")
            args = ["convert", "-size", "%dx%d" % (self.w, self.h), "xc:" + (background or self.background)]
            for i in range(0, len(cmds), 200):
                args += ["-draw", "\n".join(cmds[i:i + 200])]
            subprocess.run(args + ["-depth", "8", "ppm:" + ppm], check=True)
            return picture_files.read_ppm(ppm)[2]

    def clashes(self):
        """Labels whose box (plus a pixel round it) holds any drawing but one plain fill,
        meets another label's box, or reaches the picture's edge.

        Returns [(label, pixels that differ from the box's commonest colour)]; -1 for a
        label wholly outside the picture, -2 for one that reaches its edge.
        """
        label_cmds = {cmd for _, cmd in self.labels}
        drawn = self._raster([c for c in self.cmds if c not in label_cmds])
        # A background no label is drawn in, so that white text shows too.
        odd = "#fe01fd"
        blank = self._raster([], odd)
        found = []
        boxes = []
        for s, cmd in self.labels:
            ink = self._raster([cmd], odd)
            xs, ys = [], []
            for i in range(0, len(ink), 3):
                if ink[i:i + 3] != blank[i:i + 3]:
                    xs.append(i // 3 % self.w)
                    ys.append(i // 3 // self.w)
            if not xs:
                found.append((s, -1))  # drawn outside the picture
                continue
            if min(xs) == 0 or min(ys) == 0 or max(xs) == self.w - 1 or max(ys) == self.h - 1:
                found.append((s, -2))  # cut by the picture's edge, or pressed against it
            x0, x1 = max(0, min(xs) - 1), min(self.w - 1, max(xs) + 1)
            y0, y1 = max(0, min(ys) - 1), min(self.h - 1, max(ys) + 1)
            for other, (a0, b0, a1, b1) in boxes:
                if x0 <= a1 and a0 <= x1 and y0 <= b1 and b0 <= y1:
                    found.append((s + " / " + other, 0))
            boxes.append((s, (x0, y0, x1, y1)))
            counts = {}
            for y in range(y0, y1 + 1):
                for x in range(x0, x1 + 1):
                    i = 3 * (y * self.w + x)
                    c = drawn[i:i + 3]
                    counts[c] = counts.get(c, 0) + 1
            differ = sum(counts.values()) - max(counts.values())
            if differ:
                found.append((s, differ))
        return found

    def render(self, antialias=True, colours=None):
        """Returns (w, h, rgb).  colours: quantise to at most this many (no dither)."""
        with tempfile.TemporaryDirectory() as tmp:
            ppm = os.path.join(tmp, "pic.ppm")
            args = ["convert", "-size", "%dx%d" % (self.w, self.h), "xc:" + self.background]
            args += ["-antialias"] if antialias else ["+antialias"]
            # One argument may hold at most 128 KiB: split the list over several -draw.
            chunk = []
            size = 0
            for c in self.cmds:
                if size + len(c) > 60000 and chunk:
                    args += ["-draw", "\n".join(chunk)]
                    chunk, size = [], 0
                chunk.append(c)
                size += len(c) + 1
            if chunk:
                args += ["-draw", "\n".join(chunk)]
            if self.max_width and self.w > self.max_width:
                args += ["-filter", "Lanczos", "-resize", "%dx" % self.max_width]
            if colours:
                args += ["+dither", "-colors", str(colours)]
            args += ["-depth", "8", "ppm:" + ppm]
            subprocess.run(args, check=True)
            return picture_files.read_ppm(ppm)

    def render_to_ppm(self, path, antialias=True):
        pic = self.render(antialias)
        w, h, pix = pic
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (w, h) + pix)
        return pic
