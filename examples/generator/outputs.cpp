#include "outputs.h"

#include <nlohmann/json.hpp>

namespace sample {
namespace {

using nlohmann::ordered_json;

ordered_json point_json(const gp_Pnt& p) { return ordered_json::array({p.X(), p.Y(), p.Z()}); }

ordered_json box_json(const Box& box) { return {{"min", point_json(box.min)}, {"max", point_json(box.max)}}; }

ordered_json attributes_json(const std::vector<Attribute>& attributes) {
    ordered_json out = ordered_json::object();
    for (const Attribute& a : attributes) {
        if (const int* i = std::get_if<int>(&a.value)) {
            out[a.title] = {{"integer", *i}};
        } else if (const double* r = std::get_if<double>(&a.value)) {
            out[a.title] = {{"real", *r}};
        } else {
            out[a.title] = {{"string", std::get<std::string>(a.value)}};
        }
    }
    return out;
}

int layer_number(const std::string& layer) { return std::stoi(layer); }

}  // namespace

std::string attrs_json(const Model& model) {
    ordered_json objects = ordered_json::array();
    objects.push_back({{"layer", model.core_layer}, {"index", 1}, {"name", model.core_name}, {"blank", false}});
    if (!model.core_colour.empty()) objects.back()["color"] = model.core_colour;
    for (std::size_t e = 0; e < model.electrodes.size(); ++e) {
        const BuiltElectrode& built = model.electrodes[e];
        if (built.design.attributes.empty() && model.electrode_colour.empty()) continue;
        const auto object = static_cast<std::size_t>(model.electrode_object[e]);
        ordered_json entry = {
            {"layer", built.design.layer}, {"index", index_on_layer(model, object)}, {"name", built.design.name}};
        if (!model.electrode_colour.empty()) entry["color"] = model.electrode_colour;
        if (!built.design.attributes.empty()) entry["attributes"] = attributes_json(built.design.attributes);
        objects.push_back(std::move(entry));
    }
    const ordered_json doc = {{"quillon_attrs", 1}, {"objects", objects}};
    return doc.dump(2) + "\n";
}

std::string expected_json(const Model& model) {
    ordered_json layers = ordered_json::array();
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const int layer = layer_number(model.objects[i].layer);
        if (layers.empty() || layers.back()["layer"] != layer) {
            layers.push_back({{"layer", layer}, {"objects", ordered_json::array()}});
        }
        layers.back()["objects"].push_back({{"kind", model.kinds[i]}, {"name", model.objects[i].name}});
    }

    ordered_json electrodes = ordered_json::array();
    for (std::size_t e = 0; e < model.electrodes.size(); ++e) {
        const BuiltElectrode& built = model.electrodes[e];
        const auto object = static_cast<std::size_t>(model.electrode_object[e]);
        ordered_json entry = {
            {"layer", built.design.layer},
            {"index", index_on_layer(model, object)},
            {"name", built.design.name},
            {"direction", built.design.direction},
            {"has_base", built.design.has_base},
            {"reference_point", point_json(built.reference)},
            {"body_box", box_json(built.body_box)},
            {"working_box", built.working_box ? box_json(*built.working_box) : ordered_json(nullptr)},
            {"chamfer_corner", built.chamfer_code},
            {"single_side_point",
             built.design.touch_point ? point_json(*built.design.touch_point) : ordered_json(nullptr)},
            {"attributes", attributes_json(built.design.attributes)},
        };
        electrodes.push_back(entry);
    }
    // Electrodes are listed in file order, the order a layer-by-layer collection finds them.
    std::vector<std::size_t> order(electrodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return model.electrode_object[a] < model.electrode_object[b];
    });
    ordered_json sorted = ordered_json::array();
    for (std::size_t i : order) sorted.push_back(electrodes[i]);

    const ordered_json doc = {
        {"units", "mm"},
        {"core",
         {{"layer", model.core_layer}, {"index", 1}, {"name", model.core_name}, {"box", box_json(model.core_box)}}},
        {"layers", layers},
        {"electrodes", sorted},
    };
    return doc.dump(2) + "\n";
}

}  // namespace sample
