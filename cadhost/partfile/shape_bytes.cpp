#include "cadhost/partfile/shape_bytes.h"

#include <sstream>

#include <BinTools.hxx>
#include <Standard_Failure.hxx>

namespace cadhost::partfile {

std::string shape_bytes(const TopoDS_Shape& shape) {
    std::ostringstream stream(std::ios::binary);
    BinTools::Write(shape, stream, Standard_False, Standard_False, BinTools_FormatVersion_CURRENT);
    return std::move(stream).str();
}

TopoDS_Shape shape_from_bytes(const std::string& bytes) {
    std::istringstream stream(bytes, std::ios::binary);
    TopoDS_Shape shape;
    BinTools::Read(shape, stream);
    return shape;
}

std::string read_back_problem(const TopoDS_Shape& shape, const std::string& bytes, TopoDS_Shape& back) {
    try {
        back = shape_from_bytes(bytes);
    } catch (const Standard_Failure&) {
        // The kernel's message names its own internals, which tell the user nothing.
        return "it cannot be read back from the part file's form";
    } catch (const std::exception&) {
        return "it cannot be read back from the part file's form";
    }
    if (back.IsNull()) return "it reads back from the part file's form as nothing";
    if (back.ShapeType() != shape.ShapeType())
        return "it reads back from the part file's form as another kind of shape";
    return {};
}

}  // namespace cadhost::partfile
