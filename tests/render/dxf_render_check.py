#!/usr/bin/python3
"""Renders each sheet's DXF as two other programs draw it and compares the pictures with the sheet's PDF page.

    dxf_render_check.py --quillon QUILLON --command LIBRARY     exports the sample mould and checks it
    dxf_render_check.py --dir FOLDER                            checks an export already made (PART.pdf, PART.json)

LibreCAD's dxf2pdf (headless) and ezdxf's drawing add-on (matplotlib) each draw every DXF at full size; the pictures
and our own PDF page are rasterised at one resolution, aligned, and compared as ink masks:
  - the ink of each is near the other's (lines, texts and dimensions in the same places);
  - around each dimension value there is no more ink than one value makes (a dimension drawn twice doubles it);
  - every text's glyphs exist in the font the reader picks, and its box holds ink as the PDF's does (a missing glyph
    is a box or a small diamond, far less ink than a Chinese character).
The readers get the fonts a user of them would set up: LibreCAD the stroke fonts of --fonts FOLDER (the build's, made
by scripts/lff_font.py) as its font folder, or, without it, fonts made here for the texts at hand; ezdxf as Debian
ships it, with the settings EZDXF_CONFIG_FILE names (the build's ezdxf/ezdxf.ini adds the sheets' font to its font
cache). Exits 77 when a reader cannot start at all.
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
DPI = 100
MM = DPI / 25.4
INK = 0.6          # grey level below which a pixel is ink
READER_INK = 0.8   # the same in a reader's picture, which draws a thin grey line one pixel wide and lighter
NEAR_MM = 0.8      # how far ink may stand from the other picture's ink
SHIFT_MM = 4.0     # how far a reader may have placed the page
CELL_MM = 8.0      # the patches compared one by one
CELL_INK = 40      # pixels of ink that make a patch worth comparing
CELL_NEAR_MM = 2.0 # a reader's font runs a long text line a little longer or shorter
REBUILT_MM = 4.0   # where a reader that rebuilds a dimension may put its value
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

try:
    import numpy as np
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.image as mpimg
    import matplotlib.pyplot as plt
    from ezdxf import recover
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    from ezdxf.addons.drawing.properties import LayoutProperties
    from ezdxf.tools.fonts import get_font_face as ezdxf_font_face
    from ezdxf.tools._matplotlib_font_support import get_font_properties as ezdxf_font_properties
    from matplotlib.ft2font import FT2Font
    from matplotlib.font_manager import FontManager, findfont
except ImportError as missing:
    print(f"skipped: {missing} (python3-ezdxf, python3-matplotlib)")
    sys.exit(SKIP)


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


# ---- pictures ----------------------------------------------------------------------------------------------------

def raster(pdf, page, out_stem):
    run(["pdftoppm", "-r", str(DPI), "-gray", "-png", "-f", str(page), "-l", str(page), "-singlefile", pdf, out_stem],
        check=True)
    image = mpimg.imread(out_stem + ".png")
    return image if image.ndim == 2 else image[..., 0]


def sheet_size(doc):
    limit = doc.header.get("$LIMMAX", (297.0, 210.0))
    return float(limit[0]), float(limit[1])


def read_dxf(path):
    """The DXF as ezdxf's own draw and view commands load it: with the \\U+XXXX escapes of its texts decoded."""
    doc, _ = recover.readfile(path)
    return doc


def ezdxf_picture(path, out_png):
    doc = read_dxf(path)
    width, height = sheet_size(doc)
    figure = plt.figure(figsize=(width / 25.4, height / 25.4), dpi=DPI)
    axes = figure.add_axes([0, 0, 1, 1])
    axes.set_axis_off()
    layout = doc.modelspace()
    properties = LayoutProperties.from_layout(layout)
    properties.set_colors("#ffffff")
    Frontend(RenderContext(doc), MatplotlibBackend(axes)).draw_layout(layout, finalize=False,
                                                                     layout_properties=properties)
    axes.set_xlim(0, width)
    axes.set_ylim(0, height)
    figure.savefig(out_png, dpi=DPI, facecolor="white")
    plt.close(figure)
    image = mpimg.imread(out_png)
    # A line in a body's colour is ink where any channel is dark: a thin copper line smoothed over two pixel columns
    # is light on average yet plainly drawn.
    return image[..., :3].min(axis=2) if image.ndim == 3 else image


def fit(image, shape):
    """The sheet's rectangle at the lower left of a page (readers print at full size from the page's corner)."""
    rows, cols = shape
    out = np.ones(shape)
    take = image[max(0, image.shape[0] - rows):, :cols]
    out[rows - take.shape[0]:, :take.shape[1]] = take
    return out


def dilate(mask, radius):
    out = mask.copy()
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            if dx * dx + dy * dy <= radius * radius:
                out |= np.roll(np.roll(mask, dy, axis=0), dx, axis=1)
    return out


def align(ours, theirs, *also):
    """Moves their ink, and each mask of also with it, by the whole-pixel shift that lays most of it on ours."""
    reach = int(SHIFT_MM * MM)
    near = dilate(ours, 1)
    best, best_shift = -1, (0, 0)
    for dy in range(-reach, reach + 1, 2):
        for dx in range(-reach, reach + 1, 2):
            score = np.count_nonzero(near & np.roll(np.roll(theirs, dy, axis=0), dx, axis=1))
            if score > best:
                best, best_shift = score, (dy, dx)
    dy0, dx0 = best_shift
    for dy in (dy0 - 1, dy0, dy0 + 1):
        for dx in (dx0 - 1, dx0, dx0 + 1):
            score = np.count_nonzero(near & np.roll(np.roll(theirs, dy, axis=0), dx, axis=1))
            if score > best:
                best, best_shift = score, (dy, dx)
    moved = [np.roll(np.roll(m, best_shift[0], axis=0), best_shift[1], axis=1) for m in (theirs,) + also]
    return moved if also else moved[0]


# ---- what the DXF says -------------------------------------------------------------------------------------------

def text_box(text, height_px):
    """The box of a TEXT in pixels (row0, row1, col0, col1), from its height, width factor and characters."""
    h = text.dxf.height
    width = sum((1.4 if ord(c) > 0x2E80 else 0.76) for c in text.plain_text()) * h * text.dxf.width
    anchor = text.dxf.align_point if text.dxf.halign or text.dxf.valign else text.dxf.insert
    x, y = anchor.x, anchor.y
    halign, valign = text.dxf.halign, text.dxf.valign
    left = x - width * (0.5 if halign == 1 else 1.0 if halign == 2 else 0.0)
    bottom = y - h * (1.0 if valign == 3 else 0.5 if valign == 2 else 0.0)
    if abs(text.dxf.rotation % 180 - 90) < 1:  # turned a quarter: the box turns about the anchor
        along, across = left - x, bottom - y
        sign = 1 if text.dxf.rotation % 360 < 180 else -1
        x0, x1 = sorted((x - sign * across, x - sign * (across + h)))
        y0, y1 = sorted((y + sign * along, y + sign * (along + width)))
    else:
        x0, x1, y0, y1 = left, left + width, bottom, bottom + h
    return (int(height_px - y1 * MM), int(height_px - y0 * MM) + 1, int(x0 * MM), int(x1 * MM) + 1)


def texts_of(doc):
    """(text entity, whether it is a DIMENSION's value) for the sheet's texts and those inside its blocks. A
    DIMENSION's value is what a reader may draw twice: from the block and again rebuilt, or beside a plain copy."""
    found = []
    for e in doc.modelspace():
        if e.dxftype() == "TEXT":
            found.append((e, False))
        elif e.dxftype() in ("DIMENSION", "INSERT"):
            block = doc.blocks.get(e.dxf.geometry if e.dxftype() == "DIMENSION" else e.dxf.name)
            for part in block or []:
                if part.dxftype() == "TEXT":
                    found.append((part, e.dxftype() == "DIMENSION"))
    return found


def style_fonts(doc):
    """Each text style's TrueType file name."""
    return {s.dxf.name.lower(): s.dxf.get("font", "") for s in doc.styles}


# ---- the readers' fonts ------------------------------------------------------------------------------------------

def system_fonts():
    """Installed font files by lower-case file name, as matplotlib indexes them."""
    return {os.path.basename(f.fname).lower(): f for f in FontManager().ttflist}


def librecad_home(work, docs, installed, failures, fonts=None):
    """A home for LibreCAD and its font folder: the one given, else one holding, for each style the texts use, a
    stroke font named like the style and made from the style's TrueType file."""
    home = os.path.join(work, "home")
    os.makedirs(os.path.join(home, ".config", "LibreCAD"), exist_ok=True)
    if fonts:
        return home, fonts
    fonts = os.path.join(home, "fonts")
    os.makedirs(fonts, exist_ok=True)
    characters = {}
    for doc in docs:
        files = style_fonts(doc)
        for text, _ in texts_of(doc):
            style = text.dxf.style.lower()
            characters.setdefault((style, files.get(style, "")), set()).update(text.plain_text())
    for (style, file_name), chars in characters.items():
        entry = installed.get(file_name.lower())
        if entry is None:
            failures.append(f"style {style}: its font {file_name!r} is not installed")
            continue
        listing = os.path.join(work, style + ".chars")
        with open(listing, "w", encoding="utf-8") as out:
            out.write("".join(sorted(chars)))
        run([sys.executable, os.path.join(SOURCE, "scripts", "lff_font.py"), entry.fname,
             os.path.join(fonts, style + ".lff"), "--text", listing], check=True)
    return home, fonts


def librecad_pictures(work, dxfs, docs, home, fonts):
    """Prints the sheets at full size on paper of their size: LibreCAD takes the paper from its settings, so sheets
    of one size are printed together."""
    folder = os.path.join(work, "librecad")
    os.makedirs(folder, exist_ok=True)
    by_size = {}
    for path, doc in zip(dxfs, docs):
        copy = os.path.join(folder, os.path.basename(path))
        shutil.copy(path, copy)
        by_size.setdefault(sheet_size(doc), []).append(copy)
    env = dict(os.environ, HOME=home, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=os.path.join(home, "run"))
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    for (width, height), copies in by_size.items():
        with open(os.path.join(home, ".config", "LibreCAD", "LibreCAD.conf"), "w") as conf:
            conf.write(f"[Paths]\nFonts={fonts}\n\n"
                       f"[Print]\nPaperSizeX={width:g}\nPaperSizeY={height:g}\n")
        try:
            done = run(["librecad", "dxf2pdf", "-s", "1", "-f", "0,0,0,0"] + copies, env=env, timeout=600)
        except (OSError, subprocess.TimeoutExpired) as failure:
            print(f"skipped: LibreCAD does not start: {failure}")
            sys.exit(SKIP)
        if not any(os.path.exists(c[:-4] + ".pdf") for c in copies):
            print(f"skipped: LibreCAD printed nothing: {done.stderr[-500:]}")
            sys.exit(SKIP)
    return [os.path.join(folder, os.path.basename(path))[:-4] + ".pdf" for path in dxfs]


# ---- comparisons -------------------------------------------------------------------------------------------------

def value_boxes(doc, rows):
    """Where each DIMENSION entity's value stands, from the entity itself (its block may have lost it)."""
    boxes = []
    for e in doc.modelspace().query("DIMENSION"):
        x, y = e.dxf.text_midpoint.x, e.dxf.text_midpoint.y
        reach = REBUILT_MM
        boxes.append((max(0, int(rows - (y + reach) * MM)), int(rows - (y - reach) * MM),
                      max(0, int((x - reach) * MM)), int((x + reach) * MM)))
    return boxes


def compare(name, reader, ours_image, theirs_image, doc, glyphs_of, failures, report, rebuilds):
    """rebuilds: the reader draws linear dimensions itself from their points and value, placing a value that does
    not fit between the extension lines by its own rules; such values are checked within REBUILT_MM."""
    ours = ours_image < INK
    # Lines are looked for with the lenient threshold; texts' ink is counted with the strict one, as on our page.
    theirs, theirs_text = align(ours, theirs_image < READER_INK, theirs_image < INK)
    near = int(round(NEAR_MM * MM))
    found = np.count_nonzero(ours & dilate(theirs, near)) / max(1, np.count_nonzero(ours))
    placed = np.count_nonzero(theirs & dilate(ours, near)) / max(1, np.count_nonzero(theirs))
    rows = ours.shape[0]
    compared = ours.copy()
    if rebuilds:
        for r0, r1, c0, c1 in value_boxes(doc, rows):
            mine = np.count_nonzero(ours[r0:r1, c0:c1])
            their = np.count_nonzero(theirs[r0:r1, c0:c1])
            if their < 0.4 * mine:
                failures.append(f"{name} in {reader}: a dimension value near "
                                f"({round((c0 + c1) / 2 / MM)}, {round((rows - (r0 + r1) / 2) / MM)}) mm is missing")
            compared[r0:r1, c0:c1] = False
    # Texts are compared text by text below: a reader's font runs a line shorter or longer, so the patch at the end of
    # a long text (the part's path, whose length depends on where the part is) may hold little of the reader's ink.
    # The box is estimated from the characters' count; capitals run wider than that, so it is taken a third wider.
    for text, _ in texts_of(doc):
        r0, r1, c0, c1 = text_box(text, rows)
        grow = int(1.0 * MM)
        wider = grow + (c1 - c0) // 3
        compared[max(0, r0 - grow):r1 + grow, max(0, c0 - wider):c1 + wider] = False
    # Place by place: each patch of the PDF's line work has the reader's ink near most of it (a line or dimension
    # left out empties its patch however much else is right).
    near_theirs = dilate(theirs, int(round(CELL_NEAR_MM * MM)))
    ours = compared
    cell = int(CELL_MM * MM)
    weakest, weakest_at = 1.0, None
    for r in range(0, ours.shape[0], cell):
        for c in range(0, ours.shape[1], cell):
            mine = np.count_nonzero(ours[r:r + cell, c:c + cell])
            if mine >= CELL_INK:
                share = np.count_nonzero(ours[r:r + cell, c:c + cell] & near_theirs[r:r + cell, c:c + cell]) / mine
                if share < weakest:
                    weakest, weakest_at = share, (round(c / MM), round((ours.shape[0] - r) / MM))
    if weakest < 0.5:
        failures.append(f"{name} in {reader}: near {weakest_at} mm only {weakest:.0%} of the PDF's ink has ink near it")
    line = {"sheet": name, "reader": reader, "our_ink_found": round(found, 3), "their_ink_placed": round(placed, 3),
            "weakest_patch": round(weakest, 2), "weakest_at": weakest_at}
    if found < 0.85:
        failures.append(f"{name} in {reader}: only {found:.0%} of the PDF's ink has ink near it")
    if placed < 0.85:
        failures.append(f"{name} in {reader}: only {placed:.0%} of its ink lies near the PDF's")
    ours = ours_image < INK
    worst_value, worst_glyph = 0.0, 9.0
    # texts are compared in their box grown a little (readers' fonts stand a little higher or wider), a value in its
    # box alone, so that the ink of a neighbouring value does not count as a second copy
    grow_text, grow_value = int(1.0 * MM), int(0.3 * MM)
    files = style_fonts(doc)
    for text, is_value in texts_of(doc):
        r0, r1, c0, c1 = text_box(text, rows)
        grow = grow_value if is_value else grow_text
        r0, r1, c0, c1 = max(0, r0 - grow), min(rows, r1 + grow), max(0, c0 - grow), c1 + grow
        mine = np.count_nonzero(ours[r0:r1, c0:c1])
        their = np.count_nonzero(theirs_text[r0:r1, c0:c1])
        content = text.plain_text()
        if mine < 5:
            continue
        ratio = their / mine
        # Every text is drawn: a reader's own font puts less ink or more in the box, never next to none (a Chinese
        # text is checked for its glyphs below, a value that the reader rebuilds where it likes above).
        chinese = any(ord(c) > 0x2E80 for c in content)
        if ratio < 0.3 and not chinese and not (is_value and rebuilds):
            failures.append(f"{name} in {reader}: {content!r} has {ratio:.2f} of the PDF's ink: it is not drawn")
        if is_value:
            worst_value = max(worst_value, ratio)
            if ratio > 2.0:
                failures.append(f"{name} in {reader}: dimension value {content!r} has {ratio:.1f} times the PDF's ink")
        if chinese:
            worst_glyph = min(worst_glyph, ratio)
            missing = [c for c in content if not c.isspace() and not glyphs_of(text.dxf.style, files, c)]
            if missing:
                failures.append(f"{name} in {reader}: {content!r} has no glyph for {''.join(missing)!r}")
            if ratio < 0.3:
                failures.append(f"{name} in {reader}: {content!r} has {ratio:.2f} of the PDF's ink: boxes, not glyphs")
    line.update(dimension_value_ink=round(worst_value, 2), chinese_text_ink=round(worst_glyph, 2))
    report.append(line)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--quillon")
    parser.add_argument("--command")
    parser.add_argument("--dir")
    parser.add_argument("--keep", help="leave the pictures in this folder")
    parser.add_argument("--fonts", help="LibreCAD's font folder: the stroke fonts named like the text styles")
    args = parser.parse_args()
    if shutil.which("librecad") is None or shutil.which("pdftoppm") is None:
        print("skipped: librecad or pdftoppm is not installed")
        return SKIP
    work = args.keep or tempfile.mkdtemp(prefix="dxf_render_")
    os.makedirs(work, exist_ok=True)
    try:
        return check(args, work)
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


def check(args, work):
    folder = args.dir
    if folder is None:
        folder = os.path.join(work, "export")
        made = run([args.quillon, "demo", "-o", folder, "--command", args.command])
        if made.returncode != 0:
            print(made.stdout, made.stderr)
            return 1
    reports = glob.glob(os.path.join(folder, "*.json"))
    pdfs = glob.glob(os.path.join(folder, "*.pdf"))
    if len(reports) != 1 or len(pdfs) != 1:
        print(f"{folder}: expected one PART.json and one PART.pdf")
        return 1
    sheets = [s["name"] for s in json.load(open(reports[0], encoding="utf-8"))["sheets"]]
    dxfs = [os.path.join(folder, name + ".dxf") for name in sheets]
    pages = int(next(line.split()[-1] for line in run(["pdfinfo", pdfs[0]]).stdout.splitlines()
                     if line.startswith("Pages:")))
    first_sheet_page = pages - len(sheets) + 1  # the setup table's pages come first

    failures, report = [], []
    installed = system_fonts()
    docs = [read_dxf(path) for path in dxfs]
    home, fonts = librecad_home(work, docs, installed, failures, args.fonts)
    their_pdfs = librecad_pictures(work, dxfs, docs, home, fonts)

    charmaps = {}

    def ezdxf_font_has(style, files, character):
        """Whether the font ezdxf itself resolves for the style (its font cache, then matplotlib's font by family, a
        Latin one when the cache does not know the file) has the character."""
        face = ezdxf_font_face(files.get(style.lower(), ""))
        path = findfont(ezdxf_font_properties(face), fallback_to_default=True)
        if path not in charmaps:
            charmaps[path] = FT2Font(path).get_charmap()
        return ord(character) in charmaps[path]

    def stroke_font_has(style, files, character):
        path = os.path.join(fonts, style.lower() + ".lff")
        if path not in charmaps:
            charmaps[path] = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
        return f"[{ord(character):04x}]" in charmaps[path]

    for index, (name, path, doc) in enumerate(zip(sheets, dxfs, docs)):
        ours = raster(pdfs[0], first_sheet_page + index, os.path.join(work, name + ".ours"))
        drawn = ezdxf_picture(path, os.path.join(work, name + ".ezdxf.png"))
        compare(name, "ezdxf", ours, fit(drawn, ours.shape), doc, ezdxf_font_has, failures, report, False)
        if not os.path.exists(their_pdfs[index]):
            failures.append(f"{name}: LibreCAD printed no page")
            continue
        printed = raster(their_pdfs[index], 1, os.path.join(work, name + ".librecad"))
        compare(name, "LibreCAD", ours, fit(printed, ours.shape), doc, stroke_font_has, failures, report, True)

    for line in report:
        print(json.dumps(line, ensure_ascii=False))
    for failure in failures:
        print("FAIL", failure)
    print(f"{len(report)} renderings compared, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
