// A mould in the host as the drawing run finds it after a confirmed dialog: a core on layer 240, electrodes on their
// layers, the reversed model views made, the drawing layer the work layer, the shipped configuration and template.
#ifndef TESTS_RUN_DRIVER_RUN_FIXTURE_H
#define TESTS_RUN_DRIVER_RUN_FIXTURE_H

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cadhost/drafting/sheet_report.h"
#include "command_start/conf_dir.h"
#include "electrodes/electrode_fixture.h"
#include "host/uf_layer.h"
#include "my_func/model_views.h"
#include "quillon/run_driver.h"
#include "quillon/run_settings.h"

namespace run_driver_test {

class RunTest : public electrodes_test::ElectrodeTest {
  protected:
    void SetUp() override {
        ElectrodeTest::SetUp();
        conf.copy_shipped();
        std::filesystem::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/my_edm_A4_a.prt",
                                   std::filesystem::path(conf.path()) / "my_edm_A4_a.prt");
        clear_run_settings(&the_run_settings);
        the_run_settings.mr_layer = 240;
        the_run_settings.elec_layer_from = 1;
        the_run_settings.elec_layer_to = 20;
        the_run_settings.show_electrode = 1;
        the_run_settings.sheet_name_fs = 1;
        the_run_settings.part_type = 3;
        core = add_box(-100, -80, -60, 200, 160, 60);
        doc().set_layer(core, 240);
        ASSERT_EQ(prepare_model_views(), 1);
        ASSERT_EQ(UF_LAYER_set_status(254, UF_LAYER_WORK_LAYER), 0);
    }

    // The electrode of the tests, base up (it works on the core's top), moved by (dx, dy), with its diagonal line.
    static tag_t electrode(int layer, double dx, double dy, const char* name) {
        gp_Trsf move;
        move.SetTranslation(gp_Vec(dx, dy, 0));
        const electrodes_test::Corners base = base_corners();
        const tag_t body =
            body_on(electrodes_test::placed(electrodes_test::based(base, tip_corners()), move), layer, name);
        line_on(gp_Pnt(base.lo.X(), base.lo.Y(), 0).Transformed(move),
                gp_Pnt(base.hi.X(), base.hi.Y(), 0).Transformed(move), layer);
        return body;
    }

    static int run() { return run_elec_drawings(&the_run_settings); }

    // The drawings of the part, in the order they were made.
    static std::vector<std::string> sheet_names() {
        std::vector<std::string> names;
        for (const auto& [tag, object] : doc().objects())
            if (object.type == UF_drawing_type) names.push_back(object.name);
        return names;
    }
    static nlohmann::ordered_json report(const std::string& sheet) {
        return cadhost::drafting::sheet_report(doc(), doc().find_drawing(sheet));
    }
    // The first line of every note of a sheet, in the order they were made.
    static std::vector<std::string> notes(const std::string& sheet) {
        std::vector<std::string> out;
        const auto r = report(sheet);
        for (const auto& a : r["annotations"])
            if (a["kind"] == "note") out.push_back(a["text"].empty() ? "" : a["text"][0].get<std::string>());
        return out;
    }
    static bool has_note(const std::string& sheet, const std::string& text) {
        for (const auto& n : notes(sheet))
            if (n == text) return true;
        return false;
    }

    testing_support::ConfDir conf{"run_driver"};
    tag_t core = NULL_TAG;
};

}  // namespace run_driver_test

#endif
