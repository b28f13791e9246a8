#include "my_func/edge_scans.h"

#include <stdlib.h>

#include "host/uf_call.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_types.h"
#include "host/uf_ui.h"
#include "my_func/extents.h"
#include "my_func/numeric_text.h"
#include "my_func/tag_array.h"

namespace {

constexpr int EDGE_SLOT_COUNT = 16;

/* The record's members by slot number, so that a slot is named by the same number everywhere. */
tag_t box_edge_set::*const slot_members[EDGE_SLOT_COUNT] = {
    &box_edge_set::edge_x_face_min_tag,  &box_edge_set::edge_x_face_max_tag,  &box_edge_set::edge_x_full_min_tag,
    &box_edge_set::edge_x_full_max_tag,  &box_edge_set::edge_x_one_min_tag,   &box_edge_set::edge_x_one_max_tag,
    &box_edge_set::edge_x_touch_min_tag, &box_edge_set::edge_x_touch_max_tag, &box_edge_set::edge_y_face_min_tag,
    &box_edge_set::edge_y_face_max_tag,  &box_edge_set::edge_y_full_min_tag,  &box_edge_set::edge_y_full_max_tag,
    &box_edge_set::edge_y_one_min_tag,   &box_edge_set::edge_y_one_max_tag,   &box_edge_set::edge_y_touch_min_tag,
    &box_edge_set::edge_y_touch_max_tag};

/* Slot offsets within one group of eight; the min side comes first, the max side next to it. */
constexpr int SLOT_FACE = 0;
constexpr int SLOT_FULL = 2;
constexpr int SLOT_ONE = 4;
constexpr int SLOT_TOUCH = 6;
constexpr int SLOT_GROUP_Y = 8;

/* One scan plane: model axis indices of h and v, the depth axis d, and on which side of d the fixed plane lies. */
struct scan_plane {
    int h;
    int v;
    int d;
    bool fixed_at_max;
};

const scan_plane plane_xy = {0, 1, 2, false};
const scan_plane plane_xz = {0, 2, 1, true};
const scan_plane plane_yz = {1, 2, 0, false};

/* How the touching slots fill. The core's dimensions need some edge to measure to even where the core only touches
 * its extreme with curves, yet a straight edge measures better; the electrode's dimensions measure to straight edges
 * only. */
enum touch_rule { touch_first_any_then_linear, touch_last_linear };

struct edge_scan {
    scan_plane plane;
    touch_rule touch;
    double lo[3]; /* rounded box */
    double hi[3];
    double fixed; /* the depth of the fixed plane */
    tag_t slot[EDGE_SLOT_COUNT];
    double one_extent[EDGE_SLOT_COUNT]; /* extent of the edge held in a longest-edge slot */
};

void start_scan(edge_scan &scan, const scan_plane &plane, touch_rule touch, const double box_min[3],
                const double box_max[3]) {
    scan.plane = plane;
    scan.touch = touch;
    for (int i = 0; i < 3; ++i) {
        scan.lo[i] = round_decimals(box_min[i], 3);
        scan.hi[i] = round_decimals(box_max[i], 3);
    }
    scan.fixed = plane.fixed_at_max ? scan.hi[plane.d] : scan.lo[plane.d];
    for (int i = 0; i < EDGE_SLOT_COUNT; ++i) {
        scan.slot[i] = NULL_TAG;
        scan.one_extent[i] = 0.0;
    }
}

/* An edge with rounded end points, tested against one group of eight slots: the edges that run along axis a and lie
 * at an extreme of axis s (a = h, s = v for slots 0-7; a = v, s = h for slots 8-15). */
struct scanned_edge {
    tag_t tag;
    bool linear;
    double p1[3];
    double p2[3];
};

void test_group(edge_scan &scan, const scanned_edge &edge, int a, int s, int first_slot) {
    const double *p1 = edge.p1, *p2 = edge.p2;
    const int h = scan.plane.h, v = scan.plane.v, d = scan.plane.d;
    /* An edge seen end-on in the view is a point on the sheet: nothing to measure to. */
    const bool seen_as_line = p1[h] != p2[h] || p1[v] != p2[v];
    for (int side = 0; side < 2; ++side) {
        const double at = side == 0 ? scan.lo[s] : scan.hi[s];
        const bool on_side = p1[s] == at && p2[s] == at;
        if (edge.linear && on_side) {
            const bool spans =
                (p1[a] == scan.lo[a] && p2[a] == scan.hi[a]) || (p1[a] == scan.hi[a] && p2[a] == scan.lo[a]);
            if (spans) {
                scan.slot[first_slot + SLOT_FULL + side] = edge.tag;
                if (p1[d] == scan.fixed && p2[d] == scan.fixed) scan.slot[first_slot + SLOT_FACE + side] = edge.tag;
            }
            if (p1[a] != p2[a]) {
                const int one = first_slot + SLOT_ONE + side;
                const double extent = abs_value(p1[a] - p2[a]);
                /* Of equal edges the first found stays, so the choice does not hang on the order of later bodies. */
                if (scan.slot[one] == NULL_TAG || extent > scan.one_extent[one]) {
                    scan.slot[one] = edge.tag;
                    scan.one_extent[one] = extent;
                }
            }
        }
        if ((p1[s] == at || p2[s] == at) && seen_as_line) {
            tag_t &touch = scan.slot[first_slot + SLOT_TOUCH + side];
            if (scan.touch == touch_last_linear) {
                if (edge.linear) touch = edge.tag;
            } else if (touch == NULL_TAG || edge.linear) {
                touch = edge.tag;
            }
        }
    }
}

void scan_edge(edge_scan &scan, tag_t edge) {
    scanned_edge scanned = {edge, false, {0, 0, 0}, {0, 0, 0}};
    int edge_type = 0, vertex_count = 0;
    UF_CALL(UF_MODL_ask_edge_type(edge, &edge_type));
    UF_CALL(UF_MODL_ask_edge_verts(edge, scanned.p1, scanned.p2, &vertex_count));
    /* Every slot is about where an edge ends; a closed edge has no two ends to measure to. */
    if (vertex_count != 2) return;
    scanned.linear = edge_type == UF_MODL_LINEAR_EDGE;
    round_point(scanned.p1);
    round_point(scanned.p2);
    test_group(scan, scanned, scan.plane.h, scan.plane.v, 0);
    test_group(scan, scanned, scan.plane.v, scan.plane.h, SLOT_GROUP_Y);
}

void scan_body(edge_scan &scan, tag_t body) {
    uf_list_p_t edge_list = NULL;
    int edge_count = 0;
    UF_CALL(UF_MODL_create_list(&edge_list));
    UF_CALL(UF_MODL_ask_body_edges(body, &edge_list));
    UF_CALL(UF_MODL_ask_list_count(edge_list, &edge_count));
    for (int i = 0; i < edge_count; ++i) {
        tag_t edge = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(edge_list, i, &edge));
        scan_edge(scan, edge);
    }
    UF_CALL(UF_MODL_delete_list(&edge_list));
}

void write_record(const edge_scan &scan, box_edge_set *record) {
    for (int i = 0; i < EDGE_SLOT_COUNT; ++i) record->*slot_members[i] = scan.slot[i];
}

bool is_blanked(tag_t body) {
    UF_OBJ_disp_props_t props = {};
    props.blank_status = UF_OBJ_NOT_BLANKED;
    UF_CALL(UF_OBJ_ask_display_properties(body, &props));
    return props.blank_status == UF_OBJ_BLANKED;
}

bool is_solid_body(tag_t object) {
    int type = 0, subtype = -1, body_type = 0;
    UF_CALL(UF_OBJ_ask_type_and_subtype(object, &type, &subtype));
    if (type != UF_solid_type || subtype != UF_solid_body_subtype) return false;
    UF_CALL(UF_MODL_ask_body_type(object, &body_type));
    return body_type == UF_MODL_SOLID_BODY;
}

int scan_core_edges(int mr_layer, const scan_plane &plane, box_edge_set *record) {
    tag_array mr_tag;
    tag_t object = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(mr_layer, &object)) == 0 && object != NULL_TAG) {
        if (is_solid_body(object) && !mr_tag.append(object)) {
            uc1601("无法分配内存,这可能是您的计算机内存不够的原因,程式将无法执行!", 1);
            return 0;
        }
    }
    /* A lone core is the one to draw even when it was hidden; among several, a hidden one was hidden on purpose. */
    if (mr_tag.count == 1 && is_blanked(mr_tag.items[0]))
        UF_CALL(UF_OBJ_set_blank_status(mr_tag.items[0], UF_OBJ_NOT_BLANKED));

    double box_min[3] = {0, 0, 0}, box_max[3] = {0, 0, 0};
    bool measured = false;
    for (int i = 0; i < mr_tag.count; ++i) {
        if (is_blanked(mr_tag.items[i])) continue;
        double lo[3], hi[3];
        if (!MY_solid_box_edge(mr_tag.items[i], lo, hi)) return 0;
        for (int k = 0; k < 3; ++k) {
            if (!measured || lo[k] < box_min[k]) box_min[k] = lo[k];
            if (!measured || hi[k] > box_max[k]) box_max[k] = hi[k];
        }
        measured = true;
    }
    /* Hidden bodies alone give no box to find extremes in: as good as no core at all. */
    if (!measured) {
        uc1601("错误! 你所输入的模仁层中没有实体!", 1);
        return 0;
    }

    edge_scan scan;
    start_scan(scan, plane, touch_first_any_then_linear, box_min, box_max);
    for (int i = 0; i < mr_tag.count; ++i)
        if (!is_blanked(mr_tag.items[i])) scan_body(scan, mr_tag.items[i]);
    write_record(scan, record);
    return 1;
}

int scan_body_edges(const tag_t *bodies, int body_count, const double box_min[3], const double box_max[3],
                    const scan_plane &plane, box_edge_set *record) {
    if (bodies == NULL || body_count < 1) {
        uc1601("实体数目为0,无法计算!", 1);
        return 0;
    }
    edge_scan scan;
    start_scan(scan, plane, touch_last_linear, box_min, box_max);
    for (int i = 0; i < body_count; ++i)
        if (!is_blanked(bodies[i])) scan_body(scan, bodies[i]);
    write_record(scan, record);
    return 1;
}

}  // namespace

int scan_core_edges_xy(int mr_layer, box_edge_set *record) { return scan_core_edges(mr_layer, plane_xy, record); }

int scan_core_edges_xz(int mr_layer, box_edge_set *record) { return scan_core_edges(mr_layer, plane_xz, record); }

int scan_core_edges_yz(int mr_layer, box_edge_set *record) { return scan_core_edges(mr_layer, plane_yz, record); }

int scan_body_edges_xy(const tag_t *bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set *record) {
    return scan_body_edges(bodies, body_count, box_min, box_max, plane_xy, record);
}

int scan_body_edges_yz(const tag_t *bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set *record) {
    return scan_body_edges(bodies, body_count, box_min, box_max, plane_yz, record);
}

int scan_body_edges_xz(const tag_t *bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set *record) {
    return scan_body_edges(bodies, body_count, box_min, box_max, plane_xz, record);
}

tag_t box_edge_slot(const box_edge_set *record, int slot) {
    if (record == NULL || slot < 0 || slot >= EDGE_SLOT_COUNT) return NULL_TAG;
    return record->*slot_members[slot];
}
