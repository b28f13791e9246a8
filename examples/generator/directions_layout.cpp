#include <BRepBuilderAPI_MakeVertex.hxx>
#include <TopoDS_Vertex.hxx>

#include <algorithm>

#include "model.h"

namespace sample {
namespace {

// A 120 x 100 x 50 core with one electrode on each of its six sides. The reference points lie in different quarters
// of their faces and off the core's centre, so that every side a dimension can take is taken by some sheet.
std::vector<ElectrodeDesign> direction_designs() {
    struct Placement {
        const char* name;
        int direction;
        gp_Pnt reference;
    };
    const Placement placements[] = {
        {"DT", 1, gp_Pnt(30, 20, 0)},     {"DBT", -1, gp_Pnt(-25, -15, -50)}, {"DF", 2, gp_Pnt(-20, -50, -25)},
        {"DBF", -2, gp_Pnt(25, 50, -20)}, {"DS", 3, gp_Pnt(60, -15, -30)},    {"DBS", -3, gp_Pnt(-60, 20, -22)},
    };
    std::vector<ElectrodeDesign> designs;
    int layer = 0;
    for (const Placement& p : placements) {
        ElectrodeDesign d;
        d.name = p.name;
        d.layer = ++layer;
        d.direction = p.direction;
        d.reference = p.reference;
        d.base_x = 30, d.base_y = 20, d.base_height = 12;
        d.tip_x0 = -8, d.tip_x1 = 8, d.tip_y0 = -5, d.tip_y1 = 5, d.tip_depth = 8;
        designs.push_back(d);
    }
    return designs;
}

// The directions mould's core, pocketed for the given electrodes.
Model directions_mould(const std::vector<ElectrodeDesign>& designs) {
    Model model;
    model.core_name = "CORE";
    model.core_box = {gp_Pnt(-60, -50, -50), gp_Pnt(60, 50, 0)};
    std::vector<TopoDS_Shape> tools;
    for (const ElectrodeDesign& design : designs) {
        model.electrodes.push_back(build_electrode(design));
        tools.push_back(model.electrodes.back().burn_tool);
    }
    const TopoDS_Shape origin = BRepBuilderAPI_MakeVertex(gp::Origin()).Vertex();
    model.extra_core_curves.push_back({origin, "ORIGIN", "240"});
    assemble(model, build_core(CoreDesign{120, 100, 50, 6}, tools));
    return model;
}

}  // namespace

Model build_directions() { return directions_mould(direction_designs()); }

Model build_directions_pairs() {
    std::vector<ElectrodeDesign> designs = direction_designs();
    // A second DT, turned a quarter turn, beside the first on the top face: a pair of copies.
    ElectrodeDesign copy = designs.front();
    copy.reference = gp_Pnt(-30, 20, 0);
    copy.turn_deg = 90;
    designs.insert(designs.begin() + 1, copy);
    // Layers in the order of the names, a layer per name, as a designer numbers them.
    std::vector<std::string> names;
    for (const ElectrodeDesign& d : designs) names.push_back(d.name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (ElectrodeDesign& d : designs)
        d.layer = static_cast<int>(std::find(names.begin(), names.end(), d.name) - names.begin()) + 1;
    return directions_mould(designs);
}

}  // namespace sample
