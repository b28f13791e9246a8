/* Model views: the standard views, the work view, named views saved in the part.
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
int UF_VIEW_rotate_view_abs_csys(tag_t view, const double center[3], const double axis[3], double angle,
                                 int update);

/* Replaces view old_view of layout with the model view new_view: the replacing view's orientation is copied in. An empty
 * layout names the current layout, an empty old_view its work view. */
int uc6464(const char *layout, const char *old_view, const char *new_view);

/* Saves view old_view (empty: the work view) as a model view named new_view, or overwrites the orientation of the model
 * view of that name. save_layers and save_scale are accepted for compatibility: a saved view always keeps both. */
int uc6450(const char *old_view, const char *new_view, int save_layers, int save_scale);

#ifdef __cplusplus
}
#endif

#endif
