#include "quillon/elec_body_views.h"

#include "host/uf_call.h"
#include "host/uf_disp.h"
#include "host/uf_draw.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "host/uf_view.h"
#include "my_func/tag_array.h"
#include "quillon/elec_body_dims.h"
#include "quillon/model_view_lookup.h"

namespace {

/* The designer's construction on the electrode's layer: points, curves, coordinate systems, planes and other solid
 * bodies (the layer's copies of the electrode). The EDM point and the diagonal line are construction here too. */
bool is_construction(tag_t object) {
    int type = 0, subtype = -1;
    if (UF_OBJ_ask_type_and_subtype(object, &type, &subtype) != 0) return false;
    switch (type) {
        case UF_point_type:
        case UF_line_type:
        case UF_circle_type:
        case UF_spline_type:
        case UF_coordinate_system_type:
        case UF_plane_type:
            return true;
        case UF_solid_type:
            return subtype == UF_solid_body_subtype;
        default:
            return false;
    }
}

int collect_construction(int layer, tag_t elec_tag, tag_array *hidden) {
    tag_t object = NULL_TAG;
    while (UF_LAYER_cycle_by_layer(layer, &object) == 0 && object != NULL_TAG) {
        int displayable = 0;
        UF_CALL(UF_OBJ_is_displayable(object, &displayable));
        if (!displayable) continue;
        UF_OBJ_disp_props_t props = {};
        UF_CALL(UF_OBJ_ask_display_properties(object, &props));
        if (props.blank_status == UF_OBJ_BLANKED || object == elec_tag || !is_construction(object)) continue;
        if (!hidden->append(object)) {
            uc1601("MY_elec_view 子程式分配内存时出差错,这可能是可利用内存不够!", 1);
            return 0;
        }
    }
    return 1;
}

/* What a body view shows: no drawing layer (top and iso views), none of the construction. */
struct body_view_dressing {
    int layer_visi[UF_LAYER_MAX_LAYER];
    int ir2;
    bool have_layers;
    const tag_array *hidden;

    void hide_work_layer(const char *view_name) {
        if (!have_layers) {
            UF_CALL(uc6446(view_name, &ir2, layer_visi));
            int work_layer = 0;
            UF_CALL(UF_LAYER_ask_work_layer(&work_layer));
            if (work_layer >= 1 && work_layer <= UF_LAYER_MAX_LAYER) layer_visi[work_layer - 1] = 0;
            have_layers = true;
        }
        UF_CALL(uc6447(view_name, ir2, layer_visi));
    }
    void erase(const char *view_name) const {
        for (int i = 0; i < hidden->count; ++i) UF_CALL(uc6400(view_name, hidden->items[i]));
    }
};

void view_name_of(tag_t view, char view_name[UF_OBJ_NAME_BUFSIZE]) {
    view_name[0] = '\0';
    UF_CALL(UF_OBJ_ask_name(view, view_name));
}

}  // namespace

int MY_create_elec_body_view_and_ord(tag_t elec_tag, const elec_data *elec_data1) {
    if (elec_tag == NULL_TAG) {
        uc1601("elec_tag is null", 1);
        return 0;
    }
    elec_view_settings settings;
    if (!read_elec_view_settings(&settings)) return 0;

    UF_OBJ_disp_props_t elec_disp_prop = {};
    UF_CALL(UF_OBJ_ask_display_properties(elec_tag, &elec_disp_prop));
    UF_CALL(UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER));
    UF_CALL(UF_LAYER_set_status(elec_disp_prop.layer, UF_LAYER_ACTIVE_LAYER));
    tag_array hidden;
    if (!collect_construction(elec_disp_prop.layer, elec_tag, &hidden)) return 0;

    elec_view_choice choice;
    if (!choose_elec_views(elec_data1->elec_direction, elec_data1->elec_box_min, elec_data1->elec_box_max, &choice)) {
        uc1601("analy elec body dir err", 1);
        return 0;
    }
    elec_view_layout layout;
    layout_elec_views(&settings, &choice, &layout);
    const tag_t modl_top_view = find_model_view(choice.top_view_name);
    if (modl_top_view == NULL_TAG) {
        uc1601("MY_create_elec_body_view_and_ord 查找modl视图错误!", 1);
        return 0;
    }
    const tag_t modl_iso_view = find_model_view(choice.iso_view_name);
    if (modl_iso_view == NULL_TAG) {
        uc1601("MY_create_elec_body_view_and_ord 查找modl iso 视图错误!", 1);
        return 0;
    }

    UF_CALL(UF_DRAW_set_border_display(FALSE));
    UF_DRAW_view_info_t elec_view_info;
    UF_CALL(UF_DRAW_initialize_view_info(&elec_view_info));
    elec_view_info.view_scale = 0.01;
    UF_DISP_drawing_display_t drawing_display = {};
    UF_CALL(UF_DISP_ask_drawing_display(&drawing_display));
    if (drawing_display.show_grid == 1) {
        drawing_display.show_grid = 0;
        UF_CALL(UF_DISP_set_drawing_display(&drawing_display));
    }
    tag_t current_draw = NULL_TAG;
    UF_CALL(UF_DRAW_ask_current_drawing(&current_draw));

    const double refer_point[2] = {150.0, 105.0};
    body_view_dressing dressing = {};
    dressing.hidden = &hidden;
    char view_name[UF_OBJ_NAME_BUFSIZE];

    tag_t top_view_tag = NULL_TAG;
    UF_CALL(UF_DRAW_import_view(current_draw, modl_top_view, refer_point, &elec_view_info, &top_view_tag));
    view_name_of(top_view_tag, view_name);
    dressing.hide_work_layer(view_name);
    dressing.erase(view_name);
    // Visible edges only, silhouettes and smooth edges drawn, no surface grid, bodies hiding each other.
    UF_DRAW_view_prefs_t view_disp = {};
    UF_CALL(UF_DRAW_ask_view_display(top_view_tag, &view_disp));
    view_disp.hidden_line_removal = 1;
    view_disp.silhouettes = 1;
    view_disp.smooth_edges = 1;
    view_disp.hidden_by_other_bodies = 1;
    view_disp.uv_grid_lines = 0;
    view_disp.reserved_114 = 0;
    UF_CALL(UF_DRAW_set_view_display(top_view_tag, &view_disp));
    UF_CALL(UF_DRAW_set_view_scale(top_view_tag, layout.view_scale));
    UF_CALL(UF_DRAW_update_one_view(current_draw, top_view_tag));
    UF_CALL(UF_DRAW_set_drawing_ref_pt(current_draw, top_view_tag, layout.top_refer_point));

    tag_t side_view_tag = NULL_TAG;
    UF_CALL(
        UF_DRAW_add_orthographic_view(current_draw, top_view_tag, layout.ortho_proj_dir, refer_point, &side_view_tag));
    view_name_of(side_view_tag, view_name);
    dressing.erase(view_name);
    UF_CALL(UF_DRAW_update_one_view(current_draw, side_view_tag));
    UF_CALL(UF_DRAW_set_drawing_ref_pt(current_draw, side_view_tag, layout.side_refer_point));

    tag_t iso_view_tag = NULL_TAG;
    UF_CALL(UF_DRAW_import_view(current_draw, modl_iso_view, refer_point, &elec_view_info, &iso_view_tag));
    view_name_of(iso_view_tag, view_name);
    dressing.hide_work_layer(view_name);
    dressing.erase(view_name);
    UF_CALL(UF_DRAW_set_view_display(iso_view_tag, &view_disp));
    UF_CALL(UF_DRAW_set_view_scale(iso_view_tag, layout.iso_view_scale));
    UF_CALL(UF_DRAW_update_one_view(current_draw, iso_view_tag));
    UF_CALL(UF_DRAW_set_drawing_ref_pt(current_draw, iso_view_tag, layout.iso_refer_point));

    return MY_elec_body_dims(current_draw, top_view_tag, side_view_tag, side_view_tag, elec_data1->elec_direction,
                             layout.ortho_proj_dir, elec_data1->elec_box_min, elec_data1->elec_box_max,
                             *elec_data1) != 0;
}
