// A part with a sheet, and helpers to place views and read what the sheet draws.
#ifndef TESTS_DRAFTING_DRAFTING_FIXTURE_H
#define TESTS_DRAFTING_DRAFTING_FIXTURE_H

#include <cmath>
#include <string>

#include "cadhost/drafting/sheet_builder.h"
#include "host/uf_draw.h"
#include "host/uf_obj.h"
#include "host/uf_view.h"
#include "support/host_fixture.h"

namespace testing_support {

class DraftingTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_EQ(create_a4("SHEET1", &drawing_), 0);
    }
    // An A4 landscape sheet in millimetres, third-angle: the sheet the command makes.
    static int create_a4(const char* name, tag_t* drawing) {
        UF_DRAW_info_t info{};
        info.size_state = UF_DRAW_CUSTOM_SIZE;
        info.size.custom_size[0] = 210.0;
        info.size.custom_size[1] = 297.0;
        info.drawing_scale = 1.0;
        info.units = UF_PART_METRIC;
        info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
        return UF_DRAW_create_drawing(name, &info, drawing);
    }
    static tag_t model_view(const char* name) {
        tag_t tag = NULL_TAG;
        while (UF_OBJ_cycle_by_name(name, &tag) == 0 && tag != NULL_TAG) {
            int type = 0, subtype = 0;
            UF_OBJ_ask_type_and_subtype(tag, &type, &subtype);
            if (type == UF_view_type && subtype == UF_view_normal_subtype) return tag;
        }
        return NULL_TAG;
    }
    tag_t import_view(const char* name, double x, double y, double scale) {
        UF_DRAW_view_info_t info;
        UF_DRAW_initialize_view_info(&info);
        info.view_scale = 0.01;
        const double at[2] = {150.0, 105.0};
        tag_t view = NULL_TAG;
        EXPECT_EQ(UF_DRAW_import_view(drawing_, model_view(name), at, &info, &view), 0) << name;
        EXPECT_EQ(UF_DRAW_set_view_scale(view, scale), 0);
        const double ref[2] = {x, y};
        EXPECT_EQ(UF_DRAW_set_drawing_ref_pt(drawing_, view, ref), 0);
        return view;
    }
    static std::pair<double, double> map(tag_t view, double x, double y, double z) {
        const double p[3] = {x, y, z};
        double out[2] = {NAN, NAN};
        EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, p, out), 0);
        return {out[0], out[1]};
    }
    // The sheet as the PDF and SVG draw it: its dimensions' lines, arrowheads and values among its own primitives.
    cadhost::render::SheetGraphics sheet() const {
        cadhost::render::SheetGraphics drawn = cadhost::drafting::build_sheet(doc(), drawing_);
        for (auto& d : drawn.dimensions) {
            drawn.polylines.insert(drawn.polylines.end(), d.polylines.begin(), d.polylines.end());
            drawn.triangles.insert(drawn.triangles.end(), d.triangles.begin(), d.triangles.end());
            drawn.texts.insert(drawn.texts.end(), d.texts.begin(), d.texts.end());
            d.polylines.clear(), d.triangles.clear(), d.texts.clear();
        }
        return drawn;
    }

    // True when some drawn polyline of the layer passes within tol of (x, y).
    static bool drawn_at(const cadhost::render::SheetGraphics& sheet, double x, double y, double tol = 1e-6) {
        for (const auto& line : sheet.polylines)
            for (const auto& p : line.points)
                if (std::hypot(p.x - x, p.y - y) <= tol) return true;
        return false;
    }
    tag_t drawing_ = NULL_TAG;
};

}  // namespace testing_support

#endif
