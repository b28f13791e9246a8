/* Modelling queries: bodies, faces, edges, lists, boxes, curve points and isocline curves. */
#ifndef HOST_UF_MODL_H
#define HOST_UF_MODL_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Body types (UF_MODL_ask_body_type). */
#define UF_MODL_SOLID_BODY 5601
#define UF_MODL_SHEET_BODY 5602

/* Face types (UF_MODL_ask_face_type). */
#define UF_MODL_CYLINDRICAL_FACE 16
#define UF_MODL_CONICAL_FACE 17
#define UF_MODL_SPHERICAL_FACE 18
#define UF_MODL_TOROIDAL_FACE 19
#define UF_MODL_REVOLVED_FACE 20
#define UF_MODL_EXTRUDED_FACE 21
#define UF_MODL_PLANAR_FACE 22
#define UF_MODL_BSPLINE_FACE 23
#define UF_MODL_OFFSET_FACE 24
#define UF_MODL_OTHER_FACE 25

/* Edge types (UF_MODL_ask_edge_type). */
#define UF_MODL_LINEAR_EDGE 3001
#define UF_MODL_CIRCULAR_EDGE 3002
#define UF_MODL_ELLIPTICAL_EDGE 3003
#define UF_MODL_BSPLINE_EDGE 3005
#define UF_MODL_OTHER_EDGE 3009

/* A list of tags. Lists are made by UF_MODL_create_list or by the asking operations and released with
 * UF_MODL_delete_list. Items are numbered from 0. */
typedef struct UF_MODL_list_s *uf_list_p_t;

int UF_MODL_create_list(uf_list_p_t *list);
int UF_MODL_put_list_item(uf_list_p_t list, tag_t item);
int UF_MODL_ask_list_count(uf_list_p_t list, int *count);
int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *item);
/* Releases the list and sets *list to null. */
int UF_MODL_delete_list(uf_list_p_t *list);

int UF_MODL_ask_body_type(tag_t body, int *type);

/* The faces or edges of a body, or the edges of a face, in the body's topological order. When *list already holds a
 * list the items are appended to it; otherwise a new list is made. */
int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t *list);
int UF_MODL_ask_body_edges(tag_t body, uf_list_p_t *list);
int UF_MODL_ask_face_edges(tag_t face, uf_list_p_t *list);

int UF_MODL_ask_face_type(tag_t face, int *type);
int UF_MODL_ask_edge_type(tag_t edge, int *type);

/* The end vertices of an edge: count 2 for an open edge (point1 at its start, point2 at its end), 1 for a closed edge
 * that carries a vertex (point1 and point2 both that vertex), and 0 for a closed edge whose vertex is not a real end
 * (a full circle or ellipse): the caller then samples the edge. */
int UF_MODL_ask_edge_verts(tag_t edge, double point1[3], double point2[3], int *count);

/* Points along an edge or curve, from its start to its end, such that no chord strays farther than chord_tol from the
 * curve; angle_tol (radians) and step_tol (maximum chord length) add limits when positive. points receives 3 * count
 * doubles (release with UF_free). */
int UF_MODL_ask_curve_points(tag_t curve, double chord_tol, double angle_tol, double step_tol, int *count,
                             double **points);

/* The axis-aligned box of an object (body, face, edge, curve or point): minimum x, y, z, then maximum x, y, z. The box
 * is that of the exact geometry, within the model tolerance. */
int UF_MODL_ask_bounding_box(tag_t object, double box[6]);

/* Creates the curves of a face on which the face normal makes the given angle (radians) with direction or with its
 * opposite, within tolerance (mm). With angle 0 these are the face's extreme lines in that direction: generator lines
 * of cylinders and cones, circles of tori, and, where the face reaches its extreme at isolated places only (the pole of
 * a sphere, the top of a dome), point objects at those places. The objects are created on the work layer; curves
 * receives their tags (release with UF_free). A face that has no such place gives count 0 and status 0. */
int UF_MODL_create_isocline_curves(tag_t face, const double direction[3], double angle, double tolerance,
                                   tag_t **curves, int *count);

#ifdef __cplusplus
}
#endif

#endif
