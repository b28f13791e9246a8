#pragma once

#include <vector>

#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

namespace sample {

// A mould core: a block whose top face lies at z = 0, centred on the model origin in x and y.
struct CoreDesign {
    double size_x = 200, size_y = 150, size_z = 60;
    double corner_radius = 8;  // on the four edges along z
};

// Cuts every tool out of the block at once: one Boolean with many tools is far faster than one per tool.
TopoDS_Shape build_core(const CoreDesign& design, const std::vector<TopoDS_Shape>& tools);

// A blind round hole of the given depth going into the core from `mouth` against `outward`.
TopoDS_Shape round_hole(const gp_Pnt& mouth, const gp_Dir& outward, double radius, double depth);

int count_faces(const TopoDS_Shape& shape);

}  // namespace sample
