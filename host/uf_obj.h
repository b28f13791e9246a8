/* Objects: type, display properties, names, layer, blank status, font, deletion. */
#ifndef HOST_UF_OBJ_H
#define HOST_UF_OBJ_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UF_OBJ_disp_props_s {
    int layer;        /* 1 to 256; 0 for objects that live on no layer (faces, edges, views, drawings) */
    int color;        /* colour index, 1 to 216 */
    int blank_status; /* UF_OBJ_NOT_BLANKED or UF_OBJ_BLANKED */
    int line_width;   /* 0 thin, 1 normal, 2 thick */
    int font;         /* UF_OBJ_FONT_* */
    logical highlight_status;
} UF_OBJ_disp_props_t;

int UF_OBJ_ask_type_and_subtype(tag_t object, int *type, int *subtype);
int UF_OBJ_ask_display_properties(tag_t object, UF_OBJ_disp_props_t *props);

/* Copies the object's name into name (at least UF_OBJ_NAME_BUFSIZE bytes). An object without a name gives
 * UF_err_no_name and an empty text. */
int UF_OBJ_ask_name(tag_t object, char name[UF_OBJ_NAME_BUFSIZE]);
/* Names longer than UF_OBJ_NAME_LEN are refused (UF_err_name_too_long); an empty name removes the name. */
int UF_OBJ_set_name(tag_t object, const char *name);

/* Cycles the objects whose name equals name, compared without regard to case, in the order of creation: pass the
 * null tag to start, then the last answer; the null tag comes back when the cycle is over. */
int UF_OBJ_cycle_by_name(const char *name, tag_t *object);

int UF_OBJ_set_layer(tag_t object, int layer);
int UF_OBJ_set_blank_status(tag_t object, int blank_status);
int UF_OBJ_set_font(tag_t object, int font);
int UF_OBJ_set_color(tag_t object, int color);

/* Deleting a body deletes its faces and edges with it. */
int UF_OBJ_delete_object(tag_t object);
/* Deletes count objects; statuses receives one status per object (release with UF_free). */
int UF_OBJ_delete_array_of_objects(int count, const tag_t *objects, int **statuses);

/* Displayable objects are those that can be shown in a view: bodies, faces, edges, curves and points. */
int UF_OBJ_is_displayable(tag_t object, int *is_displayable);

#ifdef __cplusplus
}
#endif

#endif
