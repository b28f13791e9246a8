// The checks behind the dialog's OK: layer numbers first, then what the layers hold.
#include "quillon/validation.h"

#include <cstdio>
#include <cstring>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/check_notes.h"

namespace {

int in_range(int layer, const char *field, const char *message) {
    if (layer >= 1 && layer <= UF_LAYER_MAX_LAYER) return 1;
    check_note("field %s is %d, but layers run from 1 to %d", field, layer, UF_LAYER_MAX_LAYER);
    uc1601(message, 1);
    return 0;
}

// Whether the object is a solid (not sheet) body. Wrapped calls leave their outputs as they were on failure, so the
// outputs start at values that mean "not a solid body".
int is_solid_body(tag_t object) {
    int type = 0, subtype = -1;
    UF_CALL(UF_OBJ_ask_type_and_subtype(object, &type, &subtype));
    if (type != UF_solid_type || subtype != UF_solid_body_subtype) return 0;
    int body_type = 0;
    UF_CALL(UF_MODL_ask_body_type(object, &body_type));
    return body_type == UF_MODL_SOLID_BODY;
}

struct body_count {
    int solids;
    int visible;
};

// Counts the solid bodies of a layer and whether one is visible; stops at the first visible one when asked to.
void count_solids(int layer, body_count *count, int stop_at_visible) {
    tag_t object = NULL_TAG;
    while (UF_LAYER_cycle_by_layer(layer, &object) == 0 && object != NULL_TAG) {
        if (!is_solid_body(object)) continue;
        UF_OBJ_disp_props_t props = {};
        UF_CALL(UF_OBJ_ask_display_properties(object, &props));
        ++count->solids;
        if (props.blank_status == UF_OBJ_NOT_BLANKED) {
            ++count->visible;
            if (stop_at_visible) return;
        }
    }
}

}  // namespace

int check_mr_layer_range(int mr_layer) {
    return in_range(mr_layer, "INT_0 (the core layer)", "'模仁层' 的范围只能为 1 到 256, 输入错误!");
}

int check_elec_from_range(int elec_layer_from) {
    return in_range(elec_layer_from, "INT_1 (the first electrode layer)",
                    "'铜公层--从' 的范围只能为 1 到 256, 输入错误!");
}

int check_elec_to_range(int elec_layer_to) {
    return in_range(elec_layer_to, "INT_2 (the last electrode layer)", "'铜公层--到' 的范围只能为 1 到 256, 输入错误!");
}

int check_elec_range_order(int elec_layer_from, int elec_layer_to) {
    if (elec_layer_from <= elec_layer_to) return 1;
    check_note(
        "the electrode layers run from %d (field INT_1) to %d (field INT_2): the first must not be above the last",
        elec_layer_from, elec_layer_to);
    uc1601("'铜公层--从' 不能大于 '铜公层--到', 输入错误!", 1);
    return 0;
}

int check_core_outside_elec_range(int mr_layer, int elec_layer_from, int elec_layer_to) {
    if (mr_layer < elec_layer_from || mr_layer > elec_layer_to) return 1;
    check_note(
        "the core layer %d (field INT_0) lies within the electrode layers %d to %d (fields INT_1, INT_2): give a range "
        "that leaves the core layer out",
        mr_layer, elec_layer_from, elec_layer_to);
    uc1601("模仁层不能包含铜公层, 输入错误!", 1);
    return 0;
}

int check_sheet_layer_range(int sheet_layer) {
    return in_range(sheet_layer, "INT_4 (the drawing layer)", "'存放放电数图纸层' 的范围只能为 1 到 256,输入错误!");
}

// The drawing layer becomes the work layer and is left out of every view: on the core's or an electrode's layer it
// would take the core or the electrode out of every sheet.
int check_sheet_layer_apart(int sheet_layer, int mr_layer, int elec_layer_from, int elec_layer_to) {
    if (sheet_layer != mr_layer && (sheet_layer < elec_layer_from || sheet_layer > elec_layer_to)) return 1;
    check_note(
        "the drawing layer %d (field INT_4) is the core layer %d or one of the electrode layers %d to %d: give the "
        "sheets a layer of their own",
        sheet_layer, mr_layer, elec_layer_from, elec_layer_to);
    uc1601("'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!", 1);
    return 0;
}

int check_core_layer(int mr_layer) {
    body_count count = {0, 0};
    count_solids(mr_layer, &count, 0);
    if (count.solids == 0) {
        check_note(
            "core layer %d holds no solid body: put the mould core on it, or give the core's layer (field INT_0)",
            mr_layer);
        uc1601("错误! 你所输入的模仁层中没有实体!", 1);
        return 0;
    }
    if (count.visible == 0) {
        check_note("core layer %d: all %d of its solid bodies are hidden: show the core", mr_layer, count.solids);
        uc1601("错误! 你把模仁层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!", 1);
        return 0;
    }
    return 1;
}

int check_elec_layers(int elec_layer_from, int elec_layer_to) {
    body_count count = {0, 0};
    for (int layer = elec_layer_from; layer <= elec_layer_to && count.visible == 0; ++layer)
        count_solids(layer, &count, 1);
    if (count.solids == 0) {
        check_note(
            "the electrode layers %d to %d (fields INT_1, INT_2) hold no solid body: give the layers of the "
            "electrodes",
            elec_layer_from, elec_layer_to);
        uc1601("错误! 你所输入的铜公层中没有实体!", 1);
        return 0;
    }
    if (count.visible == 0) {
        check_note("every solid body on the electrode layers %d to %d is hidden: show the electrodes", elec_layer_from,
                   elec_layer_to);
        uc1601("错误! 你把铜公层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!", 1);
        return 0;
    }
    return 1;
}

int check_elec_named(tag_t body, int layer) {
    char name[UF_OBJ_NAME_BUFSIZE] = "";
    if (UF_OBJ_ask_name(body, name) == 0) return 1;
    check_note(
        "layer %d: a visible electrode body has no name, and unnamed electrodes are refused (field TOGGLE_10): "
        "name the body",
        layer);
    char message[256];
    std::snprintf(message, sizeof message,
                  "检测到第%d层中有铜公未命名,请用铜公命名功能*给未命名的铜公命名后再用此功能!", layer);
    uc1601(message, 1);
    return 0;
}

int check_unnamed_elecs(int elec_layer_from, int elec_layer_to) {
    for (int layer = elec_layer_from; layer <= elec_layer_to; ++layer) {
        tag_t object = NULL_TAG;
        while (UF_LAYER_cycle_by_layer(layer, &object) == 0 && object != NULL_TAG) {
            UF_OBJ_disp_props_t props = {};
            UF_CALL(UF_OBJ_ask_display_properties(object, &props));
            if (props.blank_status == UF_OBJ_BLANKED) continue;
            if (!is_solid_body(object)) continue;
            if (!check_elec_named(object, layer)) return 0;
        }
    }
    return 1;
}

namespace {

/* Appends "a" or "a–b" for a run of layers, with a comma before all but the first. */
void append_layer_run(char *text, size_t size, int first, int last) {
    const size_t used = std::strlen(text);
    if (used + 1 >= size) return;
    if (first == last)
        std::snprintf(text + used, size - used, "%s%d", used ? ", " : "", first);
    else
        std::snprintf(text + used, size - used, "%s%d–%d", used ? ", " : "", first, last);
}

}  // namespace

int tell_layers_outside_range(int mr_layer, int sheet_layer, int elec_layer_from, int elec_layer_to) {
    char runs[400] = "";
    int count = 0, run_first = 0, run_last = 0;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        if (layer == mr_layer || layer == sheet_layer || (layer >= elec_layer_from && layer <= elec_layer_to)) continue;
        body_count bodies = {0, 0};
        count_solids(layer, &bodies, 1);
        if (bodies.visible == 0) continue;
        ++count;
        if (run_first != 0 && layer == run_last + 1) {
            run_last = layer;
            continue;
        }
        if (run_first != 0) append_layer_run(runs, sizeof runs, run_first, run_last);
        run_first = run_last = layer;
    }
    if (count == 0) return 0;
    append_layer_run(runs, sizeof runs, run_first, run_last);
    const bool several = count > 1 || std::strchr(runs, ',') != NULL;
    char message[512];
    std::snprintf(message, sizeof message, "%s %s %s solids outside the electrode range %d–%d",
                  several ? "layers" : "layer", runs, several ? "hold" : "holds", elec_layer_from, elec_layer_to);
    uc1601(message, 1);
    return count;
}
