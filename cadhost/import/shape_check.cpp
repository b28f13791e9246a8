#include "cadhost/import/shape_check.h"

#include <cmath>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <Standard_Failure.hxx>

#include "cadhost/import/solid_check.h"
#include "cadhost/partfile/shape_bytes.h"

namespace cadhost::import {

namespace {

bool sane(double value) { return std::isfinite(value) && std::abs(value) <= kModelSizeLimit; }

std::string size_problem(const TopoDS_Shape& shape) {
    Bnd_Box box;
    // Without the triangulation: a damaged file's mesh says nothing about its geometry.
    BRepBndLib::Add(shape, box, false);
    if (box.IsVoid()) return "it has no extent";
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    for (double v : {x0, y0, z0, x1, y1, z1})
        if (!sane(v))
            return "it reaches beyond " + std::to_string(static_cast<long>(kModelSizeLimit)) +
                   " mm from the origin (or has no finite size)";
    return {};
}

}  // namespace

std::string ShapeChecker::validity_problem(const TopoDS_Shape& shape) {
    const TopoDS_Shape unplaced = shape.Located(TopLoc_Location());
    auto found = verdicts_.find(unplaced.TShape().get());
    if (found != verdicts_.end()) return found->second.problem;
    std::string problem;
    if (shape.ShapeType() == TopAbs_SOLID) {
        problem = solid_problem(unplaced);
    } else if (!checker_finds_valid(unplaced)) {
        problem = "the shape checker finds it invalid";
    }
    verdicts_.emplace(unplaced.TShape().get(), Verdict{unplaced, problem});
    return problem;
}

std::string ShapeChecker::problem(const TopoDS_Shape& shape, std::string& bytes) {
    try {
        if (shape.IsNull()) return "it has no geometry";
        // The size first: the checks after it are not made for geometry at the ends of the double range.
        if (std::string problem = size_problem(shape); !problem.empty()) return problem;
        if (std::string problem = validity_problem(shape); !problem.empty()) return problem;
        bytes = partfile::shape_bytes(shape);
        TopoDS_Shape back;
        if (std::string problem = partfile::read_back_problem(shape, bytes, back); !problem.empty()) return problem;
        return size_problem(back);
    } catch (const Standard_Failure& failure) {
        return std::string("the geometry kernel fails on it: ") + failure.GetMessageString();
    } catch (const std::exception& failure) {
        return std::string("it cannot be stored: ") + failure.what();
    }
}

}  // namespace cadhost::import
