// A body as the hidden-line algorithm is given it: a copy whose plane faces carry their edges' curves in the plane's
// own parameters. The algorithm asks for those curves each time it decides whether a point lies in a face, and for a
// plane face without them it projects every edge of the face onto the plane again: on a face with the rims of
// hundreds of holes that was a third of all the time spent projecting.
#ifndef CADHOST_DRAFTING_PREPARED_BODY_H
#define CADHOST_DRAFTING_PREPARED_BODY_H

#include <string>

#include <TopoDS_Shape.hxx>

namespace cadhost::drafting {

// The prepared copy of the body whose geometry digest is given, made once and kept. It has the body's faces in the
// same order, the same geometry and placement, and draws the same.
TopoDS_Shape prepared_body(const TopoDS_Shape& body, const std::string& digest);

}  // namespace cadhost::drafting

#endif
