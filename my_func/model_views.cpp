// The five reversed model views, made once per part and kept in it.
#include "my_func/model_views.h"

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_draw.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "host/uf_view.h"

namespace {

struct reversed_view {
    const char *name;
    double axis[3];
    double angle;
};

const reversed_view reversed_views[] = {
    {"reve_iso", {0.0, 1.0, 0.0}, 180.0}, {"reve_s", {0.0, 1.0, 0.0}, -90.0},  {"reve_s_r", {0.0, 1.0, 0.0}, 90.0},
    {"reve_f", {1.0, 0.0, 0.0}, -90.0},   {"reve_f_r", {1.0, 0.0, 0.0}, 90.0},
};

int has_reve_iso(void) {
    tag_t found = NULL_TAG;
    return UF_OBJ_cycle_by_name("reve_iso", &found) == 0 && found != NULL_TAG;
}

}  // namespace

int prepare_model_views(void) {
    // "reve_iso" stands for all five: they are only ever made together.
    if (has_reve_iso()) return 1;

    int modl_state = 0;
    UF_CALL(UF_ask_application_module(&modl_state));
    if (modl_state != UF_APP_DRAFTING && modl_state != UF_APP_MODELING) {
        uc1601("此功能必需在MODELING或在DRAFTING模块下运行!", 1);
        return 0;
    }
    // Views are turned in the model; a displayed drawing is put aside meanwhile and shown again afterwards.
    int display_switched = 0;
    if (modl_state == UF_APP_DRAFTING) {
        int draw_state = 0;
        UF_CALL(UF_DRAW_ask_display_state(&draw_state));
        if (draw_state == UF_DRAW_DRAWING_DISPLAY) {
            UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
            display_switched = 1;
        }
    }
    const double center[3] = {0.0, 0.0, 0.0};
    for (const reversed_view &view : reversed_views) {
        uc6464("", "", "tfr-iso");
        UF_VIEW_rotate_view_abs_csys(NULL_TAG, center, view.axis, view.angle, 1);
        uc6450("", view.name, 1, 1);
    }
    // The user is left with the standard iso view.
    uc6464("", "", "tfr-iso");
    if (display_switched) UF_DRAW_set_display_state(UF_DRAW_DRAWING_DISPLAY);

    if (!has_reve_iso()) {
        uc1601("构建反向等角视图失败!", 1);
        return 0;
    }
    return 1;
}
