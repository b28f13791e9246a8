#include "cadhost/import/import_model.h"

#include <map>

#include <BRepAdaptor_Curve.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Curve.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>

#include "cadhost/document/utf8_text.h"
#include "cadhost/import/sidecar.h"
#include "cadhost/import/step_reader.h"

namespace cadhost::import {

namespace {

// Cuts a UTF-8 text to at most max bytes without splitting a character.
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

// Damaged objects and a model without a solid stop the import unless the user asked to go on without them.
bool accept_problems(const std::string& step_path, const StepReadResult& model, bool keep_going, ImportResult& result) {
    std::vector<std::string> problems = model.problems;
    bool any_solid = false;
    for (const auto& object : model.objects) any_solid = any_solid || object.shape.ShapeType() == TopAbs_SOLID;
    if (!any_solid) {
        problems.push_back(model.problems.empty() ? "the model holds no solid body"
                                                  : "the model holds no solid body that can be read");
    }
    if (problems.empty()) return true;
    if (keep_going) {
        result.left_out = std::move(problems);
        return true;
    }
    result.error = step_path + ": " + std::to_string(problems.size()) +
                   (problems.size() == 1 ? " problem" : " problems") + " (--keep-going imports the rest):";
    for (const auto& problem : problems) result.error += "\n  " + problem;
    return false;
}

}  // namespace

ImportResult import_step(const std::string& step_path, const ImportOptions& options, Document& doc) {
    ImportResult result;
    StepReadResult model = read_step_file(step_path);
    if (!model.ok) {
        result.error = model.error;
        return result;
    }
    result.notes = model.warnings;
    result.length_unit = model.length_unit;
    if (!accept_problems(step_path, model, options.keep_going, result)) return result;
    LayerAssigner layers(options.layer_map);
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const StepObject& object = model.objects[i];
        for (const std::string* text : {&object.name, &object.layer_name}) {
            std::string problem = utf8_problem(*text);
            if (problem.empty() && text->find('\0') != std::string::npos) problem = "it holds the character U+0000";
            if (!problem.empty()) {
                result.error = step_path + ": object " + std::to_string(i + 1) + " of the model: its " +
                               (text == &object.name ? "name" : "layer name") + " cannot be taken: " + problem;
                return result;
            }
        }
        const int layer = layers.layer_for(object.layer_name);
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
            std::string name = shorten_utf8(object.name, UF_OBJ_NAME_LEN);
            if (name != object.name)
                result.notes.push_back("name \"" + object.name + "\" is longer than " +
                                       std::to_string(UF_OBJ_NAME_LEN) + " bytes; kept as \"" + name + "\"");
            doc.set_name(tag, name);
        }
    }
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
