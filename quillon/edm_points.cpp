#include "quillon/edm_points.h"

#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/numeric_text.h"

namespace {

const double *reference_point(const elec_data *record) {
    return record->have_att_side_pt ? record->att_side_pt : record->elec_point;
}

/* The first point object on level at the reference point, compared to 3 decimals; null tag for none. */
tag_t matching_point(const elec_data *record, int level) {
    double wanted[3] = {reference_point(record)[0], reference_point(record)[1], reference_point(record)[2]};
    round_point(wanted);
    tag_t tag = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(level, &tag)) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = -1;
        UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
        if (type != UF_point_type) continue;
        double at[3] = {0, 0, 0};
        if (UF_CALL(UF_CURVE_ask_point_data(tag, at)) != 0) continue;
        round_point(at);
        if (at[0] == wanted[0] && at[1] == wanted[1] && at[2] == wanted[2]) return tag;
    }
    return NULL_TAG;
}

}  // namespace

int create_edm_point(const elec_data *record, int level) {
    if (matching_point(record, level) != NULL_TAG) return 1;
    // Model geometry is made only while the model is shown; the display stays there for the collection that follows.
    UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
    tag_t point = NULL_TAG;
    if (UF_CURVE_create_point(reference_point(record), &point) != 0) {
        uc1601(record->have_att_side_pt ? "构建edm点错误! att_side_pt " : "构建edm点错误! elec_point ", 1);
        return 0;
    }
    UF_CALL(UF_OBJ_set_layer(point, level));
    return 1;
}

int find_edm_point(tag_t *point, const elec_data *record, int level) {
    const tag_t found = matching_point(record, level);
    if (found == NULL_TAG) {
        uc1601("find_edm_point err!", 1);
        return 0;
    }
    *point = found;
    return 1;
}
