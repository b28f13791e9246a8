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
    EXPECT_NE(first_element(svg, "<polyline").find("points=\"12.500,189.750 280.000,20.000\""), std::string::npos);
    EXPECT_NE(first_element(svg, "<text").find("translate(33.000 166.000)"), std::string::npos);
    const std::string circle_element = first_element(svg, "<circle");
    EXPECT_DOUBLE_EQ(attribute(circle_element, "cx"), 100.0);
    EXPECT_DOUBLE_EQ(attribute(circle_element, "cy"), 60.0);
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
    const std::string svg = svg_of(sheet);
    EXPECT_NE(svg.find("d=\"M110.000,110.000 A10.000,10.000 0 0,0 100.000,100.000\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("d=\"M100.000,100.000 A10.000,10.000 0 1,0 110.000,110.000\""), std::string::npos) << svg;
}

// The elliptic arcs of the curves sheet start and end where the sheet's ellipse does, with the major axis turned
// clockwise on the page (y down) and the large-arc flag set only for the arc over half its ellipse.
TEST(SvgGeometry, EllipsesKeepTheirAxesAndSense) {
    const SheetGraphics sheet = curves();
    const std::string svg = svg_of(sheet);
    const std::regex arc(
        "<path d=\"M([-0-9.]+),([-0-9.]+) A([0-9.]+),([0-9.]+) ([-0-9.]+) ([01]),([01]) ([-0-9.]+),([-0-9.]+)\"");
    std::vector<std::smatch> arcs(std::sregex_iterator(svg.begin(), svg.end(), arc), std::sregex_iterator());
    ASSERT_EQ(arcs.size(), 2u);
    for (std::size_t i = 0; i < arcs.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& e = sheet.ellipses[i];
        const auto& m = arcs[i];
        const auto from = ellipse_point(e, e.start_param), to = ellipse_point(e, e.end_param);
        EXPECT_NEAR(std::stod(m[1]), from.x, 1e-3);
        EXPECT_NEAR(std::stod(m[2]), 210 - from.y, 1e-3);
        EXPECT_NEAR(std::stod(m[3]), 30.0, 1e-3);
        EXPECT_NEAR(std::stod(m[4]), 15.0, 1e-3);
        EXPECT_NEAR(std::stod(m[5]), -30.0, 1e-3);
        EXPECT_EQ(m[6], i == 0 ? "0" : "1");
        EXPECT_EQ(m[7], "0") << "anticlockwise on the sheet";
        EXPECT_NEAR(std::stod(m[8]), to.x, 1e-3);
        EXPECT_NEAR(std::stod(m[9]), 210 - to.y, 1e-3);
    }
    const std::string full = first_element(svg, "<ellipse");
    EXPECT_DOUBLE_EQ(attribute(full, "rx"), 25.0);
    EXPECT_DOUBLE_EQ(attribute(full, "ry"), 10.0);
    EXPECT_NE(full.find("rotate(-90.000 90.000 60.000)"), std::string::npos) << full;
    EXPECT_NE(full.find("stroke-dasharray"), std::string::npos);
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
