#include <stdexcept>

#include "model.h"

namespace sample {
namespace {

// The benchmark moulds differ only in size: a bigger core carries more electrodes and more holes, laid out by the
// same rules, so that the figures of one size can be set against those of another.
struct LargeDesign {
    double size_x, size_y, size_z;
    int layers;
    int side_rows;  // rows of electrodes on the front and on the side face
};

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

// Places on the core's faces in a grid: cells of 40 x 30 on the top and bottom faces, slots 40 (front) or 30 (side)
// wide in rows on the side faces. A copy takes the next free place of its face.
class Places {
  public:
    explicit Places(const LargeDesign& d) : d_(d), columns_(static_cast<int>(d.size_x / 40)) {}

    gp_Pnt next(int direction) {
        switch (direction) {
            case 1:
                return cell(top_++, 0);
            case -1:
                return cell(bottom_++, -d_.size_z);
            case 2: {
                const int slot = take(front_++, columns_);
                return gp_Pnt(-d_.size_x / 2 + 20 + 40 * (slot % columns_), -d_.size_y / 2, row_z(slot / columns_));
            }
            default: {
                const int per_row = static_cast<int>(d_.size_y / 30);
                const int slot = take(side_++, per_row);
                return gp_Pnt(d_.size_x / 2, -d_.size_y / 2 + 15 + 30 * (slot % per_row), row_z(slot / per_row));
            }
        }
    }

  private:
    gp_Pnt cell(int index, double z) {
        const int rows = static_cast<int>(d_.size_y / 30);
        if (index >= columns_ * rows) throw std::runtime_error("more electrodes than cells on a face of the core");
        return gp_Pnt(-d_.size_x / 2 + 20 + 40 * (index % columns_), -d_.size_y / 2 + 15 + 30 * (index / columns_), z);
    }
    int take(int slot, int per_row) const {
        if (slot >= per_row * d_.side_rows) throw std::runtime_error("more electrodes than slots on a side face");
        return slot;
    }
    double row_z(int row) const { return -d_.size_z * (row + 1) / (d_.side_rows + 1); }

    const LargeDesign& d_;
    int columns_;
    int top_ = 0, bottom_ = 0, front_ = 0, side_ = 0;
};

// Round holes on the faces without electrodes' pockets near them: a grid on the top and the bottom face between the
// cells, rows 10 mm apart on the back and the left face.
void add_hole_grids(const LargeDesign& d, std::vector<TopoDS_Shape>& tools) {
    const int columns = static_cast<int>(d.size_x / 40), rows = static_cast<int>(d.size_y / 30);
    for (int i = 1; i < columns; ++i) {
        for (int j = 1; j < rows; ++j) {
            const double x = -d.size_x / 2 + 40 * i, y = -d.size_y / 2 + 30 * j;
            tools.push_back(round_hole(gp_Pnt(x, y, 0), gp::DZ(), 2, 5));
            tools.push_back(round_hole(gp_Pnt(x, y, -d.size_z), -gp::DZ(), 2, 5));
        }
    }
    const int levels = static_cast<int>(d.size_z / 10) - 1;
    for (int j = 0; j < levels; ++j) {
        const double z = -d.size_z + 10 + 10 * j;
        for (int i = 1; i <= static_cast<int>(d.size_x / 10) - 3; ++i)
            tools.push_back(round_hole(gp_Pnt(-d.size_x / 2 + 10 + 10 * i, d.size_y / 2, z), gp::DY(), 2, 5));
        for (int i = 0; i <= static_cast<int>(d.size_y / 10) - 2; ++i)
            tools.push_back(round_hole(gp_Pnt(-d.size_x / 2, -d.size_y / 2 + 10 + 10 * i, z), -gp::DX(), 2, 5));
    }
}

Model build_benchmark_mould(const LargeDesign& design) {
    Model model;
    model.core_name = "CORE";
    model.core_box = {gp_Pnt(-design.size_x / 2, -design.size_y / 2, -design.size_z),
                      gp_Pnt(design.size_x / 2, design.size_y / 2, 0)};
    std::vector<TopoDS_Shape> tools;
    Places places(design);
    for (int layer = 1; layer <= design.layers; ++layer) {
        for (int copy = 0; copy < copies_on_layer(layer); ++copy) {
            ElectrodeDesign d = small_electrode(layer, copy);
            d.reference = places.next(d.direction);
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
    add_hole_grids(design, tools);
    assemble(model, build_core(CoreDesign{design.size_x, design.size_y, design.size_z, 8}, tools));
    return model;
}

}  // namespace

// 200 electrodes on layers 1 to 50 in a core of about 2,000 faces.
Model build_large() { return build_benchmark_mould(LargeDesign{400, 300, 80, 50, 1}); }

// Four times the large mould: 800 electrodes on layers 1 to 200 in a core of about 8,000 faces.
Model build_huge() { return build_benchmark_mould(LargeDesign{800, 600, 120, 200, 2}); }

}  // namespace sample
