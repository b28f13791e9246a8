// The part as JSON, for people and for diffs: every object with its kind, layer, name, display settings, attributes
// and geometry, and the layer states.
#ifndef CADHOST_DOCUMENT_DUMP_JSON_H
#define CADHOST_DOCUMENT_DUMP_JSON_H

#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

#include "cadhost/document/document.h"

namespace cadhost {

// What an object is, in words: "solid body", "sheet body", "line", "arc", "point", ...
const char* kind_name(const Object& object);

nlohmann::ordered_json dump_document(const Document& doc);
// The whole part: the document, and whether an undo mark is kept (with its object count).
void write_part_json(std::ostream& out, const Document& doc, const std::optional<Document>& undo_mark);

// A short per-layer summary ("layer 1: 2 solid bodies, 2 lines"), one line per layer that holds objects.
void write_layer_summary(std::ostream& out, const Document& doc);

}  // namespace cadhost

#endif
