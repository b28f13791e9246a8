/* Drawings: what the host displays. */
#ifndef HOST_UF_DRAW_H
#define HOST_UF_DRAW_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Display states: the model, or the current drawing. */
#define UF_DRAW_MODEL_DISPLAY 1
#define UF_DRAW_DRAWING_DISPLAY 2

int UF_DRAW_ask_display_state(int *state);
/* Showing the drawing needs a current drawing (UF_err_not_supported otherwise). */
int UF_DRAW_set_display_state(int state);

#ifdef __cplusplus
}
#endif

#endif
