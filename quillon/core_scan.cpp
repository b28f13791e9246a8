#include "quillon/core_scan.h"

#include <stdlib.h>

#include "host/uf_call.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_types.h"
#include "host/uf_ui.h"
#include "my_func/extents.h"
#include "my_func/tag_array.h"

namespace {

bool is_solid_body(tag_t tag) {
    int type = 0, subtype = -1;
    UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
    if (type != UF_solid_type || subtype != UF_solid_body_subtype) return false;
    int body_type = 0;
    UF_CALL(UF_MODL_ask_body_type(tag, &body_type));
    return body_type == UF_MODL_SOLID_BODY;
}

int blank_status(tag_t body) {
    UF_OBJ_disp_props_t props = {};
    props.blank_status = UF_OBJ_BLANKED;
    UF_CALL(UF_OBJ_ask_display_properties(body, &props));
    return props.blank_status;
}

}  // namespace

int scan_core_layer(int mr_layer, double mr_min[3], double mr_max[3]) {
    if (mr_layer < 1 || mr_layer > UF_LAYER_MAX_LAYER) {
        uc1601("模仁层超出了 1--256 的范围!", 1);
        return 0;
    }
    tag_array mr_tag;
    tag_t tag = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(mr_layer, &tag)) == 0 && tag != NULL_TAG) {
        if (is_solid_body(tag) && !mr_tag.append(tag)) {
            uc1601("无法分配内存,这可能是您的计算机内存不够的原因,程式将无法执行!", 1);
            return 0;
        }
    }
    bool measured = false;
    for (int i = 0; i < mr_tag.count; ++i) {
        const tag_t body = mr_tag.items[i];
        // A lone core is the one to draw even when it was hidden; among several, a hidden one was hidden on purpose.
        if (mr_tag.count == 1 && blank_status(body) == UF_OBJ_BLANKED)
            UF_CALL(UF_OBJ_set_blank_status(body, UF_OBJ_NOT_BLANKED));
        if (blank_status(body) != UF_OBJ_NOT_BLANKED) continue;
        double lo[3], hi[3];
        if (!MY_solid_box_iso(body, lo, hi)) return 0;
        for (int k = 0; k < 3; ++k) {
            if (!measured || lo[k] < mr_min[k]) mr_min[k] = lo[k];
            if (!measured || hi[k] > mr_max[k]) mr_max[k] = hi[k];
        }
        measured = true;
    }
    if (mr_tag.count == 0) {
        uc1601("模仁层中没有模仁", 1);
        return 0;
    }
    // Every core body hidden: there is no box to place the views by.
    if (!measured) {
        uc1601("错误! 你把模仁层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!", 1);
        return 0;
    }
    return 1;
}
