// Turns a STEP model (and its attribute sidecar) into a new part document.
#ifndef CADHOST_IMPORT_IMPORT_MODEL_H
#define CADHOST_IMPORT_IMPORT_MODEL_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/import/layer_mapping.h"
#include "cadhost/import/object_names.h"

namespace cadhost::import {

struct ImportOptions {
    std::string sidecar_path;  // empty: none
    LayerMap layer_map;        // layer names the user mapped by hand; they win over names read as numbers
    bool keep_going = false;   // import what can be imported and leave out damaged objects and say so
    NameSource names = NameSource::automatic;  // which of an object's names it takes
    std::string name_encoding;                 // of names that are not UTF-8 (an iconv name); empty: guessed
    bool auto_layers = false;  // lay the model out by its solids (see auto_layers.h) instead of by its layer names
};

// The attributes an imported object keeps its two names in when they differ, so that `quillon info` can show both.
inline constexpr const char* kProductNameTitle = "STEP_PRODUCT_NAME";
inline constexpr const char* kBodyNameTitle = "STEP_BODY_NAME";

struct ImportResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> notes;     // what the user should know: layers mapped, names shortened
    std::vector<std::string> left_out;  // with keep_going: the objects that were not imported, and why
    std::vector<std::string> details;   // each thing read around or left out, in full, for --verbose
    std::string length_unit;            // the file's, in words; the part is in millimetres
    std::string layer_table;  // with auto_layers: what went on which layer (JSON), for the user and the part file
};

// Objects keep the model's order, so positions on a layer are those of the file. The layer of an object follows from
// its layer's name (see LayerAssigner); objects of a layer that gives no number, or of none, go on layer 1 and a note
// says so. Names longer than the host keeps are shortened, with a note. A damaged object fails the import with the
// problems listed, unless keep_going is set; a model without any solid fails it always, saying what the file holds.
// With auto_layers the layers come from
// the solids instead, and the table of what went where comes back in the result.
ImportResult import_step(const std::string& step_path, const ImportOptions& options, Document& doc);
ImportResult import_step(const std::string& step_path, const std::string& sidecar_path, Document& doc);

}  // namespace cadhost::import

#endif
