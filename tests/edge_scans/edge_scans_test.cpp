// Edge scans on real solids: which edge each slot takes, in each plane, on core layers and on given bodies.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepFilletAPI_MakeChamfer.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRep_Tool.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Pln.hxx>
#include <nlohmann/json.hpp>

#include "cadhost/import/import_model.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "my_func/edge_scans.h"
#include "support/host_fixture.h"

namespace {

struct Plane {  // axes h, v and depth d (0 x, 1 y, 2 z); the fixed plane at d's maximum or minimum
    const char* name;
    int h, v, d;
    bool at_max;
    int (*core)(int, box_edge_set*);
    int (*body)(const tag_t*, int, const double[3], const double[3], box_edge_set*);
};
const Plane planes[3] = {{"xy", 0, 1, 2, false, scan_core_edges_xy, scan_body_edges_xy},
                         {"xz", 0, 2, 1, true, scan_core_edges_xz, scan_body_edges_xz},
                         {"yz", 1, 2, 0, false, scan_core_edges_yz, scan_body_edges_yz}};
const Plane& xy = planes[0];
struct Box {
    double lo[3], hi[3];
};
const char* const no_core = "错误! 你所输入的模仁层中没有实体!";

TopoDS_Shape block(double x0, double y0, double z0, double x1, double y1, double z1) {
    return BRepPrimAPI_MakeBox(gp_Pnt(x0, y0, z0), gp_Pnt(x1, y1, z1)).Shape();
}
TopoDS_Shape prism(const gp_Pnt& a, const gp_Pnt& b, const gp_Pnt& c, const gp_Pnt& d, const gp_Vec& along) {
    const TopoDS_Wire outline = BRepBuilderAPI_MakePolygon(a, b, c, d, true).Wire();
    return BRepPrimAPI_MakePrism(BRepBuilderAPI_MakeFace(outline).Face(), along).Shape();
}
// Every edge whose two ends pass `which` chamfered.
TopoDS_Shape chamfered(const TopoDS_Shape& shape, const std::function<bool(const gp_Pnt&, const gp_Pnt&)>& which) {
    BRepFilletAPI_MakeChamfer chamfer(shape);
    for (TopExp_Explorer it(shape, TopAbs_EDGE); it.More(); it.Next()) {
        const TopoDS_Edge edge = TopoDS::Edge(it.Current());
        if (which(BRep_Tool::Pnt(TopExp::FirstVertex(edge)), BRep_Tool::Pnt(TopExp::LastVertex(edge))))
            chamfer.Add(4, edge);
    }
    return chamfer.Shape();
}
// 20 x 20 x 10 with a half round underside split at its lowest point (0, 0): two arcs and an upright edge seen end-on
// from above end there, and no straight edge of the plan does.
TopoDS_Shape round_bottom() {
    const gp_Pnt a(0, 0, 0), b(10, 10, 0), c(10, 20, 0), d(-10, 20, 0), e(-10, 10, 0);
    const double s = 10 * std::sqrt(0.5);
    BRepBuilderAPI_MakeWire wire;
    wire.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(a, gp_Pnt(s, 10 - s, 0), b).Value()).Edge());
    wire.Add(BRepBuilderAPI_MakePolygon(b, c, d, e).Wire());
    wire.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(e, gp_Pnt(-s, 10 - s, 0), a).Value()).Edge());
    return BRepPrimAPI_MakePrism(BRepBuilderAPI_MakeFace(wire.Wire()).Face(), gp_Vec(0, 0, 10)).Shape();
}

class EdgeScan : public testing_support::HostTest {
  protected:
    static tag_t body_on(const TopoDS_Shape& shape, int layer, bool blanked = false) {
        const tag_t body = add_solid(shape);
        doc().set_layer(body, layer);
        if (blanked) UF_OBJ_set_blank_status(body, UF_OBJ_BLANKED);
        return body;
    }
    static std::vector<tag_t> edges_of(tag_t body) {
        uf_list_p_t list = nullptr;
        int count = 0;
        UF_MODL_ask_body_edges(body, &list);
        UF_MODL_ask_list_count(list, &count);
        std::vector<tag_t> edges(count);
        for (int i = 0; i < count; ++i) UF_MODL_ask_list_item(list, i, &edges[i]);
        UF_MODL_delete_list(&list);
        return edges;
    }
    static bool edge_of(tag_t edge, tag_t body) {
        const auto edges = edges_of(body);
        return edge != NULL_TAG && std::find(edges.begin(), edges.end(), edge) != edges.end();
    }
    static int edge_type(tag_t edge) {
        int type = 0;
        UF_MODL_ask_edge_type(edge, &type);
        return type;
    }
    // Whether the slot holds an edge where its number says, in the plane and the box the scan worked in.
    static bool as_promised(const box_edge_set& r, int slot, const Plane& pl, const Box& b, bool straight_only) {
        double p[2][3];
        int count = 0;
        if (UF_MODL_ask_edge_verts(box_edge_slot(&r, slot), p[0], p[1], &count) != 0 || count != 2) return false;
        const int a = slot < 8 ? pl.h : pl.v, s = slot < 8 ? pl.v : pl.h, kind = slot % 8 / 2;
        const double at = slot % 2 ? b.hi[s] : b.lo[s], fixed = pl.at_max ? b.hi[pl.d] : b.lo[pl.d];
        auto is = [](double x, double y) { return std::fabs(x - y) < 1e-9; };
        auto both = [&](int axis, double x) { return is(p[0][axis], x) && is(p[1][axis], x); };
        const bool straight = edge_type(box_edge_slot(&r, slot)) == UF_MODL_LINEAR_EDGE;
        const bool end_on = is(p[0][pl.h], p[1][pl.h]) && is(p[0][pl.v], p[1][pl.v]);
        if (kind == 3) return (straight || !straight_only) && !end_on && (is(p[0][s], at) || is(p[1][s], at));
        const bool spans = is(std::fmin(p[0][a], p[1][a]), b.lo[a]) && is(std::fmax(p[0][a], p[1][a]), b.hi[a]);
        return straight && both(s, at) && !is(p[0][a], p[1][a]) && (kind == 2 || spans) &&
               (kind != 0 || both(pl.d, fixed));
    }
    static std::vector<std::string> messages() { return session().ui().messages(); }
};

// An uneven block, plain and with the rim opposite the fixed plane chamfered away: every slot finds its edge, and the
// box edges lie in the fixed plane. The electrode members find the same within the block's box.
TEST_F(EdgeScan, EachMemberScansItsOwnPlaneAndFixedPlane) {
    const Box b = {{-30, 10, 5}, {70, 70, 45}};
    int layer = 10;
    for (const Plane& pl : planes) {
        const double opposite = pl.at_max ? b.lo[pl.d] : b.hi[pl.d];
        const auto at_opposite = [&](const gp_Pnt& p, const gp_Pnt& q) {
            return p.Coord(pl.d + 1) == opposite && q.Coord(pl.d + 1) == opposite;
        };
        for (const TopoDS_Shape& shape :
             {block(-30, 10, 5, 70, 70, 45), chamfered(block(-30, 10, 5, 70, 70, 45), at_opposite)}) {
            const tag_t body = body_on(shape, ++layer);
            box_edge_set core{}, electrode{};
            ASSERT_EQ(pl.core(layer, &core), 1);
            ASSERT_EQ(pl.body(&body, 1, b.lo, b.hi, &electrode), 1);
            for (int slot = 0; slot < 16; ++slot) {
                EXPECT_TRUE(as_promised(core, slot, pl, b, false))
                    << pl.name << " core, layer " << layer << " slot " << slot;
                EXPECT_TRUE(as_promised(electrode, slot, pl, b, true)) << pl.name << " electrode, slot " << slot;
            }
        }
    }
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(session().ui().listing().empty()) << session().ui().listing();
}

TEST_F(EdgeScan, ChamferedExtremeFallsBackToLesserSlots) {
    const Box b = {{0, 0, 0}, {100, 60, 40}};
    box_edge_set r{};
    // The lower front edge chamfered: no box edge in the fixed plane at y minimum, a full one higher up.
    body_on(chamfered(block(0, 0, 0, 100, 60, 40), [](auto p, auto q) { return p.Y() + q.Y() + p.Z() + q.Z() == 0; }),
            20);
    ASSERT_EQ(xy.core(20, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 0), NULL_TAG);
    EXPECT_TRUE(as_promised(r, 2, xy, b, false) && as_promised(r, 1, xy, b, false));
    // Both upright front corners chamfered: nothing spans the box at y minimum; the longest edge there is 92 long.
    body_on(chamfered(block(0, 0, 0, 100, 60, 40), [](auto p, auto q) { return p.Y() + q.Y() == 0 && p.X() == q.X(); }),
            21);
    ASSERT_EQ(xy.core(21, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 0) + box_edge_slot(&r, 2), NULL_TAG);
    double p1[3], p2[3];
    int count = 0;
    ASSERT_TRUE(as_promised(r, 4, xy, b, false));
    UF_MODL_ask_edge_verts(box_edge_slot(&r, 4), p1, p2, &count);
    EXPECT_NEAR(std::fabs(p1[0] - p2[0]), 92, 1e-9);
    // A diamond in plan meets y minimum with an upright edge only, seen end-on: the slanted edges touch it.
    body_on(prism(gp_Pnt(0, 0, 0), gp_Pnt(30, 20, 0), gp_Pnt(0, 40, 0), gp_Pnt(-30, 20, 0), gp_Vec(0, 0, 10)), 22);
    ASSERT_EQ(xy.core(22, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 0) + box_edge_slot(&r, 2) + box_edge_slot(&r, 4), NULL_TAG);
    EXPECT_TRUE(as_promised(r, 6, xy, {{-30, 0, 0}, {30, 40, 10}}, true));
    // A sloping underside: the lower front edge spans x but meets the fixed plane with one end only.
    body_on(prism(gp_Pnt(0, 0, 0), gp_Pnt(100, 0, 20), gp_Pnt(100, 0, 40), gp_Pnt(0, 0, 40), gp_Vec(0, 60, 0)), 23);
    ASSERT_EQ(xy.core(23, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 0) + box_edge_slot(&r, 1), NULL_TAG);
    EXPECT_TRUE(as_promised(r, 2, xy, b, false) && as_promised(r, 8, xy, b, false));
}

TEST_F(EdgeScan, LongestEdgeKeepsTheFirstOfEqualsAndYieldsToALongerOne) {
    const tag_t first = body_on(block(0, 0, 0, 40, 10, 10), 30);
    body_on(block(50, 0, 0, 90, 10, 10), 30);
    box_edge_set r{};
    ASSERT_EQ(xy.core(30, &r), 1);
    for (tag_t e : edges_of(first)) {  // the first edge of the first body lying along x at y = 0
        double p1[3], p2[3];
        int count = 0;
        UF_MODL_ask_edge_verts(e, p1, p2, &count);
        if (p1[1] != 0 || p2[1] != 0 || p1[0] == p2[0]) continue;
        EXPECT_EQ(box_edge_slot(&r, 4), e);
        break;
    }
    body_on(block(0, 0, 0, 40, 10, 10), 31);
    const tag_t longer = body_on(block(50, 0, 0, 90.001, 10, 10), 31);
    ASSERT_EQ(xy.core(31, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 4), longer) && edge_of(box_edge_slot(&r, 5), longer));
}

// The core takes a curve touching its extreme when nothing better comes, and a straight edge whenever one comes. The
// electrode members look at straight edges only, and the last one found stays.
TEST_F(EdgeScan, TouchingSlotsPreferStraightEdges) {
    const Box b = {{-10, 0, 0}, {50, 20, 10}};
    body_on(round_bottom(), 40);
    const tag_t after_curve = body_on(block(30, 0, 0, 50, 20, 10), 40);
    const tag_t before_curve = body_on(block(30, 0, 0, 50, 20, 10), 41);
    const tag_t curve = body_on(round_bottom(), 41);
    body_on(round_bottom(), 42);
    box_edge_set r{};
    for (const auto& [layer, straight] : {std::pair{40, after_curve}, std::pair{41, before_curve}}) {
        ASSERT_EQ(xy.core(layer, &r), 1);
        EXPECT_TRUE(edge_of(box_edge_slot(&r, 6), straight)) << layer;
        EXPECT_TRUE(as_promised(r, 6, xy, b, true)) << layer;
    }
    ASSERT_EQ(xy.core(42, &r), 1);
    EXPECT_EQ(edge_type(box_edge_slot(&r, 6)), UF_MODL_CIRCULAR_EDGE);

    ASSERT_EQ(xy.body(&curve, 1, b.lo, b.hi, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 6), NULL_TAG);
    const tag_t block_then_curve[2] = {before_curve, curve}, two_blocks[2] = {before_curve, after_curve};
    ASSERT_EQ(xy.body(block_then_curve, 2, b.lo, b.hi, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 6), before_curve));
    ASSERT_EQ(xy.body(two_blocks, 2, b.lo, b.hi, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 6), after_curve) && edge_of(box_edge_slot(&r, 15), after_curve));
}

// 7.0006 and 7.0011 round to 7.001, 7.0004 to 7.000, -7.0006 and -7.0011 to -7.001.
TEST_F(EdgeScan, ExtremesCompareAfterRounding) {
    const tag_t high = body_on(block(0, 0, 0, 10, 7.0006, 5), 50);
    body_on(block(20, 0, 0, 60, 7.0004, 5), 50);
    body_on(block(0, 0, 0, 10, 7.0011, 5), 51);
    const tag_t wide = body_on(block(20, 0, 0, 60, 7.0006, 5), 51);
    box_edge_set r{};
    ASSERT_EQ(xy.core(50, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 5), high)) << "the longer edge at 7.000 is off the maximum";
    ASSERT_EQ(xy.core(51, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 5), wide)) << "the longer edge at 7.001 is on it";

    const tag_t under = body_on(block(0, -7.0011, 0, 10, 0, 5), 52);
    const double hi[3] = {10, 0, 5}, on[3] = {0, -7.0006, 0}, off[3] = {0, -7.0004, 0};
    ASSERT_EQ(xy.body(&under, 1, on, hi, &r), 1);
    EXPECT_NE(box_edge_slot(&r, 0), NULL_TAG);
    ASSERT_EQ(xy.body(&under, 1, off, hi, &r), 1);
    EXPECT_EQ(box_edge_slot(&r, 0) + box_edge_slot(&r, 2) + box_edge_slot(&r, 4) + box_edge_slot(&r, 6), NULL_TAG);
}

TEST_F(EdgeScan, HiddenBodiesEmptyLayersAndNoBodies) {
    const tag_t lone = body_on(block(0, 0, 0, 10, 20, 30), 60, true);
    box_edge_set r{};
    ASSERT_EQ(xy.core(60, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 0), lone));
    UF_OBJ_disp_props_t props{};
    UF_OBJ_ask_display_properties(lone, &props);
    EXPECT_EQ(props.blank_status, UF_OBJ_NOT_BLANKED);
    // Among several, a hidden body neither widens the box nor lends its edges, to the core or to the electrode members.
    const tag_t shown = body_on(block(0, 0, 0, 10, 20, 30), 61);
    const tag_t hidden = body_on(block(0, 0, 0, 10, 20, 60), 61, true);
    const tag_t both[2] = {shown, hidden};
    const Box b = {{0, 0, 0}, {10, 20, 30}};
    box_edge_set electrode{};
    ASSERT_EQ(xy.core(61, &r), 1);
    ASSERT_EQ(planes[2].body(both, 2, b.lo, b.hi, &electrode), 1);
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_TRUE(edge_of(box_edge_slot(&r, slot), shown) && edge_of(box_edge_slot(&electrode, slot), shown)) << slot;

    // All of several hidden, none at all, a sheet only, no bodies given: refused, the record as it was.
    body_on(block(0, 0, 0, 10, 10, 10), 62, true);
    body_on(block(20, 0, 0, 30, 10, 10), 62, true);
    doc().set_layer(doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 10, 0, 10).Face(), true), 63);
    box_edge_set kept;
    std::fill_n(reinterpret_cast<tag_t*>(&kept), 16, 99999);
    const box_edge_set before = kept;
    for (const Plane& pl : planes) {
        EXPECT_EQ(pl.core(62, &kept) + pl.core(63, &kept) + pl.core(64, &kept), 0);
        EXPECT_EQ(pl.body(both, 0, b.lo, b.hi, &kept) + pl.body(nullptr, 1, b.lo, b.hi, &kept), 0);
    }
    EXPECT_EQ(std::memcmp(&kept, &before, sizeof kept), 0);
    std::vector<std::string> want;
    for (int i = 0; i < 3; ++i)
        want.insert(want.end(), {no_core, no_core, no_core, "实体数目为0,无法计算!", "实体数目为0,无法计算!"});
    EXPECT_EQ(messages(), want);
}

TEST_F(EdgeScan, ManyInsertsAreAllScanned) {
    // More bodies than a fixed table of a hundred would hold: the last one reaches farthest.
    tag_t last = NULL_TAG;
    for (int i = 0; i < 130; ++i) last = body_on(block(i * 2, 0, 0, i * 2 + 1, 1 + (i == 129), 1), 80);
    box_edge_set r{};
    ASSERT_EQ(xy.core(80, &r), 1);
    EXPECT_TRUE(edge_of(box_edge_slot(&r, 5), last) && edge_of(box_edge_slot(&r, 9), last));
}

// The bundled sample core, whose upright corners are rounded, scanned quietly: each extreme has an edge to measure to.
TEST_F(EdgeScan, SampleCoreScansQuietly) {
    const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
    auto part = std::make_unique<cadhost::Part>();
    const auto imported = cadhost::import::import_step(examples + "sample_mould.step",
                                                       examples + "sample_mould.attrs.json", part->document);
    ASSERT_TRUE(imported.ok) << imported.error;
    session().set_display_part(std::move(part));
    const nlohmann::json core = nlohmann::json::parse(std::ifstream(examples + "sample_mould.expected.json"))["core"];
    Box b;
    for (int i = 0; i < 3; ++i)
        b.lo[i] = core["box"]["min"][i].get<double>(), b.hi[i] = core["box"]["max"][i].get<double>();
    for (const Plane& pl : planes) {
        box_edge_set r{};
        ASSERT_EQ(pl.core(core["layer"].get<int>(), &r), 1) << pl.name;
        for (int extreme : {0, 1, 8, 9}) {
            int found = 0;
            for (int slot = extreme; slot < extreme + 8; slot += 2) found += as_promised(r, slot, pl, b, false);
            EXPECT_GT(found, 0) << pl.name << " extreme " << extreme;
        }
    }
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(session().ui().listing().empty()) << session().ui().listing();
}

}  // namespace
