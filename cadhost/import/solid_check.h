// Whether a solid from a model is one: closed all round and sound by the kernel's shape checker.
#ifndef CADHOST_IMPORT_SOLID_CHECK_H
#define CADHOST_IMPORT_SOLID_CHECK_H

#include <string>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

// What is wrong with the solid, in words ("it is open: 4 edges bound only one face"), or empty when nothing is.
std::string solid_problem(const TopoDS_Shape& solid);

// Whether the kernel's shape checker finds the shape sound. Its plane faces are given their edges' curves in the
// plane's parameters first (see solid_check.cpp); the shape keeps them. May throw the kernel's failures.
bool checker_finds_valid(const TopoDS_Shape& shape);

// The edges of the shape that bound only one of its faces: where a closed shape has a face missing.
int open_edges(const TopoDS_Shape& shape);

}  // namespace cadhost::import

#endif
