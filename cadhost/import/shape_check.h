// Checks that a shape is one the part may hold: valid, of finite size, and readable again from the part file.
#ifndef CADHOST_IMPORT_SHAPE_CHECK_H
#define CADHOST_IMPORT_SHAPE_CHECK_H

#include <string>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

// Coordinates further than this from the origin (mm) are taken for damage: no mould is a kilometre long, and the
// kernel's tolerances stop working long before doubles run out.
inline constexpr double kModelSizeLimit = 1.0e6;

// The first problem of the shape, in words, or empty when there is none. `bytes` receives the shape in the kernel's
// binary form (the part file's form), which has been read back once.
std::string shape_problem(const TopoDS_Shape& shape, std::string& bytes);

}  // namespace cadhost::import

#endif
