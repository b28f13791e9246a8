#include <cstring>

#include "my_func/numeric_text.h"
#include "quillon/elec_body_dims.h"

namespace {

constexpr double CHAR_WIDTH = 2.5; /* sheet mm per character of a value's text */
constexpr double TEXT_GAP = 3.0;   /* between a moved value and the end of its dimension */
constexpr double OVERALL_OFFSET = 11.0;
constexpr double WORKING_OFFSET = 5.5;

}  // namespace

int body_dim_axes(int elec_direction, body_view_axes *axes) {
    switch (elec_direction) {
        case ELEC_DIR_T:
        case ELEC_DIR_NEG_T:
            *axes = {0, 1, 2};
            return 1;
        case ELEC_DIR_F:
        case ELEC_DIR_NEG_F:
            *axes = {0, 2, 1};
            return 1;
        case ELEC_DIR_S:
        case ELEC_DIR_NEG_S:
            *axes = {1, 2, 0};
            return 1;
        default:
            return 0;
    }
}

bool body_dim_is_horizontal(int kind, int ortho_proj_dir) {
    return kind == BODY_DIM_TOP_WIDTH || (kind == BODY_DIM_SIDE_DEPTH && ortho_proj_dir == 2);
}

int body_dim_end(int candidate, bool high_end, bool horizontal, int elec_direction, int m, int other,
                 const double p1[3], const double p2[3]) {
    // A touching edge may run anywhere; its vertex on the measured side is the one that reaches furthest out.
    if (candidate == 4) {
        const bool first_wins = high_end ? p1[m] > p2[m] : p1[m] < p2[m];
        return first_wins ? 1 : 2;
    }
    // The other edges lie in the side plane; the vertex chosen is the one nearer the view's outer edge, the same at
    // both ends, so that the extension lines start on the same side of the outline.
    bool smaller;
    if (horizontal)
        smaller = elec_direction == ELEC_DIR_T;
    else
        smaller = elec_direction != ELEC_DIR_F && elec_direction != ELEC_DIR_S;
    const bool first_wins = smaller ? p1[other] < p2[other] : p1[other] > p2[other];
    return first_wins ? 1 : 2;
}

bool body_dim_text_fits(double value, double scale, double *text_width) {
    char text[NUMERIC_TEXT_SIZE];
    if (BODY_DIM_TRAILING_ZEROS)
        format_decimals(value, BODY_DIM_DECIMALS, text, sizeof text);
    else
        format_trimmed(value, BODY_DIM_DECIMALS, text, sizeof text);
    *text_width = CHAR_WIDTH * static_cast<double>(std::strlen(text));
    return *text_width <= value * scale;
}

void place_body_dim(const body_dim_spot *spot, double dim_point[3]) {
    double tw = 0.0;
    const bool fits = body_dim_text_fits(spot->value, spot->scale, &tw);
    const double s = spot->scale, w = spot->value * s;
    const double e = spot->group == 1 ? OVERALL_OFFSET : WORKING_OFFSET;
    const double half_w = spot->ext_w * s / 2.0, half_h = spot->ext_h * s / 2.0, half_d = spot->ext_d * s / 2.0;
    const double rx = spot->ref[0], ry = spot->ref[1];
    const bool horizontal = body_dim_is_horizontal(spot->kind, spot->ortho_proj_dir);
    // Horizontal dimensions stand above the view's outline, vertical ones left of it.
    double x = rx - half_w - e, y = ry + half_h + e;
    if (spot->group == 1) {
        if (spot->kind == BODY_DIM_SIDE_DEPTH && horizontal)
            x = fits ? rx : rx + w / 2.0 + tw / 2.0 + TEXT_GAP;
        else if (horizontal)
            x = fits ? rx : rx - w / 2.0 - tw / 2.0 - TEXT_GAP;
        else
            y = fits ? ry : ry - w / 2.0 - tw / 2.0 - TEXT_GAP;
    } else if (spot->kind == BODY_DIM_TOP_WIDTH) {
        x = fits ? (spot->m_min[0] + spot->m_max[0]) / 2.0 : rx - half_w - tw / 2.0 - TEXT_GAP;
    } else if (spot->kind == BODY_DIM_TOP_HEIGHT) {
        // Moved down past the outline, the value would meet the side view below: it goes to the right instead.
        if (!fits && spot->ortho_proj_dir == 3) x = rx + half_w + e;
        y = fits ? (spot->m_min[1] + spot->m_max[1]) / 2.0 : ry - half_h - tw / 2.0 - TEXT_GAP;
    } else if (horizontal) {
        x = fits ? rx - half_d + w / 2.0 : rx + half_d + tw / 2.0 + TEXT_GAP;
    } else {
        y = fits ? ry + half_d - w / 2.0 : ry - half_d - tw / 2.0 - TEXT_GAP;
    }
    dim_point[0] = x;
    dim_point[1] = y;
    dim_point[2] = 0.0;
}
