#include "cadhost/api/boundary.h"

#include <cstdlib>
#include <cstring>

#include "cadhost/geometry/queries.h"

namespace cadhost::api {

int resolve(const Document& doc, tag_t tag, BodyRef& out) {
    const Object* object = doc.find(tag);
    if (!object) return UF_err_bad_tag;
    const auto* body = object->as<BodyData>();
    if (!body) return UF_err_wrong_type;
    out = BodyRef{tag, object, body};
    return UF_ok;
}

int resolve(const Document& doc, tag_t tag, FaceRef& out) {
    const Object* object = doc.find(tag);
    if (!object) return UF_err_bad_tag;
    const auto* sub = object->as<SubShapeData>();
    if (!sub || object->subtype != UF_solid_face_subtype) return UF_err_wrong_type;
    TopoDS_Shape shape = doc.shape_of(tag);
    if (shape.IsNull()) return UF_err_bad_tag;
    out = FaceRef{tag, sub->body, TopoDS::Face(shape)};
    return UF_ok;
}

int resolve(const Document& doc, tag_t tag, EdgeRef& out) {
    const Object* object = doc.find(tag);
    if (!object) return UF_err_bad_tag;
    if (const auto* sub = object->as<SubShapeData>()) {
        if (object->subtype != UF_solid_edge_subtype) return UF_err_wrong_type;
        TopoDS_Shape shape = doc.shape_of(tag);
        if (shape.IsNull()) return UF_err_bad_tag;
        out = EdgeRef{tag, sub->body, TopoDS::Edge(shape)};
        return UF_ok;
    }
    TopoDS_Edge edge = geometry::curve_edge(*object);
    if (edge.IsNull()) return UF_err_wrong_type;
    out = EdgeRef{tag, NULL_TAG, edge};
    return UF_ok;
}

bool copy_text(const std::string& text, char* out, std::size_t size) {
    if (size == 0) return false;
    if (text.size() >= size) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

char* host_strdup(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace cadhost::api
