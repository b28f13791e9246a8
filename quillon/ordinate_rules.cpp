#include "quillon/ordinate_rules.h"

#include "my_func/numeric_text.h"

const margin_steps Y_MARGIN_STEPS = {9.0, 18.0, 3.5, 12.5, ORDINATE_CROWDING};
const margin_steps X_MARGIN_STEPS = {3.5, 12.5, 9.0, 18.0, 18.0};

const int SLOTS_V_MIN[4] = {0, 2, 4, 6};
const int SLOTS_V_MAX[4] = {1, 3, 5, 7};
const int SLOTS_H_MIN[4] = {8, 10, 12, 14};
const int SLOTS_H_MAX[4] = {9, 11, 13, 15};

namespace {

double round2(double x) { return round_decimals(x, 2); }

/* Strictly between a and b and, rounded, equal to neither. */
bool lies_between(double c, double a, double b) {
    const double lo = a < b ? a : b, hi = a < b ? b : a;
    return lo < c && c < hi && round2(c) != round2(a) && round2(c) != round2(b);
}

int moved_to(double value, double *position) {
    *position = value;
    return 1;
}

}  // namespace

int place_edm_value(double o, double e, double cmin, double cmax, int origin_on, const margin_steps *steps,
                    edm_shift *shift, double *position) {
    if (!origin_on) return 0;
    const bool edge_between = lies_between(cmin, o, e) || lies_between(cmax, o, e);
    if (o <= e) {
        if (edge_between) return e - o < steps->p2 ? moved_to(o + steps->p2, position) : 0;
        if (e - o < ORDINATE_CROWDING) {
            shift->up_or_right = true;
            return moved_to(o + steps->p1, position);
        }
        return 0;
    }
    if (edge_between) return o - e < steps->n2 ? moved_to(o - steps->n2, position) : 0;
    if (o - e < ORDINATE_CROWDING) {
        shift->down_or_left = true;
        return moved_to(o - steps->n1, position);
    }
    return 0;
}

int place_min_value(double o, double e, double k, int origin_on, int edm_on, const edm_shift *shift,
                    const margin_steps *s, double *position) {
    const double near = ORDINATE_CROWDING;
    if (e <= o && o <= k) {
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
    } else if (e <= k && k < o) {
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
    } else if (k < e && e <= o) {
        if (shift->down_or_left) return o - k < s->n2 ? moved_to(o - s->n2, position) : 0;
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
    } else if (o < e && e <= k) {
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
        if (shift->up_or_right) return k - o < s->p2 ? moved_to(o + s->p2, position) : 0;
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
    } else if (o <= k && k < e) {
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
    } else {  // k < o < e
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
    }
    return 0;
}

int place_max_value(double o, double e, double k, int origin_on, int edm_on, const edm_shift *shift,
                    const margin_steps *s, double *position) {
    const double near = ORDINATE_CROWDING;
    if (k <= o && o <= e) {
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
    } else if (o < k && k <= e) {
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
    } else if (o <= e && e < k) {
        if (shift->up_or_right) return k - o < s->p2 ? moved_to(o + s->p2, position) : 0;
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
    } else if (k <= e && e < o) {
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
        if (shift->down_or_left) return o - k < s->max_shifted_reach ? moved_to(o - s->n2, position) : 0;
        if (edm_on && e - k < near) return moved_to(e - s->n1, position);
    } else if (e < k && k <= o) {
        if (origin_on && o - k < near) return moved_to(o - s->n1, position);
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
    } else {  // e < o < k
        if (origin_on && k - o < near) return moved_to(o + s->p1, position);
        if (edm_on && k - e < near) return moved_to(e + s->p1, position);
    }
    return 0;
}

tag_t first_edge_of(const box_edge_set *record, const int order[4], int *found) {
    for (int i = 0; i < 4; ++i) {
        const tag_t edge = box_edge_slot(record, order[i]);
        if (edge != NULL_TAG) {
            *found = i;
            return edge;
        }
    }
    *found = -1;
    return NULL_TAG;
}

int choose_edge_end(bool touching, bool is_max, bool vertical_margin, bool side_flag, double a1, double a2, double b1,
                    double b2) {
    if (touching) {
        /* Only the end on the core's extreme measures the extreme. */
        if (b1 == b2) return 2;
        const int smaller = b1 < b2 ? 1 : 2;
        return is_max ? 3 - smaller : smaller;
    }
    /* The edge lies along the extreme: the end nearer the margin keeps the extension line short. */
    if (a1 == a2) return vertical_margin ? (side_flag ? 2 : 1) : (side_flag ? 1 : 2);
    const int smaller = a1 < a2 ? 1 : 2;
    return side_flag ? smaller : 3 - smaller;
}
