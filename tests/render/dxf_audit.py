"""Audits DXF files with ezdxf as a strict reader would and prints, per file, what it had to fix and what it holds."""
import collections
import json
import math
import sys

import ezdxf


def follows_a_curve(points):
    """Several slight turns in a row: a curve divided into a polyline. Straight edges joined turn at corners."""
    slight = 0
    for a, b, c in zip(points, points[1:], points[2:]):
        turn = abs(math.remainder(math.atan2(c[1] - b[1], c[0] - b[0]) - math.atan2(b[1] - a[1], b[0] - a[0]),
                                  2 * math.pi))
        slight = slight + 1 if turn < 0.4 else 0
        if slight >= 4:
            return True
    return False


def account(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    counts = collections.Counter(e.dxftype() for e in doc.modelspace())
    view_polylines = sum(1 for e in doc.modelspace()
                         if e.dxftype() == "LWPOLYLINE" and e.dxf.layer.startswith("VIEW-"))
    return {"errors": [e.message for e in auditor.errors], "fixes": [f.message for f in auditor.fixes],
            "entities": dict(counts), "view_polylines": view_polylines,
            "view_curved_polylines": sum(1 for e in doc.modelspace()
                                         if e.dxftype() == "LWPOLYLINE" and e.dxf.layer.startswith("VIEW-")
                                         and follows_a_curve([tuple(p[:2]) for p in e.get_points()])),
            "styles": {s.dxf.name: [s.dxf.get("font", ""), s.dxf.get("bigfont", "")] for s in doc.styles},
            "codepage": doc.header.get("$DWGCODEPAGE", "")}


print(json.dumps({path: account(path) for path in sys.argv[1:]}, ensure_ascii=False))
