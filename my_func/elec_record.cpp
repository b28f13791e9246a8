#include "my_func/elec_record.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/uf_call.h"
#include "host/uf_ui.h"

int init_elec_data(elec_data *record) {
    record->elec_tag = NULL_TAG;
    record->ling_tag = NULL_TAG;
    record->elec_direction = 0;
    for (int i = 0; i < 3; ++i) {
        record->elec_point[i] = 0.0;
        record->elec_box_min[i] = 0.0;
        record->elec_box_max[i] = 0.0;
        record->att_side_pt[i] = 0.0;
    }
    record->have_att_side_pt = false;
    record->not_have_base = false;
    return 1;
}

namespace {

const char *direction_line(int direction) {
    switch (direction) {
        case ELEC_DIR_T:
            return "\nelec_direction: \tt";
        case ELEC_DIR_NEG_T:
            return "\nelec_direction: \t-t";
        case ELEC_DIR_F:
            return "\nelec_direction: \tf";
        case ELEC_DIR_NEG_F:
            return "\nelec_direction: \t-f";
        case ELEC_DIR_S:
            return "\nelec_direction: \ts";
        case ELEC_DIR_NEG_S:
            return "\nelec_direction: \t-s";
        default:
            return NULL;
    }
}

void list_point(const char *label, const double point[3]) {
    char line[256];
    snprintf(line, sizeof line, "\n%s : \tx: %f\n\t\t\ty: %f\n\t\t\tz: %f", label, point[0], point[1], point[2]);
    UF_CALL(UF_UI_write_listing_window(line));
}

}  // namespace

int list_elec_data(const elec_data *record) {
    if (record == NULL) {
        uc1601("传过来的指针为一个空指针,不能显示 elec_data 结构信息", 1);
        return 0;
    }
    if (record->elec_tag == NULL_TAG) {
        uc1601("elec_tag 为空的", 1);
        return 0;
    }
    UF_CALL(UF_UI_open_listing_window());
    UF_CALL(
        UF_UI_write_listing_window(record->not_have_base ? "\nnot_have_base: \ttrue" : "\nnot_have_base: \t false"));
    char line[64];
    snprintf(line, sizeof line, "\nelec_tag: \t\t%u", record->elec_tag);
    UF_CALL(UF_UI_write_listing_window(line));
    snprintf(line, sizeof line, "\nling_tag: \t\t%u", record->ling_tag);
    UF_CALL(UF_UI_write_listing_window(line));
    if (const char *direction = direction_line(record->elec_direction)) UF_CALL(UF_UI_write_listing_window(direction));
    list_point("elec_box_min", record->elec_box_min);
    list_point("elec_box_max", record->elec_box_max);
    list_point("elec_point", record->elec_point);
    if (record->have_att_side_pt)
        list_point("att_side_pt", record->att_side_pt);
    else
        UF_CALL(UF_UI_write_listing_window("\nhave_att_side_pt: \tfalse"));
    return 1;
}

elec_entry *new_elec_entry(void) { return static_cast<elec_entry *>(calloc(1, sizeof(elec_entry))); }

void free_elec_list(elec_entry *head) {
    while (head != NULL) {
        elec_entry *next = head->next;
        free(head);
        head = next;
    }
}
