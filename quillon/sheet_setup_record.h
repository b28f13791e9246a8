/* The sheet's EDM setup kept on the drawing, so that the host can list every sheet's setup without reading texts. */
#ifndef QUILLON_SHEET_SETUP_RECORD_H
#define QUILLON_SHEET_SETUP_RECORD_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Writes the setup attributes of host/sheet_setup.h on drawing: what the sheet of entry shows, with the EDM point
 * object's position taken from the core's origin point, top_view the core's top view, and the copy's turn against
 * first_copy (the first body of its layer), and the depth of the burn from the face of the core box (core_min,
 * core_max) the electrode comes from. Failed host calls are listed and the rest is still written; returns 1. */
int record_sheet_setup(tag_t drawing, const elec_entry *entry, tag_t edm_point_tag, tag_t top_view,
                       const elec_data *first_copy, const double core_min[3], const double core_max[3]);

#endif
