#pragma once

#include <optional>
#include <vector>

#include <Bnd_Box.hxx>
#include <TopoDS_Shape.hxx>

#include "design.h"
#include "step_writer.h"

namespace sample {

struct Box {
    gp_Pnt min;
    gp_Pnt max;
};

// What was built for one electrode body, with the values the drawing command should find, taken from the design.
struct BuiltElectrode {
    ElectrodeDesign design;
    TopoDS_Shape body;
    TopoDS_Shape burn_tool;           // the shape the electrode burns into the core
    std::vector<ModelObject> curves;  // the diagonal line, then the touch circle when there is one
    gp_Pnt reference;                 // middle of the depth face's box, or of the diagonal line without base
    Box body_box;                     // including the working part
    std::optional<Box> working_box;   // none without base
    int chamfer_code = 0;
};

BuiltElectrode build_electrode(const ElectrodeDesign& design);

// Where a point of the electrode's own frame lands in the model.
gp_Pnt frame_to_model(const ElectrodeDesign& design, const gp_Pnt& local);

}  // namespace sample
