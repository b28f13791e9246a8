// Joining strokes into paths and removing lines drawn twice: the drawing must stay the same line for line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>

#include "cadhost/render/path_data.h"
#include "cadhost/render/stroke_paths.h"

namespace quillon_test {
namespace {

using namespace cadhost::render;

const Stroke kVisible{LineWeight::Wide, LinePattern::Continuous, 0};
const Stroke kHidden{LineWeight::Thin, LinePattern::Dashed, 0};

Polyline line(std::vector<Point2> points, Stroke stroke = kVisible, std::string layer = "VIEW-TOP") {
    return Polyline{std::move(points), false, stroke, std::move(layer)};
}

double drawn_length(const SheetGraphics& sheet, const Stroke& stroke) {
    double length = 0;
    for (const Polyline& p : sheet.polylines) {
        if (p.stroke.pattern != stroke.pattern || p.stroke.weight != stroke.weight) continue;
        for (std::size_t i = 0; i < p.points.size(); ++i) {
            if (i + 1 == p.points.size() && !p.closed) break;
            const Point2 &a = p.points[i], &b = p.points[(i + 1) % p.points.size()];
            length += std::hypot(b.x - a.x, b.y - a.y);
        }
    }
    return length;
}

TEST(JoinStrokes, ARectangleOfFourStrokesInAnyOrderAndSenseBecomesOneClosedPath) {
    SheetGraphics sheet;
    sheet.polylines = {line({{10, 0}, {10, 5}}), line({{0, 0}, {10, 0}}), line({{0, 5}, {0, 0}}),
                       line({{0, 5}, {10, 5.0004}})};
    join_strokes(sheet);
    ASSERT_EQ(sheet.polylines.size(), 1u);
    EXPECT_TRUE(sheet.polylines[0].closed);
    EXPECT_EQ(sheet.polylines[0].points.size(), 4u);
    EXPECT_NEAR(drawn_length(sheet, kVisible), 30.0, 1e-3);
}

TEST(JoinStrokes, StrokesOfAnotherStyleInkLayerOrAClosedOneAreNeverJoined) {
    SheetGraphics sheet;
    Stroke copper = kVisible;
    copper.ink = 0xB87333;
    Stroke thin = kVisible;
    thin.weight = LineWeight::Thin;
    sheet.polylines = {line({{0, 0}, {10, 0}}), line({{10, 0}, {20, 0}}, kHidden), line({{10, 0}, {10, 10}}, copper),
                       line({{10, 0}, {10, -10}}, thin), line({{0, 0}, {-10, 0}}, kVisible, "VIEW-FRONT")};
    sheet.polylines.push_back(Polyline{{{0, 0}, {0, 5}, {-5, 5}}, true, kVisible, "VIEW-TOP"});
    const auto before = sheet.polylines.size();
    join_strokes(sheet);
    EXPECT_EQ(sheet.polylines.size(), before);

    // Dashes start afresh at each stroke: dashed pieces join only while the whole is drawn as one dash (3 mm).
    SheetGraphics dashed;
    dashed.polylines = {line({{0, 0}, {1, 0}}, kHidden), line({{1, 0}, {2, 0}}, kHidden),
                        line({{0, 5}, {2, 5}}, kHidden), line({{2, 5}, {4, 5}}, kHidden)};
    join_strokes(dashed);
    EXPECT_EQ(dashed.polylines.size(), 3u);
}

TEST(JoinStrokes, ReversedPiecesJoinInOrderAndStraightJointsGo) {
    SheetGraphics sheet;
    // One polyline cut into pieces, every other one turned round, given out of order.
    sheet.polylines = {line({{20, 0}, {10, 0}}), line({{20, 0}, {30, 5}}), line({{0, 0}, {10, 0}}),
                       line({{40, 5}, {30, 5}})};
    join_strokes(sheet);
    ASSERT_EQ(sheet.polylines.size(), 1u);
    const auto& p = sheet.polylines[0].points;
    ASSERT_EQ(p.size(), 4u) << "the joint at (10, 0) lies on a straight run";
    const bool forward = p.front().x == 0;
    const std::vector<double> xs = forward ? std::vector<double>{0, 20, 30, 40} : std::vector<double>{40, 30, 20, 0};
    for (std::size_t i = 0; i < p.size(); ++i) EXPECT_DOUBLE_EQ(p[i].x, xs[i]);
}

// Random unit strokes on a lattice, of two styles: whatever joins, every unit stroke is drawn exactly once afterwards,
// in its own style, and no more are drawn.
TEST(JoinStrokes, EveryStrokeIsDrawnOnceAfterJoiningAStrokeMesh) {
    std::mt19937 random(7);
    using Unit = std::tuple<int, int, int, int, int>;  // style, then the ends in order
    std::set<Unit> units;
    SheetGraphics sheet;
    for (int i = 0; i < 600; ++i) {
        const int x = static_cast<int>(random() % 12), y = static_cast<int>(random() % 12);
        const bool up = random() % 2 != 0;
        const int style = static_cast<int>(random() % 2), x2 = x + (up ? 0 : 1), y2 = y + (up ? 1 : 0);
        if (!units.insert({style, x, y, x2, y2}).second) continue;
        std::vector<Point2> ends{{double(x), double(y)}, {double(x2), double(y2)}};
        if (random() % 2) std::swap(ends[0], ends[1]);
        sheet.polylines.push_back(line(ends, style ? kHidden : kVisible));
    }
    const auto strokes = sheet.polylines.size();
    join_strokes(sheet);
    EXPECT_LT(sheet.polylines.size(), strokes / 3);
    std::multiset<Unit> drawn;
    for (const Polyline& p : sheet.polylines) {
        const int style = p.stroke.pattern == LinePattern::Dashed;
        for (std::size_t i = 0; i + (p.closed ? 0 : 1) < p.points.size(); ++i) {
            const Point2 a = p.points[i], b = p.points[(i + 1) % p.points.size()];
            // A straight run through dropped joints is split back into its unit strokes.
            const int steps = static_cast<int>(std::lround(std::hypot(b.x - a.x, b.y - a.y)));
            for (int k = 0; k < steps; ++k) {
                int x1 = static_cast<int>(std::lround(a.x + (b.x - a.x) * k / steps));
                int y1 = static_cast<int>(std::lround(a.y + (b.y - a.y) * k / steps));
                int x2 = static_cast<int>(std::lround(a.x + (b.x - a.x) * (k + 1) / steps));
                int y2 = static_cast<int>(std::lround(a.y + (b.y - a.y) * (k + 1) / steps));
                if (std::tie(x2, y2) < std::tie(x1, y1)) std::swap(x1, x2), std::swap(y1, y2);
                drawn.insert({style, x1, y1, x2, y2});
            }
        }
    }
    EXPECT_EQ(drawn, std::multiset<Unit>(units.begin(), units.end()));
}

TEST(RemoveOverdrawn, WhatAStrongerLineDrawsGoesAndTheRestStays) {
    SheetGraphics sheet;
    Stroke copper = kVisible;
    copper.ink = 0xB87333;
    Stroke heavy = kVisible, thin = kVisible;
    heavy.weight = LineWeight::Heavy;
    thin.weight = LineWeight::Thin;
    sheet.polylines = {
        line({{0, 0}, {100, 0}}),                             // visible edge
        line({{-20, 0.003}, {50, 0.003}}, kHidden),           // hidden, partly behind: stays whole, dashes in place
        line({{10, -0.002}, {40, -0.002}}, kHidden),          // hidden, wholly behind: goes
        line({{90, 0}, {130, 0}}, thin),                      // thinner, partly behind: 100 to 130 stays
        line({{0, 10}, {50, 10}}, copper),                    // the same edge from two bodies: the later stays
        line({{50, 10}, {0, 10}}),                            //
        line({{0, 20}, {30, 20}}, heavy),                     // heavier wins over later
        line({{0, 20}, {30, 20}}),                            //
        line({{0, 0}, {100, 0}}, kHidden, "VIEW-FRONT"),      // another view: untouched
        line({{70, -5}, {70, 5}}, kHidden),                   // crossing, not along: untouched
        line({{0, 30}, {10, 30}}),                            // covers the middle segment of the next
        line({{-5, 30}, {0, 30}, {10, 30}, {15, 30}}, thin),  // two pieces are left, with no line across the gap
    };
    sheet.arcs = {Arc{{0, 0}, 5, 0, 2 * M_PI, kVisible, "VIEW-TOP"}, Arc{{0, 0}, 5, 1, 2, kHidden, "VIEW-TOP"},
                  Arc{{0, 0}, 5, 1, 2, kHidden, "VIEW-FRONT"}};
    remove_overdrawn(sheet);
    EXPECT_NEAR(drawn_length(sheet, kHidden), 70.0 + 100.0 + 10.0, 1e-6);
    EXPECT_NEAR(drawn_length(sheet, thin), 30.0 + 10.0, 1e-6);
    EXPECT_NEAR(drawn_length(sheet, kVisible), 100.0 + 50.0 + 10.0, 1e-6);
    std::set<std::uint32_t> inks_at_10;
    for (const Polyline& p : sheet.polylines)
        if (p.points[0].y == 10) inks_at_10.insert(p.stroke.ink);
    EXPECT_EQ(inks_at_10, std::set<std::uint32_t>{0});
    for (const Polyline& p : sheet.polylines)
        if (p.points[0].y == 20) {
            EXPECT_EQ(p.stroke.weight, LineWeight::Heavy);
        }
    ASSERT_EQ(sheet.arcs.size(), 2u) << "the hidden arc under the circle goes; the other view's stays";
    EXPECT_EQ(sheet.arcs[1].layer, "VIEW-FRONT");
}

TEST(JoinCurvePieces, PiecesOfOneCircleBecomeOneArcAndDashedOnesOnlyWithinADash) {
    SheetGraphics sheet;
    const double pi = M_PI;
    // A circle cut in three (one given as the two ways round of its angles), and another view's piece.
    // The third piece's centre is off by a little less than the tolerance, across a thousandth of a millimetre.
    sheet.arcs = {Arc{{50, 50}, 10, 2, 4, kVisible, "VIEW-TOP"},
                  Arc{{50, 49.9996}, 10, 4 - 2 * pi, 0, kVisible, "VIEW-TOP"},
                  Arc{{50, 50}, 10, 0, 2, kVisible, "VIEW-TOP"}, Arc{{50, 50}, 10, 0, 1, kVisible, "VIEW-FRONT"}};
    // A hidden ellipse in two halves: 3 mm dashes, far shorter than it; and a tiny one (0.3 mm round) in two.
    const Point2 major{20, 0}, tiny{0.06, 0};
    sheet.ellipses = {Ellipse{{0, 0}, major, 0.5, 0, pi, kHidden, "VIEW-TOP"},
                      Ellipse{{0, 0}, major, 0.5, pi, 2 * pi, kHidden, "VIEW-TOP"},
                      Ellipse{{9, 9}, tiny, 0.5, 0, pi, kHidden, "VIEW-TOP"},
                      Ellipse{{9, 9}, tiny, 0.5, pi, 2 * pi, kHidden, "VIEW-TOP"}};
    join_curve_pieces(sheet);
    ASSERT_EQ(sheet.arcs.size(), 2u);
    EXPECT_NEAR(sheet.arcs[0].end_angle - sheet.arcs[0].start_angle, 2 * pi, 1e-9) << "a whole circle";
    EXPECT_EQ(sheet.arcs[1].layer, "VIEW-FRONT");
    ASSERT_EQ(sheet.ellipses.size(), 3u);
    EXPECT_NEAR(sheet.ellipses[2].end_param - sheet.ellipses[2].start_param, 2 * pi, 1e-9) << "the tiny one whole";
}

TEST(PathData, StepsBetweenRoundedPointsNeverDriftAndBadPointsDrawNothing) {
    std::vector<Point2> points;
    for (int i = 0; i <= 1000; ++i) points.push_back({10 + 0.0037 * i, 20 - 0.0041 * i + 0.003 * (i % 3)});
    std::string d;
    PathData(d, 200).polyline(points, false);
    // The steps add up to the last point as it would be rounded alone.
    double x = 0, y = 0;
    char command = 0;
    for (std::size_t at = 0; at < d.size();) {
        if (std::isalpha(static_cast<unsigned char>(d[at]))) command = d[at++];
        auto number = [&] {
            std::size_t used = 0;
            const double v = std::stod(d.substr(at), &used);
            at += used;
            while (at < d.size() && d[at] == ' ') ++at;
            return v;
        };
        if (command == 'M') x = number(), y = number();
        if (command == 'l') x += number(), y += number();
        if (command == 'h') x += number();
        if (command == 'v') y += number();
    }
    EXPECT_NEAR(x, std::round(points.back().x * 100) / 100, 1e-9) << d.substr(0, 200);
    EXPECT_NEAR(y, std::round((200 - points.back().y) * 100) / 100, 1e-9);
    std::string bad;
    PathData path(bad, 200);
    path.polyline({{1, 2}, {NAN, 3}}, false);
    path.polyline({{1, 2}, {1e300, 3}}, true);
    path.conic({1, 2}, {NAN, 0}, 1, 0, 1);
    path.conic({1, 2}, {1, 0}, 0, 0, 1);
    EXPECT_EQ(bad, "");
}

}  // namespace
}  // namespace quillon_test
