"""Reads a PDF's title, outline and page labels with the standard library alone and prints them as JSON.

Handles the uncompressed object layout our writer produces: objects "N 0 obj ... endobj", literal or hex strings."""
import json
import re
import sys


def objects(data):
    found = {}
    for m in re.finditer(rb"(\d+) 0 obj(.*?)endobj", data, re.S):
        found[int(m.group(1))] = m.group(2)
    return found


def decode(raw):
    if raw.startswith(b"<"):
        raw = bytes.fromhex(raw[1:-1].decode())
    else:
        body = raw[1:-1]
        out = bytearray()
        i = 0
        while i < len(body):
            c = body[i]
            if c == 0x5C:  # backslash
                i += 1
                e = body[i:i + 1]
                octal = re.match(rb"[0-7]{1,3}", body[i:])
                if octal:
                    out.append(int(octal.group(0), 8))
                    i += len(octal.group(0))
                    continue
                out += {b"n": b"\n", b"r": b"\r", b"t": b"\t", b"b": b"\b", b"f": b"\f"}.get(e, e)
            else:
                out.append(c)
            i += 1
        raw = bytes(out)
    if raw.startswith(b"\xfe\xff"):
        return raw[2:].decode("utf-16-be")
    return raw.decode("latin-1")


STRING = rb"(\((?:\\.|[^\\)])*\)|<[0-9A-Fa-f]*>)"


def string_of(body, key):
    m = re.search(rb"/" + key + rb"\s*" + STRING, body, re.S)
    return decode(m.group(1)) if m else None


def ref_of(body, key):
    m = re.search(rb"/" + key + rb"\s+(\d+) 0 R", body)
    return int(m.group(1)) if m else None


def main():
    data = open(sys.argv[1], "rb").read()
    objs = objects(data)
    catalog = next(b for b in objs.values() if re.search(rb"/Type\s*/Catalog", b))
    info = next((b for b in objs.values() if b"/Producer" in b), b"")
    pages_root = objs[ref_of(catalog, b"Pages")]
    kids = [int(n) for n in re.findall(rb"(\d+) 0 R", re.search(rb"/Kids\s*\[(.*?)\]", pages_root, re.S).group(1))]
    outline = []
    root = ref_of(catalog, b"Outlines")
    item = ref_of(objs[root], b"First") if root else None
    while item:
        body = objs[item]
        dest = re.search(rb"/Dest\s*\[\s*(\d+) 0 R", body)
        outline.append({"title": string_of(body, b"Title"),
                        "page": kids.index(int(dest.group(1))) + 1 if dest else None})
        item = ref_of(body, b"Next")
    labels = []
    label_ref = ref_of(catalog, b"PageLabels")
    if label_ref:
        nums = re.search(rb"/Nums\s*\[(.*)\]", objs[label_ref], re.S).group(1)
        ranges = [(int(m.group(1)), m.group(2)) for m in re.finditer(rb"(\d+)\s*<<(.*?)>>", nums, re.S)]
        for page in range(len(kids)):
            start, label_dict = [r for r in ranges if r[0] <= page][-1]
            prefix = string_of(label_dict, b"P") or ""
            number = ""
            if re.search(rb"/S\s*/D", label_dict):
                first = re.search(rb"/St\s+(\d+)", label_dict)
                number = str((int(first.group(1)) if first else 1) + page - start)
            labels.append(prefix + number)
    print(json.dumps({"title": string_of(info, b"Title"), "pages": len(kids), "outline": outline, "labels": labels},
                     ensure_ascii=False))


main()
