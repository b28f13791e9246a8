#include "my_func1/elec_attr_texts.h"

#include <cstdio>
#include <cstring>

#include "host/uf.h"
#include "host/uf_attr.h"
#include "host/uf_call.h"
#include "my_func/numeric_text.h"

namespace {

struct attr_slot {
    const char *title;
    int type; /* UF_ATTR_real: a spark gap; UF_ATTR_integer: a count */
};

const attr_slot slots[ELEC_ATTR_SLOTS] = {
    {"ELEC_ROUGH_SPACE", UF_ATTR_real},       {"ELEC_FINISH_SPACE", UF_ATTR_real},
    {"elec_rough_number", UF_ATTR_integer},   {"elec_finish_number", UF_ATTR_integer},
    {"T_ELEC_ROUGH_SPACE", UF_ATTR_real},     {"T_ELEC_FINISH_SPACE", UF_ATTR_real},
    {"t_elec_rough_number", UF_ATTR_integer}, {"t_elec_finish_number", UF_ATTR_integer},
};

}  // namespace

const char *elec_attr_title(int slot, int *type) {
    if (slot < 0 || slot >= ELEC_ATTR_SLOTS) return NULL;
    if (type != NULL) *type = slots[slot].type;
    return slots[slot].title;
}

int read_elec_attr_texts(tag_t solid, elec_attr_texts *texts) {
    std::memset(texts, 0, sizeof *texts);
    for (int i = 0; i < ELEC_ATTR_SLOTS; ++i) {
        int attr_type = 0;
        UF_CALL(UF_ATTR_find_attribute(solid, slots[i].type, slots[i].title, &attr_type));
        if (attr_type == 0) continue;
        UF_ATTR_value_t elec_attr_value = {};
        UF_CALL(UF_ATTR_read_value(solid, slots[i].title, UF_ATTR_any, &elec_attr_value));
        char *out = texts->text[i];
        if (elec_attr_value.type == UF_ATTR_real)
            format_decimals(elec_attr_value.value.real, 2, out, ELEC_ATTR_TEXT_LEN + 1);
        else if (elec_attr_value.type == UF_ATTR_integer)
            std::snprintf(out, ELEC_ATTR_TEXT_LEN + 1, "%d", elec_attr_value.value.integer);
        else if (elec_attr_value.type == UF_ATTR_string)
            UF_free(elec_attr_value.value.string);  // found as a number a moment ago: nothing to write from a text
    }
    return 1;
}
