/* Layers 1 to 256 and their states. */
#ifndef HOST_UF_LAYER_H
#define HOST_UF_LAYER_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Layer states. Exactly one layer is the work layer: new objects go there and it is always shown. Active layers are
 * shown and selectable, reference layers shown only, inactive layers hidden. */
#define UF_LAYER_WORK_LAYER 0
#define UF_LAYER_ACTIVE_LAYER 1
#define UF_LAYER_REFERENCE_LAYER 2
#define UF_LAYER_INACTIVE_LAYER 3

/* Cycles the objects on a layer in the order of their creation (a moved object takes its place by creation on the
 * new layer): pass the null tag to start, then the last answer; the null tag comes back when the cycle is over. */
int UF_LAYER_cycle_by_layer(int layer, tag_t *object);

/* Making a layer the work layer turns the former work layer active. The work layer cannot be given another state
 * directly (UF_err_bad_layer): make another layer the work layer first. */
int UF_LAYER_set_status(int layer, int status);
int UF_LAYER_ask_status(int layer, int *status);
/* Gives every layer except the work layer the state. */
int UF_LAYER_set_all_but_work(int status);
int UF_LAYER_ask_work_layer(int *layer);

#ifdef __cplusplus
}
#endif

#endif
