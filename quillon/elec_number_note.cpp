#include "quillon/elec_number_note.h"

#include <cstdio>

#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "my_func/config_reader.h"
#include "quillon/sheet_notes.h"

namespace {

/* Positions in sheet millimetres; a sharing x of 0 means not read yet. */
struct number_note_positions {
    double share_elec_note_point_x = 0;
    double share_elec_note_point_y = 0;
    double elec_no_note_point_x = 0;
    double elec_no_note_point_y = 0;
};

number_note_positions positions;

int read_positions(void) {
    const config_cell keys[] = {
        {"share_elec_note_point_x:", &positions.share_elec_note_point_x},
        {"share_elec_note_point_y:", &positions.share_elec_note_point_y},
        {"elec_no_note_point_x:", &positions.elec_no_note_point_x},
        {"elec_no_note_point_y:", &positions.elec_no_note_point_y},
    };
    return read_config_cells(keys, sizeof keys / sizeof keys[0]);
}

}  // namespace

void reset_elec_number_note_positions(void) { positions = number_note_positions(); }

int write_elec_number_note(tag_t elec_tag, int elec_layer_index, int elec_layer_count) {
    if (positions.share_elec_note_point_x == 0 && !read_positions()) return 0;

    char name[UF_OBJ_NAME_BUFSIZE] = "";
    if (UF_OBJ_ask_name(elec_tag, name) != 0) std::snprintf(name, sizeof name, "%s", "无");
    note_at(name, positions.elec_no_note_point_x, positions.elec_no_note_point_y);

    if (elec_layer_count > 1) {
        char share_text[128];
        std::snprintf(share_text, sizeof share_text, "这个铜公共放电 %d 处, 这是第 %d 处.", elec_layer_count,
                      elec_layer_index);
        UF_DRF_lettering_preferences_t saved_lettering, lettering;
        UF_CALL(UF_DRF_ask_lettering_preferences(&saved_lettering));
        UF_CALL(UF_DRF_ask_lettering_preferences(&lettering));
        lettering.general_text.size = 3.175;
        lettering.general_text.char_space_factor = 1.0;
        lettering.general_text.aspect_ratio = 1.0;
        UF_CALL(UF_DRF_set_lettering_preferences(&lettering));
        note_at(share_text, positions.share_elec_note_point_x, positions.share_elec_note_point_y);
        UF_CALL(UF_DRF_set_lettering_preferences(&saved_lettering));
    }
    return 1;
}
