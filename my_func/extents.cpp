#include "my_func/extents.h"

#include <stdio.h>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"

namespace {

struct running_box {
    bool empty = true;
    double min[3] = {0, 0, 0};
    double max[3] = {0, 0, 0};

    void add(const double p[3]) {
        for (int i = 0; i < 3; ++i) {
            if (empty || p[i] < min[i]) min[i] = p[i];
            if (empty || p[i] > max[i]) max[i] = p[i];
        }
        empty = false;
    }
    void add_box(const double box[6]) {
        add(box);
        add(box + 3);
    }
};

enum class closed_edges { sampled, own_box };

/* A closed edge without vertex has no end point to speak for it: sample it, or take the host's box of it. */
void add_edge(tag_t edge, closed_edges closed, running_box &box) {
    double p1[3] = {0, 0, 0}, p2[3] = {0, 0, 0};
    int count = 0;
    UF_CALL(UF_MODL_ask_edge_verts(edge, p1, p2, &count));
    if (count >= 1) {
        box.add(p1);
        if (count == 2) box.add(p2);
        return;
    }
    if (closed == closed_edges::own_box) {
        double edge_box[6] = {0, 0, 0, 0, 0, 0};
        if (UF_CALL(UF_MODL_ask_bounding_box(edge, edge_box)) == 0) box.add_box(edge_box);
        return;
    }
    int points_count = 0;
    double *points = NULL;
    UF_CALL(UF_MODL_ask_curve_points(edge, 0.02, 0, 0, &points_count, &points));
    for (int i = 0; i < points_count; ++i) box.add(points + 3 * i);
    UF_free(points);
}

void add_list_edges(uf_list_p_t edges, closed_edges closed, running_box &box) {
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(edges, &count));
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(edges, i, &edge));
        add_edge(edge, closed, box);
    }
}

/* Where a curved face bulges beyond its edges its extreme lines lie where the normal is parallel to an axis. The
 * curves are model objects made only to be measured, so they go again at once. */
void add_bulge(tag_t face, running_box &box) {
    int face_type = 0;
    UF_CALL(UF_MODL_ask_face_type(face, &face_type));
    if (face_type == UF_MODL_PLANAR_FACE) return;
    static const double directions[3][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    for (const double *direction : directions) {
        tag_t *curves = NULL;
        int count = 0;
        // A face without an extreme line along this axis adds nothing; that is no error worth a report.
        if (UF_MODL_create_isocline_curves(face, direction, 0.0, 0.005, &curves, &count) == 0) {
            for (int i = 0; i < count; ++i) {
                double curve_box[6] = {0, 0, 0, 0, 0, 0};
                if (UF_CALL(UF_MODL_ask_bounding_box(curves[i], curve_box)) == 0) box.add_box(curve_box);
            }
            if (count > 0) {
                int *statuses = NULL;
                UF_CALL(UF_OBJ_delete_array_of_objects(count, curves, &statuses));
                UF_free(statuses);
            }
        }
        UF_free(curves);
    }
}

/* Null when the object is of the wanted type and subtype, else the message that says which check failed. */
const char *check_kind(tag_t object, int subtype, const char *null_message, const char *kind_message) {
    if (object == NULL_TAG) return null_message;
    int type = 0, found_subtype = -1;
    if (UF_OBJ_ask_type_and_subtype(object, &type, &found_subtype) != 0 || type != UF_solid_type ||
        found_subtype != subtype)
        return kind_message;
    return NULL;
}

const char *check_solid_body(tag_t body, const char *null_message, const char *solid_message,
                             const char *body_message) {
    if (const char *message = check_kind(body, UF_solid_body_subtype, null_message, solid_message)) return message;
    int body_type = 0;
    if (UF_MODL_ask_body_type(body, &body_type) != 0 || body_type != UF_MODL_SOLID_BODY) return body_message;
    return NULL;
}

/* A face or body without a single edge or curved face gives no point at all; an invented box would be measured from
 * as if it were real, so the routines fail instead. */
int write_box(const running_box &box, const char *routine, double min[3], double max[3]) {
    if (box.empty) {
        char message[160];
        snprintf(message, sizeof message, "错误! %s 子程式找不到任何边, 无法求出外形", routine);
        uc1601(message, 1);
        return 0;
    }
    for (int i = 0; i < 3; ++i) {
        min[i] = box.min[i];
        max[i] = box.max[i];
    }
    return 1;
}

void add_face_edges(tag_t face, closed_edges closed, running_box &box) {
    uf_list_p_t edges = NULL;
    UF_CALL(UF_MODL_create_list(&edges));
    UF_CALL(UF_MODL_ask_face_edges(face, &edges));
    add_list_edges(edges, closed, box);
    UF_CALL(UF_MODL_delete_list(&edges));
}

void add_body_edges(tag_t body, closed_edges closed, running_box &box) {
    uf_list_p_t edges = NULL;
    UF_CALL(UF_MODL_create_list(&edges));
    UF_CALL(UF_MODL_ask_body_edges(body, &edges));
    add_list_edges(edges, closed, box);
    UF_CALL(UF_MODL_delete_list(&edges));
}

}  // namespace

int MY_face_box_edge(tag_t face, double min[3], double max[3]) {
    if (const char *message =
            check_kind(face, UF_solid_face_subtype, "错误! MY_face_box_edge 子程式接收的是一个空的 tag",
                       " 错误! MY_face_box_edge 子程式接收的不是一个 solid face 类型")) {
        uc1601(message, 1);
        return 0;
    }
    running_box box;
    add_face_edges(face, closed_edges::sampled, box);
    return write_box(box, "MY_face_box_edge", min, max);
}

int MY_solid_box_edge(tag_t body, double min[3], double max[3]) {
    if (const char *message = check_solid_body(body, "错误! MY_solid_box_edge 子程式接收的是一个空的 tag",
                                               " 错误! MY_solid_box_edge 子程式接收的不是一个 solid 类型",
                                               " 错误! MY_solid_box_edge 子程式接收的不是一个 solid body 类型")) {
        uc1601(message, 1);
        return 0;
    }
    running_box box;
    add_body_edges(body, closed_edges::sampled, box);
    return write_box(box, "MY_solid_box_edge", min, max);
}

int MY_face_box_iso(tag_t face, double min[3], double max[3]) {
    if (const char *message =
            check_kind(face, UF_solid_face_subtype, "错误! MY_face_box_iso 子程式接收的是一个空的 tag",
                       " 错误! MY_face_box_iso 子程式接收的不是一个 face 类型")) {
        uc1601(message, 1);
        return 0;
    }
    running_box box;
    add_face_edges(face, closed_edges::own_box, box);
    add_bulge(face, box);
    return write_box(box, "MY_face_box_iso", min, max);
}

int MY_solid_box_iso(tag_t body, double min[3], double max[3]) {
    // The same checks and texts as the edge box: the iso box stands in for it wherever a body is measured.
    if (const char *message = check_solid_body(body, "错误! MY_solid_box_edge 子程式接收的是一个空的 tag",
                                               " 错误! MY_solid_box_edge 子程式接收的不是一个 solid 类型",
                                               " 错误! MY_solid_box_edge 子程式接收的不是一个 solid body 类型")) {
        uc1601(message, 1);
        return 0;
    }
    running_box box;
    add_body_edges(body, closed_edges::own_box, box);
    uf_list_p_t faces = NULL;
    UF_CALL(UF_MODL_create_list(&faces));
    UF_CALL(UF_MODL_ask_body_faces(body, &faces));
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(faces, &count));
    for (int i = 0; i < count; ++i) {
        tag_t face = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(faces, i, &face));
        add_bulge(face, box);
    }
    UF_CALL(UF_MODL_delete_list(&faces));
    return write_box(box, "MY_solid_box_iso", min, max);
}
