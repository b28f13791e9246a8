"""quillon serve through a real headless browser, as a designer uses it: import the sample by upload, see its
electrodes, fill the form (a refused OK, given by Enter, shows the command's message), run, answer the depth-zero
label's prompts with clicks on the sheet, see the 8 sheets and download the PDF and a zip; Esc cancels the next run's
form, and undo asks first. In 3D: the model loads, a failing electrode is drawn red, a click on a body selects its
row, and an export's progress comes sheet by sheet. Also: a second run while one runs is refused,
names outside the folder are refused, changes without the page's token are refused, an upload over the limit is
refused, and the server listens on the loopback address only. Screenshots of each step go to SERVE_SHOTS when it is
set. Exits 77 only when no browser can be started."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.error
import urllib.request
import zipfile

QUILLON, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
sys.path.insert(0, os.path.join(SOURCE, "tests", "support"))
from devtools import start_or_skip, pdf_page_count  # noqa: E402

EXAMPLES = os.path.join(SOURCE, "examples")


def start_server(root, *options):
    server = subprocess.Popen([QUILLON, "serve", "--root", root, "--port", "0", *options], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True)
    line = server.stdout.readline()
    match = re.search(r"http://127\.0\.0\.1:(\d+)/", line)
    assert match, line + server.stderr.read()
    return server, match.group(0), int(match.group(1))


def listening_addresses(port):
    """The local addresses of the sockets listening on the port, from /proc/net/tcp and tcp6 (hexadecimal)."""
    found = []
    for table in ("/proc/net/tcp", "/proc/net/tcp6"):
        with open(table) as f:
            for row in f.readlines()[1:]:
                local, state = row.split()[1], row.split()[3]
                address, hex_port = local.split(":")
                if int(hex_port, 16) == port and state == "0A":
                    found.append(address)
    return found


def get(url):
    try:
        with urllib.request.urlopen(url, timeout=60) as response:
            return response.status, response.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()


class Shots:
    def __init__(self, page):
        self.page, self.dir, self.n = page, os.environ.get("SERVE_SHOTS"), 0

    def take(self, name, full_page=True):
        if self.dir:
            self.n += 1
            os.makedirs(self.dir, exist_ok=True)
            self.page.screenshot(os.path.join(self.dir, "%02d_%s.png" % (self.n, name)), full_page=full_page)


def set_file(page, selector, path):
    root = page.send("DOM.getDocument")["root"]["nodeId"]
    node = page.send("DOM.querySelector", nodeId=root, selector=selector)["nodeId"]
    page.send("DOM.setFileInputFiles", nodeId=node, files=[path])


def api(page, method, url, body=None, token=True):
    """A request from the page itself: status and JSON answer."""
    script = """(async () => {
      const headers = {"Content-Type": "application/json"};
      if (%s) headers["X-Quillon-Token"] = document.querySelector('meta[name="quillon-token"]').content;
      const r = await fetch(%s, {method: %s, headers, body: %s});
      return [r.status, await r.json()];
    })()""" % ("true" if token else "false", json.dumps(url), json.dumps(method),
               "undefined" if body is None else json.dumps(json.dumps(body)))
    return page.evaluate(script, await_promise=True)


def centre(page, selector):
    box = page.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                        " return [r.left + r.width / 2, r.top + r.height / 2, r.width, r.height]; })()"
                        % json.dumps(selector))
    return box


def main():
    work = tempfile.mkdtemp(prefix="serve_page_")
    root = os.path.join(work, "parts")
    os.makedirs(root)
    outside = os.path.join(work, "outside")
    os.makedirs(outside)
    shutil.copy(os.path.join(EXAMPLES, "sample_mould.attrs.json"), os.path.join(outside, "secret.json"))
    os.symlink(outside, os.path.join(root, "linked"))
    server, url, port = start_server(root)
    try:
        addresses = listening_addresses(port)
        assert addresses and all(a == "0100007F" for a in addresses), addresses
        # WebGL in a headless browser: the software renderer.
        with start_or_skip(work, window=(1400, 1000),
                           args=("--enable-unsafe-swiftshader", "--use-angle=swiftshader")) as browser:
            page = browser.open(url)
            shots = Shots(page)
            flow(page, shots, url, root)
            in_3d(page, shots, work)
            without_three(browser, root)
            refusals(page, url)
            assert not [m for m in page.console_messages() if m.startswith("exception")], page.console_messages()
    finally:
        server.terminate()
        server.wait(timeout=30)
        shutil.rmtree(work, ignore_errors=True)
    upload_limit(work)
    print("ok")


def without_three(browser, root):
    """A machine without three.js: the view says what to install, and the tables work on."""
    os.environ["QUILLON_THREE_DIR"] = os.path.join(root, "nowhere")
    try:
        server, url, _ = start_server(root)
    finally:
        del os.environ["QUILLON_THREE_DIR"]
    try:
        page = browser.open(url)
        page.wait_for("[...document.querySelectorAll('#parts button')].some(b => b.textContent === 'moved.prt')")
        page.evaluate("[...document.querySelectorAll('#parts button')].find(b => b.textContent === 'moved.prt').click()")
        page.wait_for("document.getElementById('view3d-note').className === 'error'", timeout=60)
        assert "libjs-three" in page.evaluate("document.getElementById('view3d-note').textContent")
        page.wait_for("document.querySelectorAll('#electrodes tr[data-key]').length === 8", timeout=120)
        assert not [m for m in page.console_messages() if m.startswith("exception")], page.console_messages()
        browser.close_page(page)
    finally:
        server.terminate()
        server.wait(timeout=30)


def upload_limit(work):
    """An upload over --max-upload is refused before anything is written."""
    root = os.path.join(work, "limited")
    os.makedirs(root)
    server, url, _ = start_server(root, "--max-upload", "1")
    try:
        status, page = get(url)
        token = re.search(rb'name="quillon-token" content="([^"]+)"', page).group(1).decode()
        boundary = "quillonlimit"
        body = (f"--{boundary}\r\nContent-Disposition: form-data; name=\"step\"; filename=\"big.step\"\r\n\r\n".encode()
                + b"x" * (2 << 20) + f"\r\n--{boundary}--\r\n".encode())
        request = urllib.request.Request(url + "api/import", data=body, method="POST", headers={
            "Content-Type": "multipart/form-data; boundary=" + boundary, "X-Quillon-Token": token})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                status = response.status
        except urllib.error.HTTPError as error:
            status = error.code
        except (ConnectionError, urllib.error.URLError):
            status = "closed"  # the server may stop reading and close the connection
        assert status in (413, "closed"), status
        assert os.listdir(root) == [], os.listdir(root)
    finally:
        server.terminate()
        server.wait(timeout=30)


def flow(page, shots, url, root):
    page.wait_for("document.getElementById('parts').textContent.includes('no part files')")
    set_file(page, "input[name=step]", os.path.join(EXAMPLES, "sample_mould.step"))
    set_file(page, "input[name=attrs]", os.path.join(EXAMPLES, "sample_mould.attrs.json"))
    # The sample's electrodes have their diagonal lines: the command's analysis, asked, adds none.
    page.evaluate("document.querySelector('input[name=add_diagonals]').checked = true")
    page.evaluate("document.getElementById('import-button').click()")
    page.wait_for("document.getElementById('electrodes').querySelectorAll('tr').length === 9", timeout=120)
    notes = page.evaluate("document.getElementById('import-notes').textContent")
    assert "layer 240" in notes, notes
    assert "every electrode body that needs one has one" in notes, notes
    assert os.path.isfile(os.path.join(root, "sample_mould.prt"))
    page.wait_for("document.getElementById('verdict').textContent !== 'checking…'", timeout=120)
    assert page.evaluate("document.getElementById('verdict').textContent") == "a run would make every sheet"
    status, events = api(page, "GET", "/api/steps/events?what=check&part=sample_mould.prt&from=0")
    assert "checked 8 of 8 bodies" in [e.get("text") for e in events["events"]], events
    assert "E07" in page.evaluate("document.getElementById('electrodes').textContent")
    shots.take("imported")

    page.evaluate("document.getElementById('run').click()")
    page.wait_for("!document.getElementById('dialog').hidden", timeout=60)
    assert page.evaluate("document.querySelector('[data-id=INT_0]').value") == "240"
    assert "core_layer" in page.evaluate("document.getElementById('form').textContent")
    # A second run of the part while this one waits at its form is refused.
    status, answer = api(page, "POST", "/api/run?part=sample_mould.prt")
    assert status == 409 and "under way" in answer["error"], (status, answer)
    # The command refuses a layer out of range; its message shows beside the form, which stays open.
    page.evaluate("document.querySelector('[data-id=INT_2]').value = '300'")
    page.evaluate("document.querySelector('[data-id=INT_2]').focus()")
    page.key("Enter")
    page.wait_for("document.getElementById('form-messages').textContent.includes('1 到 256')", timeout=30)
    assert not page.evaluate("document.getElementById('dialog').hidden")
    shots.take("refused")

    page.evaluate("""(() => { document.querySelector('[data-id=INT_2]').value = '7';
                             document.querySelector('[data-id=STR_1]').value = 'M-0815';
                             document.querySelector('[data-id=TOGGLE_14]').checked = true;
                             document.querySelector('[data-b=ok]').click(); })()""")
    page.wait_for("!!document.getElementById('prompt-text')", timeout=60)
    shots.take("text_prompt")
    page.evaluate("[...document.querySelectorAll('#prompt-body button')].find(b => b.textContent === 'OK').click()")
    # The labelled point: a click inside the top view of the sheet being made.
    page.wait_for("document.querySelector('.pick .view') && document.querySelector('.pick img').complete", timeout=60)
    x, y, w, h = centre(page, ".pick .view")
    page.click(x + w / 5, y + h / 5)
    shots.take("point_prompt")
    page.evaluate("document.getElementById('prompt-point-ok').click()")
    # The place of the text: a click on the sheet itself.
    page.wait_for("document.getElementById('prompt-heading').textContent.includes('sheet') &&"
                  " document.querySelector('.pick img') && document.querySelector('.pick img').complete"
                  " && !document.getElementById('modal').hidden", timeout=60)
    x, y, w, h = centre(page, ".pick img")
    page.click(x + w * 0.2, y - h * 0.1)
    page.wait_for("[...document.querySelectorAll('#prompt-body button')].some(b => b.textContent === 'YES')",
                  timeout=60)
    shots.take("confirm")
    page.evaluate("[...document.querySelectorAll('#prompt-body button')].find(b => b.textContent === 'YES').click()")
    page.wait_for("document.getElementById('closing').textContent.includes('exit status')", timeout=300)
    closing = page.evaluate("document.getElementById('closing').textContent")
    assert "made 8 sheets" in closing and "exit status 0" in closing, closing
    assert page.evaluate("document.getElementById('status').textContent") == "E07 (8/8)"
    assert "完成!" in page.evaluate("document.getElementById('messages').textContent")
    with open(os.path.join(root, "sample_mould.log"), encoding="utf-8") as f:
        log = f.read()
    picked = re.findall(r"-> point: ([-\d.]+), ([-\d.]+)(, [-\d.]+)?", log)
    assert len(picked) == 2 and picked[0][2] and not picked[1][2], picked
    # The click was right of and below the top view's centre, on the core (200 x 150 about the origin).
    model_x, model_y = float(picked[0][0]), float(picked[0][1])
    assert 0 < model_x < 100 and -75 < model_y < 0, picked
    # The sheet browser runs sandboxed, with an origin of its own: the page cannot look into it, nor can this test.
    page.wait_for("!document.getElementById('sheets').hidden &&"
                  " document.getElementById('browser').src.includes('index.html')", timeout=300)
    status, browser = get(page.evaluate("document.getElementById('browser').src"))
    assert status == 200 and browser.count(b"<figure") == 8, status
    shots.take("sheets")
    # The run's export came as a step the page followed: its lines sheet by sheet, then its end.
    status, events = api(page, "GET", "/api/steps/events?part=sample_mould.prt&from=0")
    texts = [e.get("text", "") for e in events["events"]]
    assert status == 200 and [t for t in texts if re.match(r"sheet \d+ of 8$", t)] == \
        ["sheet %d of 8" % i for i in range(1, 9)], texts
    assert events["events"][-1] == {"event": "end", "status": 0}, events
    assert not page.evaluate("document.getElementById('export-progress')")

    pdf = page.evaluate("[...document.querySelectorAll('#downloads a')].find(a => a.textContent === 'PDF').href")
    status, data = get(pdf)
    assert status == 200 and data.startswith(b"%PDF") and pdf_page_count(data) >= 8, status
    status, data = get(url + "api/zip?kind=svg&part=sample_mould.prt")
    zip_path = os.path.join(root, "..", "sheets.zip")
    with open(zip_path, "wb") as f:
        f.write(data)
    with zipfile.ZipFile(zip_path) as z:
        assert z.testzip() is None and len(z.namelist()) == 8, z.namelist()

    # Esc cancels the next run's form; the last run's closing lines go when it begins.
    page.evaluate("document.getElementById('run').click()")
    page.wait_for("!document.getElementById('dialog').hidden", timeout=60)
    assert "made 8 sheets" not in page.evaluate("document.getElementById('closing').textContent")
    page.key("Escape")
    page.wait_for("document.getElementById('closing').textContent.includes('exit status')", timeout=60)
    assert page.evaluate("document.getElementById('dialog').hidden")

    # Undo asks first, and does nothing when the designer says no.
    page.evaluate("window.asked = []; window.confirm = (m) => { asked.push(m); return false; }")
    page.evaluate("document.getElementById('undo').click()")
    assert "Undo" in page.evaluate("asked[0]")
    page.evaluate("window.confirm = () => true; document.getElementById('undo').click()")
    page.wait_for("document.getElementById('closing').textContent.includes('back as it was')", timeout=120)


def in_3d(page, shots, work):
    """A mould whose layer 2 holds three electrodes of two names: the check fails that layer's bodies."""
    layer_map = os.path.join(work, "moved.map")
    with open(layer_map, "w") as f:
        f.write("E03 2\n")
    set_file(page, "input[name=step]", os.path.join(EXAMPLES, "sample_mould.step"))
    page.evaluate("document.querySelector('input[name=attrs]').value = ''")
    set_file(page, "input[name=layer_map]", layer_map)
    page.evaluate("document.querySelector('#import input[name=name]').value = 'moved'")
    page.evaluate("document.getElementById('import-button').click()")
    page.wait_for("document.getElementById('part-name').textContent === 'moved.prt' ||"
                  " document.getElementById('import-notes').className === 'error'", timeout=120)
    assert page.evaluate("document.getElementById('part-name').textContent") == "moved.prt", \
        page.evaluate("document.getElementById('import-notes').textContent")
    page.wait_for("document.getElementById('view3d').dataset.bodies === '9'", timeout=60)
    status, events = api(page, "GET", "/api/steps/events?what=model&part=moved.prt&from=0")
    assert "model: 9 of 9 bodies meshed" in [e.get("text") for e in events["events"]], events
    page.wait_for("document.getElementById('verdict').className === 'stops'", timeout=120)
    failing = page.evaluate("[...document.querySelectorAll('#electrodes tr[data-key]')]"
                            ".filter(r => r.querySelector('td.problems')).map(r => r.dataset.key)")
    assert failing and all(k.startswith("2:") for k in failing), failing
    # Drawn red: the body's colour, and the pixels where it is on screen.
    colour = page.evaluate("viewer.colourOf(%s)" % json.dumps(failing[0]))
    assert colour == 0xD50000, (failing, colour, page.evaluate("document.getElementById('view3d').dataset.bodies"))
    page.evaluate("document.getElementById('view3d').scrollIntoView()")
    x, y = page.evaluate("viewer.screenOf(%s)" % json.dumps(failing[0]))
    red, green, blue = page.evaluate("""(() => { const c = document.querySelector('#view3d canvas');
      const copy = document.createElement('canvas'); copy.width = c.width; copy.height = c.height;
      const g = copy.getContext('2d'); g.drawImage(c, 0, 0); const r = c.getBoundingClientRect();
      const s = c.width / r.width;
      return [...g.getImageData((%f - r.left) * s, (%f - r.top) * s, 1, 1).data].slice(0, 3); })()""" % (x, y))
    assert red > 1.6 * max(green, blue, 1), (red, green, blue)
    # A click on a body selects its row and shows its problems.
    key = page.evaluate("viewer.bodyAt(%f, %f)" % (x, y))
    page.click(x, y)
    page.wait_for("!!document.querySelector('#electrodes tr.selected')", timeout=10)
    assert page.evaluate("document.querySelector('#electrodes tr.selected').dataset.key") == key, key
    assert "layer 2" in page.evaluate("document.getElementById('view3d-info').textContent")
    page.evaluate("window.scrollTo(0, 0)")
    shots.take("view_3d", full_page=False)  # the README's picture of the window


def refusals(page, url):
    for name in ("../outside/x.prt", "linked/secret.prt", "/etc/x.prt"):
        status, answer = api(page, "GET", "/api/info?part=" + urllib.request.quote(name))
        assert status == 403, (name, status, answer)
    status, _ = get(url + "files/linked/secret.json")
    assert status == 403, status
    status, answer = api(page, "POST", "/api/undo?part=sample_mould.prt", token=False)
    assert status == 403 and "token" in answer["error"], (status, answer)
    request = urllib.request.Request(url + "api/parts", headers={"Host": "quillon.example:%d" % int(url.split(":")[2][:-1])})
    try:
        urllib.request.urlopen(request, timeout=30)
        raise AssertionError("a foreign host name was answered")
    except urllib.error.HTTPError as error:
        assert error.code == 403


if __name__ == "__main__":
    main()
