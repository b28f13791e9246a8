#include "my_func/check_notes.h"

#include <stdarg.h>
#include <stdio.h>

#include "my_func/numeric_text.h"

namespace {

char note[CHECK_NOTE_BUFSIZE] = "";

}  // namespace

void clear_check_note(void) { note[0] = '\0'; }

void check_note(const char *format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(note, sizeof note, format, args);
    va_end(args);
}

const char *check_note_text(void) { return note; }

char *box_size_text(const double lo[3], const double hi[3], char *out, size_t out_size) {
    char size[3][NUMERIC_TEXT_SIZE];
    for (int k = 0; k < 3; ++k) format_trimmed(hi[k] - lo[k], 3, size[k], sizeof size[k]);
    snprintf(out, out_size, "%s x %s x %s", size[0], size[1], size[2]);
    return out;
}

char *point_text(const double p[3], char *out, size_t out_size) {
    char c[3][NUMERIC_TEXT_SIZE];
    for (int k = 0; k < 3; ++k) format_trimmed(p[k], 3, c[k], sizeof c[k]);
    snprintf(out, out_size, "(%s, %s, %s)", c[0], c[1], c[2]);
    return out;
}
