#pragma once

#include <string>
#include <vector>

#include "core.h"
#include "electrode.h"
#include "step_writer.h"

namespace sample {

// A whole mould in file order, with each object's kind and its place on its layer.
struct Model {
    std::string core_name;
    int core_layer = 240;
    // How the attribute file has the sheets draw the bodies: empty for the model's own look (black).
    std::string core_colour;
    std::string electrode_colour;
    Box core_box;
    std::vector<BuiltElectrode> electrodes;
    std::vector<ModelObject> objects;
    std::vector<std::string> kinds;              // per object: solid, line, circle or point
    std::vector<int> electrode_object;           // per electrode: its body's position in `objects`
    std::vector<ModelObject> extra_core_curves;  // points or curves that go on the core's layer after the core
};

// Orders the objects the way a designer's export lists them: the core first, then layer by layer each body
// followed by its own curves.
void assemble(Model& model, const TopoDS_Shape& core);

// 1-based position of object `i` among the objects on its layer.
int index_on_layer(const Model& model, std::size_t i);

Model build_sample();
Model build_large();
Model build_huge();        // four times the large mould, for the figures of a big job
Model build_directions();  // one electrode on each side of a small core
// The directions mould with a second, turned copy of its top electrode, layers numbered in the order of the names.
Model build_directions_pairs();

// The model as a CAD system without layers or diagonal lines hands it over: its solids and points in the same order,
// no layer names, and none of the electrodes' curves.
std::vector<ModelObject> bare_objects(const Model& model);

}  // namespace sample
