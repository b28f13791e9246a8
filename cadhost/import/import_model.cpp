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

int layer_number(const std::string& name) {
    if (name.empty() || name.size() > 3) return 0;
    int value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return Document::valid_layer(value) && name[0] != '0' ? value : 0;
}

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

}  // namespace

ImportResult import_step(const std::string& step_path, const std::string& sidecar_path, Document& doc) {
    ImportResult result;
    StepReadResult model = read_step_file(step_path);
    if (!model.ok) {
        result.error = model.error;
        return result;
    }
    result.notes = model.warnings;
    std::map<std::string, int> unmapped_layers;
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
        int layer = layer_number(object.layer_name);
        if (layer == 0) {
            layer = 1;
            ++unmapped_layers[object.layer_name];
        }
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
        if (tag == NULL_TAG) {
            result.notes.push_back("an object named \"" + object.name +
                                   "\" has no geometry the part can hold; left out");
            continue;
        }
        doc.set_layer(tag, layer);
        if (!object.name.empty()) {
            std::string name = shorten_utf8(object.name, UF_OBJ_NAME_LEN);
            if (name != object.name)
                result.notes.push_back("name \"" + object.name + "\" is longer than " +
                                       std::to_string(UF_OBJ_NAME_LEN) + " bytes; kept as \"" + name + "\"");
            doc.set_name(tag, name);
        }
    }
    for (const auto& [name, count] : unmapped_layers) {
        result.notes.push_back(std::to_string(count) + (count == 1 ? " object" : " objects") +
                               (name.empty() ? " without a layer" : " of layer \"" + name + "\"") +
                               " placed on layer 1 (only layers named 1 to 256 keep their number)");
    }
    if (!sidecar_path.empty() && !apply_sidecar_file(sidecar_path, doc, result.error)) return result;
    result.ok = true;
    return result;
}

}  // namespace cadhost::import
