/* The electrode's name on its sheet and, for an electrode used at several places, which place the sheet shows. */
#ifndef QUILLON_ELEC_NUMBER_NOTE_H
#define QUILLON_ELEC_NUMBER_NOTE_H

#include "host/uf_types.h"

/* Writes the body's name (无 for an unnamed body) at its place on the current sheet in the current lettering and,
 * when its layer holds more than one body, the sharing note "used at elec_layer_count places, this is place
 * elec_layer_index" in full-width 3.175 mm lettering; the lettering is as before afterwards. 1 when written, 0 when a
 * position could not be read from config.def (nothing written). */
int write_elec_number_note(tag_t elec_tag, int elec_layer_index, int elec_layer_count);

/* Forgets the positions read from config.def, as a fresh load of the library does. */
void reset_elec_number_note_positions(void);

#endif
