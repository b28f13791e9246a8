#include "electrode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>
#include <gp_Trsf.hxx>

namespace sample {
namespace {

// The tip reaches this far into the base so that the fuse meets volumes, not touching faces.
constexpr double kTipOverlap = 1.0;

gp_Trsf placement(const ElectrodeDesign& d) {
    gp_Trsf to_side;  // turns the frame's +z to the outward normal of the base's side
    switch (d.direction) {
        case 1:
            break;
        case -1:
            to_side.SetRotation(gp::OX(), M_PI);
            break;
        case 2:
            to_side.SetRotation(gp::OX(), M_PI / 2);
            break;
        case -2:
            to_side.SetRotation(gp::OX(), -M_PI / 2);
            break;
        case 3:
            to_side.SetRotation(gp::OY(), M_PI / 2);
            break;
        case -3:
            to_side.SetRotation(gp::OY(), -M_PI / 2);
            break;
        default:
            throw std::invalid_argument("unknown electrode direction");
    }
    gp_Trsf turn;
    turn.SetRotation(gp::OZ(), d.turn_deg * M_PI / 180);
    gp_Trsf move;
    move.SetTranslation(gp_Vec(d.reference.XYZ()));
    return move * turn * to_side;
}

// Rotations by quarter turns leave sin/cos residues of 1e-16; the expected values are meant to be exact.
double clean(double v) { return std::round(v * 1e9) / 1e9; }

gp_Pnt clean(const gp_Pnt& p) { return gp_Pnt(clean(p.X()), clean(p.Y()), clean(p.Z())); }

Box placed_box(const gp_Trsf& trsf, const gp_Pnt& lo, const gp_Pnt& hi) {
    Box box{gp_Pnt(1e300, 1e300, 1e300), gp_Pnt(-1e300, -1e300, -1e300)};
    for (int corner = 0; corner < 8; ++corner) {
        gp_Pnt p((corner & 1) ? hi.X() : lo.X(), (corner & 2) ? hi.Y() : lo.Y(), (corner & 4) ? hi.Z() : lo.Z());
        p = clean(p.Transformed(trsf));
        for (int i = 1; i <= 3; ++i) {
            box.min.SetCoord(i, std::min(box.min.Coord(i), p.Coord(i)));
            box.max.SetCoord(i, std::max(box.max.Coord(i), p.Coord(i)));
        }
    }
    return box;
}

TopoDS_Shape make_base(const ElectrodeDesign& d) {
    const double hx = d.base_x / 2, hy = d.base_y / 2;
    if (d.chamfer_x == 0) return BRepPrimAPI_MakeBox(gp_Pnt(-hx, -hy, 0), d.base_x, d.base_y, d.base_height).Solid();
    // The outline runs anticlockwise; the chamfered corner is replaced by its two cut points.
    const std::array<gp_Pnt, 4> corners = {gp_Pnt(hx, hy, 0), gp_Pnt(-hx, hy, 0), gp_Pnt(-hx, -hy, 0),
                                           gp_Pnt(hx, -hy, 0)};
    BRepBuilderAPI_MakePolygon outline;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const gp_Pnt& c = corners[i];
        if (c.X() * d.chamfer_x > 0 && c.Y() * d.chamfer_y > 0) {
            const gp_Pnt& prev = corners[(i + 3) % 4];
            const gp_Pnt& next = corners[(i + 1) % 4];
            outline.Add(c.Translated(gp_Vec(c, prev).Normalized() * d.chamfer_size));
            outline.Add(c.Translated(gp_Vec(c, next).Normalized() * d.chamfer_size));
        } else {
            outline.Add(c);
        }
    }
    outline.Close();
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(outline.Wire(), true).Face();
    return BRepPrimAPI_MakePrism(face, gp_Vec(0, 0, d.base_height)).Shape();
}

TopoDS_Shape make_tip(const ElectrodeDesign& d, double top) {
    const double height = d.tip_depth + top;
    if (d.round_tip) {
        const gp_Pnt axis((d.tip_x0 + d.tip_x1) / 2, (d.tip_y0 + d.tip_y1) / 2, -d.tip_depth);
        return BRepPrimAPI_MakeCylinder(gp_Ax2(axis, gp::DZ()), (d.tip_x1 - d.tip_x0) / 2, height).Solid();
    }
    TopoDS_Shape tip =
        BRepPrimAPI_MakeBox(gp_Pnt(d.tip_x0, d.tip_y0, -d.tip_depth), d.tip_x1 - d.tip_x0, d.tip_y1 - d.tip_y0, height)
            .Solid();
    if (d.tip_fillet <= 0) return tip;
    BRepFilletAPI_MakeFillet fillet(tip);
    for (TopExp_Explorer it(tip, TopAbs_EDGE); it.More(); it.Next()) {
        const TopoDS_Edge& edge = TopoDS::Edge(it.Current());
        const gp_Pnt a = BRep_Tool::Pnt(TopExp::FirstVertex(edge));
        const gp_Pnt b = BRep_Tool::Pnt(TopExp::LastVertex(edge));
        if (std::abs(a.X() - b.X()) < 1e-9 && std::abs(a.Y() - b.Y()) < 1e-9) fillet.Add(d.tip_fillet, edge);
    }
    return fillet.Shape();
}

// Corner codes of the base's back face, read anticlockwise from the upper right as seen from outside that face.
int chamfer_code(int direction, const gp_Pnt& corner, const Box& box) {
    struct Row {
        int direction, a, b;                        // the two in-plane coordinates (1 x, 2 y, 3 z)
        std::array<std::array<bool, 2>, 4> at_max;  // per code: is A at the maximum, is B at the maximum
    };
    static const std::array<Row, 6> rows = {{
        {1, 1, 2, {{{true, true}, {false, true}, {false, false}, {true, false}}}},
        {-1, 1, 2, {{{true, false}, {false, false}, {false, true}, {true, true}}}},
        {2, 1, 3, {{{true, true}, {false, true}, {false, false}, {true, false}}}},
        {-2, 1, 3, {{{false, true}, {true, true}, {true, false}, {false, false}}}},
        {3, 2, 3, {{{true, true}, {false, true}, {false, false}, {true, false}}}},
        {-3, 2, 3, {{{false, true}, {true, true}, {true, false}, {false, false}}}},
    }};
    for (const Row& row : rows) {
        if (row.direction != direction) continue;
        const bool a_max = std::abs(corner.Coord(row.a) - box.max.Coord(row.a)) < 1e-6;
        const bool b_max = std::abs(corner.Coord(row.b) - box.max.Coord(row.b)) < 1e-6;
        for (int code = 1; code <= 4; ++code) {
            if (row.at_max[code - 1][0] == a_max && row.at_max[code - 1][1] == b_max) return code;
        }
    }
    return 0;
}

// The fuse hands back a compound; the electrode is meant to be one united solid, and is written as that.
TopoDS_Shape single_solid(const TopoDS_Shape& shape, const std::string& name) {
    TopExp_Explorer solids(shape, TopAbs_SOLID);
    if (!solids.More()) throw std::runtime_error(name + ": the fuse gave no solid");
    const TopoDS_Shape solid = solids.Current();
    solids.Next();
    if (solids.More()) throw std::runtime_error(name + ": base and tip did not unite into one solid");
    return solid;
}

TopoDS_Shape placed(const TopoDS_Shape& shape, const gp_Trsf& trsf) {
    return BRepBuilderAPI_Transform(shape, trsf, true).Shape();
}

}  // namespace

BuiltElectrode build_electrode(const ElectrodeDesign& d) {
    BuiltElectrode built;
    built.design = d;
    const gp_Trsf trsf = placement(d);
    const gp_Pnt tip_lo(d.tip_x0, d.tip_y0, -d.tip_depth);

    if (!d.has_base) {
        // Held by its side at z = 0 of the frame, which is where the diagonal line runs.
        const TopoDS_Shape tip = make_tip(d, 0);
        built.body = placed(tip, trsf);
        built.burn_tool = built.body;
        const gp_Pnt a(d.tip_x0, d.tip_y0, 0), b(d.tip_x1, d.tip_y1, 0);
        built.curves.push_back(
            {BRepBuilderAPI_MakeEdge(a.Transformed(trsf), b.Transformed(trsf)).Edge(), d.name + " 对角线", ""});
        built.reference = clean(gp_Pnt((a.XYZ() + b.XYZ()) / 2).Transformed(trsf));
        built.body_box = placed_box(trsf, tip_lo, b);
    } else {
        const TopoDS_Shape tip = make_tip(d, kTipOverlap);
        BRepAlgoAPI_Fuse fuse(make_base(d), tip);
        if (!fuse.IsDone()) throw std::runtime_error("fusing the base and tip of " + d.name + " failed");
        built.body = placed(single_solid(fuse.Shape(), d.name), trsf);
        built.burn_tool = placed(tip, trsf);
        const double hx = d.base_x / 2, hy = d.base_y / 2;
        const gp_Pnt a(-hx, -hy, 0), b(hx, hy, 0);
        built.curves.push_back(
            {BRepBuilderAPI_MakeEdge(a.Transformed(trsf), b.Transformed(trsf)).Edge(), d.name + " 对角线", ""});
        built.reference = clean(gp::Origin().Transformed(trsf));
        const gp_Pnt lo(std::min(-hx, d.tip_x0), std::min(-hy, d.tip_y0), -d.tip_depth);
        const gp_Pnt hi(std::max(hx, d.tip_x1), std::max(hy, d.tip_y1), d.base_height);
        built.body_box = placed_box(trsf, lo, hi);
        built.working_box = placed_box(trsf, tip_lo, gp_Pnt(d.tip_x1, d.tip_y1, 0));
        if (d.chamfer_x != 0) {
            const gp_Pnt corner = clean(gp_Pnt(d.chamfer_x * hx, d.chamfer_y * hy, d.base_height).Transformed(trsf));
            built.chamfer_code = chamfer_code(d.direction, corner, built.body_box);
        }
    }
    if (d.touch_point) {
        const gp_Dir normal = gp::DZ().Transformed(trsf);
        built.curves.push_back(
            {BRepBuilderAPI_MakeEdge(gp_Circ(gp_Ax2(*d.touch_point, normal), 2.0)).Edge(), d.name + " 单边碰", ""});
    }
    for (ModelObject& curve : built.curves) curve.layer = std::to_string(d.layer);
    return built;
}

gp_Pnt frame_to_model(const ElectrodeDesign& design, const gp_Pnt& local) {
    return clean(local.Transformed(placement(design)));
}

}  // namespace sample
