/* Model views: the standard views, the work view, named views saved in the part; and the drawing views on sheets.
 *
 * Each view has an orientation: the model directions that point right and up on the screen, and the direction towards
 * the eye. The part holds the standard views "TOP", "BOTTOM", "FRONT", "BACK", "RIGHT", "LEFT" and "TFR-ISO" (names
 * compare without regard to case):
 *
 *   view     eye looks along                 right      up
 *   top      -Z                              +X         +Y
 *   bottom   +Z                              +X         -Y
 *   front    +Y                              +X         +Z
 *   back     -Y                              -X         +Z
 *   right    -X                              +Y         +Z
 *   left     +X                              -Y         +Z
 *   tfr-iso  (-1, 1, -1), eye at (1, -1, 1)  (1, 1, 0)  +Z tilted towards the eye
 *
 * The work view of the current layout is the view the user works in; it starts as "TFR-ISO". */
#ifndef HOST_UF_VIEW_H
#define HOST_UF_VIEW_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Turns the model in a view about an absolute axis through center by angle degrees (right-handed about the axis); the
 * eye thus turns the opposite way. The null tag names the work view; update is accepted for compatibility and ignored
 * (nothing is displayed). */
int UF_VIEW_rotate_view_abs_csys(tag_t view, const double center[3], const double axis[3], double angle, int update);

/* Replaces view old_view of layout with the model view new_view: the replacing view's orientation is copied in. An
 * empty layout names the current layout, an empty old_view its work view. */
int uc6464(const char *layout, const char *old_view, const char *new_view);

/* Saves view old_view (empty: the work view) as a model view named new_view, or overwrites the orientation of the model
 * view of that name. save_layers and save_scale are accepted for compatibility: a saved view always keeps both. */
int uc6450(const char *old_view, const char *new_view, int save_layers, int save_scale);

/* Where a model point lands on the sheet in a drawing view (sheet mm): exactly where the rendered sheet draws it. */
int UF_VIEW_map_model_to_drawing(tag_t view, const double model_point[3], double drawing_point[2]);

/* The objects a drawing view shows (bodies, curves, points: what its layers, blank status and erasures let through),
 * and those it shows only in part because they cross the view's bounds (none: views are not clipped). Both arrays are
 * the caller's to release with UF_free. */
int UF_VIEW_ask_visible_objects(tag_t view, int *n_visible, tag_t **visible, int *n_clipped, tag_t **clipped);

/* Erases the object from the named drawing view: the view no longer shows it, whatever its layer. */
int uc6400(const char *view_name, tag_t object);
/* The named drawing view's layer table: layers[n - 1] is 1 when the view shows layer n, 0 when not; count receives
 * UF_LAYER_MAX_LAYER. */
int uc6446(const char *view_name, int *count, int layers[]);
int uc6447(const char *view_name, int count, const int layers[]);

#ifdef __cplusplus
}
#endif

#endif
