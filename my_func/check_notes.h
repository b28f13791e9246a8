/* What the analysis measured at the step that failed, in English, beside the message it shows: the check of a part
 * tells the designer the figures behind each message, so the fix needs no second guess. */
#ifndef MY_FUNC_CHECK_NOTES_H
#define MY_FUNC_CHECK_NOTES_H

#include <stddef.h>

/* Room for a note, terminator included; a longer note is cut. */
#define CHECK_NOTE_BUFSIZE 512

/* Forgets the note written last. */
void clear_check_note(void);

/* Keeps a note of what was measured, replacing the one before. */
void check_note(const char *format, ...) __attribute__((format(printf, 1, 2)));

/* The note written since the last clear_check_note; empty when the failing step wrote none. */
const char *check_note_text(void);

/* "12.5 x 30 x 7" from a box, at most 3 decimals, into out. Returns out. */
char *box_size_text(const double lo[3], const double hi[3], char *out, size_t out_size);

/* "(12.5, 30, -7)", at most 3 decimals, into out. Returns out. */
char *point_text(const double p[3], char *out, size_t out_size);

#endif
