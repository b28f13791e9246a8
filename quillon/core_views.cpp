#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/uf_call.h"
#include "host/uf_disp.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "host/uf_view.h"
#include "quillon/center_lines.h"
#include "quillon/core_views.h"
#include "my_func/tag_array.h"
#include "quillon/drf_preferences.h"
#include "quillon/model_view_lookup.h"

namespace {

/* Points, curves, planes and solid bodies are the electrode designer's construction; notes and datum axes are not. */
bool is_hidden_kind(tag_t tag) {
    int type = 0, subtype = -1;
    UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
    switch (type) {
        case UF_point_type:
        case UF_line_type:
        case UF_circle_type:
        case UF_spline_type:
        case UF_plane_type:
            return true;
        case UF_solid_type:
            return subtype == UF_solid_body_subtype;
        default:
            return false;
    }
}

int collect_hidden_objects(int elec_layer, const elec_data *elec, tag_t edm_point_tag, tag_array *hidden) {
    tag_t tag = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(elec_layer, &tag)) == 0 && tag != NULL_TAG) {
        int displayable = 0;
        UF_CALL(UF_OBJ_is_displayable(tag, &displayable));
        if (!displayable) continue;
        UF_OBJ_disp_props_t props = {};
        UF_CALL(UF_OBJ_ask_display_properties(tag, &props));
        if (props.blank_status == UF_OBJ_BLANKED) continue;
        if (!is_hidden_kind(tag)) continue;
        if (tag == edm_point_tag || tag == elec->elec_tag || tag == elec->ling_tag) continue;
        if (!hidden->append(tag)) {
            uc1601("MY_elec_view 子程式分配内存时出差错,这可能是可利用内存不够!", 1);
            return 0;
        }
    }
    return 1;
}

/* What each core view shares: no drawing layer, no construction geometry, hidden edges dashed, no surface grid. */
struct view_dressing {
    int layer_visi[UF_LAYER_MAX_LAYER];
    int ir2 = 0;
    bool have_mask = false;
    const tag_array *hidden;
    bool erase;
    UF_DRAW_view_prefs_t display;
    bool have_display = false;

    void apply(tag_t view) {
        char view_name[UF_OBJ_NAME_BUFSIZE] = "";
        UF_CALL(UF_OBJ_ask_name(view, view_name));
        if (!have_mask) {
            UF_CALL(uc6446(view_name, &ir2, layer_visi));
            int work_layer = 0;
            UF_CALL(UF_LAYER_ask_work_layer(&work_layer));
            if (work_layer >= 1 && work_layer <= UF_LAYER_MAX_LAYER) layer_visi[work_layer - 1] = 0;
            have_mask = true;
        }
        UF_CALL(uc6447(view_name, ir2, layer_visi));
        if (erase)
            for (int i = 0; i < hidden->count; ++i) UF_CALL(uc6400(view_name, hidden->items[i]));
        if (!have_display) {
            UF_CALL(UF_DRAW_ask_view_display(view, &display));
            display.hidden_edges = 2;
            display.uv_grid_lines = 0;
            display.reserved_114 = 0;
            have_display = true;
        }
        UF_CALL(UF_DRAW_set_view_display(view, &display));
    }
};

}  // namespace

int import_mr_view(tag_t draw_tag, tag_t *top_view_tag, tag_t *s_view_tag, int mr_layer, int show_electrode,
                   double mr_view_min[3], double mr_view_max[3], int number_modl, const elec_data *elec_data1,
                   tag_t edm_point_tag, const double mr_min[3], const double mr_max[3]) {
    mr_layout_settings settings;
    if (!read_mr_layout_settings(&settings)) return 0;
    const int iso_wanted = static_cast<int>(settings.isometric_view);
    if (draw_tag == NULL_TAG) {
        uc1601("draw_tag is unll,err!", 1);
        return 0;
    }
    if (number_modl != MR_VIEW_LAYOUT) {
        uc1601(" 位置错误--number_modl ", 1);
        return 0;
    }
    for (int i = 0; i < 3; ++i) {
        mr_view_min[i] = mr_min[i];
        mr_view_max[i] = mr_max[i];
    }
    UF_CALL(UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER));
    UF_CALL(UF_LAYER_set_status(mr_layer, UF_LAYER_ACTIVE_LAYER));

    tag_array hidden;
    if (show_electrode) {
        UF_OBJ_disp_props_t props = {};
        UF_CALL(UF_OBJ_ask_display_properties(elec_data1->elec_tag, &props));
        UF_CALL(UF_LAYER_set_status(props.layer, UF_LAYER_ACTIVE_LAYER));
        for (int i = 0; i < 3; ++i) {
            mr_view_min[i] = std::min(mr_view_min[i], elec_data1->elec_box_min[i]);
            mr_view_max[i] = std::max(mr_view_max[i], elec_data1->elec_box_max[i]);
        }
        if (!collect_hidden_objects(props.layer, elec_data1, edm_point_tag, &hidden)) return 0;
    }

    mr_view_choice choice;
    choose_mr_views(elec_data1->elec_direction, mr_view_min, mr_view_max, &choice);
    const tag_t modl_top_view_tag = find_model_view(choice.top_view_name);
    if (modl_top_view_tag == NULL_TAG) {
        uc1601(" import_mr_view 查找 top 视图失败!", 1);
        return 0;
    }
    const tag_t modl_iso_view_tag = find_model_view(choice.iso_view_name);
    if (modl_iso_view_tag == NULL_TAG) {
        uc1601(" import_mr_view 查找 iso 视图失败!", 1);
        return 0;
    }
    mr_view_layout layout;
    layout_mr_views(&settings, &choice, &layout);
    /* A bound of 0 in config.def, or a core without extent, gives a scale of 0 or none at all: lines and views made
     * with it could never be drawn, and the part would keep them. */
    if (!(layout.top_view_scale > 0) || !std::isfinite(layout.top_view_scale) || !(layout.iso_view_scale > 0) ||
        !std::isfinite(layout.iso_view_scale)) {
        uc1601(
            " import_mr_view 视图比例错误! 请检查 config.def 中的 mr_top_and_front_view_bound_ 和 mr_iso_view_bound_",
            1);
        return 0;
    }

    if (top_center_line_x == NULL_TAG || top_center_line_y == NULL_TAG) {
        if (!create_core_center_lines(mr_min, mr_max, draw_tag, layout.top_view_scale, mr_layer)) return 0;
    }

    UF_CALL(UF_DRAW_set_border_display(FALSE));
    UF_DRF_lettering_preferences_t saved_lettering, lettering;
    UF_CALL(UF_DRF_ask_lettering_preferences(&saved_lettering));
    lettering = saved_lettering;
    lettering.general_text.size = 2.8;
    lettering.general_text.char_space_factor = 0.1;
    lettering.general_text.aspect_ratio = 0.7;
    UF_CALL(UF_DRF_set_lettering_preferences(&lettering));
    drf_preferences saved_drf, drf;
    UF_CALL(UF_DRF_ask_preferences(saved_drf.mpi, saved_drf.mpr, saved_drf.radius_val, saved_drf.diameter_val));
    drf = saved_drf;
    drf.mpi[1] = 1;
    drf.mpi[16] = 1;
    drf.mpr[5] = 2.8;
    drf.mpr[27] = 20.0;
    UF_CALL(UF_DRF_set_preferences(drf.mpi, drf.mpr, drf.radius_val, drf.diameter_val));
    UF_DISP_drawing_display_t drawing_display = {};
    UF_CALL(UF_DISP_ask_drawing_display(&drawing_display));
    drawing_display.show_grid = 0;
    UF_CALL(UF_DISP_set_drawing_display(&drawing_display));
    UF_DRAW_view_info_t mr_view_info;
    UF_CALL(UF_DRAW_initialize_view_info(&mr_view_info));
    mr_view_info.view_scale = 0.01;

    view_dressing dressing;
    dressing.hidden = &hidden;
    dressing.erase = show_electrode != 0;
    const double refer_point[2] = {150.0, 105.0};
    *top_view_tag = NULL_TAG;
    UF_CALL(UF_DRAW_import_view(draw_tag, modl_top_view_tag, refer_point, &mr_view_info, top_view_tag));
    dressing.apply(*top_view_tag);
    UF_CALL(UF_DRAW_set_view_scale(*top_view_tag, layout.top_view_scale));
    UF_CALL(UF_DRAW_update_one_view(draw_tag, *top_view_tag));
    UF_CALL(UF_DRAW_set_drawing_ref_pt(draw_tag, *top_view_tag, layout.top_refer_point));

    *s_view_tag = NULL_TAG;
    UF_CALL(UF_DRAW_add_orthographic_view(draw_tag, *top_view_tag, UF_DRAW_project_below, layout.s_refer_point,
                                          s_view_tag));
    dressing.apply(*s_view_tag);

    if (iso_wanted) {
        tag_t iso_view_tag = NULL_TAG;
        UF_CALL(UF_DRAW_import_view(draw_tag, modl_iso_view_tag, refer_point, &mr_view_info, &iso_view_tag));
        dressing.apply(iso_view_tag);
        UF_CALL(UF_DRAW_set_view_scale(iso_view_tag, layout.iso_view_scale));
        UF_CALL(UF_DRAW_update_one_view(draw_tag, iso_view_tag));
        UF_CALL(UF_DRAW_set_drawing_ref_pt(draw_tag, iso_view_tag, layout.iso_refer_point));
    }

    // The drafting record was asked after the lettering changed and carries the general text's working size in the
    // entries the two records share: it goes back first, so that the lettering's own restore has the last word.
    UF_CALL(UF_DRF_set_preferences(saved_drf.mpi, saved_drf.mpr, saved_drf.radius_val, saved_drf.diameter_val));
    UF_CALL(UF_DRF_set_lettering_preferences(&saved_lettering));
    return 1;
}
