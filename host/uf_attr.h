/* Attributes: titled integer, real or string values on objects. Titles compare without regard to case. */
#ifndef HOST_UF_ATTR_H
#define HOST_UF_ATTR_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Attribute types. UF_ATTR_any asks for whatever type the attribute has. */
#define UF_ATTR_any 0
#define UF_ATTR_integer 1
#define UF_ATTR_real 2
#define UF_ATTR_string 3

/* Longest attribute title, terminator excluded. */
#define UF_ATTR_MAX_TITLE_LEN 50

typedef struct UF_ATTR_value_s {
    int type; /* UF_ATTR_integer, UF_ATTR_real or UF_ATTR_string; 0 when nothing was found */
    union {
        int integer;
        double real;
        char *string; /* allocated by the host: release with UF_free */
    } value;
} UF_ATTR_value_t;

/* Looks for an attribute of the title and type (or of any type) on the object: found_type receives its type, or 0
 * when there is none (status 0 either way). */
int UF_ATTR_find_attribute(tag_t object, int type, const char *title, int *found_type);
/* Reads the attribute's value; an attribute that does not exist gives UF_err_attr_not_found and value->type 0. */
int UF_ATTR_read_value(tag_t object, const char *title, int type, UF_ATTR_value_t *value);
/* Sets an attribute, replacing one of the same title. */
int UF_ATTR_assign(tag_t object, const char *title, UF_ATTR_value_t value);
int UF_ATTR_delete(tag_t object, const char *title);

#ifdef __cplusplus
}
#endif

#endif
