// Notes, labels and dimensions: what they measure against the true geometry, what the sheet shows, what the report
// says, and that they survive the part file.
#include <cstring>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/document/dump_json.h"
#include "cadhost/drafting/dimension_layout.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/partfile/part_file.h"
#include "drafting_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_drf.h"
#include "host/uf_modl.h"
#include "host/uf_part.h"

#include <unistd.h>

namespace {

using testing_support::DraftingTest;

class AnnotationsTest : public DraftingTest {
  protected:
    void SetUp() override {
        DraftingTest::SetUp();
        add_box(0, 0, 0, 100, 60, 40);
        top_ = import_view("top", 120, 120, 0.5);
        a_ = point(10, 20, 40);
        b_ = point(60, 50, 0);
    }
    static tag_t point(double x, double y, double z) {
        const double p[3] = {x, y, z};
        tag_t tag = NULL_TAG;
        EXPECT_EQ(UF_CURVE_create_point(p, &tag), 0);
        return tag;
    }
    UF_DRF_object_t anchor(tag_t object, int end = 0) const {
        UF_DRF_object_t o;
        UF_DRF_init_object_structure(&o);
        o.object_tag = object;
        o.object_view_tag = top_;
        o.object_assoc_modifier = end;
        return o;
    }
    nlohmann::json report() const {
        std::ostringstream out;
        cadhost::drafting::write_report(out, doc());
        return nlohmann::json::parse(out.str());
    }
    static const cadhost::render::Text* find_text(const cadhost::render::SheetGraphics& s, const std::string& what) {
        for (const auto& t : s.texts)
            if (t.text == what) return &t;
        return nullptr;
    }
    tag_t top_ = NULL_TAG, a_ = NULL_TAG, b_ = NULL_TAG;
};

TEST_F(AnnotationsTest, LinearDimensionsMeasureTheTrueDistanceAndDrawIt) {
    UF_DRF_object_t first = anchor(a_), second = anchor(b_);
    char h[] = "H";
    char empty[10] = {0};
    char* lines[1] = {empty};
    UF_DRF_text_t text{h, 1, lines};
    const double at_h[3] = {100, 160, 0}, at_v[3] = {180, 130, 0};
    tag_t horizontal = NULL_TAG, vertical = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_horizontal_dim(&first, &second, &text, at_h, &horizontal), 0);
    ASSERT_EQ(UF_DRF_create_vertical_dim(&first, &second, &text, at_v, &vertical), 0);

    auto drawn = sheet();
    ASSERT_EQ(drawn.dimensions.size(), 2u);
    EXPECT_NEAR(drawn.dimensions[0].measured, 50.0, 1e-9) << "|60 - 10| in the top view";
    EXPECT_NEAR(drawn.dimensions[1].measured, 30.0, 1e-9) << "|50 - 20|";
    EXPECT_NE(find_text(drawn, "50.00"), nullptr) << "two decimals, the host's default";
    EXPECT_NE(find_text(drawn, "30.00"), nullptr);
    // The dimension's ends are the mapped points: 0.5 mm of sheet per model mm.
    auto pa = map(top_, 10, 20, 40), pb = map(top_, 60, 50, 0);
    EXPECT_NEAR(drawn.dimensions[0].first.x, pa.first, 1e-9);
    EXPECT_NEAR(drawn.dimensions[0].second.x - drawn.dimensions[0].first.x, 25.0, 1e-9);
    EXPECT_NEAR(drawn.dimensions[1].second.y - drawn.dimensions[1].first.y, pb.second - pa.second, 1e-9);

    // Three decimals without trailing zeros, as the preferences say, for dimensions made afterwards.
    int mpi[100];
    double mpr[70];
    char r[27], d[27];
    UF_DRF_ask_preferences(mpi, mpr, r, d);
    mpi[9] = 3;
    mpi[90] = 0;
    UF_DRF_set_preferences(mpi, mpr, r, d);
    tag_t third = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_horizontal_dim(&first, &second, &text, at_h, &third), 0);
    EXPECT_NE(find_text(sheet(), "50"), nullptr);

    auto json = report();
    const auto& annotations = json["sheets"][0]["annotations"];
    ASSERT_EQ(annotations.size(), 3u);
    EXPECT_EQ(annotations[0]["kind"], "horizontal dimension");
    EXPECT_DOUBLE_EQ(annotations[0]["measured"].get<double>(), 50.0);
    EXPECT_EQ(annotations[0]["first"]["object"], a_);
    EXPECT_EQ(annotations[1]["text"][0], "30.00");
}

TEST_F(AnnotationsTest, AVerticalValueReadsUpwardsAndValuesOrArrowsBeyondTheEndsKeepTheirLine) {
    int mpi[100];
    double mpr[70];
    char r[27], d[27];
    UF_DRF_ask_preferences(mpi, mpr, r, d);
    mpi[3] = 2;  // the value where the origin says
    UF_DRF_set_preferences(mpi, mpr, r, d);
    char h[] = "H";
    UF_DRF_text_t text{h, 0, nullptr};
    UF_DRF_object_t first = anchor(a_), second = anchor(b_);
    auto pa = map(top_, 10, 20, 40), pb = map(top_, 60, 50, 0);
    const double above[3] = {180, pb.second + 20, 0};  // 20 mm beyond the upper end
    tag_t vertical = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_vertical_dim(&first, &second, &text, above, &vertical), 0);

    auto drawn = sheet();
    const auto* value = find_text(drawn, "30.00");
    ASSERT_NE(value, nullptr);
    EXPECT_NEAR(value->angle, M_PI / 2, 1e-12) << "the value reads upwards";
    EXPECT_EQ(value->anchor.x, 180.0);
    // The line stands right of the value (half its height and the gap) and runs from the lower foot to past the
    // value's far end.
    const double line_x = 180 + 3.5 / 2 + 1.0;
    bool line_found = false;
    for (const auto& line : drawn.polylines) {
        if (line.points.size() != 2 || line.points[0].x != line_x || line.points[1].x != line_x) continue;
        const double lo = std::min(line.points[0].y, line.points[1].y),
                     hi = std::max(line.points[0].y, line.points[1].y);
        line_found = std::fabs(lo - pa.second) < 1e-9 && hi > pb.second + 20 + 5 * 0.6 * 3.5 / 2 - 1e-9;
        if (line_found) break;
    }
    EXPECT_TRUE(line_found) << "dimension line under the moved value";

    // 4 model mm at scale 0.5 leaves 2 mm between the feet: too little for two arrowheads of 3 mm, which then
    // point in from outside.
    const tag_t c = point(14, 20, 40);
    UF_DRF_object_t near_end = anchor(c);
    const double centred[3] = {pa.first + 1, 150, 0};
    tag_t narrow = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_horizontal_dim(&first, &near_end, &text, centred, &narrow), 0);
    drawn = sheet();
    const double foot_y = 150 - 3.5 / 2 - 1.0;
    int outside = 0;
    for (const auto& line : drawn.polylines) {
        if (line.points.size() != 3 || std::fabs(line.points[1].y - foot_y) > 1e-9) continue;
        const double tip = line.points[1].x, back = line.points[0].x;
        if (std::fabs(tip - pa.first) < 1e-9 && back < tip) ++outside;
        if (std::fabs(tip - (pa.first + 2)) < 1e-9 && back > tip) ++outside;
    }
    EXPECT_EQ(outside, 2);
}

TEST_F(AnnotationsTest, DimensionsToEdgeEndsAndOrdinatesFromAnOrigin) {
    // The block's edges, measured from the second point.
    uf_list_p_t edges = nullptr;
    tag_t block = doc().next_on_layer(1, NULL_TAG);
    ASSERT_EQ(UF_MODL_ask_body_edges(block, &edges), 0);
    tag_t edge = NULL_TAG;
    double p1[3], p2[3];
    int count = 0, n = 0;
    UF_MODL_ask_list_count(edges, &n);
    for (int i = 0; i < n && edge == NULL_TAG; ++i) {
        tag_t e = NULL_TAG;
        UF_MODL_ask_list_item(edges, i, &e);
        UF_MODL_ask_edge_verts(e, p1, p2, &count);
        if (count == 2 && p1[0] != p2[0] && p1[2] == 40) edge = e;  // a top edge along x
    }
    UF_MODL_delete_list(&edges);
    ASSERT_NE(edge, NULL_TAG);

    UF_DRF_object_t origin_object = anchor(a_);
    tag_t origin = NULL_TAG, margin = NULL_TAG, ordinate = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_ordorigin(&origin_object, 1, 1, 2, "", &origin), 0);
    const double zero3[3] = {0, 0, 0}, zero2[2] = {0, 0};
    ASSERT_EQ(
        UF_DRF_create_ordmargin(UF_DRF_ORD_HORIZONTAL_MARGIN, origin, &origin_object, zero3, zero2, 20.0, &margin), 0);
    char a[] = "a", b[] = "b";
    char* appended[1] = {b};
    UF_DRF_text_t text{a, 1, appended};
    for (int end : {1, 2}) {
        UF_DRF_object_t target = anchor(edge, end);
        ASSERT_EQ(UF_DRF_create_orddimension(margin, 2, &target, 0.0, 0.0, &text, 1, zero3, &ordinate), 0);
        const double expected = std::fabs((end == 1 ? p1[0] : p2[0]) - 10.0);
        auto json = report();
        const auto& last = json["sheets"][0]["annotations"].back();
        EXPECT_EQ(last["kind"], "ordinate dimension");
        EXPECT_NEAR(last["measured"].get<double>(), expected, 1e-9) << "end " << end;
        EXPECT_EQ(last["text"].size(), 1u) << "one-character texts add nothing";
    }
    // A moved value keeps its measurement and sits where it was put along the margin.
    UF_DRF_object_t target = anchor(b_);
    const double moved[3] = {150, 0, 0};
    ASSERT_EQ(UF_DRF_create_orddimension(margin, 2, &target, 60.0, 3.0, &text, 1, moved, &ordinate), 0);
    // (Laid out alone: on the sheet it would be moved clear of the edge's values beside it.)
    const auto dim = *cadhost::drafting::layout_dimension(doc(), *doc().find(ordinate)->as<cadhost::AnnotationData>());
    EXPECT_NEAR(dim.measured, 50.0, 1e-9);
    EXPECT_NEAR(dim.text_at.x, 150.0 - 1.0, 1e-9) << "turned to read up its line, a text gap left of it";
    auto o = map(top_, 10, 20, 40);
    EXPECT_NEAR(dim.text_at.y, o.second + 20.0, 1e-9) << "starting at the margin";
}

TEST_F(AnnotationsTest, NotesAndLabelsKeepTheLetteringTheyWereMadeWith) {
    UF_DRF_lettering_preferences_t saved, working;
    ASSERT_EQ(UF_DRF_ask_lettering_preferences(&saved), 0);
    working = saved;
    working.general_text.size = 3.175;
    working.general_text.aspect_ratio = 0.8;
    working.align_position = 4;
    ASSERT_EQ(UF_DRF_set_lettering_preferences(&working), 0);
    // The general text's size is the byte-168 double of the record and the same setting as mpr[44].
    double size_at_168;
    std::memcpy(&size_at_168, reinterpret_cast<const char*>(&working) + 168, sizeof size_at_168);
    EXPECT_DOUBLE_EQ(size_at_168, 3.175);
    int mpi[100];
    double mpr[70];
    char r[27], d[27];
    UF_DRF_ask_preferences(mpi, mpr, r, d);
    EXPECT_DOUBLE_EQ(mpr[44], 3.175);
    EXPECT_EQ(mpi[30], 4);

    const double at[3] = {250, 20, 0}, leader[3] = {120, 120, 0};
    tag_t note = NULL_TAG, label = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_note(1, "第 3/7 页", at, 0, &note), 0);
    ASSERT_EQ(UF_DRF_set_lettering_preferences(&saved), 0);
    ASSERT_EQ(UF_DRF_create_label(1, "c角", at, UF_DRF_leader_attach_screen, nullptr, leader, &label), 0);
    ASSERT_EQ(UF_DRF_create_note(1, "先粗\n后精", at, 0, &note), 0);

    auto drawn = sheet();
    const auto* page = find_text(drawn, "第 3/7 页");
    ASSERT_NE(page, nullptr);
    EXPECT_DOUBLE_EQ(page->height, 3.175);
    EXPECT_DOUBLE_EQ(page->width_factor, 0.8);
    EXPECT_EQ(page->alignment, 4);
    ASSERT_NE(find_text(drawn, "c角"), nullptr);
    EXPECT_DOUBLE_EQ(find_text(drawn, "c角")->height, saved.general_text.size)
        << "made after the lettering was restored";
    ASSERT_NE(find_text(drawn, "先粗"), nullptr);
    ASSERT_NE(find_text(drawn, "后精"), nullptr);
    EXPECT_LT(find_text(drawn, "后精")->anchor.y, find_text(drawn, "先粗")->anchor.y) << "lines stack downwards";
    EXPECT_TRUE(drawn_at(drawn, 120, 120)) << "the label's leader reaches its point";
}

// The alignment entry places the block of a note's lines on its origin; a label's leader leaves the text's first line
// at the end the leader-side entry names, level with that line's middle.
TEST_F(AnnotationsTest, AlignmentPlacesTheWholeBlockAndTheLeaderLeavesTheNearEnd) {
    int mpi[100];
    double mpr[70];
    char r[27], d[27];
    ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, r, d), 0);
    const auto with = [&](int alignment, int leader_side) {
        mpi[30] = alignment;
        mpi[1] = leader_side;
        ASSERT_EQ(UF_DRF_set_preferences(mpi, mpr, r, d), 0);
    };
    const double at[3] = {100, 100, 0};
    tag_t tag = NULL_TAG;
    for (int alignment : {1, 5, 9}) {
        with(alignment, 1);
        const std::string first = "甲" + std::to_string(alignment), last = "丙" + std::to_string(alignment);
        ASSERT_EQ(UF_DRF_create_note(1, (first + "\n乙\n" + last).c_str(), at, 0, &tag), 0);
    }
    const double leader[3] = {20, 20, 0}, label_at[3] = {200, 60, 0}, other_at[3] = {200, 160, 0};
    with(5, 1);
    ASSERT_EQ(UF_DRF_create_label(1, "左端\n第二行", label_at, UF_DRF_leader_attach_screen, nullptr, leader, &tag), 0);
    with(1, 2);
    ASSERT_EQ(UF_DRF_create_label(1, "右端\n第二行", other_at, UF_DRF_leader_attach_screen, nullptr, leader, &tag), 0);

    const auto drawn = sheet();
    const auto y_of = [&](const std::string& text) {
        const auto* t = find_text(drawn, text);
        EXPECT_NE(t, nullptr) << text;
        return t ? t->anchor.y : 0.0;
    };
    EXPECT_DOUBLE_EQ(y_of("甲1"), 100) << "top: the first line hangs from the origin";
    EXPECT_DOUBLE_EQ(y_of("丙9"), 100) << "bottom: the last line stands on it";
    EXPECT_NEAR((y_of("甲5") + y_of("丙5")) / 2, 100, 1e-9) << "middle: the block is centred on it";
    EXPECT_GT(y_of("甲5"), 100);
    for (int alignment : {1, 5, 9}) {
        const auto* t = find_text(drawn, "甲" + std::to_string(alignment));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->alignment, alignment);
        EXPECT_DOUBLE_EQ(t->anchor.x, 100);
    }

    // The leaders: the two-point polylines that end at the leader point.
    std::vector<cadhost::render::Point2> starts;
    for (const auto& line : drawn.polylines)
        if (line.points.size() == 2 && line.points[1].x == 20 && line.points[1].y == 20)
            starts.push_back(line.points[0]);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LT(starts[0].x, 200 - 1) << "from the left end of a centred text";
    EXPECT_DOUBLE_EQ(starts[0].y, y_of("左端")) << "level with the middle of the first line";
    EXPECT_GT(starts[1].x, 200 + 1) << "from the right end of a text that starts at its origin";
    const auto* right = find_text(drawn, "右端");
    ASSERT_NE(right, nullptr);
    EXPECT_DOUBLE_EQ(starts[1].y, right->anchor.y - right->height / 2);
    EXPECT_TRUE(drawn_at(drawn, 20, 20));
}

TEST_F(AnnotationsTest, DrawingsSurviveThePartFileAndATemplateLandsOnTheSheet) {
    // A template part: a frame of lines and a label note, in its own XY plane.
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quillon_drafting_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    cadhost::Document templ;
    templ.add_line(gp_Pnt(10, 10, 0), gp_Pnt(287, 10, 0));
    templ.add_line(gp_Pnt(287, 10, 0), gp_Pnt(287, 200, 0));
    cadhost::Object label;
    label.type = UF_drafting_entity_type;
    label.subtype = UF_draft_note_subtype;
    cadhost::AnnotationData note;
    note.lines = {"模号"};
    note.origin_x = 200, note.origin_y = 30;
    label.payload = note;
    templ.add(std::move(label), false);
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save((dir / "frame.prt").string(), templ, std::nullopt, error)) << error;

    UF_import_part_modes_t modes{};
    const double csys[6] = {1, 0, 0, 0, 1, 0}, origin[3] = {0, 0, 0};
    tag_t group = 1;
    ASSERT_EQ(UF_PART_import((dir / "frame.prt").c_str(), &modes, csys, origin, 1.0, &group), 0);
    EXPECT_EQ(group, NULL_TAG);
    EXPECT_EQ(UF_PART_import((dir / "missing.prt").c_str(), &modes, csys, origin, 1.0, &group), UF_err_io);
    auto drawn = sheet();
    EXPECT_TRUE(drawn_at(drawn, 287, 10));
    EXPECT_TRUE(drawn_at(drawn, 287, 200));
    ASSERT_NE(find_text(drawn, "模号"), nullptr);
    EXPECT_DOUBLE_EQ(find_text(drawn, "模号")->anchor.x, 200);
    // Sheet curves are not model geometry: no view shows them.
    int n = 0, m = 0;
    tag_t *visible = nullptr, *clipped = nullptr;
    UF_VIEW_ask_visible_objects(top_, &n, &visible, &m, &clipped);
    EXPECT_EQ(n, 3) << "the block and the two points";
    UF_free(visible);
    UF_free(clipped);

    const double at[3] = {30, 30, 0};
    tag_t extra = NULL_TAG;
    UF_DRF_create_note(1, "E01", at, 0, &extra);
    auto before = report();
    ASSERT_TRUE(cadhost::partfile::save((dir / "with_sheet.prt").string(), doc(), std::nullopt, error)) << error;
    cadhost::partfile::LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load((dir / "with_sheet.prt").string(), loaded, error)) << error;
    std::ostringstream again;
    cadhost::drafting::write_report(again, loaded.document);
    EXPECT_EQ(nlohmann::json::parse(again.str()), before);
    EXPECT_EQ(cadhost::dump_document(loaded.document).dump(), cadhost::dump_document(doc()).dump());
    fs::remove_all(dir);
}

TEST_F(AnnotationsTest, DrawingNamesAreUniqueAndAnnotationsNeedASheet) {
    tag_t again = NULL_TAG;
    EXPECT_EQ(create_a4("sheet1", &again), UF_err_name_taken);
    tag_t current = NULL_TAG;
    UF_DRAW_ask_current_drawing(&current);
    EXPECT_EQ(current, drawing_);
    doc().set_current_drawing(NULL_TAG);
    const double at[3] = {1, 1, 0};
    tag_t note = NULL_TAG;
    EXPECT_EQ(UF_DRF_create_note(1, "x", at, 0, &note), UF_err_no_drawing);
}

}  // namespace
