#include "quillon/sheet_notes.h"

#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "my_func/config_reader.h"

int read_config_cells(const config_cell *cells, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!read_config_number(cells[i].key, cells[i].cell)) return 0;
    return 1;
}

void note_at(const char *text, double x, double y) {
    const double origin[3] = {x, y, 0.0};
    tag_t note_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_note(1, text, origin, 0, &note_tag));
}
