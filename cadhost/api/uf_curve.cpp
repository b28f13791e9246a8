// Free curves and points.
#include <cmath>

#include "cadhost/api/boundary.h"
#include "host/uf_curve.h"

using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::finite;
using cadhost::api::from_c;
using cadhost::api::to_c;
using cadhost::api::with_part;

extern "C" {

int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_t* data) {
    if (!data) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(line);
        if (!found) return UF_err_bad_tag;
        const auto* payload = found->as<cadhost::LineData>();
        if (!payload) return UF_err_wrong_type;
        to_c(payload->start, data->start_point);
        to_c(payload->end, data->end_point);
        return UF_ok;
    });
}

int UF_CURVE_ask_arc_data(tag_t arc, UF_CURVE_arc_t* data) {
    if (!data) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(arc);
        if (!found) return UF_err_bad_tag;
        const auto* payload = found->as<cadhost::ArcData>();
        if (!payload) return UF_err_wrong_type;
        to_c(payload->position.Location(), data->arc_center);
        data->radius = payload->radius;
        data->start_angle = payload->start;
        data->end_angle = payload->end;
        const gp_Dir& x = payload->position.XDirection();
        const gp_Dir& y = payload->position.YDirection();
        data->x_axis[0] = x.X(), data->x_axis[1] = x.Y(), data->x_axis[2] = x.Z();
        data->y_axis[0] = y.X(), data->y_axis[1] = y.Y(), data->y_axis[2] = y.Z();
        return UF_ok;
    });
}

int UF_CURVE_ask_point_data(tag_t point, double coordinates[3]) {
    if (!coordinates) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(point);
        if (!found) return UF_err_bad_tag;
        const auto* payload = found->as<cadhost::PointData>();
        if (!payload) return UF_err_wrong_type;
        to_c(payload->point, coordinates);
        return UF_ok;
    });
}

int UF_CURVE_create_point(const double coordinates[3], tag_t* point) {
    if (!coordinates || !point) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!finite(coordinates, 3)) return UF_err_bad_argument;
        *point = doc.add_point(from_c(coordinates));
        return UF_ok;
    });
}

int UF_CURVE_create_line(const UF_CURVE_line_t* data, tag_t* line) {
    if (!data || !line) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!finite(data->start_point, 3) || !finite(data->end_point, 3)) return UF_err_bad_argument;
        gp_Pnt start = from_c(data->start_point), end = from_c(data->end_point);
        // A line needs length: a zero-length line has no direction to draw or measure along.
        if (start.Distance(end) < 1e-9) return UF_err_bad_argument;
        *line = doc.add_line(start, end);
        return UF_ok;
    });
}

int UF_CURVE_create_arc(const UF_CURVE_arc_t* data, tag_t* arc) {
    if (!data || !arc) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const double numbers[] = {data->radius, data->start_angle, data->end_angle};
        if (!finite(data->arc_center, 3) || !finite(data->x_axis, 3) || !finite(data->y_axis, 3) || !finite(numbers, 3))
            return UF_err_bad_argument;
        gp_Vec x(data->x_axis[0], data->x_axis[1], data->x_axis[2]);
        gp_Vec y(data->y_axis[0], data->y_axis[1], data->y_axis[2]);
        if (data->radius <= 0 || x.Magnitude() < 1e-12 || y.Magnitude() < 1e-12 || x.IsParallel(y, 1e-9) ||
            !(data->end_angle > data->start_angle))
            return UF_err_bad_argument;
        gp_Dir normal(x.Crossed(y));
        cadhost::ArcData payload{gp_Ax2(from_c(data->arc_center), normal, gp_Dir(x)), data->radius, data->start_angle,
                                 data->end_angle};
        *arc = doc.add_arc(payload);
        return UF_ok;
    });
}

}  // extern "C"
