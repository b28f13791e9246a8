#include "quillon/copy_rotation.h"

#include <cmath>
#include <vector>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_modl.h"

namespace {

/* Copies agree to 0.02 mm in outline; the centroids they are compared about carry that error once more. */
const double MATCH_TOL = 0.05;

struct local_point {
    double x, y, a; /* across the axis (x, y with x × y along it) and along it */
};

double dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

/* The points about their centroid in a frame whose third axis is axis. */
std::vector<local_point> about_centroid(const double *points, int count, const double axis[3]) {
    double c[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) c[k] += points[3 * i + k] / count;
    // Any direction across the axis will do for the first, as both bodies use the same.
    double e1[3] = {1.0, 0.0, 0.0};
    if (std::fabs(axis[0]) > 0.5) e1[0] = 0.0, e1[1] = 1.0;
    const double along = dot(e1, axis);
    for (int k = 0; k < 3; ++k) e1[k] -= along * axis[k];
    const double n = std::sqrt(dot(e1, e1));
    for (int k = 0; k < 3; ++k) e1[k] /= n;
    const double e2[3] = {axis[1] * e1[2] - axis[2] * e1[1], axis[2] * e1[0] - axis[0] * e1[2],
                          axis[0] * e1[1] - axis[1] * e1[0]};
    std::vector<local_point> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double r[3] = {points[3 * i] - c[0], points[3 * i + 1] - c[1], points[3 * i + 2] - c[2]};
        out.push_back({dot(r, e1), dot(r, e2), dot(r, axis)});
    }
    return out;
}

/* Every point of first, turned by angle (radians), lands within the tolerance of a point of copy. */
bool turn_matches(const std::vector<local_point> &first, const std::vector<local_point> &copy, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    for (const local_point &p : first) {
        const double x = c * p.x - s * p.y, y = s * p.x + c * p.y;
        bool found = false;
        for (const local_point &q : copy)
            if (std::fabs(q.a - p.a) <= MATCH_TOL && std::hypot(q.x - x, q.y - y) <= MATCH_TOL) {
                found = true;
                break;
            }
        if (!found) return false;
    }
    return true;
}

/* The end vertices of the body's edges; a closed edge without a vertex (a full circle) adds the mean of points
 * along it, which turns with the body as a vertex does. */
std::vector<double> body_vertices(tag_t body) {
    std::vector<double> out;
    uf_list_p_t edges = NULL;
    if (UF_CALL(UF_MODL_ask_body_edges(body, &edges)) != 0) return out;
    int count = 0;
    UF_CALL(UF_MODL_ask_list_count(edges, &count));
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        if (UF_CALL(UF_MODL_ask_list_item(edges, i, &edge)) != 0) continue;
        double p1[3], p2[3];
        int ends = 0;
        if (UF_CALL(UF_MODL_ask_edge_verts(edge, p1, p2, &ends)) != 0) continue;
        if (ends >= 1) out.insert(out.end(), p1, p1 + 3);
        if (ends == 2) out.insert(out.end(), p2, p2 + 3);
        if (ends != 0) continue;
        int samples = 0;
        double *points = NULL;
        if (UF_CALL(UF_MODL_ask_curve_points(edge, 0.01, 0.0, 0.0, &samples, &points)) != 0 || samples < 1) continue;
        // A closed curve's last point repeats its first.
        const int distinct = samples > 1 ? samples - 1 : samples;
        double mean[3] = {0.0, 0.0, 0.0};
        for (int j = 0; j < distinct; ++j)
            for (int k = 0; k < 3; ++k) mean[k] += points[3 * j + k] / distinct;
        UF_free(points);
        out.insert(out.end(), mean, mean + 3);
    }
    UF_CALL(UF_MODL_delete_list(&edges));
    return out;
}

}  // namespace

int burn_axis(int elec_direction, double axis[3]) {
    axis[0] = axis[1] = axis[2] = 0.0;
    switch (elec_direction) {
        case ELEC_DIR_T:
            axis[2] = 1.0;
            return 1;
        case ELEC_DIR_NEG_T:
            axis[2] = -1.0;
            return 1;
        case ELEC_DIR_F:
            axis[1] = -1.0;
            return 1;
        case ELEC_DIR_NEG_F:
            axis[1] = 1.0;
            return 1;
        case ELEC_DIR_S:
            axis[0] = 1.0;
            return 1;
        case ELEC_DIR_NEG_S:
            axis[0] = -1.0;
            return 1;
        default:
            return 0;
    }
}

int rotation_between(const double *first, int first_count, const double *copy, int copy_count, const double axis[3],
                     double *degrees) {
    if (first_count != copy_count || first_count < 1) return 0;
    const std::vector<local_point> a = about_centroid(first, first_count, axis);
    const std::vector<local_point> b = about_centroid(copy, copy_count, axis);
    // The point farthest from the axis goes to one of the copy's points as far out and as high: each such pairing
    // gives a turn to try.
    size_t pivot = 0;
    for (size_t i = 1; i < a.size(); ++i)
        if (std::hypot(a[i].x, a[i].y) > std::hypot(a[pivot].x, a[pivot].y)) pivot = i;
    const double reach = std::hypot(a[pivot].x, a[pivot].y);
    if (reach <= MATCH_TOL) {
        // Every vertex on the axis: a turn changes nothing that can be seen.
        if (!turn_matches(a, b, 0.0)) return 0;
        *degrees = 0.0;
        return 1;
    }
    double best = -1.0;
    for (const local_point &q : b) {
        if (std::fabs(q.a - a[pivot].a) > MATCH_TOL || std::fabs(std::hypot(q.x, q.y) - reach) > MATCH_TOL) continue;
        const double angle = std::atan2(q.y, q.x) - std::atan2(a[pivot].y, a[pivot].x);
        double turn = std::fmod(angle * 180.0 / M_PI + 720.0, 360.0);
        // A hair short of a full turn is none; quarter turns come out whole.
        if (turn > 360.0 - 1e-3) turn = 0.0;
        if (std::fabs(turn - 90.0 * std::round(turn / 90.0)) < 1e-3) turn = 90.0 * std::round(turn / 90.0);
        if (turn >= 360.0) turn = 0.0;
        if ((best < 0.0 || turn < best) && turn_matches(a, b, angle)) best = turn;
    }
    if (best < 0.0) return 0;
    *degrees = best;
    return 1;
}

int copy_rotation(const elec_data *first, const elec_data *copy, double *degrees) {
    if (first->elec_tag == copy->elec_tag) {
        *degrees = 0.0;
        return 1;
    }
    double axis[3];
    if (first->elec_direction != copy->elec_direction || !burn_axis(copy->elec_direction, axis)) return 0;
    const std::vector<double> a = body_vertices(first->elec_tag);
    const std::vector<double> b = body_vertices(copy->elec_tag);
    return rotation_between(a.data(), static_cast<int>(a.size() / 3), b.data(), static_cast<int>(b.size() / 3), axis,
                            degrees);
}
