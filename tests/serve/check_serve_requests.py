"""quillon serve at the level of its requests, without a browser, as a hostile page or client would try it: a loopback
address however given keeps the host check; an upload in chunks is capped like any other; only an export's own files
are sent, sandboxed or as downloads, one range at most; uploads of one import cannot take each other's place and a
part whose name starts with '-' works; clients that send slowly starve nobody; and SIGTERM stops the server even
while they hang on."""
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

QUILLON, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
SMALL_STEP = os.path.join(SOURCE, "tests", "hardening", "inputs", "small_mould.step")


def start_server(root, *options):
    server = subprocess.Popen([QUILLON, "serve", "--root", root, "--port", "0", *options], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True)
    line = server.stdout.readline()
    match = re.search(r"http://[^:/]+:(\d+)/", line)
    assert match, line + server.stderr.read()
    return server, int(match.group(1))


def stop(server, within=10):
    server.send_signal(signal.SIGTERM)
    server.wait(timeout=within)


def request(port, method, path, host=None, headers=(), body=b"", timeout=30):
    """Status, headers (lower-case names) and body of one request on a connection of its own."""
    head = "%s %s HTTP/1.1\r\nHost: %s\r\nConnection: close\r\n" % (method, path, host or "127.0.0.1:%d" % port)
    for name, value in headers:
        head += "%s: %s\r\n" % (name, value)
    if body and not any(name.lower() == "transfer-encoding" for name, _ in headers):
        head += "Content-Length: %d\r\n" % len(body)
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(head.encode() + b"\r\n")
        try:
            s.sendall(body)
        except OSError:
            pass  # the server may stop reading and answer early
        data = b""
        try:
            while chunk := s.recv(1 << 16):
                data += chunk
        except ConnectionResetError:
            pass
    if not data:
        return "closed", {}, b""
    head, _, rest = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    fields = dict((k.strip().lower(), v.strip()) for k, _, v in (l.partition(":") for l in lines[1:]))
    return int(lines[0].split()[1]), fields, rest


def token_of(port):
    status, _, page = request(port, "GET", "/")
    assert status == 200, status
    return re.search(rb'name="quillon-token" content="([^"]+)"', page).group(1).decode()


def form(fields):
    """A multipart form: fields of (name, file name or None, bytes)."""
    boundary = "quillonform"
    body = b""
    for name, filename, data in fields:
        disposition = 'form-data; name="%s"' % name + ('; filename="%s"' % filename if filename is not None else "")
        body += ("--%s\r\nContent-Disposition: %s\r\n\r\n" % (boundary, disposition)).encode() + data + b"\r\n"
    body += ("--%s--\r\n" % boundary).encode()
    return "multipart/form-data; boundary=" + boundary, body


def loopback_listen(work):
    """Listening on a loopback address by any name keeps the host check, and the server says it is loopback."""
    for listen in ("127.0.0.1", "localhost"):
        root = os.path.join(work, "listen")
        os.makedirs(root, exist_ok=True)
        server, port = start_server(root, "--listen", listen)
        try:
            status, _, body = request(port, "GET", "/", host="rebind.example:%d" % port)
            assert status == 403 and b"quillon-token" not in body, (listen, status, body[:200])
            assert request(port, "GET", "/api/parts", host="localhost:%d" % port)[0] == 200
        finally:
            stop(server)
        said = server.stderr.read()
        assert "a loopback address" in said and "warning" not in said, (listen, said)


def chunked_upload(work):
    """An upload in chunks past --max-upload is refused, and nothing of it stays."""
    root = os.path.join(work, "chunked")
    os.makedirs(root)
    server, port = start_server(root, "--max-upload", "1")
    try:
        content_type, body = form([("step", "big.step", b"x" * (3 << 20))])
        chunked = b"".join(b"%x\r\n%s\r\n" % (len(body[i:i + 65536]), body[i:i + 65536])
                           for i in range(0, len(body), 65536)) + b"0\r\n\r\n"
        status, _, answer = request(port, "POST", "/api/import", headers=[
            ("Content-Type", content_type), ("Transfer-Encoding", "chunked"), ("X-Quillon-Token", token_of(port))],
            body=chunked)
        assert status in (413, "closed"), (status, answer)
        # Other requests take no body in chunks at all.
        status, _, _ = request(port, "POST", "/api/undo?part=a.prt", headers=[
            ("Transfer-Encoding", "chunked"), ("X-Quillon-Token", token_of(port))], body=b"5\r\nhello\r\n0\r\n\r\n")
        assert status in (413, "closed"), status
        time.sleep(0.2)
        assert os.listdir(root) == [], os.listdir(root)
    finally:
        stop(server)


def served_files(work):
    """Only the export's own files, each sandboxed or a download, and one range at most."""
    root = os.path.join(work, "files")
    sheets = os.path.join(root, "p.sheets")
    os.makedirs(sheets)
    files = {"p.prt": b"part", "p.prt.tmp-7": b"a whole part", "p.prt-journal": b"journal", "evil.html": b"<script>",
             "x.svg": b"<svg/>", "p.sheets/p.manifest": b"quillon export manifest 1\nE01.svg\np.pdf\n",
             "p.sheets/E01.svg": b"<svg>" + b"s" * 4000 + b"</svg>", "p.sheets/p.pdf": b"%PDF-1.4",
             "p.sheets/index.html": b"<html>browser</html>", "p.sheets/evil.html": b"<script>",
             "p.sheets/E01.svg.tmp-5": b"<svg/>"}
    for name, data in files.items():
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    server, port = start_server(root)
    try:
        for name in ("p.prt", "p.prt.tmp-7", "p.prt-journal", "evil.html", "x.svg", "p.sheets/evil.html",
                     "p.sheets/E01.svg.tmp-5", "p.sheets/p.manifest"):
            assert request(port, "GET", "/files/" + name)[0] == 404, name
        status, headers, body = request(port, "GET", "/files/p.sheets/index.html")
        assert status == 200 and headers["content-security-policy"] == "sandbox allow-scripts", headers
        status, headers, body = request(port, "GET", "/files/p.sheets/E01.svg")
        assert status == 200 and headers["content-security-policy"] == "sandbox", headers
        status, headers, body = request(port, "GET", "/files/p.sheets/p.pdf")
        assert status == 200 and headers["content-disposition"].startswith("attachment"), headers
        status, _, body = request(port, "GET", "/api/sheets?part=p.prt")
        assert status == 200 and b'"files":["E01.svg","index.html","p.pdf"]' in body, body
        for count in (20, 2000):
            many = "bytes=" + ",".join("0-4009" for _ in range(count))
            status, _, body = request(port, "GET", "/files/p.sheets/E01.svg", headers=[("Range", many)])
            assert len(body) <= len(files["p.sheets/E01.svg"]), (count, status, len(body))
        status, _, body = request(port, "GET", "/files/p.sheets/E01.svg", headers=[("Range", "bytes=0-4")])
        assert status == 206 and body == b"<svg>", (status, body)
    finally:
        stop(server)


def imports(work):
    """A part named '-x.prt' is imported and read; a file of each field under one name stays each field's own."""
    root = os.path.join(work, "imports")
    os.makedirs(root)
    server, port = start_server(root)
    try:
        with open(SMALL_STEP, "rb") as f:
            step = f.read()
        content_type, body = form([("step", "same.step", step), ("layer_map", "same.step", b"* 1\n"),
                                   ("name", None, b"-x.prt")])
        status, _, answer = request(port, "POST", "/api/import", headers=[
            ("Content-Type", content_type), ("X-Quillon-Token", token_of(port))], body=body, timeout=120)
        assert status == 200, (status, answer)
        status, _, answer = request(port, "GET", "/api/info?part=-x.prt", timeout=120)
        assert status == 200 and b'"status":0' in answer, (status, answer[:300])
        assert sorted(os.listdir(root)) == ["-x.prt"], os.listdir(root)
    finally:
        stop(server)


def slow_clients(work):
    """Clients that send a header byte now and then starve nobody, and SIGTERM stops the server while they send."""
    root = os.path.join(work, "slow")
    os.makedirs(root)
    server, port = start_server(root)
    sending = threading.Event()
    sending.set()

    def trickle():
        try:
            s = socket.create_connection(("127.0.0.1", port))
        except OSError:
            return  # the server stopped before this client came
        with s:
            for byte in b"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + b"y" * 1000:
                if not sending.is_set():
                    return
                try:
                    s.sendall(bytes([byte]))
                except OSError:
                    return
                time.sleep(0.5)

    slow = [threading.Thread(target=trickle, daemon=True) for _ in range(16)]
    for thread in slow:
        thread.start()
    try:
        time.sleep(1)
        started = time.monotonic()
        assert request(port, "GET", "/api/parts", timeout=10)[0] == 200
        assert time.monotonic() - started < 5
        started = time.monotonic()
        stop(server, within=15)
        assert time.monotonic() - started < 8, time.monotonic() - started
    finally:
        sending.clear()
        if server.poll() is None:
            server.kill()


def main():
    work = tempfile.mkdtemp(prefix="serve_requests_")
    try:
        loopback_listen(work)
        chunked_upload(work)
        served_files(work)
        imports(work)
        slow_clients(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("ok")


if __name__ == "__main__":
    main()
