/* Opening and closing the host interface, memory, messages, application module and undo. */
#ifndef HOST_UF_H
#define HOST_UF_H

#include "host/uf_types.h"
#include "host/uf_status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the host interface for the caller. Calls nest: each UF_initialize is matched by one UF_terminate. */
int UF_initialize(void);
int UF_terminate(void);

/* Releases memory the host allocated and handed out (arrays, strings). A null pointer is ignored. */
void UF_free(void *data);

/* Fills message (UF_MAX_FAIL_MESSAGE_SIZE bytes) with the text of a status code; returns nonzero for a code the host
 * does not know, leaving message empty. */
int UF_get_fail_message(int status, char message[UF_MAX_FAIL_MESSAGE_SIZE]);

/* The application module the displayed part is in: UF_APP_MODELING (the default) or UF_APP_DRAFTING. */
int UF_ask_application_module(int *module);

/* Undo marks. A visible mark records the whole part as it is now; the part file keeps the state at the last visible
 * mark, and "quillon undo" brings the part back to it. Invisible marks are accepted and record nothing. */
typedef int UF_UNDO_mark_id_t;
#define UF_UNDO_invisible 0
#define UF_UNDO_visible 1
int UF_UNDO_set_mark(int visibility, const char *name, UF_UNDO_mark_id_t *mark_id);

#ifdef __cplusplus
}
#endif

#endif
