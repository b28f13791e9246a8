// A part's solid bodies as one binary glTF 2.0 file (.glb), for a 3D view of the mould in a browser or any viewer of
// that format. Each body is meshed with a tolerance suited to its own size and becomes one node, named as the body,
// with its layer and role in the node's extras. Coordinates stay in the model's millimetres and axes (Z up), not the
// format's usual metres and Y up: the asset's extras say so, and a viewer that wants Y up turns the scene itself.
#ifndef CADHOST_MODEL3D_GLB_WRITER_H
#define CADHOST_MODEL3D_GLB_WRITER_H

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace cadhost::model3d {

struct ModelBody {
    TopoDS_Shape shape;
    std::string name;
    int layer = 0;
    std::string role;        // "core" or "electrode"
    int index_on_layer = 0;  // 1-based among the layer's bodies of the model, as the check counts them
    int count_on_layer = 0;
    std::optional<std::uint32_t> rgb;  // 0xRRGGBB, the body's own colour when it has one
};

// The largest distance a mesh may stray from its body's surfaces: a small share of the body's size, so that an
// electrode's fillets stay round on screen while a large core does not fill the file with triangles.
double mesh_tolerance(const TopoDS_Shape& shape);

// Called after each body is meshed: bodies done, bodies in all.
using MeshProgress = std::function<void(std::size_t, std::size_t)>;

struct GlbResult {
    std::size_t nodes = 0;
    std::size_t triangles = 0;
    std::vector<std::string> notes;  // bodies that gave no triangles and are not in the model
};

// Writes the bodies as GLB to out; false with the reason when it cannot.
bool write_glb(const std::vector<ModelBody>& bodies, std::ostream& out, GlbResult& result, std::string& error,
               const MeshProgress& progress = {});

}  // namespace cadhost::model3d

#endif
