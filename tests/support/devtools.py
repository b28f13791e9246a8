"""A small client for headless Chromium's DevTools protocol, for tests that drive a page as a user would: open it,
evaluate script, touch, type, take screenshots and print to PDF.

    from devtools import start_or_skip
    with start_or_skip(work_dir) as browser:
        page = browser.open("file:///.../index.html")
        page.evaluate("document.title")

start_or_skip() exits with 77 (the test is skipped) only when no browser can be started at all; every later failure
raises DevToolsError or AssertionError.
"""
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import websocket
except ImportError:  # an interpreter outside Debian's (pyenv, venv) does not see Debian's pure-Python packages
    sys.path.append("/usr/lib/python3/dist-packages")
    try:
        import websocket
    except ImportError as error:
        raise ImportError("the DevTools client needs Debian's python3-websocket (scripts/setup.sh)") from error

SKIPPED = 77
# Modifier bits of the protocol's input events.
ALT, CTRL, META, SHIFT = 1, 2, 4, 8


class DevToolsError(RuntimeError):
    pass


def find_browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Connection:
    """One WebSocket to a DevTools target: commands answered by id, events kept in arrival order until taken."""

    def __init__(self, url, timeout):
        # Chromium refuses a WebSocket that names an Origin it was not told to allow.
        self.socket = websocket.create_connection(url, timeout=timeout, suppress_origin=True,
                                                  enable_multithread=False)
        self.timeout = timeout
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.socket.close()
        except Exception:
            pass

    def _receive(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise DevToolsError("no answer from the browser in time")
        self.socket.settimeout(remaining)
        try:
            return json.loads(self.socket.recv())
        except websocket.WebSocketTimeoutException:
            raise DevToolsError("no answer from the browser in time") from None

    def send(self, method, timeout=None, **params):
        """Sends a command and returns its result; a protocol error raises DevToolsError."""
        self.next_id += 1
        ident = self.next_id
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            message = self._receive(deadline)
            if message.get("id") == ident:
                if "error" in message:
                    raise DevToolsError(f"{method}: {message['error'].get('message')} {message['error'].get('data', '')}")
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def take_events(self, method=None):
        """Removes and returns the events received so far (those of one method only, if given)."""
        taken = [e for e in self.events if method is None or e["method"] == method]
        self.events = [e for e in self.events if not (method is None or e["method"] == method)]
        return [e.get("params", {}) for e in taken]

    def wait_event(self, method, predicate=None, timeout=None):
        """Waits for an event of this method (and matching the predicate on its params); returns its params."""
        for i, event in enumerate(self.events):
            if event["method"] == method and (predicate is None or predicate(event.get("params", {}))):
                del self.events[i]
                return event.get("params", {})
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            message = self._receive(deadline)
            if "method" not in message:
                continue
            if message["method"] == method and (predicate is None or predicate(message.get("params", {}))):
                return message.get("params", {})
            self.events.append(message)


class Page(Connection):
    """A tab: navigation, script, input, screenshots and printing."""

    def __init__(self, url, target_id, timeout):
        super().__init__(url, timeout)
        self.target_id = target_id
        self.send("Page.enable")
        self.send("Runtime.enable")

    def take_events(self, method=None):
        """As Connection.take_events, after a round trip: every event sent before now is counted."""
        self.send("Runtime.evaluate", expression="0")
        return super().take_events(method)

    def navigate(self, url, wait_load=True, timeout=None):
        Connection.take_events(self, "Page.loadEventFired")
        result = self.send("Page.navigate", url=url)
        if result.get("errorText"):
            raise DevToolsError(f"navigating to {url}: {result['errorText']}")
        if wait_load:
            self.wait_event("Page.loadEventFired", timeout=timeout)

    def evaluate(self, expression, await_promise=False, timeout=None):
        """The value of a JavaScript expression (JSON-serialisable values only); a thrown error raises."""
        result = self.send("Runtime.evaluate", timeout=timeout, expression=expression, returnByValue=True,
                           awaitPromise=await_promise)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise DevToolsError(f"script failed: {text}")
        return result.get("result", {}).get("value")

    def wait_for(self, expression, timeout=10.0, interval=0.05):
        """Polls the expression until it is truthy; returns its value or raises after the timeout."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise DevToolsError(f"still false after {timeout} s: {expression}")
            time.sleep(interval)

    def console_messages(self):
        """Console calls and uncaught exceptions since the last call, as text."""
        texts = []
        for params in self.take_events("Runtime.consoleAPICalled"):
            texts.append(params.get("type", "") + ": " + " ".join(str(a.get("value", a.get("description", "")))
                                                                   for a in params.get("args", [])))
        for params in self.take_events("Runtime.exceptionThrown"):
            details = params.get("exceptionDetails", {})
            texts.append("exception: " + (details.get("exception", {}).get("description") or details.get("text", "")))
        return texts

    def set_viewport(self, width, height, scale=1.0, mobile=False):
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=scale,
                  mobile=mobile)

    def enable_touch(self, points=5):
        """Makes the page see a touch screen (navigator.maxTouchPoints, touch and pointer events)."""
        self.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=points)

    def touch(self, kind, points):
        """kind: "touchStart", "touchMove", "touchEnd" or "touchCancel"; points: (x, y) in CSS pixels, one per finger
        still down (an empty list ends every touch)."""
        self.send("Input.dispatchTouchEvent", type=kind,
                  touchPoints=[{"x": x, "y": y, "id": i} for i, (x, y) in enumerate(points)])

    def touch_gesture(self, starts, ends, steps=8):
        """Fingers put down at starts, moved in steps to ends, lifted."""
        self.touch("touchStart", starts)
        for step in range(1, steps + 1):
            t = step / steps
            self.touch("touchMove", [(a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t) for a, b in zip(starts, ends)])
        self.touch("touchEnd", [])

    def key(self, key, code=None, modifiers=0, text=None):
        """A key pressed and released: key as KeyboardEvent.key reads it ("?", "Escape", "ArrowRight")."""
        printable = len(key) == 1
        if text is None and printable:
            text = key
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "modifiers": modifiers}
        if code:
            down["code"] = code
        if text:
            down["text"] = text
            down["unmodifiedText"] = text
        self.send("Input.dispatchKeyEvent", **down)
        up = {"type": "keyUp", "key": key, "modifiers": modifiers}
        if code:
            up["code"] = code
        self.send("Input.dispatchKeyEvent", **up)

    def click(self, x, y, button="left", count=1):
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=count)

    def screenshot(self, path=None, full_page=False):
        """PNG bytes of the viewport (or the whole page); written to path if given."""
        params = {"format": "png"}
        if full_page:
            params["captureBeyondViewport"] = True
        data = base64.b64decode(self.send("Page.captureScreenshot", timeout=120, **params)["data"])
        if path:
            with open(path, "wb") as f:
                f.write(data)
        return data

    def print_to_pdf(self, path=None, timeout=300, **options):
        """PDF bytes as the browser prints the page (its print stylesheet, @page size when preferCSSPageSize)."""
        result = self.send("Page.printToPDF", timeout=timeout, transferMode="ReturnAsStream", **options)
        chunks = []
        while True:
            part = self.send("IO.read", handle=result["stream"], size=1 << 20)
            chunks.append(base64.b64decode(part["data"]) if part.get("base64Encoded") else part["data"].encode())
            if part.get("eof"):
                break
        self.send("IO.close", handle=result["stream"])
        data = b"".join(chunks)
        if path:
            with open(path, "wb") as f:
                f.write(data)
        return data


class Browser:
    """A headless Chromium with its own profile; closed (and its profile removed) on close() or leaving a with."""

    def __init__(self, work=None, window=(1280, 800), args=(), timeout=60.0):
        executable = find_browser()
        if not executable:
            raise DevToolsError("no chromium on PATH")
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="devtools_profile_", dir=work)
        self.log = open(os.path.join(self.profile, "stderr.log"), "w+b")
        command = [executable, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                   "--no-default-browser-check", "--hide-scrollbars", "--mute-audio",
                   "--remote-debugging-port=0", "--user-data-dir=" + self.profile,
                   "--window-size=%d,%d" % window, *args, "about:blank"]
        self.process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=self.log)
        self.pages = []
        self.connection = None
        try:
            port, path = self._active_port()
            self.port = port
            self.connection = Connection(f"ws://127.0.0.1:{port}{path}", timeout)
        except Exception:
            self.close()
            raise

    def _active_port(self):
        """Port and browser path the browser wrote into its profile once it listens (port 0: it chose one)."""
        marker = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if os.path.exists(marker):
                lines = open(marker).read().split("\n")
                if len(lines) >= 2 and lines[0].strip().isdigit() and lines[1].startswith("/"):
                    return int(lines[0]), lines[1].strip()
            if self.process.poll() is not None:
                raise DevToolsError("the browser exited at start: " + self.stderr()[-2000:])
            time.sleep(0.05)
        raise DevToolsError("the browser did not open its DevTools port in time")

    def stderr(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def open(self, url="about:blank", wait_load=True, before_load=None, timeout=None):
        """A new tab showing url. before_load(page), if given, runs on the blank tab before the navigation (to enable
        domains, emulate touch or set the viewport first)."""
        target = self.connection.send("Target.createTarget", url="about:blank")["targetId"]
        page = Page(f"ws://127.0.0.1:{self.port}/devtools/page/{target}", target, self.timeout)
        self.pages.append(page)
        if before_load:
            before_load(page)
        if url != "about:blank":
            page.navigate(url, wait_load=wait_load, timeout=timeout)
        return page

    def close_page(self, page):
        page.close()
        try:
            self.connection.send("Target.closeTarget", targetId=page.target_id)
        except DevToolsError:
            pass
        if page in self.pages:
            self.pages.remove(page)

    def close(self):
        for page in self.pages:
            page.close()
        self.pages = []
        if self.connection:
            try:
                self.connection.send("Browser.close", timeout=5)
            except Exception:
                pass
            self.connection.close()
            self.connection = None
        if self.process.poll() is None:
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def start_or_skip(work=None, **options):
    """A started Browser, or the process exits with 77 (skipped) when no browser can be started here."""
    try:
        return Browser(work, **options)
    except (DevToolsError, OSError) as error:
        print(f"no headless chromium could be started: {error}; skipped", file=sys.stderr)
        sys.exit(SKIPPED)


def pdf_page_count(data):
    """Pages of a PDF, as poppler's pdfinfo reads them."""
    with tempfile.NamedTemporaryFile(suffix=".pdf") as f:
        f.write(data)
        f.flush()
        info = subprocess.run(["pdfinfo", f.name], capture_output=True, text=True, check=True).stdout
    for line in info.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    raise DevToolsError("pdfinfo reads no page count")
