#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <gp_Pnt.hxx>

namespace sample {

struct Attribute {
    std::string title;
    std::variant<int, double, std::string> value;
};

// How an electrode is built, in its own frame: the base's depth face lies in z = 0 with its centre at the origin,
// the back face at z = base_height, and the working part (the tip) hangs below z = 0. Placing turns +z of that frame
// to the outward side of the base named by `direction` and moves the origin to `reference`.
struct ElectrodeDesign {
    std::string name;
    int layer = 0;
    int direction = 1;    // 1 t, -1 -t, 2 f, -2 -f, 3 s, -3 -s
    gp_Pnt reference;     // where the frame's origin lands in the model
    double turn_deg = 0;  // a further turn about the model's z axis, for copies
    bool has_base = true;

    double base_x = 40, base_y = 30, base_height = 20;
    int chamfer_x = 0, chamfer_y = 0;  // signs of the base corner cut by the orientation chamfer; 0 when none
    double chamfer_size = 4;

    bool round_tip = false;                                     // a cylinder instead of a block
    double tip_x0 = -10, tip_x1 = 10, tip_y0 = -6, tip_y1 = 6;  // block tip outline (round tip: its bounding square)
    double tip_depth = 10;
    double tip_fillet = 0;  // radius on the block tip's edges along its depth

    std::optional<gp_Pnt> touch_point;  // single-side touch point in model coordinates
    std::vector<Attribute> attributes;
};

}  // namespace sample
