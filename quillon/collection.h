/* The collection of the electrodes on a range of layers, analysed and grouped by layer. */
#ifndef QUILLON_COLLECTION_H
#define QUILLON_COLLECTION_H

#include "my_func/elec_record.h"
#include "my_func/tag_array.h"

/* Every visible solid body on the layers from_layer to to_layer becomes one entry, in layer and cycling order; bodies
 * on one layer must be copies of one electrode (one name, one outline). Returns 1 and the list in *head (null when
 * there is no electrode), which the caller releases with free_elec_list; or 0 after one message, with *head untouched
 * and nothing left allocated. EDM point objects made before a failure stay in the model. */
int collect_electrodes(int from_layer, int to_layer, elec_entry **head);

/* The visible solid bodies of the layer in cycling order, appended to bodies; false when memory is short (no
 * message). */
bool layer_bodies(int layer, tag_array &bodies);

/* The rounded size of the record's body box, as copies are compared. */
void outline_size(const elec_data *record, double size[3]);

/* A body of the layer after the first must be a copy of the body before it: the same name, and the same outline (turned
 * by quarter turns or not, within 0.02 mm). Each 1, or 0 after one message. */
int check_copy_name(int layer, const char *name, const char *previous_name);
int check_copy_outline(int layer, const double size[3], const double previous_size[3]);

#endif
