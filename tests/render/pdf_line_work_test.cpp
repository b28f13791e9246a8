// The PDF's own line work: the numbers it writes, the strokes and curves of its content stream, and the update that
// puts those streams on the pages of cairo's document.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "cadhost/render/number_text.h"
#include "cadhost/render/pdf_line_work.h"
#include "cadhost/render/pdf_page_streams.h"
#include "cadhost/render/pdf_writer.h"
#include "render/sample_sheets.h"
#include "render/tool_run.h"

namespace quillon_test {
namespace {

namespace fs = std::filesystem;
using namespace cadhost::render;

std::string fixed(double value, int decimals) {
    std::string out;
    append_fixed(out, value, decimals);
    return out;
}

std::string trimmed(double value, int decimals) {
    std::string out;
    append_trimmed(out, value, decimals);
    return out;
}

TEST(NumberText, FixedTextIsPrintfsWithoutNegativeZero) {
    // Halfway cases, values just either side of a rounding step, large and tiny ones, and a spread of ordinary ones.
    std::vector<double> values{0.0005, 0.0015, 2.5,    0.1245, 123.4565,  1e-9, 99999.9995, 1e15,    2.0 / 3.0,
                               297.0,  1.0005, 2.0005, 0.9995, 1e8 + 0.5, 5e7,  NAN,        INFINITY};
    for (int i = 0; i < 20000; ++i) values.push_back((i * 7919 % 100003) / 37.0 - 1300.0);
    for (int i = 0; i < 20000; ++i) values.push_back(i / 2000.0 + 0.0005);  // at or next to halfway
    for (double v : values) {
        for (double value : {v, -v}) {
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.3f", value);
            std::string want = expected;
            if (want == "-0.000") want = "0.000";
            EXPECT_EQ(fixed(value, 3), want) << value;
        }
    }
    EXPECT_EQ(fixed(-0.0004, 3), "0.000");
    EXPECT_EQ(fixed(-0.0, 1), "0.0");
    EXPECT_EQ(fixed(1e300, 3).size(), 305u) << "the largest doubles fit";
    EXPECT_EQ(fixed(2.5, -2), "2") << "fewer than no decimals are none";
}

TEST(NumberText, TrimmedTextDropsZerosAndABarePoint) {
    EXPECT_EQ(trimmed(12.5, 3), "12.5");
    EXPECT_EQ(trimmed(3.0, 3), "3");
    EXPECT_EQ(trimmed(100.0, 3), "100") << "zeros before the point stay";
    EXPECT_EQ(trimmed(-0.0004, 3), "0");
    EXPECT_EQ(trimmed(-7.0401, 3), "-7.04");
    EXPECT_EQ(trimmed(2.8346456693, 6), "2.834646");
    std::string out = "x=";
    append_trimmed(out, 0.25, 3);
    EXPECT_EQ(out, "x=0.25") << "appends, keeping what was there";
}

// The operands and operators of a content stream, in order.
std::vector<std::string> tokens(const std::string& content) {
    std::istringstream in(content);
    std::vector<std::string> out;
    for (std::string token; in >> token;) out.push_back(token);
    return out;
}

Arc arc_of(Point2 centre, double radius, double start, double end) {
    Arc arc;
    arc.center = centre;
    arc.radius = radius;
    arc.start_angle = start;
    arc.end_angle = end;
    return arc;
}

// How far a point is from the curve a subpath should follow.
using OffCurve = std::function<double(const Point2&)>;

OffCurve off_circle(const Arc& arc) {
    return [arc](const Point2& p) { return std::hypot(p.x - arc.center.x, p.y - arc.center.y) - arc.radius; };
}

// Follows the curves of a stream of arcs and ellipses only, checking every curve point against the curve that the
// current subpath draws; returns each subpath's first and last point.
std::vector<std::pair<Point2, Point2>> check_curves(const std::string& content, const std::vector<OffCurve>& curves) {
    const std::vector<std::string> t = tokens(content);
    std::vector<std::pair<Point2, Point2>> subpaths;
    Point2 current;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == "m") {
            current = {std::stod(t[i - 2]), std::stod(t[i - 1])};
            subpaths.push_back({current, current});
        } else if (t[i] == "c") {
            const OffCurve& off = curves.at(subpaths.size() - 1);
            Point2 p[4] = {current, {}, {}, {}};
            for (int k = 0; k < 3; ++k) p[k + 1] = {std::stod(t[i - 6 + 2 * k]), std::stod(t[i - 5 + 2 * k])};
            for (double u = 0.0; u <= 1.0; u += 0.0625) {
                const double a = (1 - u) * (1 - u) * (1 - u), b = 3 * u * (1 - u) * (1 - u), c = 3 * u * u * (1 - u),
                             d = u * u * u;
                const double x = a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x;
                const double y = a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y;
                // 0.005 mm of the curve itself and half a hundredth of each written coordinate.
                EXPECT_NEAR(off({x, y}), 0.0, 0.005 + 0.0071) << "subpath " << subpaths.size() << " at u=" << u;
            }
            current = p[3];
            subpaths.back().second = current;
        }
    }
    return subpaths;
}

TEST(PdfLineWork, ArcsStayOnTheirCircleFromStartToEnd) {
    const double pi = std::numbers::pi;
    SheetGraphics sheet;
    // A tiny and a huge full circle, a quarter, an arc over the zero angle, an end given before its start, and more
    // than a turn.
    const std::vector<Arc> arcs{arc_of({100, 100}, 0.5, 0, 2 * pi), arc_of({150, 100}, 400, 0, 2 * pi),
                                arc_of({50, 50}, 30, 0, pi / 2),    arc_of({60, 60}, 12, -pi / 3, pi / 4),
                                arc_of({70, 70}, 8, pi, pi / 2),    arc_of({80, 80}, 5, 0, 5 * pi)};
    sheet.arcs = arcs;
    std::vector<OffCurve> curves;
    for (const Arc& arc : arcs) curves.push_back(off_circle(arc));
    const std::vector<std::pair<Point2, Point2>> subpaths = check_curves(line_work_content(sheet), curves);
    ASSERT_EQ(subpaths.size(), arcs.size());
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        const Arc& arc = arcs[i];
        double sweep = arc.end_angle - arc.start_angle;
        if (sweep < 0) sweep += 2 * pi;
        sweep = std::min(sweep, 2 * pi);
        const double end = arc.start_angle + sweep;
        EXPECT_NEAR(subpaths[i].first.x, arc.center.x + arc.radius * std::cos(arc.start_angle), 0.0051) << i;
        EXPECT_NEAR(subpaths[i].first.y, arc.center.y + arc.radius * std::sin(arc.start_angle), 0.0051) << i;
        EXPECT_NEAR(subpaths[i].second.x, arc.center.x + arc.radius * std::cos(end), 0.0051) << i;
        EXPECT_NEAR(subpaths[i].second.y, arc.center.y + arc.radius * std::sin(end), 0.0051) << i;
    }
}

// Ellipses turned every way, whole and in part, go through the same curves carried over to their axes.
TEST(PdfLineWork, EllipsesStayOnTheirEllipseFromStartToEnd) {
    const double pi = std::numbers::pi;
    SheetGraphics sheet;
    auto ellipse = [](Point2 centre, Point2 major, double ratio, double start, double end) {
        Ellipse e;
        e.center = centre;
        e.major = major;
        e.ratio = ratio;
        e.start_param = start;
        e.end_param = end;
        return e;
    };
    sheet.ellipses = {ellipse({100, 100}, {40, 0}, 0.5, 0, 2 * pi), ellipse({50, 60}, {-3, 12}, 0.3, 0.2, 2.5),
                      ellipse({150, 90}, {70, 70}, 0.9, -1.0, 1.0), ellipse({10, 10}, {1, 0}, 1e-9, 0, pi)};
    std::vector<OffCurve> curves;
    for (const Ellipse& e : sheet.ellipses) {
        const double a = std::hypot(e.major.x, e.major.y), b = a * e.ratio;
        const Point2 along{e.major.x / a, e.major.y / a};
        curves.push_back([e, a, b, along](const Point2& p) {
            const double x = ((p.x - e.center.x) * along.x + (p.y - e.center.y) * along.y) / a;
            const double y = (-(p.x - e.center.x) * along.y + (p.y - e.center.y) * along.x) / b;
            return (std::hypot(x, y) - 1.0) * b;  // at most the distance to the ellipse
        });
    }
    const std::vector<std::pair<Point2, Point2>> subpaths = check_curves(line_work_content(sheet), curves);
    ASSERT_EQ(subpaths.size(), 3u) << "an ellipse without width is left out";
    for (std::size_t i = 0; i < subpaths.size(); ++i) {
        const Ellipse& e = sheet.ellipses[i];
        const Point2 minor{-e.major.y * e.ratio, e.major.x * e.ratio};
        auto at = [&](double t) {
            return Point2{e.center.x + e.major.x * std::cos(t) + minor.x * std::sin(t),
                          e.center.y + e.major.y * std::cos(t) + minor.y * std::sin(t)};
        };
        for (const auto& [found, t] :
             {std::pair{subpaths[i].first, e.start_param}, {subpaths[i].second, e.end_param}}) {
            EXPECT_NEAR(found.x, at(t).x, 0.0051) << i;
            EXPECT_NEAR(found.y, at(t).y, 0.0051) << i;
        }
    }
}

TEST(PdfLineWork, EachStrokeSetsItsWidthCapAndDashesBeforeItsPath) {
    SheetGraphics sheet = frame_and_strokes();
    sheet.arcs.clear();
    Polyline broken;
    broken.points = {{1, 1}, {NAN, 2}};
    Polyline far_away;
    far_away.points = {{1, 1}, {1e300, 2}};
    sheet.polylines.push_back(broken);
    sheet.polylines.push_back(far_away);
    const std::string content = line_work_content(sheet);
    EXPECT_EQ(content.rfind("q\n2.834646 0 0 2.834646 0 0 cm\n1 j\n", 0), 0u) << content;
    EXPECT_EQ(content.substr(content.size() - 4), "S\nQ\n");
    // Thin continuous (the broken lines' stroke, left out: nothing else is thin and continuous), thin dashed, thin
    // chain, wide continuous, wide dashed, in that order, each with its own state.
    const std::string expected =
        "0.25 w\n0 J\n[3 1.5] 0 d\n30 150 m\n130 150 l\nS\n"
        "0.25 w\n0 J\n[10 1.5 1 1.5] 0 d\n30 130 m\n130 130 l\nS\n"
        "0.5 w\n1 J\n[] 0 d\n10 10 m\n287 10 l\n287 200 l\n10 200 l\nh\n30 40 m\n60 40 l\n60 70 l\nS\n"
        "0.5 w\n0 J\n[6 3] 0 d\n30 110 m\n130 110 l\nS\n";
    EXPECT_NE(content.find(expected), std::string::npos) << content;
    EXPECT_EQ(content.find("nan"), std::string::npos);
    EXPECT_EQ(content.find("1 1 m"), std::string::npos) << "a line with an unusable point is left out whole";

    SheetGraphics words_only = texts();
    EXPECT_EQ(line_work_content(words_only), "") << "no stream for a sheet without lines";
    Spline spline;
    spline.points = {{1, 2}, {3, 4}, {5, 6.5}};
    spline.poles = {{1, 2}, {9, 9}, {5, 6.5}};
    words_only.splines = {spline};
    EXPECT_NE(line_work_content(words_only).find("] 0 d\n1 2 m\n3 4 l\n5 6.5 l\nS\n"), std::string::npos)
        << "a spline is drawn by its polyline";
}

// A document as write_pdf makes it of sheets without lines: cairo's own, with no update appended yet.
std::string words_only_document(int pages) {
    std::vector<SheetGraphics> sheets(static_cast<std::size_t>(pages), texts());
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(write_pdf(sheets, out, error)) << error;
    return out.str();
}

int dark_pixels(const fs::path& pdf, int page) {
    const fs::path stem = pdf.parent_path() / ("page" + std::to_string(page));
    const std::string p = std::to_string(page);
    const ToolResult run =
        run_tool("pdftoppm -r 72 -gray -singlefile -f " + p + " -l " + p + " " + quoted(pdf) + " " + quoted(stem));
    EXPECT_EQ(run.status, 0) << "pdftoppm failed or is missing";
    const std::string bytes = read_file(stem.string() + ".pgm");
    int dark = 0;
    for (std::size_t i = bytes.size() > 1000 ? 20 : 0; i < bytes.size(); ++i)
        dark += static_cast<unsigned char>(bytes[i]) < 160;
    return dark;
}

TEST(PdfPageStreams, AddedStreamsAreDrawnOnTheirOwnPagesOnly) {
    std::string document = words_only_document(3);
    const std::string before = document;
    std::string packed, error;
    ASSERT_TRUE(deflate_into(line_work_content(frame_and_strokes()), 3, packed));
    ASSERT_TRUE(prepend_page_streams(document, {"", packed, ""}, error)) << error;
    EXPECT_EQ(document.compare(0, before.size(), before), 0) << "the update is appended; the file before it stays";
    const fs::path pdf = scratch_dir("page_streams") / "page_streams.pdf";
    write_file(pdf, document);
    const ToolResult info = run_tool("pdfinfo " + quoted(pdf) + " 2>&1");
    EXPECT_NE(info.output.find("Pages:           3"), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("rror"), std::string::npos) << info.output;
    const int plain = dark_pixels(pdf, 1);
    EXPECT_GT(dark_pixels(pdf, 2), plain + 200) << "the frame is drawn on page 2";
    EXPECT_EQ(dark_pixels(pdf, 3), plain) << "and nowhere else";
    const ToolResult text = run_tool("pdftotext -f 2 -l 2 -enc UTF-8 " + quoted(pdf) + " -");
    EXPECT_NE(text.output.find("CENTRE"), std::string::npos) << "the page's own texts are still there\n" << text.output;
}

TEST(PdfPageStreams, RefusesDocumentsItCannotReadAndLeavesThemWhole) {
    const std::string good = words_only_document(2);
    std::string packed;
    ASSERT_TRUE(deflate_into(line_work_content(frame_and_strokes()), 3, packed));
    struct Case {
        const char* what;
        std::string document;
        std::vector<std::string> streams;
    };
    std::string moved = good;
    const std::size_t offset = moved.rfind("startxref") + 10;
    moved.replace(offset, moved.find('\n', offset) - offset, "100");  // the table is not where the end says
    const std::vector<Case> cases{
        {"cut short", good.substr(0, good.size() / 2), {packed, packed}},
        {"more streams than pages", good, {packed, packed, packed}},
        {"fewer streams than pages", good, {packed}},
        {"cross references elsewhere", moved, {packed, packed}},
        {"empty", "", {packed, packed}},
    };
    for (const Case& c : cases) {
        std::string document = c.document, error;
        EXPECT_FALSE(prepend_page_streams(document, c.streams, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(document == c.document) << c.what;
    }
}

}  // namespace
}  // namespace quillon_test
