/* The spark gaps and electrode counts an electrode body carries as attributes, as the texts its sheet writes. */
#ifndef MY_FUNC1_ELEC_ATTR_TEXTS_H
#define MY_FUNC1_ELEC_ATTR_TEXTS_H

#include "host/uf_types.h"

/* Longest attribute text kept, terminator excluded. */
#define ELEC_ATTR_TEXT_LEN 29
#define ELEC_ATTR_SLOTS 8

/* Slots in the order they are read and written: ordinary rough and finish spark gaps and counts, then those of the
 * special electrodes. An attribute the body lacks leaves its text empty. */
enum elec_attr_slot {
    ELEC_ATTR_ROUGH_SPACE = 0,
    ELEC_ATTR_FINISH_SPACE,
    ELEC_ATTR_ROUGH_NUMBER,
    ELEC_ATTR_FINISH_NUMBER,
    ELEC_ATTR_T_ROUGH_SPACE,
    ELEC_ATTR_T_FINISH_SPACE,
    ELEC_ATTR_T_ROUGH_NUMBER,
    ELEC_ATTR_T_FINISH_NUMBER
};

typedef struct elec_attr_texts_s {
    char text[ELEC_ATTR_SLOTS][ELEC_ATTR_TEXT_LEN + 1];
} elec_attr_texts;

/* Fills the eight texts from the solid's attributes: spark gaps (real) with two decimals, counts (integer) as they
 * are. An attribute of another type than its slot's counts as absent. Returns 1. */
int read_elec_attr_texts(tag_t solid, elec_attr_texts *texts);

/* The slot's attribute title and, when type is not null, its kind; null for a slot outside the eight. */
const char *elec_attr_title(int slot, int *type);

#endif
