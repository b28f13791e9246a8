#include "model.h"

namespace sample {
namespace {

constexpr double kSizeX = 400, kSizeY = 300, kSizeZ = 80;
constexpr int kLayers = 50;

// Layers ending in 5 work from the front, those ending in 0 from the side, the rest alternately from the top and
// from below, so that every face of the core carries electrodes.
int direction_of_layer(int layer) {
    if (layer % 10 == 5) return 2;
    if (layer % 10 == 0) return 3;
    return layer % 2 == 1 ? 1 : -1;
}

int copies_on_layer(int layer) {
    const int d = direction_of_layer(layer);
    if (d == 2 || d == 3) return 2;
    return layer % 10 < 5 ? 5 : 4;
}

ElectrodeDesign small_electrode(int layer, int copy) {
    ElectrodeDesign d;
    d.name = "L" + std::to_string(layer);
    d.layer = layer;
    d.direction = direction_of_layer(layer);
    d.base_x = 26, d.base_y = 20, d.base_height = 12;
    d.round_tip = layer % 3 == 0;
    if (d.round_tip) {
        d.tip_x0 = -4, d.tip_x1 = 4, d.tip_y0 = -4, d.tip_y1 = 4;
    } else {
        d.tip_x0 = -7, d.tip_x1 = 7, d.tip_y0 = -4, d.tip_y1 = 4;
    }
    d.tip_depth = 6;
    if ((d.direction == 1 || d.direction == -1) && copy % 2 == 1) d.turn_deg = 90;
    if (layer % 7 == 0) d.chamfer_x = 1, d.chamfer_y = 1, d.chamfer_size = 3;
    if (layer % 4 == 0) d.attributes = {{"ELEC_ROUGH_SPACE", 0.2}, {"elec_rough_number", 2}};
    return d;
}

// Cells of 40 x 30 on the top and bottom faces; a copy takes the next free cell of its face.
gp_Pnt cell_centre(int cell, double z) { return gp_Pnt(-180 + 40 * (cell % 10), -135 + 30 * (cell / 10), z); }

void add_hole_grids(std::vector<TopoDS_Shape>& tools) {
    for (int i = 1; i <= 9; ++i) {
        for (int j = 1; j <= 9; ++j) {
            const double x = -200 + 40 * i, y = -150 + 30 * j;
            tools.push_back(round_hole(gp_Pnt(x, y, 0), gp::DZ(), 2, 5));
            tools.push_back(round_hole(gp_Pnt(x, y, -kSizeZ), -gp::DZ(), 2, 5));
        }
    }
    for (int j = 0; j < 7; ++j) {
        const double z = -70 + 10 * j;
        for (int i = 1; i <= 37; ++i) tools.push_back(round_hole(gp_Pnt(-190 + 10 * i, 150, z), gp::DY(), 2, 5));
        for (int i = 0; i <= 28; ++i) tools.push_back(round_hole(gp_Pnt(-200, -140 + 10 * i, z), -gp::DX(), 2, 5));
    }
}

}  // namespace

Model build_large() {
    Model model;
    model.core_name = "CORE";
    model.core_box = {gp_Pnt(-kSizeX / 2, -kSizeY / 2, -kSizeZ), gp_Pnt(kSizeX / 2, kSizeY / 2, 0)};
    std::vector<TopoDS_Shape> tools;
    int top_cell = 0, bottom_cell = 0, front_slot = 0, side_slot = 0;
    for (int layer = 1; layer <= kLayers; ++layer) {
        for (int copy = 0; copy < copies_on_layer(layer); ++copy) {
            ElectrodeDesign d = small_electrode(layer, copy);
            switch (d.direction) {
                case 1:
                    d.reference = cell_centre(top_cell++, 0);
                    break;
                case -1:
                    d.reference = cell_centre(bottom_cell++, -kSizeZ);
                    break;
                case 2:
                    d.reference = gp_Pnt(-180 + 40 * front_slot++, -kSizeY / 2, -40);
                    break;
                default:
                    d.reference = gp_Pnt(kSizeX / 2, -135 + 30 * side_slot++, -40);
                    break;
            }
            if (layer % 10 == 1) {
                d.touch_point = frame_to_model(d, gp_Pnt(d.base_x / 2, 0, d.base_height / 2));
                d.attributes.push_back({"s_x", d.touch_point->X()});
                d.attributes.push_back({"s_y", d.touch_point->Y()});
                d.attributes.push_back({"s_z", d.touch_point->Z()});
            }
            model.electrodes.push_back(build_electrode(d));
            tools.push_back(model.electrodes.back().burn_tool);
        }
    }
    add_hole_grids(tools);
    assemble(model, build_core(CoreDesign{kSizeX, kSizeY, kSizeZ, 8}, tools));
    return model;
}

}  // namespace sample
