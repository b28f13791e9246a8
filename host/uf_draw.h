/* Drawings: sheets, the drawing views on them, and what the host displays.
 *
 * A drawing view shows a model view (its orientation) of the part at a scale, centred on its reference point: the
 * centre of the view's extent, the box of everything the view shows, seen in the view's orientation. Sheet coordinates
 * are millimetres from the sheet's lower left corner. */
#ifndef HOST_UF_DRAW_H
#define HOST_UF_DRAW_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Display states: the model, or the current drawing. */
#define UF_DRAW_MODEL_DISPLAY 1
#define UF_DRAW_DRAWING_DISPLAY 2

int UF_DRAW_ask_display_state(int *state);
/* Showing the drawing needs a current drawing (UF_err_not_supported otherwise). */
int UF_DRAW_set_display_state(int state);

/* Sheet sizes. */
#define UF_DRAW_METRIC_SIZE 1 /* size.metric_size_code: 0 A0 ... 4 A4, landscape */
#define UF_DRAW_CUSTOM_SIZE 2 /* size.custom_size: height, then width, in the drawing's units */
/* Units. */
#define UF_PART_METRIC 1
#define UF_PART_ENGLISH 2
/* Projection angles. */
#define UF_DRAW_THIRD_ANGLE_PROJECTION 1
#define UF_DRAW_FIRST_ANGLE_PROJECTION 2

typedef struct UF_DRAW_info_s {
    int size_state; /* UF_DRAW_METRIC_SIZE or UF_DRAW_CUSTOM_SIZE */
    union {
        int metric_size_code;
        double custom_size[2]; /* height, width */
    } size;
    double drawing_scale; /* the sheet's own scale, 1.0 for full size */
    int units;            /* UF_PART_METRIC */
    int projection_angle; /* UF_DRAW_THIRD_ANGLE_PROJECTION */
} UF_DRAW_info_t;

/* Creates a drawing sheet (type 62) named name; it becomes the current drawing and is displayed. A name that a drawing
 * already has is refused (UF_err_name_taken). */
int UF_DRAW_create_drawing(const char *name, UF_DRAW_info_t *info, tag_t *drawing);
int UF_DRAW_ask_current_drawing(tag_t *drawing);
/* Makes the drawing current and displays it. */
int UF_DRAW_open_drawing(tag_t drawing);
int UF_DRAW_ask_drawing_info(tag_t drawing, UF_DRAW_info_t *info);

/* View borders drawn around the views of every sheet: TRUE on, FALSE off. */
int UF_DRAW_set_border_display(logical display);
int UF_DRAW_ask_border_display(logical *display);

/* How a drawing view is made. The host places a new view at the scale given here, then the caller usually sets the
 * real scale with UF_DRAW_set_view_scale. */
typedef struct UF_DRAW_view_info_s {
    int view_status;      /* byte 0: 1 active (the view is updated when its content changes) */
    int anchor_point;     /* byte 4: reserved, 0 */
    double view_scale;    /* byte 8: the scale the view is made with */
    int use_lt_wt;        /* byte 16: line widths as the view display says (1) */
    int inherit_boundary; /* byte 20: reserved, 0 */
} UF_DRAW_view_info_t;

int UF_DRAW_initialize_view_info(UF_DRAW_view_info_t *info);

/* Places model view model_view (a model view of the part, type 60 subtype 7) on the drawing, centred on ref_point
 * (sheet mm). The new drawing view (type 60, subtype UF_draw_view_subtype) is named after the drawing and a number;
 * it shows the layers of the model view's layer table (every layer, at first). */
int UF_DRAW_import_view(tag_t drawing, tag_t model_view, const double ref_point[2], UF_DRAW_view_info_t *info,
                        tag_t *view);

/* Directions for orthographic child views, as seen on the sheet from the parent. */
#define UF_DRAW_project_above 1
#define UF_DRAW_project_right 2
#define UF_DRAW_project_below 3
#define UF_DRAW_project_left 4

/* Adds a view projected from parent in the direction given (third-angle projection: the view below the parent looks
 * at the model's side that faces down in the parent), at the parent's scale, aligned with the parent: a view below or
 * above shares the parent's sheet x for every model point, a view to the right or left its sheet y. ref_point gives
 * the position along the projection direction; the other coordinate follows the parent. The child keeps following
 * its parent when the parent's scale or reference point changes. It starts with the parent's layer table and view
 * display (UF_DRAW_set_view_display); objects erased from the parent are not erased from it. */
int UF_DRAW_add_orthographic_view(tag_t drawing, tag_t parent, int direction, const double ref_point[2], tag_t *view);

int UF_DRAW_set_view_scale(tag_t view, double scale);
/* expression is the null tag: scales are plain numbers here. */
int UF_DRAW_ask_view_scale(tag_t view, tag_t *expression, double *scale);
/* Moves the view so that its reference point (the centre of its extent) lies at ref_point. */
int UF_DRAW_set_drawing_ref_pt(tag_t drawing, tag_t view, const double ref_point[2]);
int UF_DRAW_ask_drawing_ref_pt(tag_t view, double ref_point[2]);
/* Recomputes what the view shows (its extent, and with it where its reference point is). Views are also brought up to
 * date whenever they are asked or drawn; the call is kept for callers that expect it. */
int UF_DRAW_update_one_view(tag_t drawing, tag_t view);

/* How a drawing view draws the bodies it shows. Members named by their byte position. */
typedef struct UF_DRAW_view_prefs_s {
    int hidden_line_removal;    /* byte 0: 1 edges hidden by a body are found (see hidden_edges); 0 every edge is
                                   drawn as visible */
    int visible_edge_width;     /* byte 4: 2 wide (0.5 mm), 1 thin (0.25 mm) */
    int hidden_edges;           /* byte 8: 0 left out, 2 drawn as narrow dashed lines */
    int silhouettes;            /* byte 12: 1 the outlines of curved faces (as the eye sees them) are drawn */
    int smooth_edges;           /* byte 16: 1 edges between tangent faces are drawn, 0 left out */
    char reserved_20[84];       /* bytes 20 to 103: reserved */
    int uv_grid_lines;          /* byte 104: number of iso-parametric lines drawn across curved faces, 0 none */
    int hidden_by_other_bodies; /* byte 108: 1 a body can hide another body's edges, 0 each body only its own */
    short reserved_112;         /* bytes 112 to 113: reserved */
    char reserved_114;          /* byte 114: reserved; free curves and points are always drawn over bodies */
    char reserved_115[13];      /* bytes 115 to 127: reserved */
} UF_DRAW_view_prefs_t;

int UF_DRAW_ask_view_display(tag_t view, UF_DRAW_view_prefs_t *prefs);
int UF_DRAW_set_view_display(tag_t view, const UF_DRAW_view_prefs_t *prefs);

#ifdef __cplusplus
}
#endif

#endif
