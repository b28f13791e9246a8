// The SVG writer against reviewed reference outputs, and the geometry those outputs must have.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>

#include "cadhost/render/svg_writer.h"
#include "render/sample_sheets.h"
#include "render/tool_run.h"

namespace quillon_test {
namespace {

namespace fs = std::filesystem;
using cadhost::render::write_svg;

std::string svg_of(const SheetGraphics& sheet) {
    std::ostringstream out;
    write_svg(sheet, out);
    return out.str();
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) text.pop_back();
    return text;
}

// Every folder under tests/reference holds an input (a builder's name) and the reviewed expected.svg. On a mismatch
// the actual output and a unified diff are left beside them; tests/accept_references.sh accepts them after review.
TEST(SvgReference, EveryCaseMatchesItsReviewedOutput) {
    const fs::path root = fs::path(QUILLON_SOURCE_DIR) / "tests" / "reference";
    int cases = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
        if (!entry.is_directory()) continue;
        const fs::path dir = entry.path();
        SCOPED_TRACE(dir.filename().string());
        const std::string builder = trimmed(read_file(dir / "input"));
        const auto found = sheet_builders().find(builder);
        ASSERT_NE(found, sheet_builders().end()) << "unknown builder '" << builder << "' in " << dir / "input";
        ++cases;

        const std::string actual = svg_of(found->second());
        fs::remove(dir / "actual.svg");
        fs::remove(dir / "diff");
        if (fs::exists(dir / "expected.svg") && read_file(dir / "expected.svg") == actual) continue;
        write_file(dir / "actual.svg", actual);
        run_tool("diff -u " + quoted(dir / "expected.svg") + " " + quoted(dir / "actual.svg") + " > " +
                 quoted(dir / "diff"));
        ADD_FAILURE() << "output differs from " << dir / "expected.svg"
                      << "; see " << dir / "diff"
                      << " and accept with tests/accept_references.sh after review";
    }
    EXPECT_GE(cases, 3) << "reference cases missing under " << root;
}

TEST(SvgReference, OutputDoesNotDependOnTheRun) { EXPECT_EQ(svg_of(full_sheet()), svg_of(full_sheet())); }

double attribute(const std::string& element, const std::string& name) {
    std::smatch match;
    const std::regex pattern(" " + name + "=\"([-0-9.]+)");
    if (!std::regex_search(element, match, pattern)) return NAN;
    return std::stod(match[1]);
}

std::string first_element(const std::string& svg, const std::string& start) {
    const std::size_t at = svg.find(start);
    if (at == std::string::npos) return {};
    return svg.substr(at, svg.find('>', at) - at + 1);
}

// One drawn piece of a path, in absolute page coordinates: a straight step or an elliptic arc.
struct Piece {
    char kind = 'l';  // 'l' or 'a'
    double x0 = 0, y0 = 0, x = 0, y = 0;
    double rx = 0, ry = 0, rotation = 0;
    int large = 0, sweep = 0;
};

// The pieces of every path of the SVG drawn with the given stroke attribute text (all paths when it is empty).
std::vector<Piece> path_pieces(const std::string& svg, const std::string& with = "") {
    std::vector<Piece> pieces;
    const std::regex path("<path d=\"([^\"]*)\"([^>]*)>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), path); it != std::sregex_iterator(); ++it) {
        if (!with.empty() && (*it)[2].str().find(with) == std::string::npos) continue;
        const std::string d = (*it)[1];
        std::size_t at = 0;
        double x = 0, y = 0, start_x = 0, start_y = 0;
        char command = 0;
        auto number = [&] {
            while (at < d.size() && d[at] == ' ') ++at;
            std::size_t used = 0;
            const double v = std::stod(d.substr(at), &used);
            at += used;
            return v;
        };
        while (at < d.size()) {
            if (std::isalpha(static_cast<unsigned char>(d[at]))) command = d[at++];
            if (command == 'z') {
                pieces.push_back({'l', x, y, start_x, start_y});
                x = start_x, y = start_y;
                continue;
            }
            Piece p{'l', x, y, x, y};
            if (command == 'M') {
                x = start_x = number(), y = start_y = number();
                continue;
            }
            if (command == 'l') p.x += number(), p.y += number();
            if (command == 'h') p.x += number();
            if (command == 'v') p.y += number();
            if (command == 'a') {
                p.kind = 'a', p.rx = number(), p.ry = number(), p.rotation = number();
                p.large = static_cast<int>(number()), p.sweep = static_cast<int>(number());
                p.x += number(), p.y += number();
            }
            pieces.push_back(p);
            x = p.x, y = p.y;
        }
    }
    return pieces;
}

// A point at sheet (x, y) must appear at (x, height - y) of a viewBox as large as the sheet in mm.
TEST(SvgGeometry, SheetPointsLandAtFlippedViewBoxPositions) {
    SheetGraphics sheet;
    sheet.width = 297;
    sheet.height = 210;
    cadhost::render::Polyline probe;
    probe.points = {{12.5, 20.25}, {280, 190}};
    sheet.polylines.push_back(probe);
    cadhost::render::Text label;
    label.text = "P";
    label.anchor = {33, 44};
    sheet.texts.push_back(label);
    cadhost::render::Arc circle;
    circle.center = {100, 150};
    circle.radius = 5;
    circle.end_angle = 2 * std::numbers::pi;
    sheet.arcs.push_back(circle);
    const std::string svg = svg_of(sheet);

    const std::string root = first_element(svg, "<svg");
    EXPECT_NE(root.find("width=\"297.000mm\""), std::string::npos) << root;
    EXPECT_NE(root.find("height=\"210.000mm\""), std::string::npos) << root;
    EXPECT_NE(root.find("viewBox=\"0 0 297.000 210.000\""), std::string::npos) << root;
    EXPECT_NE(first_element(svg, "<text").find("translate(33.000 166.000)"), std::string::npos);
    const auto pieces = path_pieces(svg);
    ASSERT_EQ(pieces.size(), 3u) << svg;
    EXPECT_DOUBLE_EQ(pieces[0].x0, 12.5);
    EXPECT_DOUBLE_EQ(pieces[0].y0, 189.75);
    EXPECT_DOUBLE_EQ(pieces[0].x, 280.0);
    EXPECT_DOUBLE_EQ(pieces[0].y, 20.0);
    // The circle in two halves, from its rightmost point over its top on the sheet (the page's lower point).
    for (int i : {1, 2}) {
        EXPECT_EQ(pieces[i].kind, 'a');
        EXPECT_DOUBLE_EQ(pieces[i].rx, 5.0);
        EXPECT_DOUBLE_EQ(pieces[i].x0, i == 1 ? 105.0 : 95.0);
        EXPECT_DOUBLE_EQ(pieces[i].y0, 60.0);
        EXPECT_DOUBLE_EQ(pieces[i].x, i == 1 ? 95.0 : 105.0);
    }
}

// An anticlockwise quarter from 0 to 90 degrees runs from the right of the centre to above it; on the page (y down)
// that is a short arc drawn with sweep flag 0.
TEST(SvgGeometry, ArcsRunAnticlockwiseOnThePage) {
    SheetGraphics sheet;
    cadhost::render::Arc arc;
    arc.center = {100, 100};
    arc.radius = 10;
    arc.start_angle = 0;
    arc.end_angle = std::numbers::pi / 2;
    sheet.arcs.push_back(arc);
    arc.start_angle = std::numbers::pi / 2;
    arc.end_angle = 0;  // ends before it starts: three quarters, anticlockwise through 180 degrees
    sheet.arcs.push_back(arc);
    const auto pieces = path_pieces(svg_of(sheet));
    ASSERT_EQ(pieces.size(), 2u);
    const double expected[2][5] = {{110, 110, 100, 100, 0}, {100, 100, 110, 110, 1}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(pieces[i].kind, 'a');
        EXPECT_DOUBLE_EQ(pieces[i].x0, expected[i][0]);
        EXPECT_DOUBLE_EQ(pieces[i].y0, expected[i][1]);
        EXPECT_DOUBLE_EQ(pieces[i].x, expected[i][2]);
        EXPECT_DOUBLE_EQ(pieces[i].y, expected[i][3]);
        EXPECT_EQ(pieces[i].large, expected[i][4]);
        EXPECT_EQ(pieces[i].sweep, 0);
        EXPECT_DOUBLE_EQ(pieces[i].rx, 10);
    }
}

// The elliptic arcs of the curves sheet start and end where the sheet's ellipse does, with the major axis turned
// clockwise on the page (y down) and the large-arc flag set only for the arc over half its ellipse.
TEST(SvgGeometry, EllipsesKeepTheirAxesAndSense) {
    const SheetGraphics sheet = curves();
    const std::string svg = svg_of(sheet);
    std::vector<Piece> arcs;
    for (const Piece& p : path_pieces(svg))
        if (p.kind == 'a') arcs.push_back(p);
    ASSERT_EQ(arcs.size(), 4u) << "two arcs and a whole ellipse in two halves";
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const auto& e = sheet.ellipses[i];
        const Piece& m = arcs[i];
        const auto from = ellipse_point(e, e.start_param), to = ellipse_point(e, e.end_param);
        EXPECT_NEAR(m.x0, from.x, 0.005);
        EXPECT_NEAR(m.y0, 210 - from.y, 0.005);
        EXPECT_NEAR(m.rx, 30.0, 0.005);
        EXPECT_NEAR(m.ry, 15.0, 0.005);
        EXPECT_NEAR(m.rotation, -30.0, 0.005);
        EXPECT_EQ(m.large, i == 0 ? 0 : 1);
        EXPECT_EQ(m.sweep, 0) << "anticlockwise on the sheet";
        EXPECT_NEAR(m.x, to.x, 0.01);
        EXPECT_NEAR(m.y, 210 - to.y, 0.01);
    }
    const auto dashed = path_pieces(svg, "stroke-dasharray");
    ASSERT_EQ(dashed.size(), 2u);
    for (const Piece& half : dashed) {
        EXPECT_DOUBLE_EQ(half.rx, 25.0);
        EXPECT_DOUBLE_EQ(half.ry, 10.0);
        EXPECT_DOUBLE_EQ(half.rotation, -90.0);
        EXPECT_NEAR(std::hypot(half.x - half.x0, half.y - half.y0), 50.0, 0.01)
            << "from one end of the axis to the other";
    }
}

TEST(SvgGeometry, TextIsEscapedAndSizedByItsCapitals) {
    SheetGraphics sheet;
    cadhost::render::Text text;
    text.text = "R<5> & \"深\"\a\xEF\xBF\xBF";  // XML holds neither the bell nor U+FFFF
    text.height = 7.14;
    text.alignment = 3;
    sheet.texts.push_back(text);
    const std::string svg = svg_of(sheet);
    EXPECT_NE(svg.find(">R&lt;5&gt; &amp; &quot;深&quot;</text>"), std::string::npos) << svg;
    const std::string element = first_element(svg, "<text");
    EXPECT_NEAR(attribute(element, "font-size"), 10.0, 0.01);
    EXPECT_NEAR(attribute(element, "y"), 7.14, 1e-9) << "top alignment: the baseline is one capital height down";
    EXPECT_NE(element.find("text-anchor=\"end\""), std::string::npos);
}

}  // namespace
}  // namespace quillon_test
