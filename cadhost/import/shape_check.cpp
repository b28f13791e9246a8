#include "cadhost/import/shape_check.h"

#include <cmath>
#include <sstream>

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BinTools.hxx>
#include <Bnd_Box.hxx>
#include <Standard_Failure.hxx>

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

std::string shape_problem(const TopoDS_Shape& shape, std::string& bytes) {
    try {
        if (shape.IsNull()) return "it has no geometry";
        if (std::string problem = size_problem(shape); !problem.empty()) return problem;
        if (!BRepCheck_Analyzer(shape).IsValid()) return "its geometry is not valid";
        std::ostringstream out(std::ios::binary);
        BinTools::Write(shape, out, Standard_False, Standard_False, BinTools_FormatVersion_CURRENT);
        bytes = out.str();
        std::istringstream in(bytes, std::ios::binary);
        TopoDS_Shape back;
        BinTools::Read(back, in);
        if (back.IsNull() || back.ShapeType() != shape.ShapeType()) return "it cannot be stored and read back";
        return size_problem(back);
    } catch (const Standard_Failure& failure) {
        return std::string("the geometry kernel fails on it: ") + failure.GetMessageString();
    } catch (const std::exception& failure) {
        return std::string("it cannot be stored: ") + failure.what();
    }
}

}  // namespace cadhost::import
