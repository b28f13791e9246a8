#include "my_func/basic_analysis.h"

#include <stdio.h>
#include <stdlib.h>

#include "host/uf.h"
#include "host/uf_attr.h"
#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/check_notes.h"
#include "my_func/extents.h"
#include "my_func/numeric_text.h"
#include "my_func/tag_array.h"

/* The body's size as a designer measures it, for the check's explanations: the analysis works on the box of the
   edges' end points, which misses what a curved face bulges out (a ball's box would read 2.5 x 0 x 0). */
static char *body_size_text(tag_t body, const double bmin[3], const double bmax[3], char *out, size_t out_size) {
    double box[6];
    if (UF_MODL_ask_bounding_box(body, box) == 0) return box_size_text(box, box + 3, out, out_size);
    return box_size_text(bmin, bmax, out, out_size);
}

int elec_box_side(const double lo[3], const double hi[3], const double bmin[3], const double bmax[3]) {
    struct side {
        int direction;
        const double *lo[3];
        const double *hi[3];
    };
    const side sides[] = {
        {ELEC_DIR_T, {&bmin[0], &bmin[1], &bmax[2]}, {&bmax[0], &bmax[1], &bmax[2]}},
        {ELEC_DIR_NEG_T, {&bmin[0], &bmin[1], &bmin[2]}, {&bmax[0], &bmax[1], &bmin[2]}},
        {ELEC_DIR_F, {&bmin[0], &bmin[1], &bmin[2]}, {&bmax[0], &bmin[1], &bmax[2]}},
        {ELEC_DIR_NEG_F, {&bmin[0], &bmax[1], &bmin[2]}, {&bmax[0], &bmax[1], &bmax[2]}},
        {ELEC_DIR_S, {&bmax[0], &bmin[1], &bmin[2]}, {&bmax[0], &bmax[1], &bmax[2]}},
        {ELEC_DIR_NEG_S, {&bmin[0], &bmin[1], &bmin[2]}, {&bmin[0], &bmax[1], &bmax[2]}},
    };
    for (const side &s : sides) {
        bool covers = true;
        for (int i = 0; i < 3 && covers; ++i) covers = lo[i] == *s.lo[i] && hi[i] == *s.hi[i];
        if (covers) return s.direction;
    }
    return 0;
}

namespace {

const char *const no_memory_message = "无法分配内存,这可能是您的计算机内存不够的原因,程式将无法执行!";

void show_layer_message(const char *format, int layer) {
    char message[512];
    snprintf(message, sizeof message, format, layer);
    uc1601(message, 1);
}

/* Every line object on the layer, in cycling order: lines of other electrodes on the layer are candidates too. */
bool collect_lines(int layer, tag_array &lines) {
    tag_t tag = NULL_TAG;
    while (UF_CALL(UF_LAYER_cycle_by_layer(layer, &tag)) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = -1;
        UF_CALL(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype));
        if (type == UF_line_type && subtype == UF_line_normal_subtype && !lines.append(tag)) return false;
    }
    return true;
}

void line_box(tag_t line, double lo[3], double hi[3]) {
    UF_CURVE_line_t data = {{0, 0, 0}, {0, 0, 0}};
    UF_CALL(UF_CURVE_ask_line_data(line, &data));
    for (int i = 0; i < 3; ++i) {
        lo[i] = data.start_point[i] < data.end_point[i] ? data.start_point[i] : data.end_point[i];
        hi[i] = data.start_point[i] < data.end_point[i] ? data.end_point[i] : data.start_point[i];
    }
    round_point(lo);
    round_point(hi);
}

void read_single_side_point(tag_t body, elec_data *record) {
    int found_type = 0;
    UF_CALL(UF_ATTR_find_attribute(body, UF_ATTR_real, "s_x", &found_type));
    if (found_type != UF_ATTR_real) return;
    record->have_att_side_pt = true;
    static const char *const titles[3] = {"s_x", "s_y", "s_z"};
    for (int i = 0; i < 3; ++i) {
        UF_ATTR_value_t value;
        value.type = 0;
        value.value.real = 0.0;
        UF_CALL(UF_ATTR_read_value(body, titles[i], UF_ATTR_real, &value));
        record->att_side_pt[i] = value.type == UF_ATTR_real ? value.value.real : 0.0;
    }
}

/* A planar face with its rounded edge box. */
struct plane_face {
    tag_t face;
    double lo[3];
    double hi[3];
};

struct plane_faces {
    plane_face *items = NULL;
    int count = 0;
    ~plane_faces() { free(items); }
};

/* The planar faces of the body in list order with their boxes. -1 when memory is short, 0 when a box routine failed
 * (it has shown its message), 1 otherwise. */
int collect_planar_faces(tag_t body, plane_faces &planes) {
    uf_list_p_t faces = NULL;
    UF_CALL(UF_MODL_create_list(&faces));
    UF_CALL(UF_MODL_ask_body_faces(body, &faces));
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(faces, &count));
    int result = 1;
    planes.items = static_cast<plane_face *>(calloc(count > 0 ? count : 1, sizeof(plane_face)));
    if (planes.items == NULL) result = -1;
    for (int i = 0; i < count && result == 1; ++i) {
        tag_t face = NULL_TAG;
        UF_CALL(UF_MODL_ask_list_item(faces, i, &face));
        int face_type = 0;
        UF_CALL(UF_MODL_ask_face_type(face, &face_type));
        if (face_type != UF_MODL_PLANAR_FACE) continue;
        plane_face &plane = planes.items[planes.count];
        plane.face = face;
        if (!MY_face_box_edge(face, plane.lo, plane.hi)) {
            result = 0;
            break;
        }
        round_point(plane.lo);
        round_point(plane.hi);
        ++planes.count;
    }
    UF_CALL(UF_MODL_delete_list(&faces));
    return result;
}

bool same_extent(const plane_face &a, const plane_face &b, int axis) {
    return a.lo[axis] == b.lo[axis] && a.hi[axis] == b.hi[axis];
}

/* The depth face has the back face's outline: the same extents in x and y, in x and z, or in y and z. */
const plane_face *find_depth_face(const plane_faces &planes, const plane_face &top) {
    for (int i = 0; i < planes.count; ++i) {
        const plane_face &face = planes.items[i];
        if (face.face == top.face) continue;
        if ((same_extent(face, top, 0) && same_extent(face, top, 1)) ||
            (same_extent(face, top, 0) && same_extent(face, top, 2)) ||
            (same_extent(face, top, 1) && same_extent(face, top, 2)))
            return &face;
    }
    return NULL;
}

/* How far the face's outline is from the back face's in its best pair of axes: the largest difference of an extent. */
double outline_gap(const plane_face &face, const plane_face &top) {
    static const int pairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    double best = -1.0;
    for (const int *pair : pairs) {
        double gap = 0.0;
        for (int n = 0; n < 2; ++n) {
            const int axis = pair[n];
            const double d_lo = abs_value(face.lo[axis] - top.lo[axis]), d_hi = abs_value(face.hi[axis] - top.hi[axis]);
            if (d_lo > gap) gap = d_lo;
            if (d_hi > gap) gap = d_hi;
        }
        if (best < 0.0 || gap < best) best = gap;
    }
    return best;
}

void note_missing_depth_face(const plane_faces &planes, const plane_face &top, int layer) {
    double nearest = -1.0;
    for (int i = 0; i < planes.count; ++i) {
        if (planes.items[i].face == top.face) continue;
        const double gap = outline_gap(planes.items[i], top);
        if (nearest < 0.0 || gap < nearest) nearest = gap;
    }
    char size[3 * NUMERIC_TEXT_SIZE], gap[NUMERIC_TEXT_SIZE];
    box_size_text(top.lo, top.hi, size, sizeof size);
    if (nearest < 0.0) {
        check_note(
            "layer %d: the back face (%s mm) is the body's only planar face; the depth face, a planar face with "
            "the back face's outline, is missing: give the base straight sides down to a flat depth face",
            layer, size);
        return;
    }
    check_note(
        "layer %d: no planar face has the back face's outline (%s mm); the nearest differs by %s mm, allowed 0: "
        "keep the depth face whole (no relief cut into it) and the base's sides square",
        layer, size, format_trimmed(nearest, 3, gap, sizeof gap));
}

/* The line that comes nearest to the depth face's corners, and by how much its worse end misses. */
void note_missing_diagonal(const tag_array &lines, const plane_face &depth, int layer) {
    char from[3 * NUMERIC_TEXT_SIZE], to[3 * NUMERIC_TEXT_SIZE], gap[NUMERIC_TEXT_SIZE];
    point_text(depth.lo, from, sizeof from);
    point_text(depth.hi, to, sizeof to);
    double nearest = -1.0;
    for (int i = 0; i < lines.count; ++i) {
        double lo[3], hi[3];
        line_box(lines.items[i], lo, hi);
        double miss = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double d_lo = abs_value(depth.lo[k] - lo[k]), d_hi = abs_value(depth.hi[k] - hi[k]);
            if (d_lo > miss) miss = d_lo;
            if (d_hi > miss) miss = d_hi;
        }
        if (nearest < 0.0 || miss < nearest) nearest = miss;
    }
    if (nearest < 0.0) {
        check_note("layer %d holds no line: draw the diagonal line across the depth face, corner %s to corner %s",
                   layer, from, to);
        return;
    }
    check_note(
        "layer %d: diagonal end %s mm from the depth face's corner; allowed 0.003 mm: draw the diagonal line "
        "corner %s to corner %s",
        layer, format_trimmed(nearest, 3, gap, sizeof gap), from, to);
}

bool check_body(tag_t body) {
    int type = 0, subtype = -1;
    if (body == NULL_TAG || UF_OBJ_ask_type_and_subtype(body, &type, &subtype) != 0 || type != UF_solid_type ||
        subtype != UF_solid_body_subtype) {
        uc1601("错误! 你所传入的不是一个 solid_body 类型 ", 1);
        return false;
    }
    int body_type = 0;
    if (UF_MODL_ask_body_type(body, &body_type) != 0 || body_type != UF_MODL_SOLID_BODY) {
        uc1601("错误! 你所传入的不是一个 MODL_SOLID_BODY 的类型 ", 1);
        return false;
    }
    return true;
}

}  // namespace

int find_elec_base(tag_t body, elec_data *record, elec_base *base) {
    base->top_face = NULL_TAG;
    base->depth_face = NULL_TAG;
    for (int i = 0; i < 3; ++i) base->depth_min[i] = base->depth_max[i] = 0.0;
    if (!check_body(body)) return 0;

    UF_OBJ_disp_props_t props = {};
    UF_CALL(UF_OBJ_ask_display_properties(body, &props));
    const int layer = props.layer;
    tag_array lines;
    if (!collect_lines(layer, lines)) {
        uc1601(no_memory_message, 1);
        return 0;
    }

    double bmin[3], bmax[3];
    if (!MY_solid_box_edge(body, bmin, bmax)) return 0;
    round_point(bmin);
    round_point(bmax);

    // Without base the diagonal line lies across a whole side of the body's own box.
    for (int i = 0; i < lines.count; ++i) {
        double lo[3], hi[3];
        line_box(lines.items[i], lo, hi);
        const int direction = elec_box_side(lo, hi, bmin, bmax);
        if (direction == 0) continue;
        record->not_have_base = true;
        record->elec_direction = direction;
        record->elec_tag = body;
        record->ling_tag = lines.items[i];
        for (int k = 0; k < 3; ++k) {
            record->elec_point[k] = hi[k] / 2 + lo[k] / 2;
            record->elec_box_min[k] = bmin[k];
            record->elec_box_max[k] = bmax[k];
        }
        read_single_side_point(body, record);
        return 1;
    }

    plane_faces planes;
    const int listed = collect_planar_faces(body, planes);
    if (listed < 0) uc1601(no_memory_message, 1);
    if (listed <= 0) return 0;

    // A second face spanning a side means a plain block or a body that was never united into one.
    int side_faces = 0;
    for (int i = 0; i < planes.count && side_faces < 2; ++i)
        if (elec_box_side(planes.items[i].lo, planes.items[i].hi, bmin, bmax) != 0) ++side_faces;
    if (side_faces >= 2) {
        char size[3 * NUMERIC_TEXT_SIZE];
        check_note(
            "layer %d: %d planar faces each cover a whole side of the body's box (%s mm) and no line lies "
            "across a side: a block needs its diagonal line across the side it is held by, a base and working "
            "part must be united into one body",
            layer, side_faces, body_size_text(body, bmin, bmax, size, sizeof size));
        show_layer_message("第 %d 层中的铜公没有对角线,或者对角线数据不对! 或者未合并! 请返回检查!", layer);
        return 0;
    }

    const plane_face *top = NULL;
    for (int i = 0; i < planes.count && top == NULL; ++i) {
        const int direction = elec_box_side(planes.items[i].lo, planes.items[i].hi, bmin, bmax);
        if (direction == 0) continue;
        top = &planes.items[i];
        record->elec_direction = direction;
    }
    if (top == NULL) {
        char size[3 * NUMERIC_TEXT_SIZE];
        check_note(
            "layer %d: no planar face covers a whole side of the body's box (%s mm): square the base to the "
            "model axes and keep the working part inside the base's outline, as one united body",
            layer, body_size_text(body, bmin, bmax, size, sizeof size));
        show_layer_message("第 %d 层中的铜公的基准台与坐标系不垂直,或者铜公体超出了基准台外形! 或者未合并! 请返回检查!",
                           layer);
        return 0;
    }

    // What was found is kept as it is found: a check reports how far the search came.
    base->top_face = top->face;
    const plane_face *depth = find_depth_face(planes, *top);
    if (depth == NULL) {
        note_missing_depth_face(planes, *top, layer);
        show_layer_message(
            "第 %d 层中的铜公的深度取数面无法找出,这可能是基准台做避空时,切掉了*一部份深度取数面造成的,"
            "或者是基准台外形不垂直,请返回检查!",
            layer);
        return 0;
    }

    base->depth_face = depth->face;
    tag_t diagonal = NULL_TAG;
    for (int i = 0; i < lines.count && diagonal == NULL_TAG; ++i) {
        double lo[3], hi[3];
        line_box(lines.items[i], lo, hi);
        bool fits = true;
        for (int k = 0; k < 3 && fits; ++k)
            fits = within_tolerance(depth->lo[k], lo[k], 0.003) && within_tolerance(depth->hi[k], hi[k], 0.003);
        if (fits) diagonal = lines.items[i];
    }
    if (diagonal == NULL_TAG) {
        note_missing_diagonal(lines, *depth, layer);
        show_layer_message("第 %d 层中的铜公没有对角线,或者对角线数据不对!请返回检查!", layer);
        return 0;
    }

    record->elec_tag = body;
    record->ling_tag = diagonal;
    for (int k = 0; k < 3; ++k) {
        // The middle of the depth face, not of the line: the line may be off the corners by the tolerance.
        record->elec_point[k] = depth->hi[k] / 2 + depth->lo[k] / 2;
        record->elec_box_min[k] = bmin[k];
        record->elec_box_max[k] = bmax[k];
        base->depth_min[k] = depth->lo[k];
        base->depth_max[k] = depth->hi[k];
    }
    base->top_face = top->face;
    base->depth_face = depth->face;
    read_single_side_point(body, record);
    return 1;
}

int analyse_elec_body_basic(tag_t body, elec_data *record) {
    init_elec_data(record);
    elec_base base;
    return find_elec_base(body, record, &base);
}
