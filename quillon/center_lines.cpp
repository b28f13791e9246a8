#include "quillon/center_lines.h"

#include "host/uf_call.h"
#include "host/uf_csys.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "quillon/run_settings.h"

tag_t top_center_line_x = NULL_TAG;
tag_t top_center_line_y = NULL_TAG;
tag_t top_center_line_z = NULL_TAG;
tag_t ori_point = NULL_TAG;

void reset_core_center_lines(void) {
    top_center_line_x = NULL_TAG;
    top_center_line_y = NULL_TAG;
    top_center_line_z = NULL_TAG;
}

int create_core_center_lines(const double mr_min[3], const double mr_max[3], tag_t draw_tag, double top_view_scale,
                             int mr_layer) {
    double origin[3] = {0.0, 0.0, 0.0};
    if (the_run_settings.use_wcs_origin) {
        UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
        tag_t wcs_id = NULL_TAG, matrix_id = NULL_TAG;
        UF_CALL(UF_CSYS_ask_wcs(&wcs_id));
        UF_CALL(UF_CSYS_ask_csys_info(wcs_id, &matrix_id, origin));
    }
    // Five sheet millimetres beyond the core on every sheet, whatever the view's scale.
    const double overhang = 5.0 / top_view_scale;
    UF_CURVE_line_t line_x = {{mr_min[0] - overhang, origin[1], origin[2]},
                              {mr_max[0] + overhang, origin[1], origin[2]}};
    UF_CURVE_line_t line_y = {{origin[0], mr_min[1] - overhang, origin[2]},
                              {origin[0], mr_max[1] + overhang, origin[2]}};
    UF_CURVE_line_t line_z = {{origin[0], origin[1], mr_min[2] - overhang},
                              {origin[0], origin[1], mr_max[2] + overhang}};

    UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
    UF_CALL(UF_CURVE_create_line(&line_x, &top_center_line_x));
    UF_CALL(UF_CURVE_create_line(&line_y, &top_center_line_y));
    UF_CALL(UF_CURVE_create_line(&line_z, &top_center_line_z));
    if (UF_CURVE_create_point(origin, &ori_point) != 0) {
        uc1601("构建edm点错误! att_side_pt ", 1);
        return 0;
    }
    UF_CALL(UF_DRAW_open_drawing(draw_tag));

    const tag_t lines[3] = {top_center_line_x, top_center_line_y, top_center_line_z};
    for (tag_t line : lines) {
        UF_CALL(UF_OBJ_set_layer(line, mr_layer));
        UF_CALL(UF_OBJ_set_font(line, UF_OBJ_FONT_CENTERLINE));
    }
    UF_CALL(UF_OBJ_set_layer(ori_point, mr_layer));
    return 1;
}
