#!/usr/bin/env python3
"""Writes the three worksheet figures under resources/figures/.

    scripts/make-figures.py            rewrite the SVG files
    scripts/make-figures.py --check    exit 1 if a committed file differs

QtSvg (Qt 6.4) ignores dx/dy and baseline-shift on <tspan>, so every run of
text is its own <text> element placed from the fonts' advance widths, which
are read from the Liberation TrueType files the program renders with.
The output depends only on this script and those fonts.
"""

import argparse
import math
import pathlib
import struct
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "resources" / "figures"
FONT_DIR = pathlib.Path("/usr/share/fonts/truetype/liberation2")

SERIF = "Liberation Serif"
SANS = "Liberation Sans"
FONT_FILES = {
    (SERIF, "normal"): "LiberationSerif-Regular.ttf",
    (SANS, "normal"): "LiberationSans-Regular.ttf",
    (SANS, "bold"): "LiberationSans-Bold.ttf",
}


class Metrics:
    """Advance widths from a TrueType file (cmap format 4 and hmtx)."""

    def __init__(self, path):
        data = path.read_bytes()
        tables = {}
        for i in range(struct.unpack(">H", data[4:6])[0]):
            tag, _, offset, _ = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
            tables[tag.decode()] = offset
        self.units_per_em = struct.unpack(">H", data[tables["head"] + 18:tables["head"] + 20])[0]
        hhea = tables["hhea"]
        count = struct.unpack(">H", data[hhea + 34:hhea + 36])[0]
        hmtx = tables["hmtx"]
        self.advances = [struct.unpack(">H", data[hmtx + 4 * i:hmtx + 4 * i + 2])[0] for i in range(count)]
        self.glyphs = self._read_cmap(data, tables["cmap"])

    @staticmethod
    def _read_cmap(data, cmap):
        glyphs = {}
        for i in range(struct.unpack(">H", data[cmap + 2:cmap + 4])[0]):
            platform, encoding, offset = struct.unpack(">HHI", data[cmap + 4 + 8 * i:cmap + 12 + 8 * i])
            sub = cmap + offset
            if (platform, encoding) != (3, 1) or struct.unpack(">H", data[sub:sub + 2])[0] != 4:
                continue
            seg2 = struct.unpack(">H", data[sub + 6:sub + 8])[0]
            n = seg2 // 2
            ends = struct.unpack(">%dH" % n, data[sub + 14:sub + 14 + seg2])
            starts = struct.unpack(">%dH" % n, data[sub + 16 + seg2:sub + 16 + 2 * seg2])
            deltas = struct.unpack(">%dh" % n, data[sub + 16 + 2 * seg2:sub + 16 + 3 * seg2])
            range_at = sub + 16 + 3 * seg2
            ranges = struct.unpack(">%dH" % n, data[range_at:range_at + seg2])
            for k in range(n):
                for code in range(starts[k], min(ends[k], 0xFFFE) + 1):
                    if ranges[k] == 0:
                        glyphs[code] = (code + deltas[k]) & 0xFFFF
                        continue
                    at = range_at + 2 * k + ranges[k] + 2 * (code - starts[k])
                    glyph = struct.unpack(">H", data[at:at + 2])[0]
                    glyphs[code] = (glyph + deltas[k]) & 0xFFFF if glyph else 0
        return glyphs

    def width(self, text, size):
        total = 0
        for ch in text:
            glyph = self.glyphs.get(ord(ch), 0)
            if glyph == 0:
                sys.exit("make-figures: the font has no glyph for %r" % ch)
            total += self.advances[min(glyph, len(self.advances) - 1)]
        return total * size / self.units_per_em


METRICS = {key: Metrics(FONT_DIR / name) for key, name in FONT_FILES.items()}


def fmt(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def esc(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class Svg:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.items = []

    def text(self, x, y, s, size, family=SERIF, weight="normal", anchor=None, extra=""):
        lead = len(s) - len(s.lstrip(" "))
        if lead:
            x += METRICS[(family, weight)].width(s[:lead], size)
        s = s.strip(" ")
        if not s:
            return
        attrs = 'x="%s" y="%s" font-family="%s" font-size="%s"' % (fmt(x), fmt(y), family, fmt(size))
        if weight != "normal":
            attrs += ' font-weight="%s"' % weight
        if anchor:
            attrs += ' text-anchor="%s"' % anchor
        self.items.append("<text %s%s>%s</text>" % (attrs, extra, esc(s)))

    def line(self, x1, y1, x2, y2, width=1.0, colour="black", extra=""):
        self.items.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s"%s/>'
                          % (fmt(x1), fmt(y1), fmt(x2), fmt(y2), colour, fmt(width), extra))

    def path(self, d, width=1.0):
        self.items.append('<path d="%s" fill="none" stroke="black" stroke-width="%s"/>' % (d, fmt(width)))

    def raw(self, s):
        self.items.append(s)

    def render(self, title):
        head = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
                'width="%d" height="%d" viewBox="0 0 %d %d">\n<title>%s</title>\n'
                '<rect x="0" y="0" width="%d" height="%d" fill="white"/>\n'
                % (self.width, self.height, self.width, self.height, esc(title), self.width, self.height))
        return head + "\n".join(self.items) + "\n</svg>\n"


# Formula boxes: each knows its width, ascent and descent (pixels, baseline-relative)
# and draws itself with its baseline's left end at (x, y).

class Run:
    def __init__(self, s, size, family=SERIF, weight="normal"):
        self.s, self.size, self.family, self.weight = s, size, family, weight
        self.width = METRICS[(family, weight)].width(s, size)
        self.ascent, self.descent = 0.72 * size, 0.22 * size

    def draw(self, svg, x, y):
        svg.text(x, y, self.s, self.size, self.family, self.weight)


class Row:
    def __init__(self, items):
        self.items = items
        self.width = sum(i.width for i in items)
        self.ascent = max((i.ascent for i in items), default=0)
        self.descent = max((i.descent for i in items), default=0)

    def draw(self, svg, x, y):
        for item in self.items:
            item.draw(svg, x, y)
            x += item.width


class Scripted:
    """A base with a lowered subscript and/or a raised superscript."""

    def __init__(self, base, size, sub=None, sup=None):
        self.base, self.size, self.sub, self.sup = base, size, sub, sup
        self.drop, self.rise = 0.24 * size, 0.42 * size
        if isinstance(base, (Bracketed, Fraction)):
            self.rise = base.ascent - 0.3 * size
        self.width = base.width + max(sub.width if sub else 0, sup.width if sup else 0) + 0.04 * size
        self.ascent = max(base.ascent, self.rise + sup.ascent if sup else 0)
        self.descent = max(base.descent, self.drop + sub.descent if sub else 0)

    def draw(self, svg, x, y):
        self.base.draw(svg, x, y)
        x += self.base.width + 0.02 * self.size
        if self.sub:
            self.sub.draw(svg, x, y + self.drop)
        if self.sup:
            self.sup.draw(svg, x, y - self.rise)


class Fraction:
    def __init__(self, num, den, size):
        self.num, self.den, self.size = num, den, size
        self.pad, self.gap = 0.2 * size, 0.14 * size
        self.axis = 0.3 * size
        self.width = max(num.width, den.width) + 2 * self.pad
        self.ascent = self.axis + self.gap + num.descent + num.ascent
        self.descent = -self.axis + self.gap + den.ascent + den.descent

    def draw(self, svg, x, y):
        bar = y - self.axis
        svg.line(x + 0.1 * self.size, bar, x + self.width - 0.1 * self.size, bar, max(0.9, self.size / 16))
        self.num.draw(svg, x + (self.width - self.num.width) / 2, bar - self.gap - self.num.descent)
        self.den.draw(svg, x + (self.width - self.den.width) / 2, bar + self.gap + self.den.ascent)


class Bracketed:
    """Parentheses or brackets that grow with their content."""

    def __init__(self, inner, size, kind="("):
        self.inner, self.size, self.kind = inner, size, kind
        self.tall = inner.ascent + inner.descent > 1.2 * size
        if self.tall:
            self.fence = 0.32 * size
            self.ascent, self.descent = inner.ascent + 0.08 * size, inner.descent + 0.08 * size
        else:
            self.open = Run("(" if kind == "(" else "[", size)
            self.close = Run(")" if kind == "(" else "]", size)
            self.fence = self.open.width
            self.ascent, self.descent = max(inner.ascent, 0.72 * size), max(inner.descent, 0.22 * size)
        self.width = inner.width + 2 * self.fence

    def draw(self, svg, x, y):
        if not self.tall:
            self.open.draw(svg, x, y)
            self.inner.draw(svg, x + self.fence, y)
            self.close.draw(svg, x + self.fence + self.inner.width, y)
            return
        top, bottom = y - self.ascent, y + self.descent
        w = max(0.8, self.size / 15)
        left, right = x + 0.08 * self.size, x + self.width - 0.08 * self.size
        reach = self.fence - 0.16 * self.size
        if self.kind == "(":
            mid = (top + bottom) / 2
            svg.path("M%s %sQ%s %s %s %s" % (fmt(left + reach), fmt(top), fmt(left - reach * 0.9), fmt(mid),
                                              fmt(left + reach), fmt(bottom)), w)
            svg.path("M%s %sQ%s %s %s %s" % (fmt(right - reach), fmt(top), fmt(right + reach * 0.9), fmt(mid),
                                              fmt(right - reach), fmt(bottom)), w)
        else:
            svg.path("M%s %sH%sV%sH%s" % (fmt(left + reach), fmt(top), fmt(left), fmt(bottom), fmt(left + reach)), w)
            svg.path("M%s %sH%sV%sH%s" % (fmt(right - reach), fmt(top), fmt(right), fmt(bottom),
                                           fmt(right - reach)), w)
        self.inner.draw(svg, x + self.fence, y)


class Formula:
    r"""Parses a small markup into boxes.

    x_o and x_{oy} lower a subscript, x^2 and x^{2} raise a superscript (both attach to the
    last character or group), \frac{..}{..} stacks a fraction, \p{..} and \b{..} are growing
    parentheses and brackets; '*' is the raised multiplication dot and '-' the minus sign.
    """

    SUBSCRIPT_SCALE = 0.72

    def __init__(self, size):
        self.size = size

    def __call__(self, markup):
        self.src, self.at = markup, 0
        row = self._row(self.size)
        if self.at != len(self.src):
            raise ValueError("unbalanced braces in %r" % markup)
        return row

    def _group(self, size):
        if self.at < len(self.src) and self.src[self.at] == "{":
            self.at += 1
            row = self._row(size)
            self.at += 1
            return row
        ch = self.src[self.at]
        self.at += 1
        return Run(self._glyph(ch), size)

    @staticmethod
    def _glyph(ch):
        return {"*": "\u00b7", "-": "\u2212"}.get(ch, ch)

    def _row(self, size):
        boxes, text = [], ""

        def flush():
            nonlocal text
            if text:
                boxes.append(Run(text, size))
                text = ""

        while self.at < len(self.src) and self.src[self.at] != "}":
            ch = self.src[self.at]
            if ch in "_^":
                if text:
                    base, text = Run(text[-1], size), text[:-1]
                    flush()
                else:
                    base = boxes.pop()
                self.at += 1
                script = self._group(size * self.SUBSCRIPT_SCALE)
                if isinstance(base, Scripted):
                    base = Scripted(base.base, size, base.sub or (script if ch == "_" else None),
                                    base.sup or (script if ch == "^" else None))
                else:
                    base = Scripted(base, size, script if ch == "_" else None, script if ch == "^" else None)
                boxes.append(base)
            elif self.src.startswith("\\frac", self.at):
                flush()
                self.at += 5
                num = self._group(size)
                den = self._group(size)
                boxes.append(Fraction(num, den, size))
            elif self.src.startswith("\\p", self.at) or self.src.startswith("\\b", self.at):
                flush()
                kind = "(" if self.src[self.at + 1] == "p" else "["
                self.at += 2
                boxes.append(Bracketed(self._group(size), size, kind))
            else:
                text += self._glyph(ch)
                self.at += 1
        flush()
        return Row(boxes)


def wrap(text, size, width, family=SANS):
    lines, line = [], ""
    for word in text.split(" "):
        trial = (line + " " + word) if line else word
        if line and METRICS[(family, "normal")].width(trial, size) > width:
            lines.append(line)
            line = word
        else:
            line = trial
    return lines + [line]


def title(svg, x, y, s, size, underline=False):
    svg.text(x, y, s, size, SANS, "bold")
    if underline:
        w = METRICS[(SANS, "bold")].width(s, size)
        svg.line(x, y + 0.16 * size, x + w, y + 0.16 * size, max(1.0, size / 13))


def sans_width(s, size):
    return METRICS[(SANS, "normal")].width(s, size)


# The worked example.

THETA_DEG = 40.0
G = 9.807
V0 = 350.0
S0Y = 1100.0
T_END, T_STEP = 50.0, 0.1
Y_MAX = 1.5e4


def s_y(t):
    theta = math.radians(THETA_DEG)
    return -G / 2 * t * t + V0 * math.sin(theta) * t + S0Y


def s_x(t):
    return V0 * math.cos(math.radians(THETA_DEG)) * t


def example_problem():
    svg = Svg(544, 492)
    math_size, note_size = 14, 12
    f = Formula(math_size)
    title(svg, 12, 24, "Example Problem:", 15)

    columns = (14, 286)
    rows = (58, 88)
    definitions = [
        ("\u03b8 := 40*deg", "(super elevation angle)"),
        ("g = 9.807 m/s^2", "(acceleration due to gravity)"),
        ("v_o := 350*m/sec", "(muzzle velocity)"),
        ("s_{oy} := 1100*m", "(firing position elevation)"),
    ]
    for i, (markup, note) in enumerate(definitions):
        x, y = columns[i % 2], rows[i // 2]
        box = f(markup)
        box.draw(svg, x, y)
        svg.text(x + box.width + 10, y, note, note_size, SANS)

    functions = [
        "s_y(t) := \\p{\\p{\\frac{-g}{2}}*t^2 + v_o*sin(\u03b8)*t + s_{oy}}",
        "s_x(t) := v_o*cos(\u03b8)*t",
        "t := 0*sec, .1*sec .. 50*sec",
    ]
    boxes = [f(m) for m in functions]
    gap = (544 - 2 * 14 - sum(b.width for b in boxes)) / (len(boxes) - 1)
    x = 14
    for box in boxes:
        box.draw(svg, x, 138)
        x += box.width + gap

    # Frame lines sit on pixel centres so that they stay one pixel wide; the axes'
    # origin is the frame line itself.
    left, top, width, height = 150.5, 196.5, 380, 195
    right, bottom = left + width, top + height
    svg.text(left + width / 2, top - 12, "Vertical and Horizontal Distance vs Time", 13, SANS, anchor="middle")

    def px(t):
        return left + t / T_END * width

    def py(v):
        return bottom - v / Y_MAX * height

    grid = 'stroke="#00a000" stroke-width="1"'
    for t in range(10, 50, 10):
        svg.raw('<line x1="%s" y1="%s" x2="%s" y2="%s" %s/>' % (fmt(px(t)), fmt(top), fmt(px(t)), fmt(bottom), grid))
    for v in (5000, 10000):
        svg.raw('<line x1="%s" y1="%s" x2="%s" y2="%s" %s/>' % (fmt(left), fmt(py(v)), fmt(right), fmt(py(v)), grid))

    steps = int(round(T_END / T_STEP))
    times = [i * T_STEP for i in range(steps + 1)]

    def points(fn):
        return " ".join("%s,%s" % (fmt(px(t)), fmt(py(fn(t)))) for t in times)

    svg.raw('<polyline id="curve-sy" fill="none" stroke="#ff0000" stroke-width="2.5" '
            'points="%s"/>' % points(s_y))
    svg.raw('<polyline id="curve-sx" fill="none" stroke="#0000ff" stroke-width="1.5" '
            'stroke-dasharray="1.5,2.5" points="%s"/>' % points(s_x))
    svg.raw('<rect id="plot-frame" x="%s" y="%s" width="%d" height="%d" fill="none" stroke="black" '
            'stroke-width="1"/>' % (fmt(left), fmt(top), width, height))

    tick = 12
    for t in range(0, 51, 10):
        svg.text(px(t), bottom + 15, str(t), tick, SANS, anchor="middle")
    for v, markup in ((0, "0"), (5000, "5000"), (10000, "1*10^4"), (15000, "1.5*10^4")):
        _draw_sans(svg, markup, tick, left - 5, py(v) + 4)

    svg.text(left + width / 2, bottom + 31, "t", math_size, SERIF, anchor="middle")
    svg.text(left + width / 2, bottom + 47, "Time (seconds)", tick, SANS, anchor="middle")

    axis_x, axis_mid = 22, top + height / 2
    svg.text(axis_x, axis_mid, "Distance (meters)", tick, SANS, anchor="middle",
             extra=' transform="rotate(-90 %s %s)"' % (fmt(axis_x), fmt(axis_mid)))

    legend_x = 44
    for i, (markup, colour, style) in enumerate((("s_y(t)", "#ff0000", ' stroke-linecap="butt"'),
                                                 ("s_x(t)", "#0000ff", ' stroke-dasharray="1.5,2.5"'))):
        y = axis_mid - 22 + i * 38
        f(markup).draw(svg, legend_x + 4, y)
        svg.line(legend_x, y + 10, legend_x + 44, y + 10, 2.5 if i == 0 else 1.5, colour, style)

    entries = (("Vetical Distance", "#ff0000", 2.5, ""),
               ("Horizontal Distance", "#0000ff", 1.5, ' stroke-dasharray="1.5,2.5"'))
    sample, spacing = 36, 28
    total = sum(sample + 6 + sans_width(s, tick) for s, *_ in entries) + spacing
    x = left + (width - total) / 2
    y = bottom + 71
    for s, colour, w, style in entries:
        svg.line(x, y - 4, x + sample, y - 4, w, colour, style)
        svg.text(x + sample + 6, y, s, tick, SANS)
        x += sample + 6 + sans_width(s, tick) + spacing
    return svg.render("Example Problem")


def _draw_sans(svg, markup, size, right, y):
    """A tick label such as 1.5·10^4, set flush right at x = right."""
    base, _, power = markup.partition("^")
    base = base.replace("*", "\u00b7")
    sup = 0.72 * size
    w = sans_width(base, size) + (sans_width(power, sup) + 0.05 * size if power else 0)
    x = right - w
    svg.text(x, y, base, size, SANS)
    if power:
        svg.text(x + sans_width(base, size) + 0.05 * size, y - 0.42 * size, power, sup, SANS)


def general_analysis():
    svg = Svg(432, 445)
    size, note = 14, 12.5
    f = Formula(size)
    left = 12
    text_width = 432 - 2 * left
    title(svg, left, 22, "General Analysis", 15, underline=True)

    y = 64
    for markup, comment in (("s_y = \\p{\\frac{-g}{2}}*t^2 + v_{oy}*t + s_{oy}", "(vertical displacement vector)"),
                            ("s_x = v_o*cos(a)*t", "(horizontal displacement vector)")):
        box = f(markup)
        box.draw(svg, left, y)
        svg.text(left + 226, y, comment, note, SANS)
        y += 38

    svg.text(left, y, "where the vector components are::", note, SANS)
    y += 28
    f("v_{oy} = v_o*sin(a)").draw(svg, left + 24, y)
    f("v_{ox} = v_o*cos(a)").draw(svg, left + 226, y)
    y += 38

    for line in wrap("Solving for t in the horizontal displacement equation and substituting into the "
                     "vertical displacement equation eliminates t as a variable.", note, text_width):
        svg.text(left, y, line, note, SANS)
        y += 16
    y += 32

    box = f("\\p{\\frac{-g}{2}}*\\b{\\frac{s_x}{v_o*cos(a)}}^2 + v_o*sin(a)*\\frac{s_x}{v_o*cos(a)} "
            "+ s_{oy} - s_y = 0")
    box.draw(svg, left, y)
    y += box.descent + 30

    svg.text(left, y, "which simplifies to:", note, SANS)
    y += 40

    box = f("\\frac{g*s_x^2 - 2*s_x*sin(a)*v_o^2*cos(a) - 2*s_{oy}*v_o^2*cos(a)^2 + 2*s_y*v_o^2*cos(a)^2}"
            "{v_o^2*cos(a)^2} = 0")
    box.draw(svg, left, y)
    y += box.descent + 34

    for line in wrap("variations of this relationship can then be used to solve (algebraically or "
                     "numerically) most required outputs.", note, text_width):
        svg.text(left, y, line, note, SANS)
        y += 15
    return svg.render("General Analysis")


def newtons_method():
    svg = Svg(543, 265)
    size, note = 13, 12
    f = Formula(size)
    left = 10
    title(svg, left, 20, "Newton's Method for root finding angle (a)", 14, underline=True)

    numerator = "g*s_x^2 - 2*s_x*sin(a)*v_o^2*cos(a) - 2*s_{oy}*v_o^2*cos(a)^2 + 2*s_y*v_o^2*cos(a)^2"
    lines = [
        (58, "f(a) := \\frac{%s}{v_o^2*cos(a)^2}" % numerator, None),
        (101, "\\frac{d}{da}f(a) = Part1 + Part2", "where"),
        (145, "Part1 = \\frac{-2*s_x*cos(a)^2*v_o^2 + 2*s_x*sin(a)^2*v_o^2 + 4*s_{oy}*v_o^2*cos(a)*sin(a) "
              "- 4*s_y*v_o^2*cos(a)*sin(a)}{v_o^2*cos(a)^2}", None),
        (192, "Part2 = 2*\\frac{%s}{v_o^2*cos(a)^3}*sin(a)" % numerator, None),
    ]
    for y, markup, after in lines:
        box = f(markup)
        box.draw(svg, left, y)
        if after:
            svg.text(left + box.width + 16, y, after, note, SANS)

    y = 241
    x = left
    for kind, content in (("math", "a_{new} = a_{old} - \\frac{f(a_{old})}{f\u2032(a_{old})}"),
                          ("text", "Then let:"), ("math", "a_{old} = a_{new}"),
                          ("text", "and iterate until convergence")):
        if kind == "math":
            box = f(content)
            box.draw(svg, x, y)
            x += box.width + 16
        else:
            svg.text(x, y, content, note, SANS)
            x += sans_width(content, note) + 10
    return svg.render("Newton's Method")


FIGURES = {
    "example_problem.svg": example_problem,
    "general_analysis.svg": general_analysis,
    "newtons_method.svg": newtons_method,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed files instead of writing")
    args = parser.parse_args()
    stale = []
    for name, make in FIGURES.items():
        path = OUT / name
        content = make()
        if args.check:
            if not path.exists() or path.read_text(encoding="utf-8") != content:
                stale.append(name)
        else:
            path.write_text(content, encoding="utf-8")
    if stale:
        print("make-figures: out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
