#!/usr/bin/python3
"""Writes a LibreCAD stroke font (.lff) holding the outlines of a TrueType font's glyphs.

LibreCAD draws text only with its own stroke fonts, and those it ships have no simplified Chinese; it picks a text's
font by the name of the text's style. The sheets' text style is named after the font made here, so with this file in
LibreCAD's font folder (its settings' Paths/Fonts) it draws the sheets' Chinese as the outlined glyphs of the same
family the PDF fills.

    lff_font.py FONT.ttf OUT.lff [--name NAME] [--text FILE ...] [--gb2312]

The font holds printable ASCII, the characters of the given text files (UTF-8) and, with --gb2312, every Chinese
character of GB 2312.
"""
import argparse
import sys

from matplotlib.font_manager import FontProperties
from matplotlib.ft2font import FT2Font, LOAD_NO_HINTING
from matplotlib.path import Path
from matplotlib.textpath import TextPath

TEXT_PATH_SCALE = 100.0  # the size TextPath has the font draw at; its paths are that much larger than one unit
CAP_HEIGHT = 9.0  # LibreCAD scales a glyph so that its capitals stand this many units tall
# LibreCAD advances by a glyph's right-most point plus the letter spacing; the glyphs keep their left bearing, so a
# spacing about the right bearing gives the TrueType font's own advances.
LETTER_SPACING = 1.0


def gb2312_characters():
    characters = []
    for row in range(0xB0, 0xF8):
        for cell in range(0xA1, 0xFF):
            try:
                characters.append(bytes([row, cell]).decode("gb2312"))
            except UnicodeDecodeError:
                pass
    return characters


def glyph_lines(character, font, scale):
    # The glyph's outline straight from the font at the size a one-unit TextPath is made from, without the text
    # layout TextPath does for every call: that layout, not the outline, took most of the time for seven thousand
    # characters.
    if font.get_char_index(ord(character)) == 0:
        return []
    font.load_char(ord(character), flags=LOAD_NO_HINTING)
    vertices, codes = font.get_path()
    if len(vertices) == 0:
        return []
    path = Path(vertices / TEXT_PATH_SCALE, codes)
    lines = []
    for polygon in path.to_polygons(closed_only=True):
        points = [(round(x * scale, 3), round(y * scale, 3)) for x, y in polygon]
        kept = [p for i, p in enumerate(points) if i == 0 or p != points[i - 1]]
        if len(kept) >= 2:
            lines.append(";".join(f"{x:g},{y:g}" for x, y in kept))
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("font")
    parser.add_argument("out")
    parser.add_argument("--name", default="")
    parser.add_argument("--text", nargs="*", default=[])
    parser.add_argument("--gb2312", action="store_true")
    args = parser.parse_args()

    characters = {chr(c) for c in range(0x21, 0x7F)}
    for name in args.text:
        with open(name, encoding="utf-8") as f:
            characters.update(c for c in f.read() if c.isprintable() and not c.isspace())
    if args.gb2312:
        characters.update(gb2312_characters())

    prop = FontProperties(fname=args.font)
    capital = TextPath((0, 0), "H", size=1, prop=prop).get_extents().height
    if capital <= 0:
        sys.exit(f"{args.font}: the font has no capital H to take the height from")
    scale = CAP_HEIGHT / capital
    width = lambda text: TextPath((0, 0), text, size=1, prop=prop).get_extents().width
    word_spacing = (width("H H") - width("HH")) * scale
    font = FT2Font(args.font)
    font.set_size(TEXT_PATH_SCALE, 72)
    name = args.name or args.out.rsplit("/", 1)[-1].rsplit(".", 1)[0]
    with open(args.out, "w", encoding="utf-8") as out:
        out.write(f"# Format:            LibreCAD Font 1\n# Name:              {name}\n"
                  f"# Encoding:          UTF-8\n# LetterSpacing:     {LETTER_SPACING:g}\n"
                  f"# WordSpacing:       {word_spacing:.3f}\n"
                  "# LineSpacingFactor: 1\n\n")
        for character in sorted(characters):
            lines = glyph_lines(character, font, scale)
            if lines:
                out.write(f"[{ord(character):04x}] {character}\n" + "\n".join(lines) + "\n\n")


if __name__ == "__main__":
    main()
