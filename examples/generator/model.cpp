#include "model.h"

#include <algorithm>
#include <map>

#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <BRepAdaptor_Curve.hxx>

namespace sample {
namespace {

std::string kind_of(const TopoDS_Shape& shape) {
    switch (shape.ShapeType()) {
        case TopAbs_SOLID:
            return "solid";
        case TopAbs_VERTEX:
            return "point";
        case TopAbs_EDGE:
            return BRepAdaptor_Curve(TopoDS::Edge(shape)).GetType() == GeomAbs_Circle ? "circle" : "line";
        default:
            return "other";
    }
}

}  // namespace

void assemble(Model& model, const TopoDS_Shape& core) {
    model.objects.clear();
    model.objects.push_back({core, model.core_name, std::to_string(model.core_layer)});
    for (const ModelObject& extra : model.extra_core_curves) model.objects.push_back(extra);

    std::vector<std::size_t> order(model.electrodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return model.electrodes[a].design.layer < model.electrodes[b].design.layer;
    });
    model.electrode_object.assign(model.electrodes.size(), 0);
    for (std::size_t i : order) {
        const BuiltElectrode& e = model.electrodes[i];
        model.electrode_object[i] = static_cast<int>(model.objects.size());
        model.objects.push_back({e.body, e.design.name, std::to_string(e.design.layer)});
        for (const ModelObject& curve : e.curves) model.objects.push_back(curve);
    }
    model.kinds.clear();
    for (const ModelObject& object : model.objects) model.kinds.push_back(kind_of(object.shape));
}

std::vector<ModelObject> bare_objects(const Model& model) {
    std::vector<ModelObject> bare;
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        if (model.kinds[i] == "line" || model.kinds[i] == "circle") continue;
        bare.push_back({model.objects[i].shape, model.objects[i].name, ""});
    }
    return bare;
}

int index_on_layer(const Model& model, std::size_t i) {
    int index = 0;
    for (std::size_t j = 0; j <= i; ++j) {
        if (model.objects[j].layer == model.objects[i].layer) ++index;
    }
    return index;
}

}  // namespace sample
