#include "my_func/single_side.h"

#include <math.h>
#include <stdio.h>

#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/basic_analysis.h"
#include "my_func/check_notes.h"
#include "my_func/elec_record.h"
#include "my_func/numeric_text.h"

int check_single_side_touch(tag_t body) {
    elec_data record;
    init_elec_data(&record);
    if (!analyse_elec_body_basic(body, &record)) return 0;
    if (!record.have_att_side_pt) {
        uc1601("铜公设有单边碰的属性!", 1);
        return 0;
    }
    double wanted[3] = {record.att_side_pt[0], record.att_side_pt[1], record.att_side_pt[2]};
    round_point(wanted);

    UF_OBJ_disp_props_t props = {};
    UF_CALL(UF_OBJ_ask_display_properties(body, &props));
    tag_t tag = NULL_TAG;
    double nearest = -1.0;
    while (UF_CALL(UF_LAYER_cycle_by_layer(props.layer, &tag)) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = -1;
        UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
        if (type != UF_circle_type) continue;
        UF_CURVE_arc_t arc = {};
        if (UF_CALL(UF_CURVE_ask_arc_data(tag, &arc)) != 0) continue;
        round_point(arc.arc_center);
        double squared = 0.0;
        for (int k = 0; k < 3; ++k) squared += (arc.arc_center[k] - wanted[k]) * (arc.arc_center[k] - wanted[k]);
        if (nearest < 0.0 || squared < nearest * nearest) nearest = sqrt(squared);
        if (arc.arc_center[0] == wanted[0] && arc.arc_center[1] == wanted[1] && arc.arc_center[2] == wanted[2])
            return 1;
    }
    char at[3 * NUMERIC_TEXT_SIZE], gap[NUMERIC_TEXT_SIZE];
    point_text(wanted, at, sizeof at);
    if (nearest < 0.0)
        check_note(
            "layer %d: the touch point %s (attributes s_x, s_y, s_z) needs a circle centred on it on the layer, "
            "and the layer holds none: draw the touch circle, or assign the touch point again",
            props.layer, at);
    else
        check_note(
            "layer %d: the touch point %s (attributes s_x, s_y, s_z) is %s mm from the nearest circle's centre; "
            "allowed 0: assign the touch point again after moving the electrode",
            props.layer, at, format_trimmed(nearest, 3, gap, sizeof gap));
    char message[512];
    snprintf(message, sizeof message,
             "第 %d 层中的铜公单边碰数错误(或没有圆对应)!这可能是你移动了铜公*却没有重新给铜公附加单边碰数造成的,"
             "请重新给铜公附加单边碰数!",
             props.layer);
    uc1601(message, 1);
    return 0;
}
