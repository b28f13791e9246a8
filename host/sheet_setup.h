/* The EDM setup of a sheet, as attributes on the drawing: what the drawing run shows on the sheet, kept so that setup
 * lists and bills of material can be written from the part without reading the sheet's texts back.
 *
 * The run writes them on each electrode sheet once the sheet is complete; the host reads them when it exports. Every
 * title has one definition, here. */
#ifndef HOST_SHEET_SETUP_H
#define HOST_SHEET_SETUP_H

/* Integers. */
#define SHEET_SETUP_PAGE "setup_page"           /* the sheet's number in its run, from 1 */
#define SHEET_SETUP_PAGES "setup_pages"         /* sheets of the run */
#define SHEET_SETUP_LAYER "setup_layer"         /* the electrode layer */
#define SHEET_SETUP_PLACE "setup_place"         /* the body's place among the copies on its layer, from 1 */
#define SHEET_SETUP_PLACES "setup_places"       /* copies on the layer */
#define SHEET_SETUP_DIRECTION "setup_direction" /* the electrode direction code: 1 t, -1 -t, 2 f, -2 -f, 3 s, -3 -s */
#define SHEET_SETUP_CHAMFER "setup_chamfer"     /* chamfer corner 1 to 4, 0 for none */
#define SHEET_SETUP_EDM_TOUCH "setup_edm_touch" /* 1 the EDM point is the touch point, 0 the reference point */

/* Strings: the texts as the sheet writes them; an attribute is absent when the sheet shows nothing there. */
#define SHEET_SETUP_NAME "setup_name" /* the electrode's name ("无" for an unnamed body) */
#define SHEET_SETUP_ROUGH_GAP "setup_rough_gap"
#define SHEET_SETUP_FINISH_GAP "setup_finish_gap"
#define SHEET_SETUP_ROUGH_COUNT "setup_rough_count"
#define SHEET_SETUP_FINISH_COUNT "setup_finish_count"
#define SHEET_SETUP_T_ROUGH_GAP "setup_t_rough_gap"
#define SHEET_SETUP_T_FINISH_GAP "setup_t_finish_gap"
#define SHEET_SETUP_T_ROUGH_COUNT "setup_t_rough_count"
#define SHEET_SETUP_T_FINISH_COUNT "setup_t_finish_count"
#define SHEET_SETUP_NOTE "setup_note" /* the free-text note as written */
/* The name of the drawing view in which the sheet locates the EDM point from above (the core's top view): a touch
 * point is labelled there. */
#define SHEET_SETUP_TOP_VIEW "setup_top_view"

/* Reals, millimetres. The EDM point is the point the sheet's position dimensions measure, relative to the origin of
 * the core's centre lines; sizes are the body's box and its working part's box (absent for a body without base). */
#define SHEET_SETUP_EDM_X "setup_edm_x"
#define SHEET_SETUP_EDM_Y "setup_edm_y"
#define SHEET_SETUP_EDM_Z "setup_edm_z"
#define SHEET_SETUP_BOX_X "setup_box_x"
#define SHEET_SETUP_BOX_Y "setup_box_y"
#define SHEET_SETUP_BOX_Z "setup_box_z"
#define SHEET_SETUP_WORK_X "setup_work_x"
#define SHEET_SETUP_WORK_Y "setup_work_y"
#define SHEET_SETUP_WORK_Z "setup_work_z"
/* The EDM point in model coordinates (not from the origin), for marking it in a view. */
#define SHEET_SETUP_EDM_MODEL_X "setup_edm_model_x"
#define SHEET_SETUP_EDM_MODEL_Y "setup_edm_model_y"
#define SHEET_SETUP_EDM_MODEL_Z "setup_edm_model_z"
/* The depth of the burn: how far the electrode reaches past the depth-zero plane, the face of the core's box on the
 * side the electrode comes from (the side its base faces), along the way it burns. */
#define SHEET_SETUP_DEPTH "setup_depth"
/* Degrees, 0 to below 360: how far this copy is turned about the burn axis against the first copy of its layer,
 * anticlockwise as the top view shows it. Absent when the copies cannot be matched by a turn. */
#define SHEET_SETUP_ROTATION "setup_rotation"

#endif
