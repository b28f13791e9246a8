// Checks every position and ordinate dimension of a sheet's JSON report against the mould's construction: what each
// is attached to (the EDM point, a centre line through the origin, an edge on the core's extreme) and that its
// measured value is that point's distance from the origin along the dimension's axis, worked out from the
// generator's numbers, not from the report.
#ifndef TESTS_DIMENSIONS_DIMENSION_CHECK_H
#define TESTS_DIMENSIONS_DIMENSION_CHECK_H

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace dimensions_test {

using nlohmann::json;

inline double dot(const json& a, const json& b) {
    return a[0].get<double>() * b[0].get<double>() + a[1].get<double>() * b[1].get<double>() +
           a[2].get<double>() * b[2].get<double>();
}

inline bool same_point(const json& a, const json& b, double tol = 1e-3) {
    for (int i = 0; i < 3; ++i)
        if (std::fabs(a[i].get<double>() - b[i].get<double>()) > tol) return false;
    return true;
}

// The point the sheet's electrode is positioned by: its single-side touch point when it has one.
inline json edm_point_of(const json& electrode) {
    return electrode["single_side_point"].is_null() ? electrode["reference_point"] : electrode["single_side_point"];
}

// The view box on the sheet: the core and the electrode's body, mapped through the view from the EDM point's sheet
// point, per sheet axis sorted.
inline std::array<double, 4> sheet_box(const json& view, const json& electrode, const json& core, const json& edm,
                                       const json& edm_sheet) {
    const double s = view["scale"];
    std::array<double, 4> box = {1e300, 1e300, -1e300, -1e300};
    for (int corner = 0; corner < 8; ++corner) {
        json p = json::array();
        for (int i = 0; i < 3; ++i) {
            const double lo = std::min(core["min"][i].get<double>(), electrode["body_box"]["min"][i].get<double>());
            const double hi = std::max(core["max"][i].get<double>(), electrode["body_box"]["max"][i].get<double>());
            p.push_back(((corner >> i) & 1 ? hi : lo) - edm[i].get<double>());
        }
        const double x = edm_sheet[0].get<double>() + s * dot(p, view["right"]);
        const double y = edm_sheet[1].get<double>() + s * dot(p, view["up"]);
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    }
    return box;
}

// A position dimension's value stands outside the view box on the side of its middle the EDM point lies on, and
// along the dimension midway between its ends, or beyond the EDM point when the value as shown (3 decimals, trailing
// zeros dropped; 3.175 mm a character) is longer than the dimension on the sheet.
inline void check_linear_text(const json& a, const json& view, const json& electrode, const json& core, bool horizontal,
                              const std::string& what) {
    const json edm = edm_point_of(electrode);
    const json& e_sheet = a["first"]["sheet_point"];
    const auto box = sheet_box(view, electrode, core, edm, e_sheet);
    const int across = horizontal ? 1 : 0, along = 1 - across;
    const double text_across = a["position"][across], e = e_sheet[across];
    const double mid = (box[across] + box[across + 2]) / 2;
    if (e > mid + 1e-6) {
        EXPECT_GT(text_across, box[across + 2]) << what << ": value not beyond the upper/right side";
    }
    if (e < mid - 1e-6) {
        EXPECT_LT(text_across, box[across]) << what << ": value not beyond the lower/left side";
    }
    const json& axis = horizontal ? view["right"] : view["up"];
    int i = 0;
    for (int k = 0; k < 3; ++k)
        if (std::fabs(axis[k].get<double>()) > 0.5) i = k;
    const double d = 0.0 - edm[i].get<double>();  // the centre line's coordinate less the EDM point's
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", std::fabs(d));
    std::string shown = text;
    while (shown.back() == '0') shown.pop_back();
    if (shown.back() == '.') shown.pop_back();
    const double n = static_cast<double>(shown.size()), s = view["scale"];
    const double p = a["second"]["sheet_point"][along], ea = e_sheet[along];
    const double want =
        n * 3.175 > std::fabs(d) * s ? (p <= ea ? ea + n * 3.175 / 2 + 4 : ea - n * 3.175 / 2 - 4) : (p + ea) / 2;
    EXPECT_NEAR(a["position"][along].get<double>(), want, 1e-3) << what << ": value along the dimension";
}

struct SheetDimensions {
    int linear_top = 0, linear_front = 0, ordinates_top = 0, ordinates_front = 0;
    int edm_ordinates = 0;
};

// Checks one sheet; core is the generator's core box {"min", "max"}, the origin the model origin. With every switch
// on, the EDM point has a value on each margin whose axis it lies off the origin on.
inline SheetDimensions check_sheet_dimensions(const json& sheet, const json& electrode, const json& core,
                                              bool switches_on) {
    const std::string name = sheet["name"];
    SheetDimensions seen;
    const json& views = sheet["views"];
    EXPECT_GE(views.size(), 2u) << name;
    if (views.size() < 2) return seen;
    std::map<long, const json*> view_of, annotation_of;
    for (const json& v : views) view_of[v["tag"].get<long>()] = &v;
    for (const json& a : sheet["annotations"]) annotation_of[a["tag"].get<long>()] = &a;
    const long top = views[0]["tag"], front = views[1]["tag"];
    const json edm = edm_point_of(electrode);
    // Edge values of each margin in the order they were made, with their sheet coordinate along the margin.
    std::map<long, std::vector<std::pair<double, double>>> edge_values;  // margin -> (along, model extreme)

    for (const json& a : sheet["annotations"]) {
        const std::string kind = a["kind"];
        const bool linear = kind == "horizontal dimension" || kind == "vertical dimension";
        if (!linear && kind != "ordinate dimension") continue;
        const long view_tag = a["first"]["view"];
        if (view_tag != top && view_tag != front) continue;  // the electrode's own views are measured elsewhere
        const json& view = *view_of[view_tag];
        bool along_right = kind == "horizontal dimension";
        long margin_tag = 0;
        if (!linear) {
            margin_tag = a["margin"];
            along_right = (*annotation_of[margin_tag])["margin_type"] == "horizontal";
        }
        const json& axis = along_right ? view["right"] : view["up"];
        const std::string what = name + " " + (view_tag == top ? "top" : "front") + " " + kind + " " + a["tag"].dump();
        EXPECT_TRUE(a.contains("text_position")) << what;
        EXPECT_TRUE(a.contains("measured")) << what;
        const double measured = a.value("measured", -1.0);
        const json& attached = a["first"]["model_point"];
        double expected = NAN;
        if (linear) {
            // From the EDM point to a centre line through the origin.
            EXPECT_TRUE(same_point(attached, edm)) << what << " is not attached to the EDM point " << edm;
            EXPECT_NEAR(dot(a["second"]["model_point"], axis), 0.0, 1e-6) << what << ": second object off the origin";
            expected = std::fabs(dot(edm, axis));
            (view_tag == top ? seen.linear_top : seen.linear_front)++;
            check_linear_text(a, view, electrode, core, along_right, what);
        } else {
            (view_tag == top ? seen.ordinates_top : seen.ordinates_front)++;
            const double along_model = dot(attached, axis);
            int model_axis = 0;
            for (int i = 0; i < 3; ++i)
                if (std::fabs(axis[i].get<double>()) > 0.5) model_axis = i;
            const double lo = core["min"][model_axis], hi = core["max"][model_axis];
            const double coordinate = attached[model_axis];
            if (same_point(attached, edm)) {
                expected = std::fabs(dot(edm, axis));
                ++seen.edm_ordinates;
            } else if (std::fabs(along_model) < 1e-6) {
                expected = 0.0;  // an end of a centre line through the origin
            } else if (std::fabs(coordinate - lo) < 1e-6 || std::fabs(coordinate - hi) < 1e-6) {
                expected = std::fabs(coordinate);
                const auto& sp = a["first"]["sheet_point"];
                edge_values[margin_tag].push_back({sp[along_right ? 0 : 1].get<double>(), coordinate});
            } else {
                ADD_FAILURE() << what << " is attached to " << attached << ", neither the EDM point, the origin nor a "
                              << "core extreme";
            }
        }
        EXPECT_NEAR(measured, expected, 0.01) << what;
        // The value shown is the measured one.
        if (!a["text"].empty()) {
            EXPECT_NEAR(std::stod(a["text"][0].get<std::string>()), expected, 0.01) << what;
        }
    }
    // A margin's minimum edge value is made before its maximum: the lower (left) on the sheet comes first.
    for (const auto& [margin, values] : edge_values) {
        EXPECT_LE(values.size(), 2u) << name;
        if (values.size() == 2) {
            EXPECT_LT(values[0].first, values[1].first) << name << " margin " << margin << ": minimum and maximum";
        }
    }
    EXPECT_EQ(seen.linear_top, 2) << name;
    EXPECT_EQ(seen.linear_front, 1) << name;
    if (switches_on) {
        const auto off_origin = [&](const json& axis) { return std::fabs(dot(edm, axis)) > 0.01 ? 1 : 0; };
        EXPECT_EQ(seen.edm_ordinates,
                  off_origin(views[0]["right"]) + off_origin(views[0]["up"]) + off_origin(views[1]["up"]))
            << name;
    }
    return seen;
}

}  // namespace dimensions_test

#endif
