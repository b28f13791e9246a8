/* The collection of the electrodes on a range of layers, analysed and grouped by layer. */
#ifndef QUILLON_COLLECTION_H
#define QUILLON_COLLECTION_H

#include "my_func/elec_record.h"

/* Every visible solid body on the layers from_layer to to_layer becomes one entry, in layer and cycling order; bodies
 * on one layer must be copies of one electrode (one name, one outline). Returns 1 and the list in *head (null when
 * there is no electrode), which the caller releases with free_elec_list; or 0 after one message, with *head untouched
 * and nothing left allocated. EDM point objects made before a failure stay in the model. */
int collect_electrodes(int from_layer, int to_layer, elec_entry **head);

#endif
