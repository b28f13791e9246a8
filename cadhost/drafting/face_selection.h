// The faces of a body that take part in what hides what inside some places of the view plane, and nothing more: the
// hidden-line algorithm works through every edge of every face it is given, and a mould core's top face carries the
// rims of hundreds of holes and pockets, most of them far from the place where an electrode overlaps it.
#ifndef CADHOST_DRAFTING_FACE_SELECTION_H
#define CADHOST_DRAFTING_FACE_SELECTION_H

#include <memory>
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "cadhost/document/object.h"
#include "cadhost/drafting/projection_regions.h"

namespace cadhost::drafting {

// A face's box in the view plane; for a plane face with holes also each wire's box, in the order the face holds its
// wires, and which of them is the outer one (-1 when none of them holds all the others' boxes).
struct FaceBoxes {
    Box2 box;
    std::vector<Box2> wires;
    int outer = -1;
};

// The boxes of a body in a view orientation: the body's and each face's, in the order faces are explored. Boxes are
// never smaller than what they hold (they may be larger), which is all the overlap tests need.
struct BodyBoxes {
    Box2 body;
    std::vector<FaceBoxes> faces;
};

// The boxes of the body seen in the orientation, computed once for each key (the body's geometry and the direction).
std::shared_ptr<const BodyBoxes> body_boxes(const TopoDS_Shape& body, const std::string& key,
                                            const ViewOrientation& orientation);

// The faces of the body whose boxes reach into one of the regions, as one shape, and of those plane faces the holes
// whose boxes reach into none dropped; the whole body when every face reaches in whole. A null shape when no face
// does. Inside the regions this hides and is hidden as the whole body does: a plane face's hole lies, in projection,
// within its rim's box, so a hole outside the regions never lets a line inside them be seen through it.
TopoDS_Shape faces_reaching(const TopoDS_Shape& body, const BodyBoxes& boxes, const std::vector<Box2>& regions);

}  // namespace cadhost::drafting

#endif
