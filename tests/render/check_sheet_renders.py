"""The sample and directions moulds' sheets as a reader sees them: every SVG rasterised in headless Chromium and every
PDF page by pdftoppm, compared with the reviewed renders in tests/reference_sheets/<mould>_renders. A render may differ
from its reference in at most a thousandth of its pixels (a pixel differs when its grey differs by more than 64 of
255): enough for antialiasing and for dashes that start elsewhere along a joined line, far too little for a line gone
or doubled. On a mismatch the render is left beside the reference as actual.NAME; tests/accept_references.sh accepts it
after review. Usage: check_sheet_renders.py QUILLON SOURCE_DIR [OUTPUT_DIR]; exits 77 (skipped) when no browser starts.
"""
import glob
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from png_image import read_png  # noqa: E402

QUILLON, SOURCE = sys.argv[1], sys.argv[2]
BROWSER = shutil.which("chromium") or shutil.which("chromium-browser")
SVG_WINDOW = (1123, 794)  # an A4 landscape sheet at 96 pixels to the inch, as Chromium sizes millimetres
PDF_DPI = 100


def run(*command, cwd=None):
    subprocess.run(command, check=True, capture_output=True, timeout=900, cwd=cwd)


def make_outputs(work):
    """The two moulds' sheets as the current build writes them, in a folder of fixed name: the title block shows the
    part's path."""
    work = os.path.join(tempfile.gettempdir(), "quillon_sheet_renders")
    shutil.rmtree(work, ignore_errors=True)
    sample = os.path.join(work, "sample")
    run(QUILLON, "demo", "-o", sample)
    directions = os.path.join(work, "directions")
    examples = os.path.join(SOURCE, "examples")
    part = os.path.join(work, "directions.prt")
    run(QUILLON, "import", os.path.join(examples, "directions_mould.step"), "--attrs",
        os.path.join(examples, "directions_mould.attrs.json"), "-o", part)
    run(QUILLON, "run", part, "--set", "INT_1=1", "--set", "INT_2=6")
    run(QUILLON, "export", part, "-o", directions, "--svg", "--pdf")
    return {"sample": sample, "directions": directions}


def grey_rows_of_png(path):
    width, height, rows = read_png(path)
    return width, height, [bytes((r[i] * 3 + r[i + 1] * 6 + r[i + 2]) // 10 for i in range(0, len(r), 3)) for r in rows]


def read_pgm(data):
    """Width, height and rows of a binary 8-bit PGM."""
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P5" and fields[3] == b"255", fields
    width, height = int(fields[1]), int(fields[2])
    at += 1
    return width, height, [data[at + y * width:at + (y + 1) * width] for y in range(height)]


def pgm(width, height, rows):
    return b"P5\n%d %d\n255\n" % (width, height) + b"".join(rows)


# A sheet's title block shows the day it was drawn, which no reference can know: its box is left out of the comparison,
# with room for a date of another length. The boxes are in pixels: left, top, right, bottom.
DATE = re.compile(r"^\d{4}\.\d{1,2}\.\d{1,2}$")
DATE_MARGIN_MM = 6.0


def svg_date_boxes(svg):
    with open(svg, encoding="utf-8") as f:
        text = f.read()
    scale = SVG_WINDOW[0] / 297.0
    boxes = []
    for m in re.finditer(r'<text transform="translate\(([-0-9.]+) ([-0-9.]+)\)[^>]*font-size="([0-9.]+)"[^>]*>([^<]*)<',
                         text):
        if DATE.match(m.group(4)):
            x, y, size = float(m.group(1)), float(m.group(2)), float(m.group(3))
            reach = len(m.group(4)) * size * 0.6 + DATE_MARGIN_MM
            boxes.append(((x - reach) * scale, (y - 2 * size) * scale, (x + reach) * scale, (y + 2 * size) * scale))
    return boxes


def pdf_date_boxes(pdf, work):
    """Page number -> boxes of the dates pdftotext finds on it."""
    html = os.path.join(work, "words.html")
    run("pdftotext", "-bbox", pdf, html)
    with open(html, encoding="utf-8") as f:
        text = f.read()
    scale, margin = PDF_DPI / 72.0, DATE_MARGIN_MM * 72.0 / 25.4
    boxes, page = {}, 0
    for m in re.finditer(r'<page |<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)<',
                         text):
        if m.group(0).startswith("<page"):
            page += 1
        elif DATE.match(m.group(5)):
            x0, y0, x1, y1 = (float(m.group(i)) for i in range(1, 5))
            boxes.setdefault(page, []).append(((x0 - margin) * scale, (y0 - margin) * scale, (x1 + margin) * scale,
                                               (y1 + margin) * scale))
    return boxes


def renders(folder, work):
    """Name -> (width, height, grey rows, boxes left out) of every sheet's SVG and every page of the PDF in folder."""
    out = {}
    for svg in sorted(glob.glob(os.path.join(folder, "*.svg"))):
        shot = os.path.join(work, "shot.png")
        profile = tempfile.mkdtemp(prefix="profile_", dir=work)
        subprocess.run([BROWSER, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
                        "--user-data-dir=" + profile, "--window-size=%d,%d" % SVG_WINDOW, "--screenshot=" + shot,
                        "file://" + svg], capture_output=True, timeout=120)
        out[os.path.basename(svg)] = grey_rows_of_png(shot) + (svg_date_boxes(svg),)
        os.remove(shot)
    for pdf in glob.glob(os.path.join(folder, "*.pdf")):
        stem = os.path.join(work, "page")
        run("pdftoppm", "-r", str(PDF_DPI), "-gray", pdf, stem)
        dates = pdf_date_boxes(pdf, work)
        for page in sorted(glob.glob(stem + "-*.pgm")):
            number = int(page[len(stem) + 1:-4])
            with open(page, "rb") as f:
                out["page%02d.pdf" % number] = read_pgm(f.read()) + (dates.get(number, []),)
            os.remove(page)
    return out


def differing(a, b):
    if a[:2] != b[:2]:
        return None
    count = 0
    for row, (ra, rb) in enumerate(zip(a[2], b[2])):
        skip = [(int(x0), int(x1) + 1) for x0, y0, x1, y1 in a[3] if y0 <= row <= y1]
        for column, (x, y) in enumerate(zip(ra, rb)):
            if abs(x - y) > 64 and not any(x0 <= column < x1 for x0, x1 in skip):
                count += 1
    return count


def main():
    work = tempfile.mkdtemp(prefix="quillon_renders_")
    try:
        folders = {"sample": os.path.join(sys.argv[3], "sample"), "directions": os.path.join(sys.argv[3], "directions")} \
            if len(sys.argv) > 3 else make_outputs(work)
        failures, compared = [], 0
        for mould, folder in folders.items():
            reference = os.path.join(SOURCE, "tests", "reference_sheets", mould + "_renders")
            os.makedirs(reference, exist_ok=True)
            for name, image in renders(folder, work).items():
                expected_path = os.path.join(reference, "expected.%s.pgm.gz" % name)
                actual_path = os.path.join(reference, "actual.%s.pgm.gz" % name)
                if os.path.exists(actual_path):
                    os.remove(actual_path)
                expected = None
                if os.path.exists(expected_path):
                    with gzip.open(expected_path, "rb") as f:
                        expected = read_pgm(f.read())
                count = differing(image, expected + ([],)) if expected else None
                compared += 1
                if count is None or count > image[0] * image[1] // 1000:
                    with gzip.open(actual_path, "wb") as f:
                        f.write(pgm(*image[:3]))
                    failures.append("%s %s: %s pixels differ" % (mould, name, "all" if count is None else count))
                else:
                    print("%s %s: %d of %d pixels differ" % (mould, name, count, image[0] * image[1]))
        if failures or compared < 10:
            print("\n".join(failures) or "too few renders: %d" % compared)
            print("review the actual.* renders beside the references and accept them with tests/accept_references.sh")
            return 1
        return 0
    finally:
        shutil.rmtree(work)
        if len(sys.argv) <= 3:
            shutil.rmtree(os.path.join(tempfile.gettempdir(), "quillon_sheet_renders"), ignore_errors=True)


if __name__ == "__main__":
    if not BROWSER or subprocess.run([BROWSER, "--version"], capture_output=True).returncode != 0:
        print("no chromium that starts: skipped")
        sys.exit(77)
    sys.exit(main())
