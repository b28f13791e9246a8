#include "cadhost/drafting/face_selection.h"

#include <algorithm>

#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRep_Builder.hxx>
#include <Bnd_Box.hxx>
#include <TopExp_Explorer.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Iterator.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

#include "cadhost/drafting/recent_map.h"

namespace cadhost::drafting {

namespace {

// Boxes of curves are grown by their tolerances, not always alike: a wire that holds another may seem to miss it by
// this much.
constexpr double kHoldSlack = 1e-3;

Box2 to_box2(const Bnd_Box& box) {
    if (box.IsVoid()) return {};
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    return Box2{x0, y0, x1, y1, false};
}

Box2 box_of(const TopoDS_Shape& shape) {
    Bnd_Box box;
    BRepBndLib::Add(shape, box, Standard_False);
    return to_box2(box);
}

bool holds(const Box2& outer, const Box2& inner) {
    return !outer.empty && !inner.empty && outer.x0 <= inner.x0 + kHoldSlack && outer.y0 <= inner.y0 + kHoldSlack &&
           inner.x1 <= outer.x1 + kHoldSlack && inner.y1 <= outer.y1 + kHoldSlack;
}

// The wires' boxes of a plane face with holes, and the one wire whose box holds all the others': the outer one. When
// two hold each other (a face seen edge on can make them so) neither is taken for it.
void add_wire_boxes(const TopoDS_Shape& face, FaceBoxes& out) {
    for (TopoDS_Iterator it(face); it.More(); it.Next())
        if (it.Value().ShapeType() == TopAbs_WIRE) out.wires.push_back(box_of(it.Value()));
    if (out.wires.size() < 2 || BRepAdaptor_Surface(TopoDS::Face(face), Standard_False).GetType() != GeomAbs_Plane) {
        out.wires.clear();
        return;
    }
    for (std::size_t i = 0; i < out.wires.size(); ++i) {
        bool all = true;
        for (std::size_t j = 0; j < out.wires.size() && all; ++j) all = i == j || holds(out.wires[i], out.wires[j]);
        if (!all) continue;
        if (out.outer >= 0) {
            out.outer = -1;
            return;
        }
        out.outer = static_cast<int>(i);
    }
}

class BoxCache {
  public:
    std::shared_ptr<const BodyBoxes> boxes(const TopoDS_Shape& shape, const std::string& key,
                                           const ViewOrientation& o) {
        return kept_.get(key, [&] {
            gp_Trsf to_view;
            to_view.SetTransformation(gp_Ax3(gp::Origin(), o.toward_eye, o.right));
            const TopoDS_Shape moved = shape.Moved(TopLoc_Location(to_view));
            auto result = std::make_shared<BodyBoxes>();
            for (TopExp_Explorer it(moved, TopAbs_FACE); it.More(); it.Next()) {
                FaceBoxes face;
                face.box = box_of(it.Current());
                add_wire_boxes(it.Current(), face);
                result->body.merge(face.box);
                result->faces.push_back(std::move(face));
            }
            if (result->faces.empty()) result->body = box_of(moved);
            return std::shared_ptr<const BodyBoxes>(std::move(result));
        });
    }

  private:
    // The core in each direction it is seen from, and the bodies of the sheets drawn lately.
    RecentMap<std::shared_ptr<const BodyBoxes>> kept_{256};
};

// The face with only the wires that are kept: the same surface, placement and sense, and the very same wires, so that
// its edges are still shared with the neighbouring faces and keep what they know of the joins (smooth or sharp).
TopoDS_Shape with_wires(const TopoDS_Shape& face, const std::vector<char>& keep) {
    TopoDS_Shape bare = face.EmptyCopied();
    bare.Orientation(TopAbs_FORWARD);
    bare.Location(TopLoc_Location());
    BRep_Builder builder;
    std::size_t index = 0;
    for (TopoDS_Iterator it(face, Standard_False, Standard_False); it.More(); it.Next()) {
        if (it.Value().ShapeType() != TopAbs_WIRE) {
            builder.Add(bare, it.Value());
            continue;
        }
        if (keep[index++]) builder.Add(bare, it.Value());
    }
    bare.Location(face.Location());
    bare.Orientation(face.Orientation());
    return bare;
}

}  // namespace

std::shared_ptr<const BodyBoxes> body_boxes(const TopoDS_Shape& body, const std::string& key,
                                            const ViewOrientation& orientation) {
    static BoxCache cache;
    return cache.boxes(body, key, orientation);
}

TopoDS_Shape faces_reaching(const TopoDS_Shape& body, const BodyBoxes& boxes, const std::vector<Box2>& regions) {
    BRep_Builder builder;
    TopoDS_Compound compound;
    builder.MakeCompound(compound);
    std::size_t index = 0, taken = 0, whole = 0;
    for (TopExp_Explorer it(body, TopAbs_FACE); it.More(); it.Next(), ++index) {
        const FaceBoxes& face = boxes.faces[index];
        if (!reaches(face.box, regions)) continue;
        ++taken;
        std::vector<char> keep(face.wires.size(), 1);
        bool all = true;
        if (face.outer >= 0)
            for (std::size_t w = 0; w < face.wires.size(); ++w)
                if (static_cast<int>(w) != face.outer && !reaches(face.wires[w], regions)) keep[w] = 0, all = false;
        if (all) {
            builder.Add(compound, it.Current()), ++whole;
        } else {
            builder.Add(compound, with_wires(it.Current(), keep));
        }
    }
    if (whole == index) return body;
    return taken == 0 ? TopoDS_Shape() : TopoDS_Shape(compound);
}

}  // namespace cadhost::drafting
