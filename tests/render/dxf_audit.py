"""Audits DXF files with ezdxf as a strict reader would and prints, per file, what it had to fix and what it holds."""
import collections
import json
import sys

import ezdxf


def account(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    counts = collections.Counter(e.dxftype() for e in doc.modelspace())
    view_polylines = sum(1 for e in doc.modelspace()
                         if e.dxftype() == "LWPOLYLINE" and e.dxf.layer.startswith("VIEW-"))
    return {"errors": [e.message for e in auditor.errors], "fixes": [f.message for f in auditor.fixes],
            "entities": dict(counts), "view_polylines": view_polylines,
            "styles": {s.dxf.name: [s.dxf.get("font", ""), s.dxf.get("bigfont", "")] for s in doc.styles},
            "codepage": doc.header.get("$DWGCODEPAGE", "")}


print(json.dumps({path: account(path) for path in sys.argv[1:]}, ensure_ascii=False))
