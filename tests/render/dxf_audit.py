"""Audits DXF files with ezdxf as a strict reader would and prints, per file, what it had to fix and what it holds."""
import collections
import json
import math
import sys

import ezdxf

VIEW_LAYERS = ("VIEW-", "HID-")  # a view's layer, and that of its hidden lines
DRAWN = ("LINE", "LWPOLYLINE", "POLYLINE", "SOLID", "TEXT", "MTEXT", "ARC", "CIRCLE")


def signature(e):
    """What an entity draws, so that a copy of a dimension's part outside its block is recognised."""
    kind = e.dxftype()
    if kind == "LINE":
        points = [e.dxf.start, e.dxf.end]
    elif kind == "LWPOLYLINE":
        points = list(e.get_points("xy"))
    elif kind == "POLYLINE":
        points = [v.dxf.location for v in e.vertices]
    elif kind == "SOLID":
        points = [e.dxf.get(name) for name in ("vtx0", "vtx1", "vtx2", "vtx3")]
    elif kind in ("TEXT", "MTEXT"):
        return kind, e.plain_text(), round(e.dxf.insert[0], 3), round(e.dxf.insert[1], 3)
    elif kind in ("ARC", "CIRCLE"):
        return kind, round(e.dxf.center[0], 3), round(e.dxf.center[1], 3), round(e.dxf.radius, 3)
    else:
        return None
    rounded = sorted((round(p[0], 3), round(p[1], 3)) for p in points)
    return "LINE" if kind != "SOLID" else kind, tuple(rounded)


def dimension_blocks(doc):
    """Each dimension (a DIMENSION, or an ordinate placed as a block) with what its block holds."""
    found = []
    for e in doc.modelspace():
        if e.dxftype() == "DIMENSION":
            block = doc.blocks.get(e.dxf.geometry)
        elif e.dxftype() == "INSERT" and e.dxf.name.upper().startswith("*U") and not e.dxf.layer.startswith(VIEW_LAYERS):
            block = doc.blocks.get(e.dxf.name)
        else:
            continue
        parts = [p for p in block] if block is not None else []
        kinds = collections.Counter(p.dxftype() for p in parts)
        arrows = kinds["SOLID"] + sum(1 for p in parts if p.dxftype() == "LWPOLYLINE" and len(p) == 3)
        measured = e.dxf.get("actual_measurement", 0.0) if e.dxftype() == "DIMENSION" else 0.0
        found.append({"entity": e.dxftype(), "layer": e.dxf.layer, "parts": parts, "measured": measured,
                      "lines": kinds["LINE"] + kinds["LWPOLYLINE"] + kinds["POLYLINE"], "arrows": arrows,
                      "texts": kinds["TEXT"] + kinds["MTEXT"]})
    return found


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
    # What the sheet draws: a view's placed block counts as the entities it holds.
    counts = collections.Counter()
    for e in doc.modelspace():
        if e.dxftype() == "INSERT" and e.dxf.layer.startswith(VIEW_LAYERS):
            counts.update(p.dxftype() for p in doc.blocks.get(e.dxf.name))
        else:
            counts[e.dxftype()] += 1
    view_polylines = sum(1 for e in doc.modelspace()
                         if e.dxftype() == "LWPOLYLINE" and e.dxf.layer.startswith(VIEW_LAYERS))
    dimensions = dimension_blocks(doc)
    in_blocks = {signature(p) for d in dimensions for p in d["parts"]} - {None}
    dimension_layers = {d["layer"] for d in dimensions}
    plain = [e for e in doc.modelspace() if e.dxftype() in DRAWN]
    return {"errors": [e.message for e in auditor.errors], "fixes": [f.message for f in auditor.fixes],
            "entities": dict(counts), "view_polylines": view_polylines,
            "view_curved_polylines": sum(1 for e in doc.modelspace()
                                         if e.dxftype() == "LWPOLYLINE" and e.dxf.layer.startswith(VIEW_LAYERS)
                                         and follows_a_curve([tuple(p[:2]) for p in e.get_points()])),
            "styles": {s.dxf.name: [s.dxf.get("font", ""), s.dxf.get("bigfont", "")] for s in doc.styles},
            "text_styles": sorted({e.dxf.style for e in doc.modelspace() if e.dxftype() == "TEXT"}),
            "codepage": doc.header.get("$DWGCODEPAGE", ""),
            "dimensions": [{k: d[k] for k in ("entity", "measured", "lines", "arrows", "texts")} for d in dimensions],
            # a plain entity drawing what a dimension's block draws: the dimension would show twice
            "plain_copies": sum(1 for e in plain if signature(e) in in_blocks),
            # values and arrowheads belong in blocks; the dimension layer's plain ink is only origin symbols
            "plain_texts_and_arrows_on_dimension_layers": sum(
                1 for e in plain if e.dxf.layer in dimension_layers and e.dxftype() in ("TEXT", "MTEXT", "SOLID"))}


print(json.dumps({path: account(path) for path in sys.argv[1:]}, ensure_ascii=False))
