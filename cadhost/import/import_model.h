// Turns a STEP model (and its attribute sidecar) into a new part document.
#ifndef CADHOST_IMPORT_IMPORT_MODEL_H
#define CADHOST_IMPORT_IMPORT_MODEL_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"

namespace cadhost::import {

struct ImportResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> notes;  // what the user should know: layers mapped, names shortened
};

// Objects keep the model's order, so positions on a layer are those of the file. A layer named "1" to "256" is that
// layer; objects of any other layer, or of none, go on layer 1 and a note says so. Names longer than the host keeps
// are shortened, with a note.
ImportResult import_step(const std::string& step_path, const std::string& sidecar_path, Document& doc);

}  // namespace cadhost::import

#endif
