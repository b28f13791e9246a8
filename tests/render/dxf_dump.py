"""Reads a DXF file with ezdxf and prints what the writer tests check, as JSON."""
import json
import math
import sys

import ezdxf
from ezdxf.addons.drawing.properties import RenderContext


def point(p):
    return [round(p[0], 6), round(p[1], 6)]


def entity(e, doc=None, drawing=None):
    kind = e.dxftype()
    record = {"type": kind, "layer": e.dxf.layer}
    # The linetype and lineweight a reader draws with: the entity's own, else its layer's.
    layer = doc.layers.get(e.dxf.layer) if doc is not None and doc.layers.has_entry(e.dxf.layer) else None
    linetype = e.dxf.get("linetype", "BYLAYER")
    if linetype.upper() == "BYLAYER" and layer is not None:
        linetype = layer.dxf.linetype
    if linetype.upper() != "BYLAYER":
        record["linetype"] = linetype
    lineweight = e.dxf.get("lineweight", -1)
    if lineweight == -1 and layer is not None:
        lineweight = layer.dxf.lineweight
    if lineweight != -1:
        record["lineweight"] = lineweight
    if drawing is not None:
        # the dashes ezdxf's drawing gives it
        record["pattern"] = [round(x, 6) for x in drawing.resolve_all(e).linetype_pattern]
    if e.dxf.hasattr("ltscale"):
        record["ltscale"] = e.dxf.ltscale
    if kind == "LINE":
        record["points"] = [point(e.dxf.start), point(e.dxf.end)]
    elif kind == "LWPOLYLINE":
        record["points"] = [point(p) for p in e.get_points("xy")]
        record["closed"] = bool(e.closed)
    elif kind in ("ARC", "CIRCLE"):
        record["center"] = point(e.dxf.center)
        record["radius"] = e.dxf.radius
        if kind == "ARC":
            record["angles"] = [e.dxf.start_angle, e.dxf.end_angle]
    elif kind == "ELLIPSE":
        start, end = e.dxf.start_param, e.dxf.end_param
        middle = (start + (end if end > start else end + 2 * math.pi)) / 2
        record.update(center=point(e.dxf.center), major_axis=point(e.dxf.major_axis), ratio=e.dxf.ratio,
                      params=[e.dxf.start_param, e.dxf.end_param], start=point(e.start_point),
                      end=point(e.end_point),
                      middle=point(next(iter(e.vertices([middle])))))
    elif kind == "SPLINE":
        record.update(degree=e.dxf.degree, knots=list(e.knots), weights=list(e.weights),
                      poles=[point(p) for p in e.control_points],
                      points=[point(p) for p in e.flattening(0.001)])
    elif kind == "SOLID":
        record["points"] = [point(e.dxf.get(name)) for name in ("vtx0", "vtx1", "vtx2", "vtx3")]
    elif kind == "TEXT":
        record.update(text=e.dxf.text, height=e.dxf.height, width=e.dxf.width, rotation=e.dxf.rotation,
                      halign=e.dxf.halign, valign=e.dxf.valign, style=e.dxf.style,
                      insert=point(e.dxf.insert), align_point=point(e.dxf.get("align_point", (0, 0))))
    elif kind == "DIMENSION":
        record.update(text=e.dxf.text, dimtype=e.dimtype, defpoint=point(e.dxf.defpoint),
                      defpoint2=point(e.dxf.defpoint2), defpoint3=point(e.dxf.defpoint3),
                      angle=e.dxf.get("angle", 0.0),
                      actual_measurement=e.dxf.get("actual_measurement", None),
                      measurement=e.get_measurement(), dimstyle=e.dxf.dimstyle,
                      dimlfac=e.override().get("dimlfac", 1.0))
    if kind == "INSERT":
        # what a reader draws of it, where it draws it
        record["insert"] = point(e.dxf.insert)
        record["drawn"] = [entity(part, doc) for part in e.virtual_entities()]
    if kind in ("DIMENSION", "INSERT") and doc is not None:
        block = doc.blocks.get(e.dxf.get("geometry" if kind == "DIMENSION" else "name", ""))
        record["block"] = [entity(part, doc) for part in block] if block is not None else None
    return record


def main():
    doc = ezdxf.readfile(sys.argv[1])
    drawing = RenderContext(doc)
    linetypes = {}
    for lt in doc.linetypes:
        linetypes[lt.dxf.name.upper()] = [round(x, 6) for x in lt.simplified_line_pattern()]
    styles = {}
    for style in doc.styles:
        styles[style.dxf.name] = {"font": style.dxf.get("font", ""), "family": style.get_extended_font_data()[0]}
    print(json.dumps({
        "version": doc.dxfversion,
        "codepage": doc.header.get("$DWGCODEPAGE", ""),
        "insunits": doc.header.get("$INSUNITS", 0),
        "layers": [layer.dxf.name for layer in doc.layers],
        "linetypes": linetypes,
        "styles": styles,
        "entities": [entity(e, doc, drawing) for e in doc.modelspace()],
    }, ensure_ascii=False))


if __name__ == "__main__":
    main()
