/* User-interface channels: message box, listing window, status line. */
#ifndef HOST_UF_UI_H
#define HOST_UF_UI_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Shows a message to the user (on the terminal and in the run log beside the part). It never waits in a batch run.
 * Returns 1. */
int uc1601(const char *message, int wait);

/* The listing window: a text file beside the part ("PART.lst") and the terminal. Opening an open window is harmless;
 * written text accumulates in call order. */
int UF_UI_open_listing_window(void);
int UF_UI_write_listing_window(const char *text);
int UF_UI_close_listing_window(void);

/* The status line (terminal and run log). */
int UF_UI_set_status(const char *text);

#ifdef __cplusplus
}
#endif

#endif
