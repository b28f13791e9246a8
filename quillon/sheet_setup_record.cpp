#include "quillon/sheet_setup_record.h"

#include <cstdio>
#include <cstring>

#include "host/sheet_setup.h"
#include "host/uf.h"
#include "host/uf_attr.h"
#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_obj.h"
#include "my_func/config_reader.h"
#include "my_func1/elec_attr_texts.h"
#include "my_func1/elec_defaults.h"
#include "quillon/center_lines.h"
#include "quillon/copy_rotation.h"
#include "quillon/spark_gap_notes.h"

namespace {

void put_integer(tag_t drawing, const char *title, int number) {
    UF_ATTR_value_t value = {};
    value.type = UF_ATTR_integer;
    value.value.integer = number;
    UF_CALL(UF_ATTR_assign(drawing, title, value));
}

void put_real(tag_t drawing, const char *title, double number) {
    UF_ATTR_value_t value = {};
    value.type = UF_ATTR_real;
    value.value.real = number;
    UF_CALL(UF_ATTR_assign(drawing, title, value));
}

/* An empty text is a cell the sheet leaves blank: no attribute then. */
void put_text(tag_t drawing, const char *title, const char *text) {
    if (text[0] == '\0') return;
    UF_ATTR_value_t value = {};
    value.type = UF_ATTR_string;
    value.value.string = const_cast<char *>(text);
    UF_CALL(UF_ATTR_assign(drawing, title, value));
}

/* The spark gaps and counts as the sheet's notes show them: the body's own values, or the defaults for a body that
 * has none of the eight (the same choice the notes make). */
void record_spark_gaps(tag_t drawing, tag_t elec_tag) {
    elec_attr_texts texts;
    read_elec_attr_texts(elec_tag, &texts);
    int any = 0;
    for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot)
        if (texts.text[slot][0] != '\0') any = 1;
    if (!any) {
        const elec_defaults *d = &the_elec_defaults;
        put_text(drawing, SHEET_SETUP_ROUGH_GAP, d->elec_rough_space);
        put_text(drawing, SHEET_SETUP_FINISH_GAP, d->elec_finish_space);
        put_text(drawing, SHEET_SETUP_ROUGH_COUNT, d->elec_rough_number);
        put_text(drawing, SHEET_SETUP_FINISH_COUNT, d->elec_finish_number);
        return;
    }
    const char *const titles[ELEC_ATTR_SLOTS] = {
        SHEET_SETUP_ROUGH_GAP,   SHEET_SETUP_FINISH_GAP,   SHEET_SETUP_ROUGH_COUNT,   SHEET_SETUP_FINISH_COUNT,
        SHEET_SETUP_T_ROUGH_GAP, SHEET_SETUP_T_FINISH_GAP, SHEET_SETUP_T_ROUGH_COUNT, SHEET_SETUP_T_FINISH_COUNT};
    for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot) put_text(drawing, titles[slot], texts.text[slot]);
}

/* The free-text note, cut as the sheet cuts it. */
void record_note(tag_t drawing, tag_t elec_tag) {
    int found_type = 0;
    UF_CALL(UF_ATTR_find_attribute(elec_tag, UF_ATTR_string, "ELEC_NOTE", &found_type));
    if (found_type == 0) return;
    UF_ATTR_value_t value = {};
    UF_CALL(UF_ATTR_read_value(elec_tag, "ELEC_NOTE", UF_ATTR_any, &value));
    char note_text[ELEC_NOTE_TEXT_LEN + 1] = "";
    if (value.type == UF_ATTR_string && value.value.string != NULL) {
        copy_text_cut(note_text, sizeof note_text, value.value.string);
        UF_free(value.value.string);
    }
    put_text(drawing, SHEET_SETUP_NOTE, note_text);
}

/* The EDM point from the origin the position dimensions measure from, and where it lies in the model. */
void record_edm_point(tag_t drawing, tag_t edm_point_tag) {
    double point[3] = {0.0, 0.0, 0.0}, origin[3] = {0.0, 0.0, 0.0};
    if (UF_CALL(UF_CURVE_ask_point_data(edm_point_tag, point)) != 0) return;
    if (ori_point != NULL_TAG) UF_CALL(UF_CURVE_ask_point_data(ori_point, origin));
    put_real(drawing, SHEET_SETUP_EDM_X, point[0] - origin[0]);
    put_real(drawing, SHEET_SETUP_EDM_Y, point[1] - origin[1]);
    put_real(drawing, SHEET_SETUP_EDM_Z, point[2] - origin[2]);
    put_real(drawing, SHEET_SETUP_EDM_MODEL_X, point[0]);
    put_real(drawing, SHEET_SETUP_EDM_MODEL_Y, point[1]);
    put_real(drawing, SHEET_SETUP_EDM_MODEL_Z, point[2]);
}

/* The farthest a box reaches along an axis direction (a unit vector along one model axis). */
double reach_along(const double box_min[3], const double box_max[3], const double axis[3]) {
    double reach = 0.0;
    for (int k = 0; k < 3; ++k) reach += axis[k] * (axis[k] > 0.0 ? box_max[k] : box_min[k]);
    return reach;
}

/* How far the electrode burns past the depth-zero plane: from the core's face on the side the electrode comes from
 * (the side its base faces) to the electrode's far end, along the way it burns. */
void record_depth(tag_t drawing, const elec_data *e, const double core_min[3], const double core_max[3]) {
    double axis[3], away[3];
    if (!burn_axis(e->elec_direction, axis)) return;
    for (int k = 0; k < 3; ++k) away[k] = -axis[k];
    put_real(drawing, SHEET_SETUP_DEPTH,
             reach_along(core_min, core_max, axis) + reach_along(e->elec_box_min, e->elec_box_max, away));
}

}  // namespace

int record_sheet_setup(tag_t drawing, const elec_entry *entry, tag_t edm_point_tag, tag_t top_view,
                       const elec_data *first_copy, const double core_min[3], const double core_max[3]) {
    const elec_data *e = &entry->data;
    put_integer(drawing, SHEET_SETUP_PAGE, entry->sheet_no);
    put_integer(drawing, SHEET_SETUP_PAGES, entry->sheet_count);
    put_integer(drawing, SHEET_SETUP_LAYER, e->elec_layer);
    put_integer(drawing, SHEET_SETUP_PLACE, e->elec_layer_index);
    put_integer(drawing, SHEET_SETUP_PLACES, e->elec_layer_count);
    put_integer(drawing, SHEET_SETUP_DIRECTION, e->elec_direction);
    put_integer(drawing, SHEET_SETUP_CHAMFER, e->chamfer_corner);
    // The point the position dimensions locate: the touch point where the body has one (the EDM point is made there).
    put_integer(drawing, SHEET_SETUP_EDM_TOUCH, e->have_att_side_pt ? 1 : 0);
    char view_name[UF_OBJ_NAME_BUFSIZE] = "";
    if (top_view != NULL_TAG && UF_CALL(UF_OBJ_ask_name(top_view, view_name)) == 0)
        put_text(drawing, SHEET_SETUP_TOP_VIEW, view_name);
    double turn = 0.0;
    if (first_copy != NULL && copy_rotation(first_copy, e, &turn)) put_real(drawing, SHEET_SETUP_ROTATION, turn);

    char name[UF_OBJ_NAME_BUFSIZE] = "";
    if (UF_OBJ_ask_name(e->elec_tag, name) != 0) std::snprintf(name, sizeof name, "%s", "无");
    put_text(drawing, SHEET_SETUP_NAME, name);
    record_spark_gaps(drawing, e->elec_tag);
    record_note(drawing, e->elec_tag);
    record_edm_point(drawing, edm_point_tag);
    record_depth(drawing, e, core_min, core_max);

    put_real(drawing, SHEET_SETUP_BOX_X, e->elec_box_max[0] - e->elec_box_min[0]);
    put_real(drawing, SHEET_SETUP_BOX_Y, e->elec_box_max[1] - e->elec_box_min[1]);
    put_real(drawing, SHEET_SETUP_BOX_Z, e->elec_box_max[2] - e->elec_box_min[2]);
    if (!e->not_have_base) {
        put_real(drawing, SHEET_SETUP_WORK_X, e->elec_body_max[0] - e->elec_body_min[0]);
        put_real(drawing, SHEET_SETUP_WORK_Y, e->elec_body_max[1] - e->elec_body_min[1]);
        put_real(drawing, SHEET_SETUP_WORK_Z, e->elec_body_max[2] - e->elec_body_min[2]);
    }
    return 1;
}
