/* Display settings of drawings. */
#ifndef HOST_UF_DISP_H
#define HOST_UF_DISP_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Members named by their byte position. */
typedef struct UF_DISP_drawing_display_s {
    int background_color; /* byte 0: colour index of the sheet, 1 white */
    int border_color;     /* byte 4: colour index of the sheet's outline */
    double grid_spacing;  /* byte 8: mm between grid lines */
    int grid_color;       /* byte 16: colour index of the grid */
    char show_grid;       /* byte 20: 1 a grid is drawn across the sheet, 0 none */
    char reserved_21[11]; /* bytes 21 to 31: reserved */
} UF_DISP_drawing_display_t;

int UF_DISP_ask_drawing_display(UF_DISP_drawing_display_t *display);
int UF_DISP_set_drawing_display(const UF_DISP_drawing_display_t *display);

#ifdef __cplusplus
}
#endif

#endif
