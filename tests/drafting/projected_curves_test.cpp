// Curves of the projection kept exact on the sheet: circles seen obliquely as ellipses, curved outlines as splines,
// each drawn within a hundredth of a millimetre of the polyline it replaces, and kept so in the part's stored bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeTorus.hxx>
#include <gp_Ax2.hxx>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/projected_strokes.h"
#include "cadhost/drafting/projection_store.h"

namespace {

using namespace cadhost::drafting;
using cadhost::ViewOrientation;
namespace render = cadhost::render;

constexpr double kDrawnTolerance = 0.01;  // sheet mm

ViewOrientation iso() {
    const gp_Dir eye(1, -1, 1), right(1, 1, 0);
    return {right, eye.Crossed(right), eye};
}

// A view at 1:1, moved on the sheet: the polyline strays from the curve by the projection's deflection, 0.005 mm.
Placement placed_view() {
    Placement placed;
    placed.orientation = iso();
    placed.scale = 1.0;
    placed.ref_x = 150.0, placed.ref_y = 100.0;
    return placed;
}

// A block 40 x 30 x 20 with a through hole and a boss on its top: the hole's lower rim is partly hidden in iso.
TopoDS_Shape block_with_hole_and_boss() {
    const TopoDS_Shape block = BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), gp_Pnt(40, 30, 20)).Shape();
    const TopoDS_Shape hole = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(12, 15, -1), gp::DZ()), 6, 22).Shape();
    const TopoDS_Shape boss = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(30, 15, 20), gp::DZ()), 5, 10).Shape();
    return BRepAlgoAPI_Fuse(BRepAlgoAPI_Cut(block, hole).Shape(), boss).Shape();
}

double to_segment(const render::Point2& p, const render::Point2& a, const render::Point2& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

double to_chain(const render::Point2& p, const std::vector<render::Point2>& chain) {
    double nearest = chain.size() == 1 ? std::hypot(p.x - chain[0].x, p.y - chain[0].y) : INFINITY;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        nearest = std::min(nearest, to_segment(p, chain[i], chain[i + 1]));
    return nearest;
}

// The drawn ellipse as the writers draw it, finely divided.
std::vector<render::Point2> points_of(const render::Ellipse& e) {
    std::vector<render::Point2> out;
    const int steps = 4000;
    for (int i = 0; i <= steps; ++i) {
        const double t = e.start_param + (e.end_param - e.start_param) * i / steps;
        out.push_back({e.center.x + e.major.x * std::cos(t) - e.ratio * e.major.y * std::sin(t),
                       e.center.y + e.major.y * std::cos(t) + e.ratio * e.major.x * std::sin(t)});
    }
    return out;
}

std::vector<render::Point2> on_sheet(const ProjectedLine& line, const Placement& placed) {
    std::vector<render::Point2> out;
    for (const auto& p : line.points) out.push_back({placed.sheet_x(p.x), placed.sheet_y(p.y)});
    return out;
}

// The greatest distance from either chain to the other.
double stray_between(const std::vector<render::Point2>& a, const std::vector<render::Point2>& b) {
    double worst = 0.0;
    for (const auto& p : a) worst = std::max(worst, to_chain(p, b));
    for (const auto& p : b) worst = std::max(worst, to_chain(p, a));
    return worst;
}

struct Drawn {
    int ellipse_lines = 0, ellipses = 0, partial_visible = 0, partial_hidden = 0, splines = 0;
    int circle_lines = 0, arcs = 0, polylines = 0;  // polylines: of lines that lie on a circle or an ellipse
    double worst = 0.0;
    double worst_vertex = 0.0;  // of the polyline's inner points, which the kernel put on the curve
};

// Draws every projected line on a sheet of its own and measures each ellipse and spline against the polyline it
// replaces.
Drawn draw(const ProjectedEdges& edges) {
    const Placement placed = placed_view();
    Drawn drawn;
    for (int hidden = 0; hidden < 2; ++hidden) {
        for (int c = 0; c < 3; ++c) {
            for (const ProjectedLine& line : hidden ? edges.hidden[c] : edges.visible[c]) {
                render::SheetGraphics sheet;
                add_projected(sheet, line, placed, {}, "VIEW");
                drawn.ellipse_lines += line.is_ellipse();
                drawn.circle_lines += line.radius > 0;
                drawn.arcs += static_cast<int>(sheet.arcs.size());
                if (line.is_ellipse() || line.radius > 0) drawn.polylines += static_cast<int>(sheet.polylines.size());
                drawn.splines += static_cast<int>(sheet.splines.size());
                for (const auto& spline : sheet.splines)
                    drawn.worst = std::max(drawn.worst, stray_between(spline.points, on_sheet(line, placed)));
                for (const auto& e : sheet.ellipses) {
                    ++drawn.ellipses;
                    const bool partial = e.end_param - e.start_param < 2 * M_PI - 1e-6;
                    (hidden ? drawn.partial_hidden : drawn.partial_visible) += partial;
                    const auto polyline = on_sheet(line, placed), curve = points_of(e);
                    drawn.worst = std::max(drawn.worst, stray_between(curve, polyline));
                    for (std::size_t i = 1; i + 1 < polyline.size(); ++i)
                        drawn.worst_vertex = std::max(drawn.worst_vertex, to_chain(polyline[i], curve));
                }
            }
        }
    }
    return drawn;
}

TEST(ProjectedCurvesTest, CirclesSeenObliquelyAreEllipsesWithinAHundredthOfTheirPolylines) {
    ProjectionOptions options;
    const ProjectedEdges edges = project_together({block_with_hole_and_boss()}, iso(), options);
    const Drawn drawn = draw(edges);
    EXPECT_GE(drawn.ellipse_lines, 4) << "the hole's two rims and the boss's, at least";
    EXPECT_EQ(drawn.ellipses, drawn.ellipse_lines) << "every projected ellipse is drawn as one";
    EXPECT_EQ(drawn.polylines, 0);
    EXPECT_GT(drawn.partial_visible, 0) << "the hole's lower rim is cut where it goes out of sight";
    EXPECT_GT(drawn.partial_hidden, 0);
    EXPECT_LE(drawn.worst, kDrawnTolerance);
    EXPECT_LE(drawn.worst_vertex, 1e-3);
}

TEST(ProjectedCurvesTest, CurvesCutWhereBodiesOverlapStayTheirCurvesPieces) {
    // A pin standing in the hole and over the block's edge: the bodies' boxes overlap in iso, so lines are cut at
    // the overlap's border and the pieces must still be arcs of their ellipses.
    const TopoDS_Shape pin = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(12, 15, 5), gp::DZ()), 4, 30).Shape();
    const TopoDS_Shape ring =
        BRepAlgoAPI_Cut(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(-20, 15, 0), gp::DZ()), 25, 8).Shape(),
                        BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(-20, 15, -1), gp::DZ()), 22, 10).Shape())
            .Shape();
    // A torus lying across the block's corner: its outlines are splines that the overlap's border cuts, and a piece
    // must not be drawn as the whole spline.
    const TopoDS_Shape torus = BRepPrimAPI_MakeTorus(gp_Ax2(gp_Pnt(45, 35, 10), gp::DZ()), 12, 3).Shape();
    ProjectionOptions options;
    const auto edges = project_bodies({block_with_hole_and_boss(), pin, ring, torus}, iso(), options);
    const Drawn drawn = draw(*edges);
    EXPECT_GT(drawn.splines, 0);
    EXPECT_GE(drawn.ellipse_lines, 8);
    EXPECT_EQ(drawn.ellipses, drawn.ellipse_lines);
    EXPECT_EQ(drawn.polylines, 0);
    EXPECT_LE(drawn.worst, kDrawnTolerance);
    EXPECT_LE(drawn.worst_vertex, 1e-3);

    // From above the rims are circles, and the overlaps' borders cut the hole's and the ring's.
    const auto from_top = project_bodies({block_with_hole_and_boss(), pin, ring}, ViewOrientation{}, options);
    const Drawn top = draw(*from_top);
    EXPECT_GE(top.circle_lines, 8);
    EXPECT_EQ(top.arcs, top.circle_lines);
    EXPECT_EQ(top.polylines, 0);
}

TEST(ProjectedCurvesTest, CurvedOutlinesAreSplinesWithinAHundredthOfTheirPolylines) {
    const TopoDS_Shape torus = BRepPrimAPI_MakeTorus(gp_Ax2(gp::Origin(), gp::DZ()), 20, 5).Shape();
    ProjectionOptions options;
    const ProjectedEdges edges = project_together({torus}, iso(), options);
    const Placement placed = placed_view();
    int splines = 0;
    for (const ProjectedLine& line : edges.visible[ProjectedEdges::Outline]) {
        if (!line.spline) continue;
        render::SheetGraphics sheet;
        add_projected(sheet, line, placed, {}, "VIEW");
        ASSERT_EQ(sheet.splines.size(), 1u);
        const render::Spline& drawn = sheet.splines[0];
        EXPECT_EQ(drawn.knots.size(), drawn.poles.size() + static_cast<std::size_t>(drawn.degree) + 1);
        EXPECT_LE(stray_between(drawn.points, on_sheet(line, placed)), kDrawnTolerance);
        ++splines;
    }
    EXPECT_GT(splines, 0) << "a torus's outline in iso is no circle nor ellipse";
}

// A piece of a circle that goes round by next to nothing, its ends apart only across the circle, has no sense to
// draw it by: it stays a polyline. A quarter either way round is an arc that way round.
TEST(ProjectedCurvesTest, APieceThatTurnsByNothingIsNoArcAndAQuarterKeepsItsSense) {
    const Placement placed = placed_view();
    render::SheetGraphics sheet;
    add_projected(sheet, ProjectedLine{{{10, 0}, {10.005, 1e-13}}, {0, 0}, 10.0, {}, 0.0, nullptr}, placed, {}, "VIEW");
    EXPECT_EQ(sheet.arcs.size(), 0u);
    EXPECT_EQ(sheet.polylines.size(), 1u);
    for (const double sense : {1.0, -1.0}) {
        render::SheetGraphics quarter;
        const ProjectedLine line{{{10, 0}, {7.0711, sense * 7.0711}, {0, sense * 10}}, {0, 0}, 10.0, {}, 0.0, nullptr};
        add_projected(quarter, line, placed, {}, "VIEW");
        ASSERT_EQ(quarter.arcs.size(), 1u);
        const double start = sense > 0 ? 0.0 : -M_PI / 2;
        EXPECT_NEAR(std::remainder(quarter.arcs[0].start_angle - start, 2 * M_PI), 0.0, 1e-3);
        EXPECT_NEAR(quarter.arcs[0].end_angle - quarter.arcs[0].start_angle, M_PI / 2, 1e-3);
    }
}

bool same_lines(const std::vector<ProjectedLine>& a, const std::vector<ProjectedLine>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const ProjectedLine &x = a[i], &y = b[i];
        if (x.points.size() != y.points.size() || x.radius != y.radius || x.ratio != y.ratio ||
            x.centre.x != y.centre.x || x.centre.y != y.centre.y || x.major.x != y.major.x || x.major.y != y.major.y ||
            !x.spline != !y.spline)
            return false;
        for (std::size_t k = 0; k < x.points.size(); ++k)
            if (x.points[k].x != y.points[k].x || x.points[k].y != y.points[k].y) return false;
        if (x.spline && (x.spline->degree != y.spline->degree || x.spline->knots != y.spline->knots ||
                         x.spline->weights != y.spline->weights || x.spline->poles.size() != y.spline->poles.size()))
            return false;
    }
    return true;
}

TEST(ProjectedCurvesTest, StoredBytesGiveBackTheSameCurvesAndRefuseWhatMakesNone) {
    const TopoDS_Shape torus = BRepPrimAPI_MakeTorus(gp_Ax2(gp_Pnt(80, 0, 0), gp::DZ()), 20, 5).Shape();
    ProjectionOptions options;
    const ProjectedEdges edges = project_together({block_with_hole_and_boss(), torus}, iso(), options);
    ProjectedEdges back;
    ASSERT_TRUE(decode_edges(encode_edges(edges), back));
    for (int c = 0; c < 3; ++c) {
        EXPECT_TRUE(same_lines(edges.visible[c], back.visible[c])) << "visible class " << c;
        EXPECT_TRUE(same_lines(edges.hidden[c], back.hidden[c])) << "hidden class " << c;
    }

    // Curves that cannot be drawn are refused even when the bytes are whole.
    auto refused = [](const ProjectedLine& line) {
        ProjectedEdges bad;
        bad.visible[0].push_back(line);
        ProjectedEdges read;
        return !decode_edges(encode_edges(bad), read);
    };
    ProjectedLine flat{{{0, 0}, {1, 0}}, {0, 0}, 0.0, {1, 0}, 2.0, nullptr};
    EXPECT_TRUE(refused(flat)) << "an ellipse whose minor axis is longer than its major";
    auto backwards = std::make_shared<Spline2d>(Spline2d{1, {0, 0, 2, 1}, {{0, 0}, {1, 1}}, {}});
    EXPECT_TRUE(refused(ProjectedLine{{{0, 0}, {1, 1}}, {}, 0.0, {}, 0.0, backwards})) << "knots running backwards";
    auto short_knots = std::make_shared<Spline2d>(Spline2d{2, {0, 0, 1, 1}, {{0, 0}, {1, 1}, {2, 0}}, {}});
    EXPECT_TRUE(refused(ProjectedLine{{{0, 0}, {2, 0}}, {}, 0.0, {}, 0.0, short_knots})) << "too few knots";
    auto weightless = std::make_shared<Spline2d>(Spline2d{1, {0, 0, 1, 1}, {{0, 0}, {1, 1}}, {1.0, 0.0}});
    EXPECT_TRUE(refused(ProjectedLine{{{0, 0}, {1, 1}}, {}, 0.0, {}, 0.0, weightless})) << "a zero weight";
}

// The bytes an export kept before ellipses were kept: a part file written then still opens, and its projections are
// computed again so that its ellipses are drawn as such.
TEST(ProjectedCurvesTest, ProjectionsKeptInTheEarlierFormatAreComputedAgain) {
    const std::string hex =
        "5150453203000280EA30C0E1980280BE920100000200BF9FAB0300C09FAB030002FFBD9201BF9FAB0380BE920100000000010002"
        "80EA30FFBD920100C09FAB03003230663434333664656663373866346366653038326461313239303564336637";
    std::string old;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        old.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), 0, 16)));
    ProjectedEdges read;
    EXPECT_FALSE(decode_edges(old, read));

    ProjectionStore& store = ProjectionStore::shared();
    const std::string key = "earlier format test key";
    store.add_kept(key, old);
    const long before = store.computed();
    bool computed = false;
    const auto edges = store.get(key, [&] {
        computed = true;
        return ProjectedEdges{};
    });
    EXPECT_TRUE(computed);
    EXPECT_EQ(store.computed(), before + 1);
    EXPECT_NE(edges, nullptr);
}

// A projection no view holds any more is not kept decoded: asked for again it is decoded from what the store keeps,
// equal to the first answer and not computed again, and it is kept for the part file all the same.
TEST(ProjectedCurvesTest, AProjectionNoViewHoldsIsReleasedAndFoundAgain) {
    ProjectionStore& store = ProjectionStore::shared();
    const std::string key = "released projection test key";
    const long before = store.computed();
    const auto compute = [] {
        ProjectedEdges edges;
        edges.visible[ProjectedEdges::Sharp].push_back(ProjectedLine{{{0, 0}, {1.5, 2}}, {}, 0.0, {}, 0.0, nullptr});
        return edges;
    };
    auto first = store.get(key, compute);
    const std::string first_bytes = encode_edges(*first);
    std::weak_ptr<const ProjectedEdges> held = first;
    EXPECT_EQ(store.get(key, compute), first) << "shared while a view holds it";
    first.reset();
    // Kept decoded a while, as a projection asked for again; released once many others have been asked for again.
    for (int i = 0; i < 50; ++i)
        for (int twice = 0; twice < 2; ++twice) store.get(key + " other " + std::to_string(i), compute);
    EXPECT_TRUE(held.expired());
    const auto again = store.get(key, [&]() -> ProjectedEdges { throw std::runtime_error("computed again"); });
    EXPECT_EQ(encode_edges(*again), first_bytes);
    EXPECT_EQ(store.computed(), before + 51);
    const auto computed = store.computed_since_clear();
    EXPECT_TRUE(std::any_of(computed.begin(), computed.end(),
                            [&](const auto& kept) { return kept.first == key && kept.second == first_bytes; }));
}

}  // namespace
