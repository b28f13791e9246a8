"""The sheet browser in a real headless browser, driven through the DevTools protocol: the sample mould's page loads
from the file system without console messages, steps through its sheets by keyboard, zooms and pans by touch, lists
its shortcuts under "?", prints the table and then one sheet a page, and looks like the reviewed reference screenshot;
a page of hundreds of sheets shows its table at once and fetches only the drawings in view. Exits 77 (skipped) only
when no browser can be started at all."""
import json
import os
import shutil
import string
import subprocess
import sys
import tempfile
import time
import unittest

QUILLON, SOURCE, MANY_SHEET_PAGE = sys.argv[1], sys.argv[2], sys.argv[3]
REFERENCE = os.path.join(SOURCE, "tests", "reference_sheets", "sheet_browser")
sys.path.insert(0, os.path.join(SOURCE, "tests", "support"))
import devtools  # noqa: E402
from png_image import read_png  # noqa: E402

WINDOW = (1280, 800)
BROWSER = None  # started once in main


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

    def setUp(self):
        self.pages = []

    def tearDown(self):
        for page in self.pages:
            BROWSER.close_page(page)

    def open(self, url, touch=False):
        def prepare(page):
            page.set_viewport(*WINDOW)
            page.send("Network.enable")
            if touch:
                page.enable_touch()
        page = BROWSER.open(url, before_load=prepare)
        self.pages.append(page)
        return page

    def many_sheets(self, count):
        """A page of count sheets whose drawings link to the sample's, each under its own name."""
        folder = os.path.join(self.work, f"many_{count}")
        if not os.path.exists(folder):
            os.makedirs(folder)
            subprocess.run([MANY_SHEET_PAGE, os.path.join(folder, "index.html"), str(count)], check=True, timeout=60)
            drawings = sorted(f for f in os.listdir(self.dir) if f.endswith(".svg"))
            for i in range(count):
                os.symlink(os.path.join(self.dir, drawings[i % len(drawings)]), os.path.join(folder, f"S{i + 1:04d}.svg"))
        return "file://" + os.path.join(folder, "index.html")

    @staticmethod
    def state(page, index=None):
        """Which sheet is current, and the drawing's scale and offset in its frame as the window shows them."""
        return page.evaluate("""(function (index) {
            var figures = document.querySelectorAll("figure.sheet"), current = -1;
            figures.forEach(function (f, i) { if (f.classList.contains("current")) current = i; });
            var f = figures[index === null ? current : index], box = f.querySelector(".viewport").getBoundingClientRect();
            var img = f.querySelector("img").getBoundingClientRect();
            return { current: current, scale: img.width / box.width, x: img.left - box.left, y: img.top - box.top,
                     width: box.width, height: box.height, left: box.left, top: box.top, scrollY: window.scrollY,
                     help: !document.getElementById("shortcuts").hidden };
        })(%s)""" % json.dumps(index))

    def settled(self, page, index):
        """The state once a fling has stopped scrolling the page."""
        last = self.state(page, index)
        while True:
            time.sleep(0.15)
            now = self.state(page, index)
            if now["scrollY"] == last["scrollY"]:
                return now
            last = now

    def svg_requests(self, page):
        return [os.path.basename(e["request"]["url"]) for e in page.take_events("Network.requestWillBeSent")
                if e["request"]["url"].endswith(".svg")]

    def test_every_sheet_shows_and_the_keys_step_through_them(self):
        page = self.open(self.url)
        with open(os.path.join(self.dir, "index.html"), encoding="utf-8") as f:
            html = f.read()
        self.assertNotRegex(html, r'(src|href)="(https?:)?//')
        self.assertEqual(page.evaluate("document.querySelectorAll('tr[data-sheet]').length"), 8)
        self.assertEqual(page.evaluate("document.querySelectorAll('figure.sheet').length"), 8)
        for i in range(1, 8):
            page.key("n")
            self.assertEqual(self.state(page)["current"], i)
            page.wait_for(f"document.getElementById('sheet-{i}').classList.contains('loaded')")
        self.assertEqual(page.evaluate("document.querySelector('tr.current').getAttribute('data-sheet')"), "7")
        page.key("ArrowLeft")
        self.assertEqual(self.state(page)["current"], 6)
        # Scrolled to by hand, a sheet becomes the one the keys go on from.
        page.evaluate("window.scrollTo(0, document.getElementById('sheet-2').offsetTop - 60)")
        page.wait_for("document.getElementById('sheet-2').classList.contains('current')")
        page.key("n")
        self.assertEqual(self.state(page)["current"], 3)
        page.wait_for("document.body.getAttribute('data-sheets-shown') === '8'")
        self.assertEqual(page.evaluate("document.body.getAttribute('data-sheets-failed')"), "0")
        self.assertEqual(page.console_messages(), [])

    def test_a_missing_sheet_is_noticed(self):
        copy = os.path.join(self.work, "broken")
        shutil.copytree(self.dir, copy)
        os.remove(os.path.join(copy, "E03.svg"))
        page = self.open("file://" + os.path.join(copy, "index.html"))
        page.evaluate("sheetBrowser.loadAll().then(function () { return 0; })", await_promise=True)
        self.assertEqual(page.evaluate("document.body.getAttribute('data-sheets-shown')"), "7")
        self.assertEqual(page.evaluate("document.body.getAttribute('data-sheets-failed')"), "1")
        self.assertEqual(page.evaluate("document.querySelector('figure.failed figcaption').textContent"),
                         "4 / 8 \u00a0 E03")

    def test_touch_pinches_drags_and_still_scrolls_the_page(self):
        page = self.open(self.url, touch=True)
        page.evaluate("window.scrollTo(0, document.getElementById('sheet-0').offsetTop - 60)")
        s = self.state(page, 0)
        cx, cy = s["left"] + s["width"] / 2, s["top"] + 300
        # Pinching the fingers three times apart zooms three times about their midpoint.
        page.touch_gesture([(cx - 50, cy), (cx + 50, cy)], [(cx - 150, cy), (cx + 150, cy)])
        z = self.state(page, 0)
        self.assertAlmostEqual(z["scale"], 3.0, places=2)
        self.assertAlmostEqual((cx - z["left"] - z["x"]) / z["scale"], cx - z["left"], delta=1.0)
        self.assertAlmostEqual((cy - z["top"] - z["y"]) / z["scale"], cy - z["top"], delta=1.0)
        # Zoomed, one finger pans the drawing and the page stays put.
        page.touch_gesture([(cx, cy)], [(cx - 40, cy - 160)])
        d = self.state(page, 0)
        self.assertAlmostEqual(d["x"] - z["x"], -40, delta=1.0)
        self.assertAlmostEqual(d["y"] - z["y"], -160, delta=1.0)
        self.assertAlmostEqual(d["scrollY"], z["scrollY"])
        # The same limits as the wheel: at most 40 times, at least the fitted size (then centred again).
        page.touch_gesture([(cx - 10, cy), (cx + 10, cy)], [(cx - 500, cy), (cx + 500, cy)])
        self.assertAlmostEqual(self.state(page, 0)["scale"], 40.0, places=2)
        page.touch_gesture([(cx - 500, cy), (cx + 500, cy)], [(cx - 5, cy), (cx + 5, cy)])
        fitted = self.state(page, 0)
        self.assertEqual((round(fitted["scale"], 3), round(fitted["x"], 1), round(fitted["y"], 1)), (1.0, 0.0, 0.0))
        # A double tap fits a zoomed sheet again.
        page.touch_gesture([(cx - 50, cy), (cx + 50, cy)], [(cx - 100, cy), (cx + 100, cy)])
        self.assertGreater(self.state(page, 0)["scale"], 1.5)
        for _ in range(2):
            page.touch("touchStart", [(cx, cy)])
            page.touch("touchEnd", [])
        self.assertAlmostEqual(self.state(page, 0)["scale"], 1.0, places=3)
        # A vertical swipe on a fitted sheet scrolls the page rather than moving the drawing (last: it flings on).
        page.touch_gesture([(cx, cy)], [(cx, cy - 200)])
        scrolled = self.settled(page, 0)
        self.assertGreater(scrolled["scrollY"], s["scrollY"] + 100)
        self.assertAlmostEqual(scrolled["scale"], 1.0, places=3)

    def test_question_mark_lists_exactly_the_keys_that_act(self):
        page = self.open(self.url)
        page.key("?", code="Slash", modifiers=devtools.SHIFT)
        self.assertTrue(self.state(page)["help"])
        page.screenshot(os.path.join(self.work, "shortcuts.png"))
        listed = set(" ".join(page.evaluate(
            "Array.from(document.querySelectorAll('#shortcuts tr[data-match]')).map(r => r.getAttribute('data-match'))"
        )).split())
        page.key("n")  # the list open, other keys wait
        self.assertEqual(self.state(page)["current"], 0)
        page.key("Escape")
        self.assertFalse(self.state(page)["help"])
        # Every key the page takes (its default prevented) is in the list, and every listed key is taken.
        page.evaluate("window.taken = []; window.addEventListener('keydown', function (e) {"
                      " if (e.defaultPrevented) taken.push(e.key); })")
        named = ["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight", "PageUp", "PageDown", "Home", "End", "Escape",
                 "Enter", "Backspace", "Tab", "Delete", "Insert", "F1"]
        for key in [c for c in string.printable if not c.isspace()] + [" "] + named:
            page.key(key)
            page.evaluate("document.getElementById('shortcuts').hidden = true")
        self.assertEqual(set(page.evaluate("taken")), listed)
        # The button opens the list for fingers too, and a tap beside it closes it.
        page.evaluate("document.querySelector('[data-action=help]').click()")
        self.assertTrue(self.state(page)["help"])
        page.click(5, WINDOW[1] - 5)
        self.assertFalse(self.state(page)["help"])

    def test_prints_the_table_then_one_sheet_a_page(self):
        for url, sheets in ((self.url, 8), (self.many_sheets(60), 60)):
            page = self.open(url)
            page.key("n")  # a highlighted sheet and a zoomed one print like the others
            page.key("+")
            pdf = page.print_to_pdf(preferCSSPageSize=True)
            path = os.path.join(self.work, f"print_{sheets}.pdf")
            with open(path, "wb") as f:
                f.write(pdf)
            info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True).stdout
            self.assertRegex(info, r"Page size:\s+841\.\d+ x 59[45]\.\d+ pts")
            texts = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True,
                                   check=True).stdout.split("\f")[:-1]
            table = 0
            # The table's own header ("工作部分"; every sheet's coordinate table says 定位点 too).
            while table < len(texts) and "工作部分" in texts[table]:
                table += 1
            self.assertGreaterEqual(table, 1 if sheets < 20 else 2)  # the header row again on every table page
            self.assertEqual(len(texts), table + sheets, url)
            for i, text in enumerate(texts[table:]):
                self.assertRegex(text, r"(?m)^\s*%d / %d\b" % (i + 1, sheets))
                self.assertIn("模号", text)  # the drawing itself, not an empty frame
            self.assertNotRegex("".join(texts), r"打印|Wheel|快捷键")
        # The button and Ctrl+P load every drawing before the browser prints.
        for press in ("document.querySelector('[data-action=print]').click()", None):
            page = self.open(self.url)
            page.evaluate("window.print = function () { window.printed = document.body.dataset.sheetsShown; }")
            if press:
                page.evaluate(press)
            else:
                page.key("p", code="KeyP", modifiers=devtools.CTRL)
            self.assertEqual(page.wait_for("window.printed"), "8")

    def test_many_sheets_show_the_table_at_once_and_fetch_only_what_is_seen(self):
        url = self.many_sheets(800)
        page = self.open(url)
        loaded = [page.evaluate("performance.timing.domContentLoadedEventEnd - performance.timing.navigationStart")]
        page.navigate(url)
        loaded.append(page.evaluate("performance.timing.domContentLoadedEventEnd - performance.timing.navigationStart"))
        self.assertLess(min(loaded), 2000, "milliseconds to show the table of 800 sheets")
        time.sleep(0.3)
        self.assertEqual(self.svg_requests(page), [])  # the table fills the window
        page.evaluate("document.querySelector('a[data-go=\"400\"]').click()")
        page.wait_for("document.getElementById('sheet-400').classList.contains('loaded')")
        fetched = self.svg_requests(page)
        self.assertIn("S0401.svg", fetched)
        self.assertLessEqual(len(fetched), 3)
        page.key("End")
        page.wait_for("document.getElementById('sheet-799').classList.contains('loaded')")
        fetched += self.svg_requests(page)
        self.assertLessEqual(len(fetched), 6)
        self.assertEqual(page.evaluate("document.body.getAttribute('data-sheets-shown')"), str(len(fetched)))

    def test_looks_like_the_reviewed_screenshot(self):
        page = self.open(self.url)
        page.wait_for("document.getElementById('sheet-0').classList.contains('loaded')")
        shot = os.path.join(self.work, "actual.png")
        page.screenshot(shot)
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
    scratch = tempfile.mkdtemp(prefix="quillon_chromium_")
    BROWSER = devtools.start_or_skip(scratch, window=WINDOW)
    try:
        result = unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2, exit=False).result
    finally:
        BROWSER.close()
        shutil.rmtree(scratch, ignore_errors=True)
    sys.exit(0 if result.wasSuccessful() else 1)
