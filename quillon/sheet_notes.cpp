#include "quillon/sheet_notes.h"

#include <vector>

#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "my_func/config_reader.h"

int read_config_cells(const config_cell *cells, size_t count) {
    // The cells are the callers' read-once storage, whose first cell tells whether the block was read: a block with
    // a key missing must stay unread, so that the next sheet meets the key again instead of a position of 0.
    std::vector<double> values(count);
    for (size_t i = 0; i < count; ++i) {
        values[i] = *cells[i].cell;  // an entry without a value leaves the cell as it was
        if (!read_config_number(cells[i].key, &values[i])) return 0;
    }
    for (size_t i = 0; i < count; ++i) *cells[i].cell = values[i];
    return 1;
}

void note_at(const char *text, double x, double y) {
    const double origin[3] = {x, y, 0.0};
    tag_t note_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_note(1, text, origin, 0, &note_tag));
}
