/* Checks of the layers entered in the options dialog. Each check that fails shows its one message and returns 0. */
#ifndef QUILLON_VALIDATION_H
#define QUILLON_VALIDATION_H

#include "host/uf_types.h"

/* The range checks, in the order the dialog asks its fields. */
int check_mr_layer_range(int mr_layer);
int check_elec_from_range(int elec_layer_from);
int check_elec_to_range(int elec_layer_to);
int check_elec_range_order(int elec_layer_from, int elec_layer_to);
int check_core_outside_elec_range(int mr_layer, int elec_layer_from, int elec_layer_to);
int check_sheet_layer_range(int sheet_layer);
/* The drawing layer is neither the core layer nor one of the electrode layers. */
int check_sheet_layer_apart(int sheet_layer, int mr_layer, int elec_layer_from, int elec_layer_to);

/* The layer holds a visible solid body. */
int check_core_layer(int mr_layer);
/* One of the layers holds a visible solid body. */
int check_elec_layers(int elec_layer_from, int elec_layer_to);
/* Every visible solid body on the layers has a name. */
int check_unnamed_elecs(int elec_layer_from, int elec_layer_to);

/* Tells in one message which layers outside the electrode range, the core layer and the drawing layer hold visible
 * solid bodies: those bodies get no sheet. The number of such layers. */
int tell_layers_outside_range(int mr_layer, int sheet_layer, int elec_layer_from, int elec_layer_to);

/* The visible solid body on the layer has a name. */
int check_elec_named(tag_t body, int layer);

#endif
