#pragma once

#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

// One object of a STEP model as the part will hold it: a single body, curve or point.
struct StepObject {
    TopoDS_Shape shape;      // exactly one of: TopoDS_Solid, a sheet (TopoDS_Shell or TopoDS_Face), TopoDS_Edge,
                             // TopoDS_Vertex; placed in model coordinates
    std::string name;        // UTF-8, empty when none
    std::string layer_name;  // empty when none; when the file gives several layers, the first
};

struct StepReadResult {
    bool ok = false;
    std::string error;                // when !ok: names the file and what went wrong
    std::vector<StepObject> objects;  // in the order the file lists them
    std::vector<std::string> warnings;
};

// Reads an AP203/AP214/AP242 file with its product names and presentation layers. Never throws.
StepReadResult read_step_file(const std::string& path);

}  // namespace cadhost::import
