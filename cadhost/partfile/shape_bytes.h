// Shapes in the part file's form: the kernel's binary format. The writer takes geometry that the reader then refuses
// (a placement whose matrix has no inverse left in doubles is one), and one such shape makes the whole part
// unreadable; so a shape is read back from its bytes before it is trusted to a part file.
#ifndef CADHOST_PARTFILE_SHAPE_BYTES_H
#define CADHOST_PARTFILE_SHAPE_BYTES_H

#include <string>

#include <TopoDS_Shape.hxx>

namespace cadhost::partfile {

// The shape as the part file stores it. Throws the kernel's failure when it cannot be written.
std::string shape_bytes(const TopoDS_Shape& shape);

// The shape the bytes hold; a null shape when they hold none. Throws the kernel's failure on damaged bytes.
TopoDS_Shape shape_from_bytes(const std::string& bytes);

// Why `bytes`, written from `shape`, do not give it back (in words), or empty when they do: they must read without a
// failure, as a shape of the same kind. `back` receives what was read.
std::string read_back_problem(const TopoDS_Shape& shape, const std::string& bytes, TopoDS_Shape& back);

}  // namespace cadhost::partfile

#endif
