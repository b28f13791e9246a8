// The one check every object of a model passes before the part may hold it: a solid closed all round, a shape the
// kernel's checker finds valid, of finite size, and readable again from the part file's form.
#ifndef CADHOST_IMPORT_SHAPE_CHECK_H
#define CADHOST_IMPORT_SHAPE_CHECK_H

#include <string>
#include <unordered_map>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

// Coordinates further than this from the origin (mm) are taken for damage: no mould is a kilometre long, and the
// kernel's tolerances stop working long before doubles run out.
inline constexpr double kModelSizeLimit = 1.0e6;

class ShapeChecker {
  public:
    // The first problem of the placed shape, in words, or empty when there is none; then `bytes` holds the shape in
    // the part file's form, which has been read back once. The shape checker's verdict is kept for the shape without
    // its placement, so that a body placed many times (the copies of an electrode) is checked once.
    std::string problem(const TopoDS_Shape& shape, std::string& bytes);

  private:
    std::string validity_problem(const TopoDS_Shape& shape);

    struct Verdict {
        TopoDS_Shape shape;  // held so that the pointer in the key cannot be reused by another shape
        std::string problem;
    };
    std::unordered_map<const void*, Verdict> verdicts_;
};

}  // namespace cadhost::import

#endif
