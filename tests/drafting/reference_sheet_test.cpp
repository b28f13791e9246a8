// A sheet of the sample mould made through the host interface, compared with reviewed outputs: the JSON report and
// the SVG. On a mismatch the actual outputs and their diffs are left beside the expected ones; after review,
// tests/accept_references.sh accepts them. The sheet's PDF is written to the build folder for looking at.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <fstream>
#include <sstream>
#include <tuple>

#include "cadhost/document/object_colour.h"
#include "cadhost/drafting/body_looks.h"
#include "cadhost/drafting/view_frame.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/import/import_model.h"
#include "cadhost/render/aci_colour.h"
#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/pdf_line_work.h"
#include "cadhost/render/pdf_writer.h"
#include "cadhost/render/svg_writer.h"
#include "drafting_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_disp.h"
#include "host/uf_drf.h"
#include "host/uf_layer.h"
#include "host/uf_part.h"

namespace {

namespace fs = std::filesystem;
using testing_support::DraftingTest;

std::string hex(std::uint32_t ink) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(ink));
    return text;
}

std::string rg(std::uint32_t ink) {
    std::string text;
    for (int shift : {16, 8, 0}) {
        char part[16];
        std::snprintf(part, sizeof part, "%.6f", ((ink >> shift) & 0xFF) / 255.0);
        std::string number = part;
        while (number.back() == '0') number.pop_back();
        if (number.back() == '.') number.pop_back();
        text += number + " ";
    }
    return text + "RG";
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ReferenceSheetTest : public DraftingTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        auto result =
            cadhost::import::import_step(examples + "sample_mould.step", examples + "sample_mould.attrs.json", doc());
        ASSERT_TRUE(result.ok) << result.error;
    }

    static tag_t named(const char* name) {
        tag_t tag = NULL_TAG;
        UF_OBJ_cycle_by_name(name, &tag);
        return tag;
    }
    static void note(const char* text, double x, double y) {
        const double at[3] = {x, y, 0};
        tag_t tag = NULL_TAG;
        ASSERT_EQ(UF_DRF_create_note(1, text, at, 0, &tag), 0) << text;
    }

    // The core of the sample with its first electrode, dimensioned from the core's origin, on the A4 template.
    void make_sheet() {
        ASSERT_EQ(UF_LAYER_set_status(254, UF_LAYER_WORK_LAYER), 0);
        ASSERT_EQ(UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER), 0);
        UF_LAYER_set_status(240, UF_LAYER_ACTIVE_LAYER);
        UF_LAYER_set_status(1, UF_LAYER_ACTIVE_LAYER);
        const double edm[3] = {45, 35, 0};
        tag_t edm_point = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_point(edm, &edm_point), 0);
        UF_OBJ_set_layer(edm_point, 1);

        ASSERT_EQ(create_a4("MY_ELEC_SHEETA1", &drawing_), 0);
        UF_import_part_modes_t modes{};
        const double csys[6] = {1, 0, 0, 0, 1, 0}, origin[3] = {0, 0, 0};
        tag_t group = NULL_TAG;
        const std::string templ = std::string(QUILLON_SOURCE_DIR) + "/conf/my_edm_A4_a.prt";
        ASSERT_EQ(UF_PART_import(templ.c_str(), &modes, csys, origin, 1.0, &group), 0);
        UF_DRAW_set_border_display(FALSE);

        tag_t top = import_view("top", 80, 150, 0.5);
        UF_DRAW_view_prefs_t prefs;
        UF_DRAW_ask_view_display(top, &prefs);
        prefs.hidden_edges = 2;
        UF_DRAW_set_view_display(top, &prefs);
        const double below[2] = {0, 88};
        tag_t front = NULL_TAG;
        ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, UF_DRAW_project_below, below, &front), 0);
        UF_DRAW_set_view_display(front, &prefs);
        tag_t iso = import_view("tfr-iso", 262, 150, 0.2);
        (void)iso;

        // Position of the electrode's reference point from the core's origin, in the top view.
        UF_DRF_object_t from, to;
        UF_DRF_init_object_structure(&from);
        UF_DRF_init_object_structure(&to);
        from.object_tag = named("ORIGIN");
        from.object_view_tag = top;
        to.object_tag = edm_point;
        to.object_view_tag = top;
        char h[] = "H";
        UF_DRF_text_t text{h, 0, nullptr};
        int mpi[100];
        double mpr[70];
        char r[27], d[27];
        UF_DRF_ask_preferences(mpi, mpr, r, d);
        mpi[3] = 2;  // values where they are put
        mpi[9] = 3;
        mpi[90] = 0;
        UF_DRF_set_preferences(mpi, mpr, r, d);
        const double h_at[3] = {102, 196, 0}, v_at[3] = {148, 170, 0};
        tag_t dim = NULL_TAG;
        ASSERT_EQ(UF_DRF_create_horizontal_dim(&from, &to, &text, h_at, &dim), 0);
        ASSERT_EQ(UF_DRF_create_vertical_dim(&from, &to, &text, v_at, &dim), 0);
        const double label_at[3] = {130, 120, 0};
        double leader[2];
        const double corner[3] = {70, 15, 20};
        UF_VIEW_map_model_to_drawing(top, corner, leader);
        const double leader3[3] = {leader[0], leader[1], 0};
        tag_t label = NULL_TAG;
        ASSERT_EQ(UF_DRF_create_label(1, "c角", label_at, UF_DRF_leader_attach_screen, nullptr, leader3, &label), 0);

        note("M2026-017", 65, 32.5);
        note("SAMPLE_MOULD", 155, 32.5);
        note("测试客户", 248.5, 32.5);
        note("后 模", 65, 23.5);
        note("2026.12.7", 155, 23.5);
        note("第 1/8 页", 248.5, 23.5);
        note("0.25/s", 182, 102);
        note("0.08/s", 222, 102);
        note("2", 182, 95);
        note("1", 222, 95);
        note("E01", 205, 124);
    }

    // Compares one output with its reviewed version, leaving the actual output and a diff on a mismatch.
    static void compare(const fs::path& dir, const std::string& name, const std::string& actual) {
        const fs::path expected = dir / ("expected." + name), left = dir / ("actual." + name);
        fs::remove(left);
        fs::remove(dir / ("diff." + name));
        if (fs::exists(expected) && read_file(expected) == actual) return;
        std::ofstream(left, std::ios::binary) << actual;
        std::string command =
            "diff -u '" + expected.string() + "' '" + left.string() + "' > '" + (dir / ("diff." + name)).string() + "'";
        (void)std::system(command.c_str());
        ADD_FAILURE() << name << " differs from " << expected << "; review " << dir / ("diff." + name)
                      << " and accept with tests/accept_references.sh";
    }
};

TEST_F(ReferenceSheetTest, SampleCoreViewsMatchTheReviewedReportAndDrawing) {
    make_sheet();
    const fs::path dir = fs::path(QUILLON_SOURCE_DIR) / "tests" / "reference_sheets" / "sample_core_views";
    std::ostringstream report;
    cadhost::drafting::write_report(report, doc());
    compare(dir, "json", report.str());
    auto drawn = sheet();
    std::ostringstream svg;
    cadhost::render::write_svg(drawn, svg);
    compare(dir, "svg", svg.str());

    // What a mould maker checks first: the electrode sits 45 and 35 from the origin, the core at half size.
    ASSERT_EQ(drawn.dimensions.size(), 2u);
    EXPECT_NEAR(drawn.dimensions[0].measured, 45.0, 1e-9);
    EXPECT_NEAR(drawn.dimensions[1].measured, 35.0, 1e-9);

    std::ostringstream pdf;
    std::string error;
    ASSERT_TRUE(cadhost::render::write_pdf({drawn}, pdf, error)) << error;
    std::ofstream(fs::path(QUILLON_BINARY_DIR) / "sample_core_views.pdf", std::ios::binary) << pdf.str();
}

// The length of line each layer, weight and pattern draws.
std::map<std::tuple<std::string, int, int>, double> drawn_lengths(const cadhost::render::SheetGraphics& sheet) {
    std::map<std::tuple<std::string, int, int>, double> lengths;
    for (const auto& line : sheet.polylines) {
        double& length =
            lengths[{line.layer, static_cast<int>(line.stroke.weight), static_cast<int>(line.stroke.pattern)}];
        const auto& p = line.points;
        for (std::size_t i = 1; i < p.size(); ++i) length += std::hypot(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y);
        if (line.closed && p.size() > 2) length += std::hypot(p.front().x - p.back().x, p.front().y - p.back().y);
    }
    for (const auto& arc : sheet.arcs)
        lengths[{arc.layer, static_cast<int>(arc.stroke.weight), static_cast<int>(arc.stroke.pattern)}] +=
            arc.radius * (arc.end_angle - arc.start_angle);
    return lengths;
}

// A part without colours (as every part saved before them) draws each line black and otherwise the same lines, which
// may join differently where a body's colour no longer sets them apart.
TEST_F(ReferenceSheetTest, WithoutColoursEveryLineIsBlackAndNothingElseChanges) {
    make_sheet();
    const auto coloured = sheet();
    std::vector<tag_t> tags;
    for (const auto& [tag, object] : doc().objects()) tags.push_back(tag);
    for (tag_t tag : tags) doc().find(tag)->rgb.reset();
    const auto black = sheet();
    for (const auto& line : black.polylines) EXPECT_EQ(line.stroke.ink, 0u) << line.layer;
    for (const auto& arc : black.arcs) EXPECT_EQ(arc.stroke.ink, 0u) << arc.layer;
    const auto expected = drawn_lengths(coloured), found = drawn_lengths(black);
    ASSERT_EQ(found.size(), expected.size());
    for (const auto& [key, length] : expected) EXPECT_NEAR(found.at(key), length, 1e-6) << std::get<0>(key);
    EXPECT_EQ(black.texts.size(), coloured.texts.size());
}

// A thick electrode's visible edges are 0.7 mm lines and a thin core's 0.25 mm ones; hidden edges stay thin dashes.
TEST_F(ReferenceSheetTest, ABodysWidthSetsItsVisibleEdges) {
    doc().find(named("E01"))->line_width = cadhost::kWidthThick;
    doc().find(named("CORE"))->line_width = cadhost::kWidthThin;
    make_sheet();
    const auto drawn = sheet();
    using cadhost::render::LinePattern;
    using cadhost::render::LineWeight;
    std::map<std::pair<std::uint32_t, LinePattern>, std::set<LineWeight>> weights;
    for (const auto& line : drawn.polylines)
        if (line.layer.starts_with("VIEW-")) weights[{line.stroke.ink, line.stroke.pattern}].insert(line.stroke.weight);
    const std::uint32_t copper = cadhost::ink_colour(0xB87333), grey = cadhost::ink_colour(0x808080);
    using Weights = std::set<LineWeight>;
    EXPECT_EQ(weights[std::make_pair(copper, LinePattern::Continuous)], Weights{LineWeight::Heavy});
    EXPECT_EQ(weights[std::make_pair(grey, LinePattern::Continuous)], Weights{LineWeight::Thin});
    EXPECT_EQ(weights[std::make_pair(copper, LinePattern::Dashed)], Weights{LineWeight::Thin});
    std::ostringstream svg;
    cadhost::render::write_svg(drawn, svg);
    EXPECT_NE(svg.str().find("stroke=\"" + hex(copper) + "\" stroke-width=\"0.700\""), std::string::npos);
}

// The sample's attribute file draws the electrodes copper and the core grey: the electrode's lines are the copper
// ones, inside the core's grey outline and far smaller; dimensions, notes and the frame stay black; every output
// carries the two inks.
TEST_F(ReferenceSheetTest, TheElectrodeStandsOutInItsOwnColourInEveryOutput) {
    make_sheet();
    const auto drawn = sheet();
    const std::uint32_t copper = cadhost::ink_colour(0xB87333), grey = cadhost::ink_colour(0x808080);
    EXPECT_LE(cadhost::luminance(copper), cadhost::kLargestInkLuminance);
    EXPECT_LE(cadhost::luminance(grey), cadhost::kLargestInkLuminance);
    struct Extent {
        double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
        double area() const { return (x1 - x0) * (y1 - y0); }
    };
    std::map<std::string, std::map<std::uint32_t, Extent>> by_view;  // by layer, then ink
    for (const auto& line : drawn.polylines) {
        Extent& e = by_view[line.layer][line.stroke.ink];
        for (const auto& p : line.points)
            e.x0 = std::min(e.x0, p.x), e.y0 = std::min(e.y0, p.y), e.x1 = std::max(e.x1, p.x),
            e.y1 = std::max(e.y1, p.y);
        if (!line.layer.starts_with("VIEW-")) {
            EXPECT_EQ(line.stroke.ink, 0u) << line.layer;
        }
    }
    // The top view, the one whose grey lines span most: the electrode's copper lines lie inside the core's outline.
    const std::map<std::uint32_t, Extent>* top = nullptr;
    for (const auto& [layer, inks] : by_view)
        if (inks.count(grey) && (!top || inks.at(grey).area() > top->at(grey).area())) top = &inks;
    ASSERT_TRUE(top && top->count(copper));
    const Extent e = top->at(copper), c = top->at(grey);
    EXPECT_GT(e.x0, c.x0);
    EXPECT_GT(e.y0, c.y0);
    EXPECT_LT(e.x1, c.x1);
    EXPECT_LT(e.y1, c.y1);
    EXPECT_LT(e.area(), 0.2 * c.area());

    std::ostringstream svg;
    cadhost::render::write_svg(drawn, svg);
    EXPECT_NE(svg.str().find("stroke=\"" + hex(copper) + "\""), std::string::npos);
    EXPECT_NE(svg.str().find("stroke=\"" + hex(grey) + "\""), std::string::npos);
    const std::string lines = cadhost::render::line_work_content(drawn);
    EXPECT_NE(lines.find(rg(copper)), std::string::npos) << "the PDF's line work sets the copper ink";
    EXPECT_NE(lines.find(rg(grey)), std::string::npos);
    std::ostringstream dxf;
    std::string error;
    ASSERT_TRUE(cadhost::render::write_dxf(drawn, dxf, error)) << error;
    // True colour (420) and the nearest indexed colour (62) of each ink.
    for (const std::uint32_t ink : {copper, grey}) {
        const std::string true_colour = "\n420\n" + std::to_string(ink) + "\n";
        const auto at = dxf.str().find(true_colour);
        ASSERT_NE(at, std::string::npos) << ink;
        const std::string before = dxf.str().substr(dxf.str().rfind("\n 62\n", at) + 5, 8);
        EXPECT_EQ(std::stoi(before), cadhost::render::nearest_aci(ink)) << before;
    }
}

// Points every 0.1 mm along the continuous or the dashed strokes a view draws, on the sheet; of its bodies only (in
// their inks: the sample's core is grey and its electrodes copper) or with its black curves and marks too.
std::vector<cadhost::render::Point2> drawn_points(const cadhost::render::SheetGraphics& sheet, const std::string& layer,
                                                  cadhost::render::LinePattern pattern, bool bodies_only) {
    std::vector<cadhost::render::Point2> out;
    auto along = [&](cadhost::render::Point2 a, cadhost::render::Point2 b) {
        const int steps = 1 + static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 0.1);
        for (int i = 0; i <= steps; ++i) out.push_back({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
    };
    for (const auto& line : sheet.polylines) {
        if (line.layer != layer || line.stroke.pattern != pattern || (bodies_only && line.stroke.ink == 0)) continue;
        for (std::size_t i = 1; i < line.points.size(); ++i) along(line.points[i - 1], line.points[i]);
        if (line.closed && line.points.size() > 2) along(line.points.back(), line.points.front());
    }
    for (const auto& arc : sheet.arcs) {
        if (arc.layer != layer || arc.stroke.pattern != pattern || (bodies_only && arc.stroke.ink == 0)) continue;
        const int steps = 1 + static_cast<int>(arc.radius * (arc.end_angle - arc.start_angle) / 0.1);
        for (int i = 0; i <= steps; ++i) {
            const double t = arc.start_angle + (arc.end_angle - arc.start_angle) * i / steps;
            out.push_back({arc.center.x + arc.radius * std::cos(t), arc.center.y + arc.radius * std::sin(t)});
        }
    }
    for (const auto& e : sheet.ellipses) {
        if (e.layer != layer || e.stroke.pattern != pattern || (bodies_only && e.stroke.ink == 0)) continue;
        const double a = std::hypot(e.major.x, e.major.y);
        const int steps = 1 + static_cast<int>(a * (e.end_param - e.start_param) / 0.1);
        for (int i = 0; i <= steps; ++i) {
            const double t = e.start_param + (e.end_param - e.start_param) * i / steps;
            out.push_back({e.center.x + e.major.x * std::cos(t) - e.major.y * e.ratio * std::sin(t),
                           e.center.y + e.major.y * std::cos(t) + e.major.x * e.ratio * std::sin(t)});
        }
    }
    return out;
}

double distance_to(cadhost::render::Point2 p,
                   const std::vector<std::pair<cadhost::render::Point2, cadhost::render::Point2>>& segments) {
    double best = 1e9;
    for (const auto& [a, b] : segments) {
        const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

// The sheet drawn again and again: the core's strokes are made for the whole core the first two times and found kept
// the third, and cut each time where the electrode overlaps it. Each time each view's continuous strokes are the
// visible edges of the core and electrode projected together, all of them and nothing else: no edge of the core the
// electrode hides is drawn as seen, and none the electrode leaves in sight is lost.
TEST_F(ReferenceSheetTest, ViewsDrawnFromKeptStrokesShowWhatTheBodiesProjectedTogetherShow) {
    make_sheet();
    using Segments = std::vector<std::pair<cadhost::render::Point2, cadhost::render::Point2>>;
    std::map<std::string, Segments> visible;  // by view: the top, the front below it, the iso view
    for (const char* name : {"MY_ELEC_SHEETA1@1", "MY_ELEC_SHEETA1@2", "MY_ELEC_SHEETA1@3"}) {
        const tag_t tag = named(name);
        ASSERT_NE(tag, NULL_TAG) << name;
        const auto& view = *doc().find(tag)->as<cadhost::DrawingViewData>();
        const cadhost::drafting::Placement placed = cadhost::drafting::placement(doc(), tag);
        std::vector<TopoDS_Shape> bodies;
        for (const cadhost::Object* body : cadhost::drafting::shown_bodies(doc(), view))
            bodies.push_back(body->as<cadhost::BodyData>()->shape);
        ASSERT_EQ(bodies.size(), 2u) << "the core and its electrode";
        const auto together = cadhost::drafting::project_together(bodies, placed.orientation, {});
        for (const auto& list : together.visible)
            for (const auto& line : list)
                for (std::size_t i = 1; i < line.points.size(); ++i)
                    visible[std::string("VIEW-") + name].push_back(
                        {{placed.sheet_x(line.points[i - 1].x), placed.sheet_y(line.points[i - 1].y)},
                         {placed.sheet_x(line.points[i].x), placed.sheet_y(line.points[i].y)}});
    }
    for (int time = 1; time <= 3; ++time) {
        const auto drawn = sheet();
        for (const auto& [layer, edges] : visible) {
            const auto points = drawn_points(drawn, layer, cadhost::render::LinePattern::Continuous, true);
            ASSERT_GT(points.size(), 100u) << layer;
            // A curve the view shows may draw over an edge; the edge is then drawn by it.
            const auto all = drawn_points(drawn, layer, cadhost::render::LinePattern::Continuous, false);
            Segments strokes;
            for (std::size_t i = 1; i < all.size(); ++i)
                if (std::hypot(all[i].x - all[i - 1].x, all[i].y - all[i - 1].y) < 0.2)
                    strokes.push_back({all[i - 1], all[i]});
            for (const auto& p : points)
                ASSERT_LT(distance_to(p, edges), 0.02)
                    << layer << ", time " << time << ": drawn as seen at " << p.x << ", " << p.y;
            for (const auto& [a, b] : edges) {
                const int steps = 1 + static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 0.1);
                for (int i = 0; i <= steps; ++i) {
                    const cadhost::render::Point2 p{a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps};
                    ASSERT_LT(distance_to(p, strokes), 0.02)
                        << layer << ", time " << time << ": lost at " << p.x << ", " << p.y;
                }
            }
        }
    }
}

}  // namespace
