#include "cadhost/import/import_model.h"

#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include <BRepAdaptor_Curve.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Curve.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>

#include "cadhost/document/dump_json.h"
#include "cadhost/document/utf8_text.h"
#include "cadhost/import/auto_layers.h"
#include "cadhost/import/sidecar.h"
#include "cadhost/import/step_reader.h"

namespace cadhost::import {

namespace {

// Cuts a UTF-8 text to at most max bytes without splitting a character.
// Bytes a sheet's copy number takes after its electrode's name: "_" and up to three digits.
constexpr std::size_t kCopySuffixRoom = 4;

std::string shorten_utf8(const std::string& text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

tag_t add_edge(const TopoDS_Edge& edge, Document& doc) {
    BRepAdaptor_Curve curve(edge);
    TopoDS_Vertex v1, v2;
    TopExp::Vertices(edge, v1, v2, true);
    if (curve.GetType() == GeomAbs_Line && !v1.IsNull() && !v2.IsNull())
        return doc.add_line(BRep_Tool::Pnt(v1), BRep_Tool::Pnt(v2));
    if (curve.GetType() == GeomAbs_Circle) {
        gp_Circ circle = curve.Circle();
        double first = curve.FirstParameter(), last = curve.LastParameter();
        gp_Ax2 position = circle.Position();
        if (edge.Orientation() == TopAbs_REVERSED) {
            // The same arc run the other way: flip the plane's normal so the arc still runs anticlockwise.
            position = gp_Ax2(position.Location(), position.Direction().Reversed(), position.XDirection());
            double a = -last, b = -first;
            first = a, last = b;
        }
        while (first < 0) first += 2 * M_PI, last += 2 * M_PI;
        return doc.add_arc(ArcData{position, circle.Radius(), first, last});
    }
    double first, last;
    Handle(Geom_Curve) geometry = BRep_Tool::Curve(edge, first, last);
    if (geometry.IsNull()) return NULL_TAG;
    return doc.add_curve(CurveData{geometry, first, last});
}

// Problems beyond these are counted, not listed; --verbose lists them all.
constexpr std::size_t kProblemsShown = 10;

std::string listed(const std::vector<std::string>& problems) {
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) text += "\n  " + problems[i];
    if (problems.size() > kProblemsShown)
        text += "\n  and " + std::to_string(problems.size() - kProblemsShown) + " more (--verbose lists them all)";
    return text;
}

// Damaged objects stop the import unless the user asked to go on without them; a model without a solid stops it
// always: a part without one is of no use, and going on would hide that nothing could be read.
bool accept_problems(const std::string& step_path, const StepReadResult& model, bool keep_going, ImportResult& result) {
    for (const auto& problem : model.problems) result.details.push_back("problem: " + problem);
    if (!model.without_solid.empty()) {
        result.error = step_path + ": " + (keep_going ? "nothing could be read: " : "") + "the file " +
                       model.without_solid + (model.problems.empty() ? "" : ":") + listed(model.problems);
        return false;
    }
    if (model.problems.empty()) return true;
    if (keep_going) {
        result.left_out = model.problems;
        return true;
    }
    result.error = step_path + ": " + std::to_string(model.problems.size()) +
                   (model.problems.size() == 1 ? " problem" : " problems") +
                   " (--keep-going imports the rest):" + listed(model.problems);
    return false;
}

// Keeps both names where they differ: the object takes one, and the user may want to see which it did not take.
void keep_names(tag_t tag, const StepObject& object, Document& doc) {
    if (object.body_name.empty() || object.product_name.empty() || object.body_name == object.product_name) return;
    Object* stored = doc.find(tag);
    for (const auto& [title, text] :
         {std::pair{kProductNameTitle, &object.product_name}, std::pair{kBodyNameTitle, &object.body_name}})
        stored->attributes.push_back(Attribute{title, *text});
}

const char* role_name(AutoLayerGroup::Role role) {
    switch (role) {
        case AutoLayerGroup::Role::core:
            return "core";
        case AutoLayerGroup::Role::copies:
            return "copies";
        case AutoLayerGroup::Role::loose:
            return "loose";
        case AutoLayerGroup::Role::electrode:
            break;
    }
    return "electrode";
}

// The table the user checks an automatic layering by: per layer its role, its objects by kind and the names of its
// solids (of every named object on the loose layer), read from the part as the import made it.
std::string layer_table(const AutoLayering& layering, const Document& doc) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& group : layering.groups) {
        nlohmann::ordered_json kinds = nlohmann::ordered_json::object(), names = nlohmann::ordered_json::array();
        for (tag_t tag = doc.next_on_layer(group.layer, NULL_TAG); tag != NULL_TAG;
             tag = doc.next_on_layer(group.layer, tag)) {
            const Object* object = doc.find(tag);
            const std::string kind = kind_name(*object);
            kinds[kind] = kinds.value(kind, 0) + 1;
            const bool listed = kind == "solid body" || group.role == AutoLayerGroup::Role::loose;
            if (listed && !object->name.empty()) names.push_back(object->name);
        }
        nlohmann::ordered_json row{{"layer", group.layer}, {"role", role_name(group.role)}};
        if (!group.why.empty()) row["found_by"] = group.why;
        row["objects"] = kinds;
        row["names"] = names;
        rows.push_back(row);
    }
    return nlohmann::ordered_json{{"made_by", "--auto-layers"}, {"layers", rows}}.dump();
}

}  // namespace

ImportResult import_step(const std::string& step_path, const ImportOptions& options, Document& doc) {
    ImportResult result;
    StepReadOptions read_options;
    read_options.name_encoding = options.name_encoding;
    StepReadResult model = read_step_file(step_path, read_options);
    if (!model.ok) {
        result.error = model.error;
        return result;
    }
    result.notes = model.warnings;
    result.details = model.details;
    result.length_unit = model.length_unit;
    if (!accept_problems(step_path, model, options.keep_going, result)) return result;
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        StepObject& object = model.objects[i];
        object.name = chosen_name(object.body_name, object.product_name, options.names);
        for (const std::string* text : {&object.name, &object.body_name, &object.product_name, &object.layer_name}) {
            std::string problem = text_problem(*text);
            if (!problem.empty()) {
                result.error = step_path + ": object " + std::to_string(i + 1) + " of the model: its " +
                               (text == &object.layer_name ? "layer name" : "name") + " cannot be taken: " + problem;
                return result;
            }
        }
    }
    LayerAssigner layers(options.layer_map);
    AutoLayering automatic;
    if (options.auto_layers) {
        std::vector<AutoLayerInput> inputs;
        std::set<std::string> file_layers;
        for (const auto& object : model.objects) {
            inputs.push_back({object.shape, object.name});
            if (!object.layer_name.empty()) file_layers.insert(object.layer_name);
        }
        automatic = auto_layers(inputs);
        if (!automatic.error.empty()) {
            result.error = step_path + ": " + automatic.error;
            return result;
        }
        if (!file_layers.empty())
            result.notes.push_back("--auto-layers: the file's " + std::to_string(file_layers.size()) +
                                   (file_layers.size() == 1 ? " layer name is" : " layer names are") + " not used");
    }
    std::set<std::string> noted_long;  // names told of once, however many copies carry them
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const StepObject& object = model.objects[i];
        const int layer = options.auto_layers ? automatic.layers[i]
                                              : layers.layer_for({object.layer_name, object.name, object.product_name});
        const TopoDS_Shape& shape = object.shape;
        tag_t tag = NULL_TAG;
        switch (shape.ShapeType()) {
            case TopAbs_SOLID:
                tag = doc.add_body(shape, false);
                break;
            case TopAbs_SHELL:
            case TopAbs_FACE:
                tag = doc.add_body(shape, true);
                break;
            case TopAbs_EDGE:
                tag = add_edge(TopoDS::Edge(shape), doc);
                break;
            case TopAbs_VERTEX:
                tag = doc.add_point(BRep_Tool::Pnt(TopoDS::Vertex(shape)));
                break;
            default:
                break;
        }
        // Read from its stored form (the translator's answer), the shape is known to read back from it.
        if (auto* body = tag == NULL_TAG ? nullptr : doc.find(tag)->as<BodyData>()) body->stored_form_known = shape;
        if (tag == NULL_TAG) {
            result.notes.push_back("an object named \"" + object.name +
                                   "\" has no geometry the part can hold; left out");
            continue;
        }
        doc.set_layer(tag, layer);
        if (object.colour && doc.find(tag)->as<BodyData>()) doc.find(tag)->rgb = object.colour;
        if (!object.name.empty()) {
            // A sheet takes its electrode's name, and a second sheet of the name adds "_1" (up to "_999"): a name cut
            // short is cut so that those still fit the 30 bytes a name may have, and a long name that fits as it
            // stands is told of.
            std::string name = object.name.size() > UF_OBJ_NAME_LEN
                                   ? shorten_utf8(object.name, UF_OBJ_NAME_LEN - kCopySuffixRoom)
                                   : object.name;
            if (name != object.name && noted_long.insert(object.name).second)
                result.notes.push_back("name \"" + object.name + "\" is longer than " +
                                       std::to_string(UF_OBJ_NAME_LEN) + " bytes; kept as \"" + name +
                                       "\", which leaves room for a sheet's copy number");
            else if (name == object.name && name.size() > UF_OBJ_NAME_LEN - kCopySuffixRoom &&
                     noted_long.insert(name).second)
                result.notes.push_back("name \"" + name + "\" is " + std::to_string(name.size()) +
                                       " bytes long: a second sheet of it (\"" + name + "_1\") would be over " +
                                       std::to_string(UF_OBJ_NAME_LEN) + " bytes, and the run would stop there");
            doc.set_name(tag, name);
        }
        keep_names(tag, object, doc);
    }
    if (options.auto_layers)
        result.layer_table = layer_table(automatic, doc);
    else
        for (auto& note : layers.notes()) result.notes.push_back(std::move(note));
    if (!options.sidecar_path.empty() && !apply_sidecar_file(options.sidecar_path, doc, result.error)) return result;
    result.ok = true;
    return result;
}

ImportResult import_step(const std::string& step_path, const std::string& sidecar_path, Document& doc) {
    ImportOptions options;
    options.sidecar_path = sidecar_path;
    return import_step(step_path, options, doc);
}

}  // namespace cadhost::import
