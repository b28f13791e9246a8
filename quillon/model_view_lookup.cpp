#include "quillon/model_view_lookup.h"

#include <cstddef>

#include "host/uf_call.h"
#include "host/uf_obj.h"

tag_t find_model_view(const char *name) {
    if (name == NULL) return NULL_TAG;
    tag_t tag = NULL_TAG;
    while (UF_OBJ_cycle_by_name(name, &tag) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = -1;
        UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
        if (type == UF_view_type && subtype == UF_view_normal_subtype) return tag;
    }
    return NULL_TAG;
}
