// A sheet of the drawing run with the electrodes of the tests analysed the way the run analyses them, ready for the
// electrode's own views.
#ifndef TESTS_ELEC_VIEWS_ELEC_VIEW_FIXTURE_H
#define TESTS_ELEC_VIEWS_ELEC_VIEW_FIXTURE_H

#include <BRepPrimAPI_MakeCylinder.hxx>

#include "my_func1/body_analysis.h"
#include "quillon/elec_body_views.h"
#include "quillon/elec_sheet.h"
#include "run_driver/run_fixture.h"

namespace elec_views_test {

class ElecViewTest : public run_driver_test::RunTest {
  protected:
    void SetUp() override {
        RunTest::SetUp();
        reset_elec_view_settings();
        reset_elec_sheet_positions();
    }
    tag_t new_sheet(const char* name) {
        tag_t drawing = NULL_TAG;
        EXPECT_EQ(create_elec_sheet(name, "", "", &drawing, 1, 1), 1);
        return drawing;
    }
    // The record the run makes of the first body on a layer.
    static elec_data analysed(tag_t body, int layer) {
        elec_data record = {};
        EXPECT_EQ(analyse_elec_body(body, &record, layer, 1, 1), 1);
        return record;
    }
    // A round pin without base, r 6 and 35 high, standing on z = -12 at (x, y), with its diagonal line across the top
    // of its box.
    static tag_t pin(int layer, double x, double y) {
        const tag_t body =
            body_on(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(x, y, -12), gp::DZ()), 6, 35).Shape(), layer, "PIN");
        line_on(gp_Pnt(x - 6, y - 6, 23), gp_Pnt(x + 6, y + 6, 23), layer);
        return body;
    }
    // Tags of the objects on the work layer: fallback points land there.
    static int points_on(int layer) { return objects_of_type(layer, UF_point_type); }

    // The linear dimensions of a sheet, in the order they were made.
    static std::vector<nlohmann::ordered_json> dimensions(const std::string& sheet) {
        std::vector<nlohmann::ordered_json> out;
        const auto r = report(sheet);  // held: a range over a member of a temporary would dangle
        for (const auto& a : r["annotations"])
            if (a["kind"] == "horizontal dimension" || a["kind"] == "vertical dimension") out.push_back(a);
        return out;
    }
};

}  // namespace elec_views_test

#endif
