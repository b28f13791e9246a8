// The DXF writer, read back with ezdxf: what a CAM program would find in the file.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>
#include <string>

#include <unistd.h>

#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/gbk_text.h"
#include "render/sample_sheets.h"
#include "render/tool_run.h"

namespace quillon_test {
namespace {

namespace fs = std::filesystem;
using cadhost::render::Arc;
using cadhost::render::Ellipse;
using cadhost::render::LinePattern;
using cadhost::render::LineWeight;
using cadhost::render::Point2;
using cadhost::render::Polyline;
using cadhost::render::Stroke;
using cadhost::render::write_dxf;
using nlohmann::json;

// Writes the sheet, has ezdxf read it and returns its account. ezdxf comes from Debian and only the system Python
// sees it, hence the absolute interpreter path.
json read_back(const std::string& name, const SheetGraphics& sheet, std::string* bytes = nullptr) {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(write_dxf(sheet, out, error)) << error;
    // Every test of a suite runs in a process of its own, side by side with the others, and each writes the suite's
    // sheet: a folder per process, so that none removes the file another is reading.
    const fs::path path = scratch_dir(name + "-" + std::to_string(getpid())) / (name + ".dxf");
    write_file(path, out.str());
    if (bytes) *bytes = out.str();
    const fs::path script = fs::path(QUILLON_SOURCE_DIR) / "tests" / "render" / "dxf_dump.py";
    const ToolResult run = run_tool("/usr/bin/python3 " + quoted(script) + " " + quoted(path));
    EXPECT_EQ(run.status, 0) << "ezdxf could not read " << path << " (is python3-ezdxf installed?)";
    if (run.status != 0) return json::object();
    fs::remove_all(path.parent_path());
    return json::parse(run.output);
}

std::vector<json> of_type(const json& dump, const std::string& type) {
    std::vector<json> found;
    for (const json& e : dump["entities"])
        if (e["type"] == type) found.push_back(e);
    return found;
}

json text_named(const json& dump, const std::string& text) {
    for (const json& e : of_type(dump, "TEXT"))
        if (e["text"] == text) return e;
    ADD_FAILURE() << "no TEXT \"" << text << "\"";
    return json::object();
}

class DxfFullSheet : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { dump_ = read_back("full_sheet", full_sheet(), &bytes_); }
    static json dump_;
    static std::string bytes_;
};
json DxfFullSheet::dump_;
std::string DxfFullSheet::bytes_;

TEST_F(DxfFullSheet, IsR2000InMillimetresWithTheChineseCodePage) {
    EXPECT_EQ(dump_["version"], "AC1015");
    EXPECT_EQ(dump_["codepage"], "ANSI_936");
    EXPECT_EQ(dump_["insunits"], 4);
}

TEST_F(DxfFullSheet, EveryPrimitiveBecomesOneEntity) {
    const SheetGraphics sheet = full_sheet();
    std::map<std::string, int> counts;
    for (const json& e : dump_["entities"]) ++counts[e["type"].get<std::string>()];
    // Two-point polylines are LINEs, longer ones LWPOLYLINEs; the full circle is a CIRCLE.
    int two_point = 0;
    for (const auto& p : sheet.polylines) two_point += p.points.size() == 2 && !p.closed;
    EXPECT_EQ(counts["LINE"], two_point);
    EXPECT_EQ(counts["LWPOLYLINE"], static_cast<int>(sheet.polylines.size()) - two_point);
    EXPECT_EQ(counts["ARC"] + counts["CIRCLE"], static_cast<int>(sheet.arcs.size()));
    EXPECT_EQ(counts["CIRCLE"], 1);
    EXPECT_EQ(counts["SOLID"], static_cast<int>(sheet.triangles.size()));
    EXPECT_EQ(counts["TEXT"], static_cast<int>(sheet.texts.size()));
    EXPECT_EQ(counts["DIMENSION"], static_cast<int>(sheet.dimensions.size()));
}

// A dimension's lines, arrowheads and value are in its block and nowhere else: a reader drawing the block and one
// rebuilding the dimension each show it once.
TEST_F(DxfFullSheet, DimensionPartsLiveInItsBlockOnly) {
    const SheetGraphics sheet = full_sheet();
    const cadhost::render::Dimension& drawn = sheet.dimensions.at(0);
    const json dimension = of_type(dump_, "DIMENSION").at(0);
    ASSERT_TRUE(dimension["block"].is_array());
    std::map<std::string, int> counts;
    for (const json& e : dimension["block"]) ++counts[e["type"].get<std::string>()];
    EXPECT_EQ(counts["LINE"], static_cast<int>(drawn.polylines.size()));
    EXPECT_EQ(counts["SOLID"], static_cast<int>(drawn.triangles.size()));
    EXPECT_EQ(counts["TEXT"], 1);
    EXPECT_EQ(counts["POINT"], 3) << "definition points";
    for (const json& e : dimension["block"])
        if (e["type"] == "TEXT") {
            EXPECT_EQ(e["text"], "100");
        }
    for (const json& e : dump_["entities"])
        if (e["type"] != "DIMENSION") {
            EXPECT_NE(e["layer"], "DIMENSION") << e;
        }
}

TEST_F(DxfFullSheet, LayersAreThePrimitivesOwnPlusZero) {
    std::vector<std::string> layers = dump_["layers"];
    // ezdxf adds the layer of dimension definition points itself when it meets a DIMENSION.
    std::erase(layers, "Defpoints");
    // A view's dashed lines have a layer of their own.
    for (const char* expected : {"0", "FRAME", "VIEW-TOP", "HID-TOP", "NOTES", "DIMENSION"})
        EXPECT_NE(std::find(layers.begin(), layers.end(), expected), layers.end()) << expected;
    EXPECT_EQ(layers.size(), 6u);
    for (const json& e : of_type(dump_, "DIMENSION")) EXPECT_EQ(e["layer"], "DIMENSION");
    for (const json& e : of_type(dump_, "SOLID")) EXPECT_TRUE(e["layer"] == "DIMENSION" || e["layer"] == "VIEW-TOP");
}

TEST_F(DxfFullSheet, LinesCarryPatternAndWeight) {
    std::map<double, json> by_height;
    for (const json& e : of_type(dump_, "LINE"))
        if (e["points"][0][0] == 30.0) by_height[e["points"][0][1].get<double>()] = e;
    ASSERT_EQ(by_height.size(), 3u);
    // As drawn, whether a line says it or takes it from its layer.
    EXPECT_EQ(by_height[150.0]["linetype"], "HIDDEN2");
    EXPECT_EQ(by_height[150.0]["lineweight"], 25);
    EXPECT_EQ(by_height[150.0]["layer"], "HID-TOP");
    EXPECT_EQ(by_height[130.0]["linetype"], "CENTERTINY");
    EXPECT_EQ(by_height[130.0]["lineweight"], 25);
    EXPECT_EQ(by_height[130.0]["layer"], "VIEW-TOP");
    EXPECT_EQ(by_height[110.0]["linetype"], "HIDDEN2");
    EXPECT_EQ(by_height[110.0]["lineweight"], 50);
    // A reader that draws a layer's pattern as continuous still dashes them.
    EXPECT_EQ(by_height[150.0]["pattern"], json::array({3.0, 1.5}));
    EXPECT_EQ(by_height[130.0]["pattern"], json::array({10.0, 1.5, 1.0, 1.5}));
    EXPECT_DOUBLE_EQ(by_height[110.0]["ltscale"].get<double>(), 2.0) << "wide dashes are twice as long";
    const json frame = of_type(dump_, "LWPOLYLINE").at(0);
    EXPECT_TRUE(frame["closed"].get<bool>());
    EXPECT_EQ(frame["lineweight"], 50);
    EXPECT_EQ(frame["layer"], "FRAME");

    // Dash lengths as the other outputs draw them (ezdxf reports dashes and gaps alike as lengths).
    EXPECT_EQ(dump_["linetypes"]["HIDDEN2"], json::array({3.0, 1.5}));
    EXPECT_EQ(dump_["linetypes"]["CENTERTINY"], json::array({10.0, 1.5, 1.0, 1.5}));
}

TEST_F(DxfFullSheet, ArcsAreInDegreesAnticlockwise) {
    const json arc = of_type(dump_, "ARC").at(0);
    EXPECT_EQ(arc["center"], json::array({200.0, 120.0}));
    EXPECT_DOUBLE_EQ(arc["radius"].get<double>(), 30.0);
    EXPECT_NEAR(arc["angles"][0].get<double>(), 0.0, 1e-9);
    EXPECT_NEAR(arc["angles"][1].get<double>(), 90.0, 1e-9);
}

TEST_F(DxfFullSheet, TextsDecodeFromGbkWithTheirPlacement) {
    const json title = text_named(dump_, "技术要求");
    EXPECT_DOUBLE_EQ(title["height"].get<double>(), 5.0);
    EXPECT_EQ(title["halign"], 1);  // top centre
    EXPECT_EQ(title["valign"], 3);
    EXPECT_EQ(title["align_point"], json::array({150.0, 190.0}));

    const json mixed = text_named(dump_, "EDM 电极 A-1");
    EXPECT_EQ(mixed["halign"], 0);  // bottom left: the baseline at the insertion point
    EXPECT_EQ(mixed["valign"], 0);
    EXPECT_EQ(mixed["insert"], json::array({40.0, 170.0}));
    EXPECT_DOUBLE_EQ(mixed["height"].get<double>(), 3.5);

    const json centre = text_named(dump_, "CENTRE");
    EXPECT_EQ(centre["halign"], 1);
    EXPECT_EQ(centre["valign"], 2);
    const json right = text_named(dump_, "RIGHT");
    EXPECT_EQ(right["halign"], 2);
    EXPECT_EQ(right["valign"], 0);
    EXPECT_EQ(right["align_point"], json::array({260.0, 170.0}));

    EXPECT_NEAR(text_named(dump_, "竖排 90")["rotation"].get<double>(), 90.0, 1e-9);
    EXPECT_NEAR(text_named(dump_, "NARROW 窄")["width"].get<double>(), 0.7, 1e-12);

    // Texts take a style named like its TrueType file, whose family has Latin and Chinese glyphs.
    EXPECT_EQ(title["style"], "gbsn00lp");
    EXPECT_EQ(dump_["styles"]["gbsn00lp"], json({{"font", "gbsn00lp.ttf"}, {"family", "AR PL SungtiL GB"}}));
    EXPECT_EQ(dump_["styles"]["Standard"], dump_["styles"]["gbsn00lp"]);
}

TEST_F(DxfFullSheet, TextBytesAreGbkNotUtf8) {
    EXPECT_NE(bytes_.find("\xBC\xBC\xCA\xF5\xD2\xAA\xC7\xF3"), std::string::npos) << "技术要求 in GBK";
    EXPECT_EQ(bytes_.find("技术要求"), std::string::npos) << "UTF-8 left in the file";
}

TEST_F(DxfFullSheet, DimensionKeepsItsMeasurement) {
    const json dimension = of_type(dump_, "DIMENSION").at(0);
    EXPECT_EQ(dimension["dimtype"].get<int>() & 7, 0) << "a linear (rotated) dimension";
    EXPECT_NEAR(dimension["angle"].get<double>(), 0.0, 1e-9) << "horizontal";
    EXPECT_EQ(dimension["defpoint2"], json::array({100.0, 70.0}));
    EXPECT_EQ(dimension["defpoint3"], json::array({150.0, 70.0}));
    EXPECT_EQ(dimension["defpoint"], json::array({150.0, 85.0})) << "where the drawn dimension line runs";
    ASSERT_FALSE(dimension["actual_measurement"].is_null());
    EXPECT_DOUBLE_EQ(dimension["actual_measurement"].get<double>(), 100.0);
    // Drawn at 1:2, the sheet distance is 50; the linear factor brings a recomputed value back to 100.
    EXPECT_DOUBLE_EQ(dimension["measurement"].get<double>(), 50.0);
    EXPECT_DOUBLE_EQ(dimension["dimlfac"].get<double>() * 50.0, 100.0);
    EXPECT_EQ(dimension["text"], "100");
}

// Ellipses and splines as ezdxf evaluates them: the ends and middle of each elliptic arc where the sheet puts them
// (a minor axis turned the wrong way or parameters misread move them), the rational quarter circle on its circle
// (weights lost or misplaced pull it off), and nothing for the audit to fix.
TEST(DxfWriter, EllipsesAndSplinesAreTheSheetsCurves) {
    const SheetGraphics sheet = curves();
    const json dump = read_back("curves", sheet);
    const std::vector<json> ellipses = of_type(dump, "ELLIPSE");
    ASSERT_EQ(ellipses.size(), sheet.ellipses.size());
    for (std::size_t i = 0; i < ellipses.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& drawn = sheet.ellipses[i];
        const json& read = ellipses[i];
        const double start = drawn.start_param, end = drawn.end_param;
        const std::pair<const char*, double> probes[] = {{"start", start}, {"end", end}, {"middle", (start + end) / 2}};
        for (const auto& [name, t] : probes) {
            const auto expected = ellipse_point(drawn, t);
            // The view's lines are written to 0.0001 mm, the axis and centre each rounded so.
            EXPECT_NEAR(read[name][0].get<double>(), expected.x, 2e-4) << name;
            EXPECT_NEAR(read[name][1].get<double>(), expected.y, 2e-4) << name;
        }
        // The ratio to the digits that keep the minor axis within the sheet's 0.0001 mm.
        const double axis = std::hypot(drawn.major.x, drawn.major.y);
        EXPECT_NEAR(read["ratio"].get<double>() * axis, drawn.ratio * axis, 1e-4);
        for (const json& param : read["params"]) {
            EXPECT_GE(param.get<double>(), 0.0);
            EXPECT_LE(param.get<double>(), 2 * std::numbers::pi);
        }
    }
    // A full ellipse ends just short of a turn, where no reader can take it past one.
    EXPECT_EQ(ellipses[2]["params"][0], 0.0);
    EXPECT_NEAR(ellipses[2]["params"][1].get<double>(), 2 * std::numbers::pi, 1e-9);

    const std::vector<json> splines = of_type(dump, "SPLINE");
    ASSERT_EQ(splines.size(), 2u);
    EXPECT_EQ(splines[0]["degree"], 2);
    EXPECT_EQ(splines[0]["weights"].size(), 3u);
    EXPECT_GT(splines[0]["points"].size(), 4u);
    for (const json& p : splines[0]["points"])
        EXPECT_NEAR(std::hypot(p[0].get<double>() - 60, p[1].get<double>() - 60), 40.0, 1e-3) << p;
    EXPECT_EQ(splines[1]["knots"], json::array({0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(splines[1]["weights"], json::array());
    EXPECT_EQ(splines[1]["points"].front(), json::array({20.0, 20.0}));
    EXPECT_EQ(splines[1]["points"].back(), json::array({80.0, 20.0}));

    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(write_dxf(sheet, out, error)) << error;
    const fs::path path = scratch_dir("curves_audit") / "curves.dxf";
    write_file(path, out.str());
    const fs::path script = fs::path(QUILLON_SOURCE_DIR) / "tests" / "render" / "dxf_audit.py";
    const ToolResult audit = run_tool("/usr/bin/python3 " + quoted(script) + " " + quoted(path));
    ASSERT_EQ(audit.status, 0);
    const json account = json::parse(audit.output).begin().value();
    EXPECT_EQ(account["errors"], json::array());
    EXPECT_EQ(account["fixes"], json::array());
}

// A hidden shape a view repeats is drawn once in a block and placed: a reader draws each where it was, dashed and
// thin; continuous lines stay lines of their own.
TEST(DxfWriter, RepeatedHiddenShapesArePlacedWhereTheyWere) {
    SheetGraphics sheet;
    const Stroke hidden{LineWeight::Thin, LinePattern::Dashed};
    const Stroke visible{LineWeight::Wide, LinePattern::Continuous};
    constexpr int kCopies = 14;
    auto at = [](int i) { return Point2{20.0 + 7.31 * i, 50.0 + 0.0003 * i}; };
    for (int i = 0; i < kCopies; ++i) {
        const Point2 p = at(i);
        sheet.polylines.push_back(
            Polyline{{{p.x, p.y + 1}, {p.x, p.y + 1.3364}, {p.x + 0.5, p.y + 1.3364}}, false, hidden, "VIEW-ISO"});
        sheet.polylines.push_back(Polyline{{{p.x, p.y + 5}, {p.x + 2, p.y + 5}}, false, visible, "VIEW-ISO"});
        sheet.arcs.push_back(Arc{{p.x, p.y + 3}, 0.5, 0, std::numbers::pi / 2, hidden, "VIEW-ISO"});
        sheet.ellipses.push_back(
            Ellipse{p, {0.0824, -0.1427}, 0.57735026919, 0, 2 * std::numbers::pi, hidden, "VIEW-ISO"});
    }
    const json dump = read_back("repeated_shapes", sheet);
    EXPECT_EQ(of_type(dump, "LINE").size(), static_cast<std::size_t>(kCopies));
    const std::vector<json> placed = of_type(dump, "INSERT");
    ASSERT_EQ(placed.size(), 3u * kCopies);
    for (int k = 0; k < 3 * kCopies; ++k) {
        SCOPED_TRACE(k);
        const Point2 p = at(k % kCopies);
        const json& insert = placed[static_cast<std::size_t>(k)];
        EXPECT_EQ(insert["layer"], "HID-ISO");
        ASSERT_EQ(insert["drawn"].size(), 1u);
        const json& drawn = insert["drawn"][0];
        EXPECT_EQ(drawn["linetype"], "HIDDEN2");
        EXPECT_EQ(drawn["lineweight"], 25);
        const json where = k < kCopies ? drawn["points"][1] : drawn["center"];
        EXPECT_NEAR(where[0].get<double>(), p.x, 1e-4);
        EXPECT_NEAR(where[1].get<double>(), p.y + (k < kCopies ? 1.3364 : k < 2 * kCopies ? 3.0 : 0.0), 1e-4);
        if (k >= 2 * kCopies) {
            EXPECT_NEAR(drawn["start"][0].get<double>(), p.x + 0.0824, 1e-4);
        }
    }
}

// A spline whose counts do not make a curve is drawn from its points; an ellipse with no width is not drawn at all.
TEST(DxfWriter, CurvesThatReadersWouldRefuseAreNotWrittenAsSuch) {
    SheetGraphics sheet = curves();
    sheet.splines[1].knots.pop_back();
    sheet.ellipses[0].ratio = 0.0;
    const json dump = read_back("bad_curves", sheet);
    EXPECT_EQ(of_type(dump, "SPLINE").size(), 1u);
    EXPECT_EQ(of_type(dump, "LWPOLYLINE").size(), 1u);
    EXPECT_EQ(of_type(dump, "ELLIPSE").size(), sheet.ellipses.size() - 1);
}

// Ordinates, and linear dimensions whose value stands off the middle of their line, are blocks placed by INSERTs:
// readers that rebuild dimensions from their points skip ordinates and move values to the middle.
TEST(DxfWriter, OrdinateAndOffCentreValueAreInsertedBlocksOfTheirParts) {
    SheetGraphics sheet;
    cadhost::render::Dimension ordinate;
    ordinate.kind = cadhost::render::Dimension::Kind::Ordinate;
    ordinate.first = {20, 20};
    ordinate.second = {60, 40};
    ordinate.text = "40.000";
    ordinate.layer = "DIMENSION";
    ordinate.polylines.push_back({{{60, 41}, {60, 80}}, false, {}, "DIMENSION"});
    ordinate.texts.push_back({"40.000", {59, 70}, 7, 3.5, 1.0, 0.0, std::numbers::pi / 2, "DIMENSION"});
    sheet.dimensions.push_back(ordinate);
    const json dump = read_back("ordinate", sheet);
    ASSERT_EQ(dump["entities"].size(), 1u);
    const json& insert = dump["entities"][0];
    EXPECT_EQ(insert["type"], "INSERT");
    EXPECT_EQ(insert["layer"], "DIMENSION");
    ASSERT_EQ(insert["block"].size(), 2u);
    EXPECT_EQ(insert["block"][0]["points"], json::array({json::array({60.0, 41.0}), json::array({60.0, 80.0})}));
    EXPECT_EQ(insert["block"][1]["text"], "40.000");

    SheetGraphics linear = full_sheet();
    linear.dimensions.at(0).text_anchor.x += 1.0;
    const json moved = read_back("off_centre", linear);
    EXPECT_TRUE(of_type(moved, "DIMENSION").empty());
    ASSERT_EQ(of_type(moved, "INSERT").size(), 1u);
    EXPECT_EQ(of_type(moved, "INSERT")[0]["block"].size(), 6u) << "three lines, two arrowheads, the value";
}

TEST(DxfWriter, VerticalDimensionMeasuresAlongY) {
    SheetGraphics sheet;
    cadhost::render::Dimension dimension;
    dimension.kind = cadhost::render::Dimension::Kind::Vertical;
    dimension.first = {50, 20};
    dimension.second = {50, 50};
    dimension.text_anchor = {40, 35};
    dimension.measured = 30;
    dimension.text = "30";
    dimension.layer = "DIMENSION";
    sheet.dimensions.push_back(dimension);
    const json dump = read_back("vertical_dimension", sheet);
    const json written = of_type(dump, "DIMENSION").at(0);
    EXPECT_NEAR(written["angle"].get<double>(), 90.0, 1e-9);
    EXPECT_NEAR(written["measurement"].get<double>(), 30.0, 1e-9);
    EXPECT_DOUBLE_EQ(written["dimlfac"].get<double>(), 1.0);
}

TEST(DxfWriter, OddLayerNamesAndMissingLayersStayReadable) {
    SheetGraphics sheet;
    cadhost::render::Polyline line;
    line.points = {{0, 0}, {10, 0}};
    line.layer = "A/B:C";
    sheet.polylines.push_back(line);
    line.layer = "";
    sheet.polylines.push_back(line);
    line.layer = "标注";
    sheet.polylines.push_back(line);
    const json dump = read_back("odd_layers", sheet);
    const std::vector<json> lines = of_type(dump, "LINE");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["layer"], "A_B_C");
    EXPECT_EQ(lines[1]["layer"], "0");
    EXPECT_EQ(lines[2]["layer"], "标注");
}

TEST(GbkText, KeepsWhatGbkCannotHoldAsUnicodeEscapes) {
    std::string gbk;
    ASSERT_TRUE(cadhost::render::utf8_to_gbk("深 R5 한", gbk));
    EXPECT_EQ(gbk.substr(0, 2), "\xC9\xEE");
    EXPECT_NE(gbk.find(" R5 "), std::string::npos);
    EXPECT_NE(gbk.find("\\U+D55C"), std::string::npos) << "the Hangul syllable has no GBK code";
    ASSERT_TRUE(cadhost::render::utf8_to_gbk("铸铬个羹耿", gbk));
    EXPECT_EQ(gbk, "\xD6\xFD\\U+94EC\\U+4E2A\\U+7FB9\xB9\xA2") << "B8F5 to B8FE only go as escapes";
    ASSERT_TRUE(
        cadhost::render::utf8_to_gbk("a\xFF"
                                     "b",
                                     gbk));
    EXPECT_EQ(gbk, "a?b") << "bytes that are not UTF-8 are marked, not passed through";
}

TEST(DxfWriter, DraftingSignsBecomeControlCodes) {
    SheetGraphics sheet;
    cadhost::render::Text text;
    text.text = "⌀20 ±0.01 45°";
    sheet.texts.push_back(text);
    const json dump = read_back("signs", sheet);
    EXPECT_EQ(of_type(dump, "TEXT").at(0)["text"], "%%c20 %%p0.01 45%%d");
}

TEST(DxfWriter, ALineBreakOrControlCharacterCannotEndAGroupEarly) {
    SheetGraphics sheet;
    cadhost::render::Text text;
    text.text = "先粗\n后精\a";
    sheet.texts.push_back(text);
    const json dump = read_back("breaks", sheet);
    EXPECT_EQ(of_type(dump, "TEXT").at(0)["text"], "先粗 后精");
}

TEST(DxfWriter, ReportsAStreamThatFails) {
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    std::string error;
    EXPECT_FALSE(write_dxf(full_sheet(), broken, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace quillon_test
