#include "quillon/ordinate_switches.h"

#include "my_func/config_reader.h"
#include "quillon/core_ordinates.h"

namespace {

/* What a switch keeps when its key has no value: the origin's starts at -1, which draws it, the others at 0. */
const top_ordinate_switches UNREAD_TOP = {-1, 0, 0, 0, 0, 0, 0, 0};
const front_ordinate_switches UNREAD_FRONT = {-1, 0, 0, 0};
top_ordinate_switches stored_top = UNREAD_TOP;
front_ordinate_switches stored_front = UNREAD_FRONT;
bool top_read = false;
bool front_read = false;

struct key_cell {
    const char *key;
    int *cell;
};

/* Reads every key in order into its cell, each value cut to an integer; a key without a value leaves its cell. */
int read_switches(const key_cell *keys, int count) {
    for (int i = 0; i < count; ++i) {
        double value = *keys[i].cell;
        if (!read_config_number(keys[i].key, &value)) return 0;
        *keys[i].cell = static_cast<int>(value);
    }
    return 1;
}

}  // namespace

int read_top_ordinate_switches(top_ordinate_switches *out) {
    if (!top_read) {
        top_ordinate_switches read = UNREAD_TOP;
        const key_cell keys[] = {
            {"mr_top_view_ori_dim_y_0:", &read.y_0},     {"mr_top_view_ori_dim_y_edm:", &read.y_edm},
            {"mr_top_view_ori_dim_y_min:", &read.y_min}, {"mr_top_view_ori_dim_y_max:", &read.y_max},
            {"mr_top_view_ori_dim_x_0:", &read.x_0},     {"mr_top_view_ori_dim_x_edm:", &read.x_edm},
            {"mr_top_view_ori_dim_x_min:", &read.x_min}, {"mr_top_view_ori_dim_x_max:", &read.x_max},
        };
        if (!read_switches(keys, 8)) return 0;
        stored_top = read;
        top_read = true;
    }
    *out = stored_top;
    return 1;
}

int read_front_ordinate_switches(front_ordinate_switches *out) {
    if (!front_read) {
        front_ordinate_switches read = UNREAD_FRONT;
        const key_cell keys[] = {
            {"mr_front_view_ori_dim_y_0:", &read.y_0},
            {"mr_front_view_ori_dim_y_edm:", &read.y_edm},
            {"mr_front_view_ori_dim_y_min:", &read.y_min},
            {"mr_front_view_ori_dim_y_max:", &read.y_max},
        };
        if (!read_switches(keys, 4)) return 0;
        stored_front = read;
        front_read = true;
    }
    *out = stored_front;
    return 1;
}

void reset_core_ordinate_switches(void) {
    stored_top = UNREAD_TOP;
    stored_front = UNREAD_FRONT;
    top_read = front_read = false;
}
