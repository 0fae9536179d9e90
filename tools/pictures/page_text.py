#!/usr/bin/env python3
"""Turns pages written in UTF-8 into the single-byte pages the viewer reads.

    python3 tools/pictures/page_text.py HTML/*.HTM HTML/Index.htm Help/*.htm

A page that is already single-byte (it holds bytes that are not UTF-8, such
as the raw pound sign 0xA3 of the preset links) is left alone.

The viewer knows only the Latin-1 entities, so Greek letters are written as
the entity of the byte that stands for the letter in the Greek code page
(windows-1253, where 0xE8 is theta), and such a page says so in a META
line: the viewer then draws its text in that code page.  The symbols used
here (degree, squared, micro, middle dot, plus-minus, one half, pound) have
the same byte in both code pages; the multiplication and division signs do
not, so a Greek page writes products with the middle dot.
"""

import html.entities
import sys

META = '<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=windows-1253">'

# Characters that keep their meaning in both code pages.
COMMON = {
    "\u00b0": "&deg;", "\u00b2": "&sup2;", "\u00b3": "&sup3;", "\u00b5": "&micro;",
    "\u00b7": "&middot;", "\u00bd": "&frac12;", "\u00b1": "&plusmn;", "\u00a0": "&nbsp;",
    "\u00a9": "&copy;", "\u2013": "&ndash;", "\u2019": "&rsquo;", "\u2026": "&hellip;",
}
# Only in a Latin page.
LATIN_ONLY = {"\u00d7": "&times;", "\u00f7": "&divide;", "\u00e9": "&eacute;"}


def greek_entity(ch):
    b = ch.encode("cp1253")[0]
    name = html.entities.codepoint2name[b]
    return "&%s;" % name


def convert(text, path):
    greek = any("\u0370" <= c <= "\u03ff" for c in text)
    out = []
    for c in text:
        if c < "\x80":
            out.append(c)
        elif c == "\u00a3":
            out.append(c)  # stays one byte, 0xA3, in either code page
        elif c in COMMON:
            out.append(COMMON[c])
        elif c in LATIN_ONLY:
            if greek:
                raise ValueError("%s: %r has another meaning in a Greek page" % (path, c))
            out.append(LATIN_ONLY[c])
        elif "\u0370" <= c <= "\u03ff":
            out.append(greek_entity(c))
        else:
            raise ValueError("%s: no entity for %r" % (path, c))
    result = "".join(out)
    if greek and META not in result:
        head = result.upper().find("<HEAD>")
        if head < 0:
            raise ValueError(path + ": a Greek page needs a HEAD for its META line")
        result = result[:head + 6] + "\n" + META + result[head + 6:]
    return result.encode("cp1252")


def main(paths):
    for path in paths:
        with open(path, "rb") as f:
            data = f.read()
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            continue  # already single-byte
        with open(path, "wb") as f:
            f.write(convert(text, path))


if __name__ == "__main__":
    main(sys.argv[1:])
