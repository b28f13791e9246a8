"""The sheet browser of the sample mould in a real headless browser: it loads from the file system without console
messages, shows every sheet, and looks like the reviewed reference screenshot. Exits 77 (skipped) only when no browser
can be started at all."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

QUILLON, SOURCE = sys.argv[1], sys.argv[2]
REFERENCE = os.path.join(SOURCE, "tests", "reference_sheets", "sheet_browser")
BROWSER = shutil.which("chromium") or shutil.which("chromium-browser")
WINDOW = (1280, 800)


def browser(work, *args):
    profile = tempfile.mkdtemp(prefix="profile_", dir=work)
    command = [BROWSER, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
               "--user-data-dir=" + profile, "--window-size=%d,%d" % WINDOW, "--enable-logging=stderr", "--v=0",
               *args]
    return subprocess.run(command, capture_output=True, text=True, timeout=120)


def read_png(path):
    """Width, height and RGB rows of an 8-bit, non-interlaced RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, (depth, colour, interlace)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if colour == 2 else 4
    raw, stride, rows, previous = zlib.decompress(idat), width * channels, [], bytearray(width * channels)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(v for i, v in enumerate(line) if i % channels < 3))
        previous = line
    return width, height, rows


class SheetBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="quillon_browser_")
        cls.dir = os.path.join(cls.work, "demo")
        subprocess.run([QUILLON, "demo", "-o", cls.dir], check=True, capture_output=True, timeout=600)
        cls.url = "file://" + os.path.join(cls.dir, "index.html")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work)

    def test_loads_without_console_messages_and_shows_every_sheet(self):
        result = browser(self.work, "--dump-dom", self.url)
        self.assertEqual(result.returncode, 0, result.stderr[-2000:])
        console = [l for l in result.stderr.splitlines() if ":CONSOLE" in l]
        self.assertEqual(console, [])
        self.assertEqual(len(re.findall(r'<figure class="sheet', result.stdout)), 8)
        shown = re.search(r'data-sheets-shown="(\d+)"', result.stdout)
        self.assertIsNotNone(shown, "the page's script did not finish")
        self.assertEqual(shown.group(1), "8")
        self.assertEqual(len(re.findall(r'<tr data-sheet=', result.stdout)), 8)
        self.assertNotRegex(result.stdout, r'(src|href)="(https?:)?//')

    def test_a_missing_sheet_is_noticed(self):
        # The check above must be able to fail: a page whose drawing is gone counts one sheet fewer.
        copy = os.path.join(self.work, "broken")
        shutil.copytree(self.dir, copy)
        os.remove(os.path.join(copy, "E03.svg"))
        result = browser(self.work, "--dump-dom", "file://" + os.path.join(copy, "index.html"))
        self.assertEqual(re.search(r'data-sheets-shown="(\d+)"', result.stdout).group(1), "7")

    def test_looks_like_the_reviewed_screenshot(self):
        shot = os.path.join(self.work, "actual.png")
        result = browser(self.work, "--screenshot=" + shot, self.url)
        self.assertTrue(os.path.exists(shot), result.stderr[-2000:])
        expected_path = os.path.join(REFERENCE, "expected.png")
        actual = read_png(shot)
        expected = read_png(expected_path) if os.path.exists(expected_path) else None
        differing = None
        if expected and expected[:2] == actual[:2]:
            differing = sum(1 for ra, rb in zip(actual[2], expected[2]) for i in range(0, len(ra), 3)
                            if max(abs(ra[i + k] - rb[i + k]) for k in range(3)) > 64)
        # Fonts are hinted alike on every machine with the project's packages; a tenth of a percent of the pixels
        # allows for antialiasing, a moved line or a missing text is far more.
        if differing is None or differing > actual[0] * actual[1] // 1000:
            os.makedirs(REFERENCE, exist_ok=True)
            shutil.copy(shot, os.path.join(REFERENCE, "actual.png"))
            self.fail(f"the page differs from the reference ({differing} pixels); review "
                      f"{os.path.join(REFERENCE, 'actual.png')} and accept it with tests/accept_references.sh")


if __name__ == "__main__":
    if not BROWSER or subprocess.run([BROWSER, "--version"], capture_output=True).returncode != 0:
        print("no chromium that starts: skipped")
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]], verbosity=2)
