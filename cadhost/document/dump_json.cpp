#include "cadhost/document/dump_json.h"

#include <cmath>
#include <map>

#include "cadhost/document/object_colour.h"
#include "cadhost/geometry/queries.h"
#include "host/uf_modl.h"

namespace cadhost {

namespace {

using nlohmann::ordered_json;

// Fixed precision keeps dumps diffable: noise below a nanometre is not a change.
double tidy(double value) {
    double rounded = std::round(value * 1e6) / 1e6;
    return rounded == 0.0 ? 0.0 : rounded;
}
ordered_json point(const gp_Pnt& p) { return ordered_json::array({tidy(p.X()), tidy(p.Y()), tidy(p.Z())}); }
ordered_json direction(const gp_Dir& d) { return ordered_json::array({tidy(d.X()), tidy(d.Y()), tidy(d.Z())}); }

}  // namespace

const char* kind_name(const Object& object) {
    switch (object.type) {
        case UF_part_type:
            return "part";
        case UF_point_type:
            return "point";
        case UF_line_type:
            return "line";
        case UF_circle_type:
            return "arc";
        case UF_spline_type:
            return "curve";
        case UF_coordinate_system_type:
            return "csys";
        case UF_matrix_type:
            return "matrix";
        case UF_view_type:
            return "model view";
        case UF_solid_type:
            if (object.subtype == UF_solid_face_subtype) return "face";
            if (object.subtype == UF_solid_edge_subtype) return "edge";
            return object.as<BodyData>() && object.as<BodyData>()->sheet ? "sheet body" : "solid body";
        default:
            return "object";
    }
}

namespace {

ordered_json geometry_of(const Document& doc, const Object& object) {
    ordered_json g = ordered_json::object();
    double box[6];
    if (const auto* body = object.as<BodyData>()) {
        auto topo = body->topology();
        g["faces"] = topo->faces.Extent();
        g["edges"] = topo->edges.Extent();
        if (geometry::exact_box(body->shape, box))
            g["box"] = {{tidy(box[0]), tidy(box[1]), tidy(box[2])}, {tidy(box[3]), tidy(box[4]), tidy(box[5])}};
    } else if (const auto* sub = object.as<SubShapeData>()) {
        g["body"] = sub->body;
        g["index"] = sub->index;
    } else if (const auto* line = object.as<LineData>()) {
        g["start"] = point(line->start);
        g["end"] = point(line->end);
    } else if (const auto* arc = object.as<ArcData>()) {
        g["center"] = point(arc->position.Location());
        g["radius"] = tidy(arc->radius);
        g["normal"] = direction(arc->position.Direction());
        g["start_angle"] = tidy(arc->start);
        g["end_angle"] = tidy(arc->end);
    } else if (const auto* p = object.as<PointData>()) {
        g["point"] = point(p->point);
    } else if (const auto* csys = object.as<CsysData>()) {
        g["origin"] = point(csys->origin);
        g["matrix"] = csys->matrix;
    } else if (const auto* matrix = object.as<MatrixData>()) {
        g["x"] = direction(matrix->axes.XDirection());
        g["y"] = direction(matrix->axes.YDirection());
        g["z"] = direction(matrix->axes.Direction());
    } else if (const auto* view = object.as<ModelViewData>()) {
        g["right"] = direction(view->orientation.right);
        g["up"] = direction(view->orientation.up);
        g["toward_eye"] = direction(view->orientation.toward_eye);
    } else if (object.as<CurveData>()) {
        TopoDS_Edge edge = geometry::curve_edge(object);
        if (!edge.IsNull() && geometry::exact_box(edge, box))
            g["box"] = {{tidy(box[0]), tidy(box[1]), tidy(box[2])}, {tidy(box[3]), tidy(box[4]), tidy(box[5])}};
    }
    (void)doc;
    return g;
}

}  // namespace

ordered_json dump_document(const Document& doc) {
    ordered_json out;
    out["work_layer"] = doc.work_layer();
    out["application_module"] = doc.application_module() == UF_APP_DRAFTING ? "drafting" : "modeling";
    out["wcs"] = doc.wcs();
    out["display"] = doc.display_state() == 2 ? "drawing" : "model";
    ordered_json layers = ordered_json::object();
    static const char* names[] = {"work", "active", "reference", "inactive"};
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l) {
        if (doc.layer_status(l) != UF_LAYER_ACTIVE_LAYER || doc.count_on_layer(l) > 0) {
            ordered_json entry;
            entry["status"] = names[doc.layer_status(l)];
            entry["objects"] = doc.count_on_layer(l);
            layers[std::to_string(l)] = entry;
        }
    }
    out["layers"] = layers;
    // Only the entries that differ from the host's defaults, so dumps stay short and diffs show what a command set.
    const DraftingPreferences defaults;
    const DraftingPreferences& prefs = doc.drafting_preferences();
    ordered_json changed = ordered_json::object();
    for (int i = 0; i < DraftingPreferences::kIntegers; ++i)
        if (prefs.mpi[i] != defaults.mpi[i]) changed["mpi[" + std::to_string(i) + "]"] = prefs.mpi[i];
    for (int i = 0; i < DraftingPreferences::kReals; ++i)
        if (prefs.mpr[i] != defaults.mpr[i]) changed["mpr[" + std::to_string(i) + "]"] = prefs.mpr[i];
    if (prefs.radius_text != defaults.radius_text) changed["radius_text"] = prefs.radius_text;
    if (prefs.diameter_text != defaults.diameter_text) changed["diameter_text"] = prefs.diameter_text;
    out["drafting_preferences"] = changed;
    ordered_json objects = ordered_json::array();
    for (const auto& [tag, object] : doc.objects()) {
        ordered_json o;
        o["tag"] = tag;
        o["kind"] = kind_name(object);
        o["type"] = object.type;
        o["subtype"] = object.subtype;
        if (object.layer) o["layer"] = object.layer;
        if (!object.name.empty()) o["name"] = object.name;
        if (object.blank_status) o["blank"] = true;
        if (object.font != UF_OBJ_FONT_SOLID) o["font"] = object.font;
        if (object.color != 1) o["color"] = object.color;
        if (object.rgb) o["rgb"] = colour_hex(*object.rgb);
        if (!object.attributes.empty()) {
            ordered_json attrs = ordered_json::object();
            for (const auto& a : object.attributes) {
                if (const int* i = std::get_if<int>(&a.value))
                    attrs[a.title] = {{"integer", *i}};
                else if (const double* r = std::get_if<double>(&a.value))
                    attrs[a.title] = {{"real", *r}};
                else
                    attrs[a.title] = {{"string", std::get<std::string>(a.value)}};
            }
            o["attributes"] = attrs;
        }
        ordered_json g = geometry_of(doc, object);
        if (!g.empty()) o["geometry"] = g;
        objects.push_back(o);
    }
    out["objects"] = objects;
    return out;
}

void write_part_json(std::ostream& out, const Document& doc, const std::optional<Document>& undo_mark) {
    ordered_json root;
    root["format"] = "quillon-part";
    root["part"] = dump_document(doc);
    root["undo_mark"] = undo_mark ? ordered_json{{"objects", undo_mark->objects().size()}} : ordered_json(nullptr);
    // Texts are checked for UTF-8 where they enter a part; should one slip past, it shows as U+FFFD rather than
    // ending the program.
    out << root.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void write_layer_summary(std::ostream& out, const Document& doc) {
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l) {
        if (doc.count_on_layer(l) == 0) continue;
        std::map<std::string, int> counts;
        std::vector<std::string> order, names;
        for (tag_t tag = doc.next_on_layer(l, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(l, tag)) {
            const Object* object = doc.find(tag);
            std::string kind = kind_name(*object);
            if (object->blank_status) kind = "blanked " + kind;
            if (!counts[kind]++) order.push_back(kind);
            if (!object->name.empty() && object->type == UF_solid_type) names.push_back(object->name);
        }
        out << "layer " << l << ":";
        const char* separator = " ";
        for (const auto& kind : order) {
            int n = counts[kind];
            std::string plural = kind.ends_with("body") ? kind.substr(0, kind.size() - 1) + "ies"
                                 : kind == "matrix"     ? "matrices"
                                                        : kind + "s";
            out << separator << n << ' ' << (n == 1 ? kind : plural);
            separator = ", ";
        }
        if (!names.empty()) {
            out << " (";
            for (std::size_t i = 0; i < names.size(); ++i) out << (i ? ", " : "") << names[i];
            out << ")";
        }
        out << '\n';
    }
}

}  // namespace cadhost
