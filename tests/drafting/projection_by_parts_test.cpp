// Projection by parts against the projection of the bodies together: a core and electrodes that hide each other in
// every way a mould shows, seen from all six sides and an iso direction, must give the same visible and hidden lines.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Geom2d_Curve.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <BinTools.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax2.hxx>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/projection_regions.h"

namespace {

using cadhost::ViewOrientation;
using cadhost::drafting::Box2;
using cadhost::drafting::Point2d;
using cadhost::drafting::Polyline2d;
using cadhost::drafting::ProjectedEdges;
using cadhost::drafting::ProjectedLine;
using cadhost::drafting::ProjectionOptions;

TopoDS_Shape box(double x0, double y0, double z0, double x1, double y1, double z1) {
    return BRepPrimAPI_MakeBox(gp_Pnt(x0, y0, z0), gp_Pnt(x1, y1, z1)).Shape();
}
TopoDS_Shape cut(const TopoDS_Shape& a, const TopoDS_Shape& b) { return BRepAlgoAPI_Cut(a, b).Shape(); }
TopoDS_Shape fuse(const TopoDS_Shape& a, const TopoDS_Shape& b) { return BRepAlgoAPI_Fuse(a, b).Shape(); }

// The six sides and an iso direction, as the drawing views see them.
std::vector<std::pair<std::string, ViewOrientation>> directions() {
    const gp_Dir x = gp::DX(), y = gp::DY(), z = gp::DZ();
    const gp_Dir iso_eye(1, -1, 1), iso_right(1, 1, 0);
    return {{"top", {x, y, z}},
            {"bottom", {x, y.Reversed(), z.Reversed()}},
            {"front", {x, z, y.Reversed()}},
            {"back", {x.Reversed(), z, y}},
            {"right", {y, z, x}},
            {"left", {y.Reversed(), z, x.Reversed()}},
            {"iso", {iso_right, iso_eye.Crossed(iso_right), iso_eye}}};
}

double distance_to_segment(const Point2d& p, const Point2d& a, const Point2d& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool near_any(const Point2d& p, const std::vector<const std::vector<ProjectedLine>*>& sets, double tol) {
    for (const auto* set : sets)
        for (const auto& line : *set)
            for (std::size_t i = 0; i + 1 < line.points.size(); ++i)
                if (distance_to_segment(p, line.points[i], line.points[i + 1]) <= tol) return true;
    return false;
}

// Where the lines of `from` run (every 0.05 mm) further than tol from every line of `to`; a hidden line that runs
// under a visible line of the other drawing is not seen on the sheet, so it may be matched by one.
std::vector<std::string> strays(const ProjectedEdges& from, const ProjectedEdges& to, double tol) {
    std::vector<std::string> out;
    for (int hidden = 0; hidden < 2; ++hidden) {
        for (int c = 0; c < 3; ++c) {
            std::vector<const std::vector<ProjectedLine>*> targets{hidden ? &to.hidden[c] : &to.visible[c]};
            if (hidden)
                for (int v = 0; v < 3; ++v) targets.push_back(&to.visible[v]);
            for (const auto& projected : hidden ? from.hidden[c] : from.visible[c]) {
                const Polyline2d& line = projected.points;
                for (std::size_t i = 0; i + 1 < line.size(); ++i) {
                    const Point2d a = line[i], b = line[i + 1];
                    const int steps = 1 + static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 0.05);
                    for (int s = 0; s <= steps; ++s) {
                        const double t = static_cast<double>(s) / steps;
                        const Point2d p{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                        if (near_any(p, targets, tol)) continue;
                        out.push_back(std::string(hidden ? "hidden" : "visible") + " class " + std::to_string(c) +
                                      " at (" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")");
                        break;
                    }
                    if (!out.empty() && out.size() > 5) return out;
                }
            }
        }
    }
    return out;
}

std::size_t line_count(const ProjectedEdges& e) {
    std::size_t n = 0;
    for (int c = 0; c < 3; ++c) n += e.visible[c].size() + e.hidden[c].size();
    return n;
}

// Both ways, in every direction: nothing drawn by one that the other does not draw within 0.01 mm.
void expect_same_drawing(const std::vector<TopoDS_Shape>& bodies, const char* what) {
    for (const auto& [name, orientation] : directions()) {
        ProjectionOptions options;
        const auto parts = cadhost::drafting::project_bodies(bodies, orientation, options);
        const ProjectedEdges together = cadhost::drafting::project_together(bodies, orientation, options);
        EXPECT_GT(line_count(together), 0u);
        const auto extra = strays(*parts, together, 0.01);
        const auto missing = strays(together, *parts, 0.01);
        EXPECT_TRUE(extra.empty()) << what << ", " << name << ": drawn by parts only, " << extra.front();
        EXPECT_TRUE(missing.empty()) << what << ", " << name << ": missing by parts, " << missing.front();
    }
}

// A core 120 x 80 x 40 with its top at z = 0, and a pocket 30 x 20 x 15 in its top.
TopoDS_Shape core_with_pocket() { return cut(box(-60, -40, -40, 60, 40, 0), box(-15, -10, -15, 15, 10, 1)); }

TEST(ProjectionByPartsTest, AnElectrodeInAPocketIsHiddenByTheWallsAsWhenProjectedTogether) {
    // Its tip reaches 12 mm into the pocket with a spark gap of 0.5 mm, its base stands 10 mm above the core.
    const TopoDS_Shape electrode = fuse(box(-14.5, -9.5, -12, 14.5, 9.5, 10), box(-20, -14, 10, 20, 14, 22));
    expect_same_drawing({core_with_pocket(), electrode}, "electrode in a pocket");
}

TEST(ProjectionByPartsTest, AnElectrodeAboveTheCoreHidesItsEdgesAsWhenProjectedTogether) {
    // The electrode hangs over the pocket's rim and the core's edge, so it hides parts of both from above.
    const TopoDS_Shape electrode = box(5, -30, 5, 70, 0, 25);
    expect_same_drawing({core_with_pocket(), electrode}, "electrode above the core");
}

TEST(ProjectionByPartsTest, AnElectrodeBesideTheCoreAndTwoCopiesAreDrawnAsWhenProjectedTogether) {
    // Beside the core in x: apart in the top and front views, in front of or behind it from the sides.
    const TopoDS_Shape beside = box(80, -10, -30, 100, 10, -10);
    expect_same_drawing({core_with_pocket(), beside}, "electrode beside the core");
    // Two copies over the core that overlap each other in some views but not in others.
    const TopoDS_Shape first = box(-50, -30, 2, -30, -10, 12), second = box(-45, 10, 6, -25, 30, 16);
    expect_same_drawing({core_with_pocket(), first, second}, "two copies above the core");
}

TEST(ProjectionByPartsTest, ACurvedCoreFaceWhoseSilhouetteCrossesTheElectrodeIsDrawnAsWhenProjectedTogether) {
    // A half-round ridge along x on the core's top and a dome: their silhouettes run under the electrode's outline.
    const TopoDS_Shape ridge = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(-60, 10, 0), gp::DX()), 12, 120).Shape();
    const TopoDS_Shape dome = BRepPrimAPI_MakeSphere(gp_Pnt(-35, -20, 0), 10).Shape();
    const TopoDS_Shape core = fuse(fuse(box(-60, -40, -40, 60, 40, 0), ridge), dome);
    const TopoDS_Shape electrode = box(-45, 0, 8, -20, 30, 30);
    expect_same_drawing({core, electrode}, "curved core face");
}

// A core whose top face carries a grid of holes besides the pocket, as a mould core's top carries hundreds: deep ones
// 6 mm across and, in the middle row, shallow ones 10 mm across whose floors are seen from the side. The holes away
// from the electrode are left out of the overlap's projection.
TopoDS_Shape core_with_holes() {
    TopoDS_Compound holes;
    BRep_Builder builder;
    builder.MakeCompound(holes);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 3; ++j) {
            const bool shallow = j == 1;
            const gp_Ax2 axis(gp_Pnt(-50 + 20 * i, -25 + 25 * j, shallow ? -3 : -20), gp::DZ());
            builder.Add(holes, BRepPrimAPI_MakeCylinder(axis, shallow ? 5 : 3, shallow ? 4 : 21).Shape());
        }
    return cut(core_with_pocket(), holes);
}

TEST(ProjectionByPartsTest, HolesOfTheCoreTopNearAndFarFromTheElectrodeAreDrawnAsWhenProjectedTogether) {
    const TopoDS_Shape core = core_with_holes();
    // Over the pocket and the holes about it, its outline cutting through some of them; in the iso view the walls of
    // holes beyond it reach under it where their rims do not.
    const TopoDS_Shape electrode = fuse(box(-14.5, -9.5, -12, 14.5, 9.5, 10), box(-31, -17, 10, 31, 17, 22));
    expect_same_drawing({core, electrode}, "electrode over the pocket among holes");
    // A round electrode over one hole's rim, and a block beside the core seen in front of the holes from the sides.
    const TopoDS_Shape round = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(38, 13, 4), gp::DZ()), 7, 15).Shape();
    const TopoDS_Shape beside = box(62, -35, -35, 75, 35, -5);
    expect_same_drawing({core, round, beside}, "a round electrode over a hole and a block beside the core");
    // A low L behind a hole as the iso view sees it: its box takes in the hole, which it does not hide, so the hole's
    // walls and floor are seen in the overlap.
    const TopoDS_Shape bent = fuse(box(20, 7, 2, 40, 10, 4), box(20, -8, 2, 23, 10, 4));
    expect_same_drawing({core, bent}, "a low L round a hole");
}

TEST(ProjectionByPartsTest, ProjectionsOfBodiesAloneAreReusedAndHidingByOthersIsNot) {
    // Bodies of their own, so that no other test has projected them.
    const TopoDS_Shape core = cut(box(-70, -45, -30, 70, 45, 0), box(-5, -5, -10, 5, 5, 1));
    const TopoDS_Shape electrode = box(0, -20, 5, 60, 0, 25);
    const ViewOrientation top = directions()[0].second;
    ProjectionOptions options;
    const long start = cadhost::drafting::projections_computed();
    cadhost::drafting::project_bodies({core, electrode}, top, options);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 2)
        << "the core alone and the overlap; the electrode lies wholly in the overlap, so it is not projected alone";
    const TopoDS_Shape other = box(-50, -30, 3, -30, -10, 13);
    cadhost::drafting::project_bodies({core, other}, top, options);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 3) << "the core is not projected again";
    cadhost::drafting::project_bodies({core, other}, top, options);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 3);
    options.hidden_by_other_bodies = false;
    cadhost::drafting::project_bodies({core, other}, top, options);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 4) << "only the other body is new: each alone";
}

// How many lines have a point off the circle or ellipse they say they lie on, by more than 0.001 mm.
int off_their_curves(const ProjectedEdges& edges) {
    int off = 0;
    for (int hidden = 0; hidden < 2; ++hidden)
        for (int c = 0; c < 3; ++c)
            for (const ProjectedLine& line : hidden ? edges.hidden[c] : edges.visible[c]) {
                const double a = std::hypot(line.major.x, line.major.y), b = a * line.ratio;
                for (const Point2d& p : line.points) {
                    const double dx = p.x - line.centre.x, dy = p.y - line.centre.y;
                    double miss = 0.0;
                    if (line.radius > 0) {
                        miss = std::fabs(std::hypot(dx, dy) - line.radius);
                    } else if (line.is_ellipse()) {
                        const double u = (dx * line.major.x + dy * line.major.y) / a;
                        const double v = (dy * line.major.x - dx * line.major.y) / a;
                        miss = std::fabs(std::hypot(u / a, v / b) - 1.0) * b;
                    }
                    if (miss > 1e-3) {
                        ++off;
                        break;
                    }
                }
            }
    return off;
}

TEST(ProjectionByPartsTest, AViewTurnedInItsPlaneReusesTheBodyAloneAndIsDrawnAsWhenProjectedTogether) {
    // Bodies of their own, seen from above with the model's Y to the right, and from an iso side two ways round.
    const TopoDS_Shape core = cut(box(-65, -42, -30, 65, 42, 0), box(-20, -12, -14, 20, 12, 1));
    const TopoDS_Shape electrode = fuse(box(-19.5, -11.5, -10, 19.5, 11.5, 8), box(-25, -16, 8, 25, 16, 18));
    // A round boss on the core, off the electrode: its rims are circles from above and ellipses from the iso side.
    const TopoDS_Shape boss = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(45, 25, -1), gp::DZ()), 8, 11).Shape();
    const TopoDS_Shape bossed = fuse(core, boss);
    const gp_Dir iso_eye(1, -1, 1), iso_right(1, 1, 0);
    const gp_Dir tilted_right = gp_Dir(gp_Vec(iso_right).Rotated(gp_Ax1(gp::Origin(), iso_eye), 0.7));
    const std::vector<std::pair<ViewOrientation, ViewOrientation>> turned{
        {{gp::DX(), gp::DY(), gp::DZ()}, {gp::DY(), gp::DX().Reversed(), gp::DZ()}},
        {{iso_right, iso_eye.Crossed(iso_right), iso_eye}, {tilted_right, iso_eye.Crossed(tilted_right), iso_eye}}};
    ProjectionOptions options;
    for (const auto& [plain, other] : turned) {
        cadhost::drafting::project_bodies({bossed, electrode}, plain, options);
        const long before = cadhost::drafting::projections_computed();
        const auto parts = cadhost::drafting::project_bodies({bossed, electrode}, other, options);
        EXPECT_EQ(cadhost::drafting::projections_computed(), before + 1) << "only the overlap is new";
        EXPECT_EQ(off_their_curves(*parts), 0) << "circles and ellipses turned with their points";
        const ProjectedEdges together = cadhost::drafting::project_together({bossed, electrode}, other, options);
        const auto extra = strays(*parts, together, 0.01);
        const auto missing = strays(together, *parts, 0.01);
        EXPECT_TRUE(extra.empty()) << "drawn by parts only, " << extra.front();
        EXPECT_TRUE(missing.empty()) << "missing by parts, " << missing.front();
    }
}

// The body as a STEP file gives it: its plane faces' edges without curves in the planes' parameters.
TopoDS_Shape without_plane_curves(const TopoDS_Shape& shape) {
    const TopoDS_Shape copy = BRepBuilderAPI_Copy(shape).Shape();
    BRep_Builder builder;
    for (TopExp_Explorer face(copy, TopAbs_FACE); face.More(); face.Next()) {
        const TopoDS_Face& f = TopoDS::Face(face.Current());
        if (BRepAdaptor_Surface(f).GetType() != GeomAbs_Plane) continue;
        for (TopExp_Explorer edge(f, TopAbs_EDGE); edge.More(); edge.Next()) {
            const TopoDS_Edge& e = TopoDS::Edge(edge.Current());
            builder.UpdateEdge(e, Handle(Geom2d_Curve)(), f, BRep_Tool::Tolerance(e));
        }
    }
    return copy;
}

TEST(ProjectionByPartsTest, BodiesWithoutCurvesInTheirPlanesAreDrawnAsWhenProjectedTogetherAndLeftAsTheyWere) {
    const TopoDS_Shape core = without_plane_curves(core_with_pocket());
    const TopoDS_Shape electrode = without_plane_curves(box(-30, -20, 3, 0, 5, 15));
    auto bytes = [](const TopoDS_Shape& shape) {
        std::ostringstream out;
        BinTools::Write(shape, out, Standard_False, Standard_False, BinTools_FormatVersion_CURRENT);
        return out.str();
    };
    const std::string core_before = bytes(core), electrode_before = bytes(electrode);
    expect_same_drawing({core, electrode}, "bodies without curves in their planes");
    // The part file keeps bodies and keys projections by their bytes: what the projection adds to the faces to work
    // faster goes to copies of its own.
    EXPECT_TRUE(bytes(core) == core_before);
    EXPECT_TRUE(bytes(electrode) == electrode_before);
}

TEST(ProjectionByPartsTest, BodiesAloneAreProjectedAheadOnceEachAndFoundWhenTheViewsAreDrawn) {
    // Bodies of their own; the electrodes lie well inside the core's outline from every side, so only the core is
    // ever projected alone: once from above, for both rights, and once from the iso side.
    const TopoDS_Shape core = cut(box(-75, -50, -30, 75, 50, 0), box(-8, -8, -12, 8, 8, 1));
    const TopoDS_Shape first = box(-30, -20, 1, -20, -10, 5), second = box(20, 10, 1, 30, 20, 5);
    const ViewOrientation top = directions()[0].second, iso = directions()[6].second;
    const ViewOrientation turned{gp::DY(), gp::DX().Reversed(), gp::DZ()};
    const std::vector<cadhost::drafting::ProjectionRequest> requests{
        {{core, first}, top, {}}, {{core, second}, top, {}}, {{core, first}, iso, {}}, {{core, second}, turned, {}}};
    const long start = cadhost::drafting::projections_computed();
    cadhost::drafting::project_alone_ahead(requests, 2);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 2);
    cadhost::drafting::project_alone_ahead(requests, 2);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 2) << "nothing is projected twice";
    for (const auto& request : requests)
        cadhost::drafting::project_bodies(request.bodies, request.orientation, request.options);
    EXPECT_EQ(cadhost::drafting::projections_computed(), start + 6) << "the four overlaps, nothing alone";
}

TEST(ProjectionRegionsTest, OverlapsAreMergedAndLinesCutAtTheirBorders) {
    const std::vector<Box2> boxes{
        {0, 0, 100, 100, false}, {10, 10, 20, 20, false}, {15, 15, 30, 30, false}, {200, 0, 210, 10, false}};
    const auto regions = cadhost::drafting::overlap_regions(boxes);
    ASSERT_EQ(regions.size(), 1u) << "the three overlaps reach each other; the far box overlaps nothing";
    EXPECT_NEAR(regions[0].x0, 10, 0.02);
    EXPECT_NEAR(regions[0].x1, 30, 0.02);

    // A line through the region and out again: three pieces that meet at the borders.
    const Polyline2d line{{0, 25}, {50, 25}};
    std::vector<std::pair<int, Polyline2d>> pieces;
    cadhost::drafting::split_by_regions(line, regions,
                                        [&](int region, Polyline2d piece) { pieces.emplace_back(region, piece); });
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].first, -1);
    EXPECT_EQ(pieces[1].first, 0);
    EXPECT_EQ(pieces[2].first, -1);
    EXPECT_NEAR(pieces[0].second.back().x, regions[0].x0, 1e-9);
    EXPECT_NEAR(pieces[1].second.front().x, regions[0].x0, 1e-9);
    EXPECT_NEAR(pieces[1].second.back().x, regions[0].x1, 1e-9);
    EXPECT_NEAR(pieces[2].second.back().x, 50, 1e-9);

    // A line that stays outside is handed on whole.
    pieces.clear();
    cadhost::drafting::split_by_regions({{0, 50}, {5, 60}, {50, 60}}, regions,
                                        [&](int region, Polyline2d piece) { pieces.emplace_back(region, piece); });
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].second.size(), 3u);
}

}  // namespace
