/* Model views by name, as the drawing views are imported from them. */
#ifndef QUILLON_MODEL_VIEW_LOOKUP_H
#define QUILLON_MODEL_VIEW_LOOKUP_H

#include "host/uf_types.h"

/* The first model view of that name (objects of other kinds may carry the same name); the null tag when there is none
 * or name is null. */
tag_t find_model_view(const char *name);

#endif
