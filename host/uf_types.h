/* Basic types and codes of the host interface, as a command sees them.
 *
 * Every code and record here has one definition; the host gives each the meaning documented beside it. */
#ifndef HOST_UF_TYPES_H
#define HOST_UF_TYPES_H

#ifdef __cplusplus
extern "C" {
#endif

/* An object identifier. Tags are never reused within a part; 0 names no object. */
typedef unsigned int tag_t;
#define NULL_TAG ((tag_t)0)

typedef int logical;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* Layers are numbered 1 to 256. */
#define UF_LAYER_MAX_LAYER 256

/* Longest object name the host keeps; name buffers hold this plus the terminator. */
#define UF_OBJ_NAME_LEN 30
#define UF_OBJ_NAME_BUFSIZE (UF_OBJ_NAME_LEN + 1)

/* Longest part file path the host hands out, terminator included. */
#define UF_CFI_MAX_PATH_NAME_SIZE 256

/* Longest failure message text, terminator included (UF_get_fail_message). */
#define UF_MAX_FAIL_MESSAGE_SIZE 133

/* Object types and subtypes (UF_OBJ_ask_type_and_subtype). */
#define UF_part_type 1  /* the part itself */
#define UF_point_type 2 /* a point */
#define UF_line_type 3  /* a straight line segment */
#define UF_line_normal_subtype 0
#define UF_circle_type 5 /* a circle or circular arc */
#define UF_circle_normal_subtype 0
#define UF_spline_type 9 /* any other free curve, such as an isocline curve */
#define UF_spline_normal_subtype 0
#define UF_coordinate_system_type 45 /* a coordinate system, such as the work coordinate system */
#define UF_plane_type 46
#define UF_matrix_type 55          /* an orientation matrix owned by a coordinate system */
#define UF_view_type 60            /* a view */
#define UF_view_normal_subtype 7   /* a model view */
#define UF_draw_view_subtype 8     /* a drawing view on a sheet */
#define UF_drawing_type 62         /* a drawing sheet */
#define UF_drafting_entity_type 25 /* an annotation: note, label, dimension, ordinate origin or margin */
#define UF_draft_note_subtype 1
#define UF_draft_label_subtype 2
#define UF_draft_linear_dim_subtype 3
#define UF_draft_ordinate_dim_subtype 4
#define UF_draft_ordinate_origin_subtype 5
#define UF_draft_ordinate_margin_subtype 6
#define UF_solid_type 70        /* solid modelling objects */
#define UF_solid_body_subtype 0 /*   a body (solid or sheet: see UF_MODL_ask_body_type) */
#define UF_solid_face_subtype 2 /*   a face of a body */
#define UF_solid_edge_subtype 3 /*   an edge of a body */

/* Blank status (UF_OBJ_disp_props_t.blank_status). */
#define UF_OBJ_NOT_BLANKED 0
#define UF_OBJ_BLANKED 1

/* Line fonts (UF_OBJ_set_font). */
#define UF_OBJ_FONT_SOLID 1
#define UF_OBJ_FONT_DASHED 2
#define UF_OBJ_FONT_CENTERLINE 3 /* chain line: long dash, short dash */

/* Application modules (UF_ask_application_module). */
#define UF_APP_DRAFTING 1
#define UF_APP_MODELING 40

#ifdef __cplusplus
}
#endif

#endif
