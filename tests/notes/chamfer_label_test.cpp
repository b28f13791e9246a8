// The chamfer label: where its text goes for each corner and room, the leader to the corner, the switch, and the
// preferences put back.
#include "host/uf_view.h"
#include "notes/notes_fixture.h"
#include "quillon/chamfer_label.h"

namespace {

using notes_test::NotesTest;
using notes_test::Preferences;

struct Case {
    int corner;
    double room_x, room_y;  // between the electrode and the view box on the corner's sides
    double text_dx, text_dy;
    bool above_view;  // text y is 20 mm beyond the view box's edge instead of text_dy from the corner
};

// An electrode box 10 x 10 mm at (100, 100) in a view box that leaves the rooms asked for on the corner's sides and
// 50 mm on the others.
void boxes_for(const Case& c, double vmin[2], double vmax[2], double emin[2], double emax[2]) {
    emin[0] = emin[1] = 100;
    emax[0] = emax[1] = 110;
    const bool right = c.corner == 1 || c.corner == 4, upper = c.corner == 1 || c.corner == 2;
    vmin[0] = emin[0] - (right ? 50 : c.room_x);
    vmax[0] = emax[0] + (right ? c.room_x : 50);
    vmin[1] = emin[1] - (upper ? 50 : c.room_y);
    vmax[1] = emax[1] + (upper ? c.room_y : 50);
}

TEST(ChamferLabelPoints, TextGoesOutsideWhereTheViewLeavesRoomAndInsideWhereNot) {
    const Case cases[] = {
        {1, 10, 10, 5, 5, false},                             // room both ways: out to the upper right
        {3, 3, 12, 6, -5, false},                             // no room on the left: inside, but below
        {3, 12, 12, -5, -5, false}, {4, 12, 3, 5, 6, false},  // no room below: beside, inside upwards
        {2, 12, 3, -5, -6, false},  {1, 3, 12, -6, 5, false},
        {2, 0, 0, 6, 0, true},    // no room at all: above the whole view
        {4, 2, 1, -6, 0, true},   // below it for a lower corner
        {1, 7, 30, -6, 0, true},  // exactly 7 is not room, however much the other side has
        {3, 30, 7, 6, 0, true},     {2, 7.01, 7.01, -5, 5, false},
    };
    for (const Case& c : cases) {
        double vmin[2], vmax[2], emin[2], emax[2], text[3], leader[3];
        boxes_for(c, vmin, vmax, emin, emax);
        ASSERT_EQ(chamfer_label_points(c.corner, vmin, vmax, emin, emax, text, leader), 1) << c.corner;
        const bool right = c.corner == 1 || c.corner == 4, upper = c.corner == 1 || c.corner == 2;
        const std::string at = "corner " + std::to_string(c.corner) + " rooms " + std::to_string(c.room_x) + ", " +
                               std::to_string(c.room_y);
        EXPECT_DOUBLE_EQ(leader[0], right ? 110 : 100) << at;
        EXPECT_DOUBLE_EQ(leader[1], upper ? 110 : 100) << at;
        EXPECT_DOUBLE_EQ(text[0], leader[0] + c.text_dx) << at;
        EXPECT_DOUBLE_EQ(text[1], c.above_view ? (upper ? vmax[1] + 20 : vmin[1] - 20) : leader[1] + c.text_dy) << at;
        EXPECT_EQ(text[2], 0.0);
    }
    double vmin[2] = {0, 0}, vmax[2] = {300, 300}, emin[2] = {100, 100}, emax[2] = {110, 110}, text[3], leader[3];
    for (int corner : {0, 5, -1})
        EXPECT_EQ(chamfer_label_points(corner, vmin, vmax, emin, emax, text, leader), 0) << corner;
}

class ChamferLabelTest : public NotesTest {
  protected:
    // The fixture's electrode with its upper right base corner (seen from above) chamfered 3 mm.
    static tag_t chamfered(int layer, double dx, double dy, const char* name) {
        gp_Trsf move;
        move.SetTranslation(gp_Vec(dx, dy, 0));
        const electrodes_test::Corners base = base_corners();
        const TopoDS_Shape shape =
            electrodes_test::cut_corner(electrodes_test::based(base, tip_corners()), base.hi.X(), base.hi.Y(), 3, 3);
        const tag_t body = body_on(electrodes_test::placed(shape, move), layer, name);
        line_on(gp_Pnt(base.lo.X() + dx, base.lo.Y() + dy, 0), gp_Pnt(base.hi.X() + dx, base.hi.Y() + dy, 0), layer);
        return body;
    }
    static std::vector<nlohmann::ordered_json> labels(const std::string& sheet) {
        std::vector<nlohmann::ordered_json> out;
        const auto r = report(sheet);
        for (const auto& a : r["annotations"])
            if (a["kind"] == "label") out.push_back(a);
        return out;
    }
    static std::array<double, 2> on_sheet(tag_t view, double x, double y, double z) {
        const double model[3] = {x, y, z};
        double sheet[2] = {0, 0};
        EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, model, sheet), 0);
        return {sheet[0], sheet[1]};
    }
    static int leader_side(const nlohmann::ordered_json& label) {
        return std::get<cadhost::AnnotationData>(doc().find(label["tag"])->payload).style->leader_side;
    }
};

TEST_F(ChamferLabelTest, TheRunLabelsTheChamferedCornerOfEachSheetWhenSwitchedOn) {
    the_run_settings.c_chamf = 1;
    chamfered(1, 0, 0, "E01");   // room all round
    chamfered(2, 78, 0, "E02");  // its right side 2 mm (model) from the core's
    electrode(3, -60, 0, "E03");
    ASSERT_EQ(run(), 1);

    struct Expect {
        const char* sheet;
        double dx;
        double text_dx;
        int side;
    };
    for (const Expect& e : {Expect{"MY_ELEC_SHEETA1", 0, 5, 1}, Expect{"MY_ELEC_SHEETA2", 78, -6, 2}}) {
        const auto found = labels(e.sheet);
        ASSERT_EQ(found.size(), 1u) << e.sheet;
        const auto& label = found[0];
        EXPECT_EQ(label["text"], nlohmann::ordered_json::array({"c角"}));
        const tag_t top_view = report(e.sheet)["views"][0]["tag"];
        const auto corner = on_sheet(top_view, 20 + e.dx, 15, 10);
        EXPECT_NEAR(label["leader_point"][0].get<double>(), corner[0], 0.006) << e.sheet;
        EXPECT_NEAR(label["leader_point"][1].get<double>(), corner[1], 0.006) << e.sheet;
        EXPECT_NEAR(label["position"][0].get<double>(), corner[0] + e.text_dx, 0.006) << e.sheet;
        EXPECT_NEAR(label["position"][1].get<double>(), corner[1] + 5, 0.006) << e.sheet;
        EXPECT_EQ(leader_side(label), e.side) << e.sheet << ": the leader leaves the end nearer the corner";
    }
    EXPECT_TRUE(labels("MY_ELEC_SHEETA3").empty()) << "no chamfer, no label";

    the_run_settings.c_chamf = 0;
    ASSERT_EQ(run(), 1);
    for (const char* sheet : {"MY_ELEC_SHEETB1", "MY_ELEC_SHEETB2"}) EXPECT_TRUE(labels(sheet).empty()) << sheet;
}

TEST_F(ChamferLabelTest, PreferencesAreTheUsersAgainAndNoCornerChangesNothing) {
    electrode(1, 0, 0, "E01");
    ASSERT_EQ(run(), 1);
    const tag_t top_view = report("MY_ELEC_SHEETA1")["views"][0]["tag"];
    elec_data e = {};
    e.elec_box_min[0] = -20, e.elec_box_min[1] = -15, e.elec_box_max[0] = 20, e.elec_box_max[1] = 15;
    const double view_min[3] = {-100, -80, -60}, view_max[3] = {100, 80, 10};

    odd_preferences();
    const Preferences before = Preferences::now();
    const std::size_t annotations = report("MY_ELEC_SHEETA1")["annotations"].size();
    e.chamfer_corner = 0;
    EXPECT_EQ(write_chamfer_label(top_view, view_min, view_max, &e), 0);
    EXPECT_EQ(report("MY_ELEC_SHEETA1")["annotations"].size(), annotations);
    EXPECT_TRUE(Preferences::now() == before);

    e.chamfer_corner = 3;
    EXPECT_EQ(write_chamfer_label(top_view, view_min, view_max, &e), 1);
    EXPECT_TRUE(Preferences::now() == before);
    const auto found = labels("MY_ELEC_SHEETA1");
    ASSERT_EQ(found.size(), 1u);
    const auto corner = on_sheet(top_view, -20, -15, 0);
    EXPECT_NEAR(found[0]["position"][0].get<double>(), corner[0] - 5, 0.006);
    EXPECT_NEAR(found[0]["position"][1].get<double>(), corner[1] - 5, 0.006);
    EXPECT_EQ(leader_side(found[0]), 2);
    const cadhost::AnnotationStyle& style =
        std::get<cadhost::AnnotationData>(doc().find(found[0]["tag"])->payload).style;
    EXPECT_DOUBLE_EQ(style.arrow_length, 1.5);
    EXPECT_DOUBLE_EQ(style.height, 3.175);
    EXPECT_DOUBLE_EQ(style.aspect_ratio, 1.0);
}

}  // namespace
