/* The spark gaps, electrode counts and free-text note on an electrode's sheet. */
#ifndef QUILLON_SPARK_GAP_NOTES_H
#define QUILLON_SPARK_GAP_NOTES_H

#include "host/uf_types.h"

/* Longest free-text note kept, terminator excluded; a longer ELEC_NOTE is cut at a character boundary. */
#define ELEC_NOTE_TEXT_LEN 255

/* Writes on the current sheet the body's spark-gap and count attributes, each in its cell, the special electrodes'
 * values as lines stacked 5 mm apart, or the defaults of config.def when the body carries none of them; then its
 * ELEC_NOTE, left-aligned at its place. The preferences are as before afterwards. 1 when the notes were written, 0
 * when a position could not be read from config.def (nothing written). */
int write_spark_gap_notes(tag_t elec_tag);

/* Forgets the note positions read from config.def, as a fresh load of the library does. */
void reset_spark_gap_note_positions(void);

#endif
