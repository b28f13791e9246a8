// quillon export PART --glb: the part's visible solid bodies as a 3D model, PART.glb, for the designer's window and
// any viewer of binary glTF.
#ifndef CADHOST_CLI_MODEL_EXPORT_H
#define CADHOST_CLI_MODEL_EXPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/model3d/glb_writer.h"

namespace cadhost::cli {

// The visible solid bodies by layer, as the command meets them: the core layer's are the core, the others electrodes.
std::vector<model3d::ModelBody> model_bodies(const Document& doc, int core_layer);

// A layer from 1 to 256; false when the text is none.
bool parse_core_layer(const std::string& text, int& layer);

// Writes the part's model to path (atomically); prints a line per tenth of the bodies meshed ("model: N of M bodies
// meshed") and what was written. 0 when written, 1 when the part has no solid body, 2 on failure.
int export_model(const std::string& part_path, const std::string& path, int core_layer, std::ostream& out,
                 std::ostream& err);

}  // namespace cadhost::cli

#endif
