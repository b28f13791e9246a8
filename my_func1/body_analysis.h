/* The full analysis of one electrode body for the drawing run: the base search, the working part, the chamfered
 * orientation corner and the name. */
#ifndef MY_FUNC1_BODY_ANALYSIS_H
#define MY_FUNC1_BODY_ANALYSIS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Clears the whole record, sets its layer, layer count and 1-based layer index, and fills it. Returns 1, or 0 after
 * one message (the record keeps what was written so far, the base's faces found before the failure included). */
int analyse_elec_body(tag_t body, elec_data *record, int layer, int layer_count, int layer_index);

#endif
