// The 3D view's requests: the part's model (PART.glb, made again when the part is newer) and the three.js files the
// page draws it with, read from where Debian's libjs-three puts them (or QUILLON_THREE_DIR), never from the network.
#ifndef CADHOST_SERVE_MODEL_ROUTES_H
#define CADHOST_SERVE_MODEL_ROUTES_H

#include <filesystem>
#include <string>

#include "cadhost/serve/serve_context.h"

namespace httplib {
class Server;
}

namespace cadhost::serve {

// Whether the model (PART.glb) was written after the part was last saved: it is made again when the part is newer (a
// run or an undo changed the bodies' layers or names).
bool model_is_current(const std::filesystem::path& part, const std::filesystem::path& model);

// The folder the three.js files are read from: QUILLON_THREE_DIR when set, else Debian's.
std::string three_folder();

// The file under the three.js folder that the page asks for by name ("three.min.js", "OrbitControls.js",
// "GLTFLoader.js"); empty for any other name.
std::string three_file(const std::string& name);

void add_model_routes(httplib::Server& server, ServeContext& context);

}  // namespace cadhost::serve

#endif
