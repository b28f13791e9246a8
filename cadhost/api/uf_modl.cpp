// Modelling queries: lists, bodies, faces, edges, boxes, curve points, isocline curves.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include "cadhost/api/boundary.h"
#include "cadhost/geometry/isocline.h"
#include "cadhost/geometry/queries.h"
#include "host/uf_modl.h"

using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::Session;
using cadhost::api::BodyRef;
using cadhost::api::EdgeRef;
using cadhost::api::FaceRef;
using cadhost::api::guarded;
using cadhost::api::resolve;
using cadhost::api::with_part;

namespace {

// Fills *list (a new list unless the caller passed one of ours) with tags.
int hand_out(uf_list_p_t* list, const std::vector<tag_t>& tags) {
    Session& session = Session::instance();
    if (*list && !session.owns_list(*list)) return UF_err_bad_list;
    if (!*list) *list = session.new_list();
    (*list)->items.insert((*list)->items.end(), tags.begin(), tags.end());
    return UF_ok;
}

int list_body_parts(tag_t body_tag, uf_list_p_t* list, bool faces) {
    if (!list) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        BodyRef body;
        if (int status = resolve(doc, body_tag, body)) return status;
        const int count = faces ? body.body->topology()->faces.Extent() : body.body->topology()->edges.Extent();
        std::vector<tag_t> tags;
        tags.reserve(count);
        for (int i = 1; i <= count; ++i) tags.push_back(faces ? doc.face_tag(body_tag, i) : doc.edge_tag(body_tag, i));
        return hand_out(list, tags);
    });
}

}  // namespace

extern "C" {

int UF_MODL_create_list(uf_list_p_t* list) {
    if (!list) return UF_err_bad_argument;
    return guarded([&] {
        *list = Session::instance().new_list();
        return UF_ok;
    });
}

int UF_MODL_put_list_item(uf_list_p_t list, tag_t item) {
    return guarded([&] {
        if (!Session::instance().owns_list(list)) return UF_err_bad_list;
        list->items.push_back(item);
        return UF_ok;
    });
}

int UF_MODL_ask_list_count(uf_list_p_t list, int* count) {
    if (!count) return UF_err_bad_argument;
    return guarded([&] {
        *count = 0;
        if (!Session::instance().owns_list(list)) return UF_err_bad_list;
        *count = static_cast<int>(list->items.size());
        return UF_ok;
    });
}

int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t* item) {
    if (!item) return UF_err_bad_argument;
    return guarded([&] {
        *item = NULL_TAG;
        if (!Session::instance().owns_list(list)) return UF_err_bad_list;
        if (index < 0 || index >= static_cast<int>(list->items.size())) return UF_err_bad_list;
        *item = list->items[index];
        return UF_ok;
    });
}

int UF_MODL_delete_list(uf_list_p_t* list) {
    if (!list) return UF_err_bad_argument;
    return guarded([&] {
        if (!*list) return UF_ok;
        if (!Session::instance().owns_list(*list)) return UF_err_bad_list;
        Session::instance().delete_list(*list);
        *list = nullptr;
        return UF_ok;
    });
}

int UF_MODL_ask_body_type(tag_t body_tag, int* type) {
    if (!type) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        BodyRef body;
        if (int status = resolve(doc, body_tag, body)) return status;
        *type = body.body->sheet ? UF_MODL_SHEET_BODY : UF_MODL_SOLID_BODY;
        return UF_ok;
    });
}

int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t* list) { return list_body_parts(body, list, true); }

int UF_MODL_ask_body_edges(tag_t body, uf_list_p_t* list) { return list_body_parts(body, list, false); }

int UF_MODL_ask_face_edges(tag_t face_tag, uf_list_p_t* list) {
    if (!list) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        FaceRef face;
        if (int status = resolve(doc, face_tag, face)) return status;
        const Object* owner = doc.find(face.body);
        auto topology = owner->as<cadhost::BodyData>()->topology();
        TopTools_IndexedMapOfShape face_edges;
        TopExp::MapShapes(face.face, TopAbs_EDGE, face_edges);
        std::vector<tag_t> tags;
        for (int i = 1; i <= face_edges.Extent(); ++i) {
            int index = topology->edges.FindIndex(face_edges(i));
            if (index > 0) tags.push_back(doc.edge_tag(face.body, index));
        }
        return hand_out(list, tags);
    });
}

int UF_MODL_ask_face_type(tag_t face_tag, int* type) {
    if (!type) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        FaceRef face;
        if (int status = resolve(doc, face_tag, face)) return status;
        *type = cadhost::geometry::face_type_code(face.face);
        return UF_ok;
    });
}

int UF_MODL_ask_edge_type(tag_t edge_tag, int* type) {
    if (!type) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        EdgeRef edge;
        if (int status = resolve(doc, edge_tag, edge)) return status;
        if (edge.body == NULL_TAG) return UF_err_wrong_type;
        *type = cadhost::geometry::edge_type_code(edge.edge);
        return UF_ok;
    });
}

int UF_MODL_ask_edge_verts(tag_t edge_tag, double point1[3], double point2[3], int* count) {
    if (!point1 || !point2 || !count) return UF_err_bad_argument;
    *count = 0;
    return with_part([&](Part&, Document& doc) {
        EdgeRef edge;
        if (int status = resolve(doc, edge_tag, edge)) return status;
        gp_Pnt first, second;
        *count = cadhost::geometry::edge_vertices(edge.edge, first, second);
        if (*count > 0) {
            cadhost::api::to_c(first, point1);
            cadhost::api::to_c(second, point2);
        }
        return UF_ok;
    });
}

int UF_MODL_ask_curve_points(tag_t curve, double chord_tol, double angle_tol, double step_tol, int* count,
                             double** points) {
    if (!count || !points) return UF_err_bad_argument;
    *count = 0;
    *points = nullptr;
    if (!(chord_tol >= 0) || !(angle_tol >= 0) || !(step_tol >= 0)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        EdgeRef edge;
        if (int status = resolve(doc, curve, edge)) return status;
        auto sampled = cadhost::geometry::curve_points(edge.edge, chord_tol, angle_tol, step_tol);
        auto* out = static_cast<double*>(std::malloc(sizeof(double) * 3 * (sampled.empty() ? 1 : sampled.size())));
        if (!out) return UF_err_no_memory;
        for (std::size_t i = 0; i < sampled.size(); ++i) cadhost::api::to_c(sampled[i], out + 3 * i);
        *points = out;
        *count = static_cast<int>(sampled.size());
        return UF_ok;
    });
}

int UF_MODL_ask_bounding_box(tag_t object, double box[6]) {
    if (!box) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (const auto* point = found->as<cadhost::PointData>()) {
            cadhost::api::to_c(point->point, box);
            cadhost::api::to_c(point->point, box + 3);
            return UF_ok;
        }
        TopoDS_Shape shape = doc.shape_of(object);
        if (shape.IsNull()) shape = cadhost::geometry::curve_edge(*found);
        if (shape.IsNull()) return UF_err_wrong_type;
        return cadhost::geometry::exact_box(shape, box) ? UF_ok : UF_err_geometry;
    });
}

int UF_MODL_create_isocline_curves(tag_t face_tag, const double direction[3], double angle, double tolerance,
                                   tag_t** curves, int* count) {
    if (!direction || !curves || !count) return UF_err_bad_argument;
    *curves = nullptr;
    *count = 0;
    const double length =
        std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
    if (!(length > 1e-12) || !std::isfinite(length) || !(tolerance > 0) || !std::isfinite(tolerance) || !(angle >= 0) ||
        angle > M_PI / 2)
        return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        FaceRef face;
        if (int status = resolve(doc, face_tag, face)) return status;
        std::vector<cadhost::geometry::IsoclinePiece> pieces;
        std::string error;
        if (!cadhost::geometry::isocline_pieces(face.face, gp_Dir(direction[0], direction[1], direction[2]), angle,
                                                tolerance, pieces, error))
            return UF_err_geometry;
        auto* out = static_cast<tag_t*>(std::malloc(sizeof(tag_t) * (pieces.empty() ? 1 : pieces.size())));
        if (!out) return UF_err_no_memory;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const auto& piece = pieces[i];
            if (piece.curve.IsNull()) {
                out[i] = doc.add_point(piece.point);
            } else {
                out[i] = doc.add_curve({piece.curve, piece.curve->FirstParameter(), piece.curve->LastParameter()});
            }
        }
        *curves = out;
        *count = static_cast<int>(pieces.size());
        return UF_ok;
    });
}

}  // extern "C"
