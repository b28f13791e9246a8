// Coordinate systems and matrices.
#include "cadhost/api/boundary.h"
#include "host/uf_csys.h"

using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

extern "C" {

int UF_CSYS_ask_wcs(tag_t* wcs) {
    if (!wcs) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *wcs = doc.wcs();
        return UF_ok;
    });
}

int UF_CSYS_ask_csys_info(tag_t csys, tag_t* matrix, double origin[3]) {
    if (!matrix || !origin) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(csys);
        if (!found) return UF_err_bad_tag;
        const auto* payload = found->as<cadhost::CsysData>();
        if (!payload) return UF_err_wrong_type;
        *matrix = payload->matrix;
        cadhost::api::to_c(payload->origin, origin);
        return UF_ok;
    });
}

int UF_CSYS_ask_matrix_values(tag_t matrix, double values[9]) {
    if (!values) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(matrix);
        if (!found) return UF_err_bad_tag;
        const auto* payload = found->as<cadhost::MatrixData>();
        if (!payload) return UF_err_wrong_type;
        const gp_Dir axes[3] = {payload->axes.XDirection(), payload->axes.YDirection(), payload->axes.Direction()};
        for (int row = 0; row < 3; ++row) {
            values[3 * row] = axes[row].X();
            values[3 * row + 1] = axes[row].Y();
            values[3 * row + 2] = axes[row].Z();
        }
        return UF_ok;
    });
}

}  // extern "C"
