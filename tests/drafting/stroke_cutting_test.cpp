// A body's strokes, made once for a view, cut where another body overlaps it: what is left lies outside the overlaps,
// on the same curves, and nothing outside them is lost.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "cadhost/drafting/own_strokes.h"
#include "cadhost/drafting/stroke_cutting.h"

namespace {

using cadhost::drafting::add_outside;
using cadhost::drafting::Box2;
using cadhost::drafting::box_of;
using cadhost::drafting::reaches;
using cadhost::render::Arc;
using cadhost::render::Ellipse;
using cadhost::render::Polyline;
using cadhost::render::SheetGraphics;
using cadhost::render::Spline;

const std::vector<Box2> kRegion{Box2{8.0, -2.0, 12.0, 2.0, false}};  // across the circles' right side

double angle_sum(const SheetGraphics& s) {
    double sum = 0.0;
    for (const Arc& a : s.arcs) sum += a.end_angle - a.start_angle;
    return sum;
}

TEST(StrokeCuttingTest, ACircleCutByARegionKeepsTheRestAsOneArcEndingOnTheRegionsBorder) {
    const Arc circle{{0.0, 0.0}, 10.0, 0.0, 2 * M_PI, {}, "VIEW-1"};
    const double edge = std::asin(0.2);  // where the circle leaves y = +-2, or x = +-2
    // Its box reaches a region its centre lies far from.
    EXPECT_TRUE(reaches(box_of(circle), kRegion));
    EXPECT_TRUE(reaches(box_of(Ellipse{{0.0, 0.0}, {0.0, 10.0}, 0.5, 0.0, 2 * M_PI, {}, "V"}), kRegion));
    SheetGraphics out;
    add_outside(circle, kRegion, out);
    ASSERT_EQ(out.arcs.size(), 1u);
    EXPECT_NEAR(out.arcs[0].start_angle, edge, 1e-12);
    EXPECT_NEAR(out.arcs[0].end_angle, 2 * M_PI - edge, 1e-12);
    EXPECT_EQ(out.arcs[0].layer, "VIEW-1");

    // Cut across its top, what is left runs on through the circle's start as one arc.
    SheetGraphics top;
    add_outside(circle, {Box2{-2.0, 8.0, 2.0, 12.0, false}}, top);
    ASSERT_EQ(top.arcs.size(), 1u);
    EXPECT_NEAR(top.arcs[0].start_angle, M_PI / 2 + edge, 1e-12);
    EXPECT_NEAR(top.arcs[0].end_angle, 2 * M_PI + M_PI / 2 - edge, 1e-12);

    // Run the other way round the region, the arc from 300 to 420 degrees loses its middle and keeps both ends.
    SheetGraphics parts;
    add_outside(Arc{{0.0, 0.0}, 10.0, 5 * M_PI / 3, 7 * M_PI / 3, {}, "V"}, kRegion, parts);
    ASSERT_EQ(parts.arcs.size(), 2u);
    EXPECT_NEAR(angle_sum(parts), 2 * M_PI / 3 - 2 * edge, 1e-12);
    EXPECT_NEAR(parts.arcs[0].end_angle, 2 * M_PI - edge, 1e-12);
    EXPECT_NEAR(parts.arcs[1].start_angle, 2 * M_PI + edge, 1e-12);

    // A circle whose box reaches the region but which passes by it is kept whole.
    SheetGraphics clear;
    add_outside(Arc{{0.0, 0.0}, 10.0, 0.0, 2 * M_PI, {}, "V"}, {Box2{9.0, 9.0, 12.0, 12.0, false}}, clear);
    ASSERT_EQ(clear.arcs.size(), 1u);
    EXPECT_EQ(clear.arcs[0].end_angle, 2 * M_PI);
}

TEST(StrokeCuttingTest, AnEllipseAPolylineAndASplineKeepWhatLiesOutsideTheRegion) {
    // An ellipse 10 by 5 turned a quarter: its major axis up, so the region across x = 8..12 misses it and one across
    // y = 8..12 takes its top.
    const Ellipse upright{{0.0, 0.0}, {0.0, 10.0}, 0.5, 0.0, 2 * M_PI, {}, "V"};
    SheetGraphics missed, cut;
    add_outside(upright, kRegion, missed);
    ASSERT_EQ(missed.ellipses.size(), 1u);
    add_outside(upright, {Box2{-2.0, 8.0, 2.0, 12.0, false}}, cut);
    ASSERT_EQ(cut.ellipses.size(), 1u);
    const Ellipse& e = cut.ellipses[0];
    for (const double t : {e.start_param, e.end_param}) {  // the ends lie on the region's border, x = +-2
        const double x = e.center.x + e.major.x * std::cos(t) - e.major.y * e.ratio * std::sin(t);
        EXPECT_NEAR(std::fabs(x), 2.0, 1e-9);
    }
    EXPECT_GT(e.end_param - e.start_param, 1.5 * M_PI);

    // A closed square through the region: open pieces with no point inside it, the whole outline but the part within.
    const Polyline square{{{0, -10}, {10, -10}, {10, 10}, {0, 10}}, true, {}, "V"};
    SheetGraphics pieces;
    add_outside(square, kRegion, pieces);
    double length = 0.0;
    for (const Polyline& p : pieces.polylines) {
        EXPECT_FALSE(p.closed);
        for (std::size_t i = 1; i < p.points.size(); ++i) {
            const auto a = p.points[i - 1], b = p.points[i];
            length += std::hypot(b.x - a.x, b.y - a.y);
            const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
            EXPECT_FALSE(kRegion[0].contains(mx, my)) << mx << ", " << my;
        }
    }
    EXPECT_NEAR(length, 60.0 - 4.0, 1e-9);

    // A spline cut becomes the polylines of its points outside; one left whole stays a spline.
    Spline spline;
    spline.degree = 1;
    spline.knots = {0, 0, 1, 1};
    spline.poles = {{0, 0}, {20, 0}};
    spline.points = {{0, 0}, {20, 0}};
    SheetGraphics spline_cut, spline_whole;
    add_outside(spline, kRegion, spline_cut);
    EXPECT_TRUE(spline_cut.splines.empty());
    EXPECT_EQ(spline_cut.polylines.size(), 2u);
    add_outside(spline, {Box2{0.0, 5.0, 1.0, 6.0, false}}, spline_whole);
    EXPECT_EQ(spline_whole.splines.size(), 1u);
}

// A view drawn once (an electrode's own) is not kept; one drawn again (the core on every sheet) is, until a dozen
// others drawn again since push it out.
TEST(OwnStrokesStoreTest, StrokesAreKeptFromTheSecondAskUntilTheStoreIsFull) {
    using cadhost::drafting::OwnStrokes;
    using cadhost::drafting::OwnStrokesStore;
    OwnStrokesStore store;
    auto make = [] { return OwnStrokes{}; };
    const auto first = store.get("core", make);
    const auto second = store.get("core", make);
    const auto third = store.get("core", make);
    EXPECT_NE(first, second);
    EXPECT_EQ(second, third);
    EXPECT_EQ(store.made(), 2);
    for (std::size_t i = 0; i < OwnStrokesStore::kKept - 1; ++i) {
        store.get("other " + std::to_string(i), make);
        store.get("other " + std::to_string(i), make);
    }
    EXPECT_EQ(store.get("core", make), second);
    for (std::size_t i = 0; i < OwnStrokesStore::kKept; ++i) {
        store.get("more " + std::to_string(i), make);
        store.get("more " + std::to_string(i), make);
    }
    const long before = store.made();
    store.get("core", make);
    EXPECT_EQ(store.made(), before + 1);
}

}  // namespace
