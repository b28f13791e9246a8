#include "quillon/collection.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/uf_call.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/check_notes.h"
#include "my_func/numeric_text.h"
#include "my_func/single_side.h"
#include "my_func1/body_analysis.h"
#include "quillon/edm_points.h"
#include "my_func/tag_array.h"

namespace {

const char *const no_memory_message = "无法分配内存,这可能是您的计算机内存不够的原因,程式将无法执行!";

bool is_visible_solid_body(tag_t tag) {
    int type = 0, subtype = -1;
    UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
    if (type != UF_solid_type || subtype != UF_solid_body_subtype) return false;
    int body_type = 0;
    UF_CALL(UF_MODL_ask_body_type(tag, &body_type));
    if (body_type != UF_MODL_SOLID_BODY) return false;
    UF_OBJ_disp_props_t props = {};
    props.blank_status = UF_OBJ_BLANKED;
    UF_CALL(UF_OBJ_ask_display_properties(tag, &props));
    return props.blank_status == UF_OBJ_NOT_BLANKED;
}

void show_layer_message(const char *format, int layer) {
    char message[512];
    snprintf(message, sizeof message, format, layer);
    uc1601(message, 1);
}

/* Copies may be placed turned by any multiple of 90 degrees about the axes, so the outlines are compared under the
 * six pairings of the axes. */
bool same_outline(const double size[3], const double previous[3]) {
    static const int pairings[6][3] = {{0, 1, 2}, {1, 0, 2}, {0, 2, 1}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}};
    for (const int *pairing : pairings) {
        bool agree = true;
        for (int i = 0; i < 3 && agree; ++i) agree = within_tolerance(size[i], previous[pairing[i]], 0.02);
        if (agree) return true;
    }
    return false;
}

/* The list under construction: appended at the tail, released whole when the collection fails. */
struct entry_list {
    elec_entry *head = NULL;
    elec_entry *tail = NULL;

    void append(elec_entry *entry) {
        if (tail == NULL)
            head = entry;
        else
            tail->next = entry;
        tail = entry;
    }
};

/* The bodies of one layer, appended to list. 0 after a message. */
int collect_layer(int layer, entry_list &list) {
    tag_array bodies;
    if (!layer_bodies(layer, bodies)) {
        uc1601(no_memory_message, 1);
        return 0;
    }
    char previous_name[80] = "";
    double previous_size[3] = {0, 0, 0};
    for (int i = 0; i < bodies.count; ++i) {
        const tag_t body = bodies.items[i];
        char name[80] = "";
        if (UF_OBJ_ask_name(body, name) != 0) name[0] = '\0';

        elec_entry *entry = new_elec_entry();
        if (entry == NULL) {
            uc1601(no_memory_message, 1);
            return 0;
        }
        if (!analyse_elec_body(body, &entry->data, layer, bodies.count, i + 1)) {
            free(entry);
            return 0;
        }
        entry->next = NULL;
        if (!create_edm_point(&entry->data, layer)) {
            free(entry);
            return 0;
        }
        list.append(entry);
        if (entry->data.have_att_side_pt && !check_single_side_touch(body)) return 0;

        double size[3];
        outline_size(&entry->data, size);
        if (i > 0 && (!check_copy_name(layer, name, previous_name) || !check_copy_outline(layer, size, previous_size)))
            return 0;
        snprintf(previous_name, sizeof previous_name, "%s", name);
        for (int k = 0; k < 3; ++k) previous_size[k] = size[k];
    }
    return 1;
}

}  // namespace

bool layer_bodies(int layer, tag_array &bodies) {
    tag_t tag = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(layer, &tag)) == 0 && tag != NULL_TAG)
        if (is_visible_solid_body(tag) && !bodies.append(tag)) return false;
    return true;
}

void outline_size(const elec_data *record, double size[3]) {
    for (int k = 0; k < 3; ++k) size[k] = round_decimals(record->elec_box_max[k] - record->elec_box_min[k], 3);
}

int check_copy_name(int layer, const char *name, const char *previous_name) {
    if (strcmp(name, previous_name) == 0) return 1;
    check_note(
        "layer %d: its bodies are copies of one electrode and must share one name, but one is %s%s%s and the "
        "one before it %s%s%s: name the copies alike, or move the other electrode to a layer of its own",
        layer, name[0] ? "'" : "", name[0] ? name : "unnamed", name[0] ? "'" : "", previous_name[0] ? "'" : "",
        previous_name[0] ? previous_name : "unnamed", previous_name[0] ? "'" : "");
    show_layer_message("第 %d 层中有多个铜公, 但铜公的名称却不相同(或有一个未命名)!请返回检查!", layer);
    return 0;
}

int check_copy_outline(int layer, const double size[3], const double previous_size[3]) {
    if (same_outline(size, previous_size)) return 1;
    char a[3 * NUMERIC_TEXT_SIZE], b[3 * NUMERIC_TEXT_SIZE];
    const double zero[3] = {0, 0, 0};
    check_note(
        "layer %d: copies of one electrode must have one outline within 0.02 mm, turned or not, but one body's "
        "box is %s mm and the one before it %s mm: move the other electrode to a layer of its own",
        layer, box_size_text(zero, size, a, sizeof a), box_size_text(zero, previous_size, b, sizeof b));
    show_layer_message("第 %d 层中有多个铜公, 但铜公外形数却不相同!请返回检查!", layer);
    return 0;
}

int collect_electrodes(int from_layer, int to_layer, elec_entry **head) {
    entry_list list;
    for (int layer = from_layer; layer <= to_layer; ++layer) {
        if (!collect_layer(layer, list)) {
            // Nobody else holds these entries once the collection fails.
            free_elec_list(list.head);
            return 0;
        }
    }
    *head = list.head;
    return 1;
}
