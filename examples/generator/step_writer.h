#pragma once

#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace sample {

// One object as it goes into the file: a solid, an edge or a vertex, its name (UTF-8) and its layer name.
struct ModelObject {
    TopoDS_Shape shape;
    std::string name;
    std::string layer;
};

// Writes AP214 with one free product per object, in the given order. Returns an empty text or what went wrong.
std::string write_step(const std::string& path, const std::vector<ModelObject>& objects);

}  // namespace sample
