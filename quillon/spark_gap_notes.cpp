#include "quillon/spark_gap_notes.h"

#include <cstdio>

#include "host/uf.h"
#include "host/uf_attr.h"
#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "my_func/config_reader.h"
#include "my_func1/elec_attr_texts.h"
#include "my_func1/elec_defaults.h"
#include "quillon/drf_preferences.h"
#include "quillon/sheet_notes.h"

namespace {

#define POSITIONS_UNREAD -1.0
#define SPECIAL_LINE_PITCH 5.0

/* Note positions in sheet millimetres, read from config.def on the first sheet of a run. */
struct note_positions {
    double elec_r_space_note_point_x = POSITIONS_UNREAD;
    double elec_r_space_note_point_y = 0;
    double elec_f_space_note_point_x = 0;
    double elec_f_space_note_point_y = 0;
    double elec_r_count_note_point_x = 0;
    double elec_r_count_note_point_y = 0;
    double elec_f_count_note_point_x = 0;
    double elec_f_count_note_point_y = 0;
    double t_elec_note_point_x = 0;
    double t_elec_note_point_y = 0;
    double note_point_x = 0;
    double note_point_y = 0;
};

note_positions positions;

int read_positions(void) {
    const config_cell keys[] = {
        {"elec_r_space_note_point_x:", &positions.elec_r_space_note_point_x},
        {"elec_r_space_note_point_y:", &positions.elec_r_space_note_point_y},
        {"elec_f_space_note_point_x:", &positions.elec_f_space_note_point_x},
        {"elec_f_space_note_point_y:", &positions.elec_f_space_note_point_y},
        {"elec_r_count_note_point_x:", &positions.elec_r_count_note_point_x},
        {"elec_r_count_note_point_y:", &positions.elec_r_count_note_point_y},
        {"elec_f_count_note_point_x:", &positions.elec_f_count_note_point_x},
        {"elec_f_count_note_point_y:", &positions.elec_f_count_note_point_y},
        {"t_elec_note_point_x:", &positions.t_elec_note_point_x},
        {"t_elec_note_point_y:", &positions.t_elec_note_point_y},
        {"note_point_x:", &positions.note_point_x},
        {"note_point_y:", &positions.note_point_y},
    };
    return read_config_cells(keys, sizeof keys / sizeof keys[0]);
}

/* One value in its cell: a format with one %s. */
void value_note(const char *format, const char *value, double x, double y) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    note_at(text, x, y);
}

/* The special electrodes' lines go one under the other from the block's first position. */
void special_note(const char *format, const char *value, double cursor[2]) {
    value_note(format, value, cursor[0], cursor[1]);
    cursor[1] -= SPECIAL_LINE_PITCH;
}

/* Notes of the attributes the body has; 1 when it had at least one. */
int write_attr_notes(const elec_attr_texts *texts) {
    const note_positions &p = positions;
    const char(*t)[ELEC_ATTR_TEXT_LEN + 1] = texts->text;
    double cursor[2] = {p.t_elec_note_point_x, p.t_elec_note_point_y};
    int found = 0;
    for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot) {
        if (t[slot][0] == '\0') continue;
        found = 1;
        switch (slot) {
            case ELEC_ATTR_ROUGH_SPACE:
                value_note("%s/s", t[slot], p.elec_r_space_note_point_x, p.elec_r_space_note_point_y);
                break;
            case ELEC_ATTR_FINISH_SPACE:
                value_note("%s/s", t[slot], p.elec_f_space_note_point_x, p.elec_f_space_note_point_y);
                break;
            case ELEC_ATTR_ROUGH_NUMBER:
                value_note("%s", t[slot], p.elec_r_count_note_point_x, p.elec_r_count_note_point_y);
                break;
            case ELEC_ATTR_FINISH_NUMBER:
                value_note("%s", t[slot], p.elec_f_count_note_point_x, p.elec_f_count_note_point_y);
                break;
            case ELEC_ATTR_T_ROUGH_SPACE:
                special_note("特粗公火花位:%s/s", t[slot], cursor);
                break;
            case ELEC_ATTR_T_FINISH_SPACE:
                special_note("特精公火花位:%s/s", t[slot], cursor);
                break;
            case ELEC_ATTR_T_ROUGH_NUMBER:
                special_note(" 特粗公数量:  %s    ", t[slot], cursor);
                break;
            default:
                special_note(" 特精公数量:  %s    ", t[slot], cursor);
                break;
        }
    }
    return found;
}

void write_default_notes(const elec_defaults *d) {
    const note_positions &p = positions;
    value_note("%s/s", d->elec_rough_space, p.elec_r_space_note_point_x, p.elec_r_space_note_point_y);
    value_note("%s/s", d->elec_finish_space, p.elec_f_space_note_point_x, p.elec_f_space_note_point_y);
    value_note("%s", d->elec_rough_number, p.elec_r_count_note_point_x, p.elec_r_count_note_point_y);
    value_note("%s", d->elec_finish_number, p.elec_f_count_note_point_x, p.elec_f_count_note_point_y);
}

/* The body's ELEC_NOTE, when it has one, left-aligned at its place: it is free text of any length. */
void write_free_text_note(tag_t elec_tag, drf_preferences *working) {
    int elec_note_attr_type = 0;
    UF_CALL(UF_ATTR_find_attribute(elec_tag, UF_ATTR_string, "ELEC_NOTE", &elec_note_attr_type));
    if (elec_note_attr_type == 0) return;
    UF_ATTR_value_t elec_note_attr_value = {};
    UF_CALL(UF_ATTR_read_value(elec_tag, "ELEC_NOTE", UF_ATTR_any, &elec_note_attr_value));
    char note_text[ELEC_NOTE_TEXT_LEN + 1] = "";
    if (elec_note_attr_value.type == UF_ATTR_string && elec_note_attr_value.value.string != NULL) {
        copy_text_cut(note_text, sizeof note_text, elec_note_attr_value.value.string);
        UF_free(elec_note_attr_value.value.string);
    }
    working->mpi[30] = 4;
    UF_CALL(UF_DRF_set_preferences(working->mpi, working->mpr, working->radius_val, working->diameter_val));
    note_at(note_text, positions.note_point_x, positions.note_point_y);
}

}  // namespace

void reset_spark_gap_note_positions(void) { positions = note_positions(); }

int write_spark_gap_notes(tag_t elec_tag) {
    if (positions.elec_r_space_note_point_x == POSITIONS_UNREAD && !read_positions()) return 0;

    drf_preferences saved, working;
    UF_CALL(UF_DRF_ask_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    UF_CALL(UF_DRF_ask_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));
    // Values centred in their cells, in the title block's lettering.
    working.mpi[3] = 2;
    working.mpi[9] = 2;
    working.mpi[30] = 5;
    working.mpi[90] = 1;
    working.mpr[32] = 3.175;
    working.mpr[33] = 1.0;
    working.mpr[34] = 1.0;
    working.mpr[44] = 3.175;
    working.mpr[45] = 0.85;
    UF_CALL(UF_DRF_set_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));

    elec_attr_texts texts;
    read_elec_attr_texts(elec_tag, &texts);
    // The defaults stand for a body that says nothing; one value of its own means the others are left open on purpose.
    if (!write_attr_notes(&texts)) write_default_notes(&the_elec_defaults);
    write_free_text_note(elec_tag, &working);

    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
