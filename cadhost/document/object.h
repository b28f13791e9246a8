// The objects a part holds: one record per tag, with the payload that its kind needs.
#ifndef CADHOST_DOCUMENT_OBJECT_H
#define CADHOST_DOCUMENT_OBJECT_H

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <Geom_Curve.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Ax2.hxx>
#include <gp_Pnt.hxx>

#include "host/uf_types.h"

namespace cadhost {

using AttrValue = std::variant<int, double, std::string>;

struct Attribute {
    std::string title;
    AttrValue value;
};

// The faces and edges of a body, numbered from 1 in the kernel's topological order. Built once per shape and shared
// between copies of the document: shapes are never changed in place, so the numbering stays valid.
struct Topology {
    TopTools_IndexedMapOfShape faces;
    TopTools_IndexedMapOfShape edges;
};

struct BodyData {
    TopoDS_Shape shape;
    bool sheet = false;  // a sheet body (open shell or faces) rather than a solid
    std::vector<tag_t> face_tags;  // index i - 1 holds the tag of face i, or NULL_TAG until asked for
    std::vector<tag_t> edge_tags;
    std::shared_ptr<const Topology> topology() const;

private:
    mutable std::shared_ptr<const Topology> topology_;
};

// A face or an edge of a body: the body's tag and its number in the body's topology.
struct SubShapeData {
    tag_t body = NULL_TAG;
    int index = 0;
};

struct LineData {
    gp_Pnt start;
    gp_Pnt end;
};

// A circle or arc: centre and axes in position, anticlockwise about its main direction from start to end (radians).
struct ArcData {
    gp_Ax2 position;
    double radius = 0.0;
    double start = 0.0;
    double end = 0.0;
};

struct PointData {
    gp_Pnt point;
};

// Any other free curve, such as an isocline curve: a kernel curve between two parameters.
struct CurveData {
    Handle(Geom_Curve) curve;
    double first = 0.0;
    double last = 0.0;
};

struct CsysData {
    gp_Pnt origin;
    tag_t matrix = NULL_TAG;
};

struct MatrixData {
    gp_Ax2 axes;  // only the directions count
};

// How a view looks at the model: the model directions that point right and up on the screen, and towards the eye.
struct ViewOrientation {
    gp_Dir right = gp::DX();
    gp_Dir up = gp::DY();
    gp_Dir toward_eye = gp::DZ();
};

struct ModelViewData {
    ViewOrientation orientation;
};

using Payload = std::variant<std::monostate, BodyData, SubShapeData, LineData, ArcData, PointData, CurveData,
                             CsysData, MatrixData, ModelViewData>;

struct Object {
    tag_t tag = NULL_TAG;
    int type = 0;
    int subtype = 0;
    int layer = 0;  // 0 for objects that live on no layer
    std::string name;
    int blank_status = UF_OBJ_NOT_BLANKED;
    int font = UF_OBJ_FONT_SOLID;
    int color = 1;
    int line_width = 1;
    std::vector<Attribute> attributes;
    Payload payload;

    template <class T>
    const T* as() const {
        return std::get_if<T>(&payload);
    }
    template <class T>
    T* as() {
        return std::get_if<T>(&payload);
    }
};

}  // namespace cadhost

#endif
