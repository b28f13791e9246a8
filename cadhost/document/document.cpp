#include "cadhost/document/document.h"

#include <cctype>

#include <BRep_Builder.hxx>
#include <TopExp.hxx>
#include <gp_Vec.hxx>

namespace cadhost {

std::shared_ptr<const Topology> BodyData::topology() const {
    if (!topology_) {
        auto topo = std::make_shared<Topology>();
        TopExp::MapShapes(shape, TopAbs_FACE, topo->faces);
        TopExp::MapShapes(shape, TopAbs_EDGE, topo->edges);
        topology_ = std::move(topo);
    }
    return topology_;
}

Document::Document(Empty) {
    layer_status_.fill(UF_LAYER_ACTIVE_LAYER);
    layer_status_[0] = UF_LAYER_INACTIVE_LAYER;  // no objects live there; kept so indices are layer numbers
    layer_status_[work_layer_] = UF_LAYER_WORK_LAYER;
}

Document::Document() : Document(Empty{}) {
    Object part;
    part.type = UF_part_type;
    add(std::move(part), false);

    Object matrix;
    matrix.type = UF_matrix_type;
    matrix.payload = MatrixData{gp_Ax2()};
    tag_t matrix_tag = add(std::move(matrix), false);

    Object csys;
    csys.type = UF_coordinate_system_type;
    csys.payload = CsysData{gp_Pnt(0, 0, 0), matrix_tag};
    wcs_ = add(std::move(csys), false);

    for (const auto& [name, orientation] : standard_views()) {
        Object view;
        view.type = UF_view_type;
        view.subtype = UF_view_normal_subtype;
        view.name = name;
        view.payload = ModelViewData{orientation};
        add(std::move(view), false);
    }
    work_view_ = std::get<ModelViewData>(find(find_model_view("TFR-ISO"))->payload).orientation;
}

const std::vector<std::pair<std::string, ViewOrientation>>& Document::standard_views() {
    static const std::vector<std::pair<std::string, ViewOrientation>> views = [] {
        auto view = [](gp_Dir right, gp_Dir up) { return ViewOrientation{right, up, right.Crossed(up)}; };
        gp_Dir toward_eye(1, -1, 1);
        gp_Dir up(gp_Vec(gp::DZ()) - gp_Vec(toward_eye) * toward_eye.Dot(gp::DZ()));
        return std::vector<std::pair<std::string, ViewOrientation>>{
            {"TOP", view(gp::DX(), gp::DY())},
            {"FRONT", view(gp::DX(), gp::DZ())},
            {"RIGHT", view(gp::DY(), gp::DZ())},
            {"BACK", view(-gp::DX(), gp::DZ())},
            {"BOTTOM", view(gp::DX(), -gp::DY())},
            {"LEFT", view(-gp::DY(), gp::DZ())},
            {"TFR-ISO", ViewOrientation{up.Crossed(toward_eye), up, toward_eye}},
        };
    }();
    return views;
}

tag_t Document::find_model_view(std::string_view name) const {
    for (tag_t tag = next_by_name(name, NULL_TAG); tag != NULL_TAG; tag = next_by_name(name, tag)) {
        const Object* object = find(tag);
        if (object->type == UF_view_type && object->subtype == UF_view_normal_subtype) return tag;
    }
    return NULL_TAG;
}

std::string Document::fold_case(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

const Object* Document::find(tag_t tag) const {
    auto it = objects_.find(tag);
    return it == objects_.end() ? nullptr : &it->second;
}

Object* Document::find(tag_t tag) {
    auto it = objects_.find(tag);
    return it == objects_.end() ? nullptr : &it->second;
}

namespace {

// The drawing an object is drawn on: views and annotations say which in their own data.
tag_t owning_drawing(const Object& object) {
    if (const auto* view = object.as<DrawingViewData>()) return view->drawing;
    if (const auto* note = object.as<AnnotationData>()) return note->drawing;
    return object.drawing;
}

}  // namespace

void Document::index_object(const Object& object) {
    if (valid_layer(object.layer)) by_layer_[object.layer].insert(object.tag);
    if (!object.name.empty()) by_name_[fold_case(object.name)].insert(object.tag);
    if (const tag_t drawing = owning_drawing(object); drawing != NULL_TAG) by_drawing_[drawing].insert(object.tag);
}

void Document::unindex_object(const Object& object) {
    if (valid_layer(object.layer)) by_layer_[object.layer].erase(object.tag);
    if (!object.name.empty()) {
        auto it = by_name_.find(fold_case(object.name));
        if (it != by_name_.end()) {
            it->second.erase(object.tag);
            if (it->second.empty()) by_name_.erase(it);
        }
    }
    if (const tag_t drawing = owning_drawing(object); drawing != NULL_TAG) {
        auto it = by_drawing_.find(drawing);
        if (it != by_drawing_.end()) {
            it->second.erase(object.tag);
            if (it->second.empty()) by_drawing_.erase(it);
        }
    }
}

tag_t Document::add(Object object, bool on_layer) {
    ++revision_;
    object.tag = next_tag_++;
    if (on_layer && object.layer == 0) object.layer = work_layer_;
    if (!on_layer) object.layer = 0;
    index_object(object);
    tag_t tag = object.tag;
    objects_.emplace(tag, std::move(object));
    return tag;
}

bool Document::restore(Object object) {
    if (object.tag == NULL_TAG || objects_.count(object.tag)) return false;
    if (object.tag >= next_tag_) next_tag_ = object.tag + 1;
    index_object(object);
    tag_t tag = object.tag;
    objects_.emplace(tag, std::move(object));
    return true;
}

tag_t Document::add_body(const TopoDS_Shape& shape, bool sheet) {
    Object body;
    body.type = UF_solid_type;
    body.subtype = UF_solid_body_subtype;
    BodyData data;
    data.shape = shape;
    data.sheet = sheet;
    auto topo = data.topology();
    data.face_tags.assign(topo->faces.Extent(), NULL_TAG);
    data.edge_tags.assign(topo->edges.Extent(), NULL_TAG);
    body.payload = std::move(data);
    return add(std::move(body));
}

tag_t Document::add_line(const gp_Pnt& start, const gp_Pnt& end) {
    Object line;
    line.type = UF_line_type;
    line.subtype = UF_line_normal_subtype;
    line.payload = LineData{start, end};
    return add(std::move(line));
}

tag_t Document::add_arc(const ArcData& arc) {
    Object object;
    object.type = UF_circle_type;
    object.subtype = UF_circle_normal_subtype;
    object.payload = arc;
    return add(std::move(object));
}

tag_t Document::add_point(const gp_Pnt& point) {
    Object object;
    object.type = UF_point_type;
    object.payload = PointData{point};
    return add(std::move(object));
}

tag_t Document::add_curve(const CurveData& curve) {
    Object object;
    object.type = UF_spline_type;
    object.subtype = UF_spline_normal_subtype;
    object.payload = curve;
    return add(std::move(object));
}

bool Document::remove(tag_t tag) {
    ++revision_;
    auto it = objects_.find(tag);
    if (it == objects_.end() || tag == wcs_) return false;
    if (auto* body = it->second.as<BodyData>()) {
        for (const auto* tags : {&body->face_tags, &body->edge_tags}) {
            for (tag_t sub : *tags) {
                auto found = objects_.find(sub);
                if (found == objects_.end()) continue;
                unindex_object(found->second);
                objects_.erase(found);
            }
        }
    } else if (auto* sub = it->second.as<SubShapeData>()) {
        // A face or edge goes with its body only; forgetting its tag keeps the body whole.
        if (Object* owner = find(sub->body)) {
            auto& body = std::get<BodyData>(owner->payload);
            auto& tags = it->second.subtype == UF_solid_face_subtype ? body.face_tags : body.edge_tags;
            if (sub->index >= 1 && sub->index <= static_cast<int>(tags.size())) tags[sub->index - 1] = NULL_TAG;
        }
    }
    unindex_object(it->second);
    objects_.erase(it);
    return true;
}

tag_t Document::find_drawing(std::string_view name) const {
    for (tag_t tag = next_by_name(name, NULL_TAG); tag != NULL_TAG; tag = next_by_name(name, tag)) {
        if (find(tag)->type == UF_drawing_type) return tag;
    }
    return NULL_TAG;
}

std::vector<tag_t> Document::drawing_members(tag_t drawing) const {
    const auto found = by_drawing_.find(drawing);
    if (drawing == NULL_TAG || found == by_drawing_.end()) return {};
    return {found->second.begin(), found->second.end()};
}

bool Document::link_sub_shapes(std::string& error) {
    for (auto& [tag, object] : objects_) {
        if (auto* body = object.as<BodyData>()) {
            auto topo = body->topology();
            body->face_tags.assign(topo->faces.Extent(), NULL_TAG);
            body->edge_tags.assign(topo->edges.Extent(), NULL_TAG);
        }
    }
    for (auto& [tag, object] : objects_) {
        const auto* sub = object.as<SubShapeData>();
        if (!sub) continue;
        Object* owner = find(sub->body);
        BodyData* body = owner ? owner->as<BodyData>() : nullptr;
        if (!body) {
            error = "object " + std::to_string(tag) + " belongs to body " + std::to_string(sub->body) +
                    ", which is not a body of the part";
            return false;
        }
        auto& tags = object.subtype == UF_solid_face_subtype ? body->face_tags : body->edge_tags;
        if (sub->index < 1 || sub->index > static_cast<int>(tags.size()) || tags[sub->index - 1] != NULL_TAG) {
            error = "object " + std::to_string(tag) + " names a face or edge that body " + std::to_string(sub->body) +
                    " does not have";
            return false;
        }
        tags[sub->index - 1] = tag;
    }
    return true;
}

bool Document::set_layer(tag_t tag, int layer) {
    Object* object = find(tag);
    if (!object || !valid_layer(layer) || object->layer == 0) return false;
    ++revision_;
    unindex_object(*object);
    object->layer = layer;
    index_object(*object);
    return true;
}

void Document::set_name(tag_t tag, std::string_view name) {
    Object* object = find(tag);
    if (!object) return;
    unindex_object(*object);
    object->name = std::string(name);
    index_object(*object);
}

tag_t Document::next_on_layer(int layer, tag_t after) const {
    if (!valid_layer(layer)) return NULL_TAG;
    const auto& tags = by_layer_[layer];
    auto it = tags.upper_bound(after);
    return it == tags.end() ? NULL_TAG : *it;
}

std::size_t Document::count_on_layer(int layer) const { return valid_layer(layer) ? by_layer_[layer].size() : 0; }

tag_t Document::next_by_name(std::string_view name, tag_t after) const {
    auto it = by_name_.find(fold_case(name));
    if (it == by_name_.end()) return NULL_TAG;
    auto next = it->second.upper_bound(after);
    return next == it->second.end() ? NULL_TAG : *next;
}

tag_t Document::sub_shape_tag(tag_t body_tag, int index, bool face) {
    Object* body_object = find(body_tag);
    if (!body_object) return NULL_TAG;
    auto* body = body_object->as<BodyData>();
    if (!body) return NULL_TAG;
    auto& tags = face ? body->face_tags : body->edge_tags;
    if (index < 1 || index > static_cast<int>(tags.size())) return NULL_TAG;
    if (tags[index - 1] != NULL_TAG) return tags[index - 1];
    Object sub;
    sub.type = UF_solid_type;
    sub.subtype = face ? UF_solid_face_subtype : UF_solid_edge_subtype;
    sub.payload = SubShapeData{body_tag, index};
    tag_t tag = add(std::move(sub), false);
    tags[index - 1] = tag;  // still valid after the insertion: std::map nodes do not move
    return tag;
}

tag_t Document::face_tag(tag_t body, int index) { return sub_shape_tag(body, index, true); }
tag_t Document::edge_tag(tag_t body, int index) { return sub_shape_tag(body, index, false); }

TopoDS_Shape Document::shape_of(tag_t tag) const {
    const Object* object = find(tag);
    if (!object) return {};
    if (const auto* body = object->as<BodyData>()) return body->shape;
    if (const auto* sub = object->as<SubShapeData>()) {
        const Object* owner = find(sub->body);
        if (!owner) return {};
        const auto* body = owner->as<BodyData>();
        if (!body) return {};
        auto topo = body->topology();
        const auto& map = object->subtype == UF_solid_face_subtype ? topo->faces : topo->edges;
        if (sub->index < 1 || sub->index > map.Extent()) return {};
        return map(sub->index);
    }
    return {};
}

bool Document::set_layer_status(int layer, int status) {
    if (!valid_layer(layer)) return false;
    ++revision_;
    if (status == UF_LAYER_WORK_LAYER) {
        if (layer != work_layer_) layer_status_[work_layer_] = UF_LAYER_ACTIVE_LAYER;
        work_layer_ = layer;
        layer_status_[layer] = UF_LAYER_WORK_LAYER;
        return true;
    }
    if (status != UF_LAYER_ACTIVE_LAYER && status != UF_LAYER_REFERENCE_LAYER && status != UF_LAYER_INACTIVE_LAYER)
        return false;
    if (layer == work_layer_) return false;
    layer_status_[layer] = status;
    return true;
}

void Document::set_all_but_work(int status) {
    ++revision_;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        if (layer != work_layer_) layer_status_[layer] = status;
    }
}

}  // namespace cadhost
