/* What the routines that write notes on a sheet share: reading their positions and writing one note at a point. */
#ifndef QUILLON_SHEET_NOTES_H
#define QUILLON_SHEET_NOTES_H

#include <stddef.h>

/* One numeric key of config.def and where its value goes. */
typedef struct config_cell_s {
    const char *key;
    double *cell;
} config_cell;

/* Reads the keys in order; stops at the first that fails. 1 when all were read and stored in their cells; 0 after the
 * reader's message, with every cell left as it was. */
int read_config_cells(const config_cell *cells, size_t count);

/* A one-line (or line-feed separated) note on the current sheet at (x, y), in the preferences current now. */
void note_at(const char *text, double x, double y);

#endif
