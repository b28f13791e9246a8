#include "my_func1/body_analysis.h"

#include <stdio.h>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "my_func/basic_analysis.h"
#include "my_func/extents.h"
#include "my_func/numeric_text.h"

namespace {

void clear_record(elec_data *record, int layer, int layer_count, int layer_index) {
    init_elec_data(record);
    record->elec_top_face = NULL_TAG;
    record->elec_depth_face = NULL_TAG;
    for (int i = 0; i < 3; ++i) record->elec_body_min[i] = record->elec_body_max[i] = 0.0;
    record->elec_name[0] = '\0';
    record->chamfer_corner = 0;
    record->elec_layer = layer;
    record->elec_layer_count = layer_count;
    record->elec_layer_index = layer_index;
}

/* Whether a face box lies wholly beyond the depth plane p, on the side the working part projects to. */
bool beyond_depth_plane(int direction, const double lo[3], const double hi[3], double p) {
    switch (direction) {
        case ELEC_DIR_T:
            return hi[2] <= p;
        case ELEC_DIR_NEG_T:
            return lo[2] >= p;
        case ELEC_DIR_F:
            return lo[1] >= p;
        case ELEC_DIR_NEG_F:
            return hi[1] <= p;
        case ELEC_DIR_S:
            return hi[0] <= p;
        case ELEC_DIR_NEG_S:
            return lo[0] >= p;
        default:
            return false;
    }
}

int direction_axis(int direction) {
    switch (direction) {
        case ELEC_DIR_T:
        case ELEC_DIR_NEG_T:
            return 2;
        case ELEC_DIR_F:
        case ELEC_DIR_NEG_F:
            return 1;
        default:
            return 0;
    }
}

/* The working part's box from every face beyond the depth face. 0 when a box routine failed. */
int measure_working_part(tag_t body, const elec_base &base, elec_data *record) {
    const double p = base.depth_min[direction_axis(record->elec_direction)];
    uf_list_p_t faces = NULL;
    UF_CALL(UF_MODL_create_list(&faces));
    UF_CALL(UF_MODL_ask_body_faces(body, &faces));
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(faces, &count));
    bool found = false;
    for (int i = 0; i < count; ++i) {
        tag_t face = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(faces, i, &face));
        double lo[3], hi[3];
        if (!MY_face_box_iso(face, lo, hi)) {
            UF_CALL(UF_MODL_delete_list(&faces));
            return 0;
        }
        round_point(lo);
        round_point(hi);
        if (face == base.depth_face || !beyond_depth_plane(record->elec_direction, lo, hi, p)) continue;
        for (int k = 0; k < 3; ++k) {
            if (!found || lo[k] < record->elec_body_min[k]) record->elec_body_min[k] = lo[k];
            if (!found || hi[k] > record->elec_body_max[k]) record->elec_body_max[k] = hi[k];
        }
        found = true;
    }
    UF_CALL(UF_MODL_delete_list(&faces));
    // Without a working face the zero box is no extent of the body: widening with it would stretch the body box to
    // the model origin and every size drawn from it.
    if (!found) return 1;
    for (int k = 0; k < 3; ++k) {
        if (record->elec_body_min[k] < record->elec_box_min[k]) record->elec_box_min[k] = record->elec_body_min[k];
        if (record->elec_body_max[k] > record->elec_box_max[k]) record->elec_box_max[k] = record->elec_body_max[k];
    }
    return 1;
}

/* The in-plane axes (a, b) of the back face and its corners, codes 1 to 4 anticlockwise from the upper right as seen
 * from outside the face: +y is up for t, -y for -t, +z for the four sides. Each corner is (max a?, max b?). */
void corner_table(int direction, const double bmin[3], const double bmax[3], int &a, int &b, double corners[4][2]) {
    static const bool upper_right_first[4][2] = {{true, true}, {false, true}, {false, false}, {true, false}};
    a = direction == ELEC_DIR_S || direction == ELEC_DIR_NEG_S ? 1 : 0;
    b = direction == ELEC_DIR_T || direction == ELEC_DIR_NEG_T ? 1 : 2;
    // Seen from outside, -t turns b upside down; -f and -s turn a left to right.
    const bool flip_a = direction == ELEC_DIR_NEG_F || direction == ELEC_DIR_NEG_S;
    const bool flip_b = direction == ELEC_DIR_NEG_T;
    for (int i = 0; i < 4; ++i) {
        corners[i][0] = upper_right_first[i][0] != flip_a ? bmax[a] : bmin[a];
        corners[i][1] = upper_right_first[i][1] != flip_b ? bmax[b] : bmin[b];
    }
}

/* The single 45-degree chamfer edge of the back face marks the orientation; two or more mark nothing. */
void find_chamfer_corner(tag_t top_face, const double bmin[3], const double bmax[3], elec_data *record) {
    int a = 0, b = 0;
    double corners[4][2];
    corner_table(record->elec_direction, bmin, bmax, a, b, corners);
    uf_list_p_t edges = NULL;
    UF_CALL(UF_MODL_create_list(&edges));
    UF_CALL(UF_MODL_ask_face_edges(top_face, &edges));
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(edges, &count));
    int hits = 0;
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(edges, i, &edge));
        int edge_type = 0;
        UF_CALL(UF_MODL_ask_edge_type(edge, &edge_type));
        if (edge_type != UF_MODL_LINEAR_EDGE) continue;
        double p1[3] = {0, 0, 0}, p2[3] = {0, 0, 0};
        int verts = 0;
        UF_CALL(UF_MODL_ask_edge_verts(edge, p1, p2, &verts));
        round_point(p1);
        round_point(p2);
        if (p1[a] == p2[a] || p1[b] == p2[b]) continue;
        const bool at_45 = within_tolerance(abs_value(p1[a] - p2[a]), abs_value(p1[b] - p2[b]), 0.02);
        for (int code = 1; code <= 4; ++code) {
            const double A = corners[code - 1][0], B = corners[code - 1][1];
            const bool cuts = (p1[a] == A && p2[b] == B) || (p2[a] == A && p1[b] == B);
            if (cuts && at_45) {
                record->chamfer_corner = code;
                ++hits;
            }
        }
    }
    if (hits != 1) record->chamfer_corner = 0;
    UF_CALL(UF_MODL_delete_list(&edges));
}

}  // namespace

int analyse_elec_body(tag_t body, elec_data *record, int layer, int layer_count, int layer_index) {
    clear_record(record, layer, layer_count, layer_index);
    elec_base base;
    if (!find_elec_base(body, record, &base)) {
        record->elec_top_face = base.top_face;
        record->elec_depth_face = base.depth_face;
        return 0;
    }
    if (record->not_have_base) return 1;
    record->elec_top_face = base.top_face;
    record->elec_depth_face = base.depth_face;

    // The chamfer is judged on the body box before the working part widens it.
    double bmin[3], bmax[3];
    for (int k = 0; k < 3; ++k) bmin[k] = record->elec_box_min[k], bmax[k] = record->elec_box_max[k];
    if (!measure_working_part(body, base, record)) return 0;
    find_chamfer_corner(base.top_face, bmin, bmax, record);

    char name[UF_OBJ_NAME_BUFSIZE] = "";
    if (UF_OBJ_ask_name(body, name) == 0) snprintf(record->elec_name, sizeof record->elec_name, "%s", name);
    return 1;
}
