// The attribute sidecar of an imported model: attributes and blank status of objects, which STEP cannot carry.
//
// { "quillon_attrs": 1,
//   "objects": [ { "layer": 1, "index": 1, "name": "E01", "blank": false, "color": "copper", "width": "thick",
//                  "attributes": { "ELEC_ROUGH_SPACE": {"real": 0.2}, "elec_rough_number": {"integer": 2},
//                                  "ELEC_NOTE": {"string": "..."} } } ] }
//
// An object is chosen by its layer and its 1-based position among the objects of that layer in the model's order;
// "name", when given, must be the object's name too. "color" (a name, see parse_colour, or "#RRGGBB") and "width"
// ("thin", "normal", "thick") set how a body is drawn on sheets, over what the model gave. Every key is checked: an
// unknown key, a wrong type or an object that does not exist is refused with the place named, and then nothing is
// applied.
#ifndef CADHOST_IMPORT_SIDECAR_H
#define CADHOST_IMPORT_SIDECAR_H

#include <string>

#include "cadhost/document/document.h"

namespace cadhost::import {

bool apply_sidecar_text(const std::string& text, const std::string& source, Document& doc, std::string& error);
bool apply_sidecar_file(const std::string& path, Document& doc, std::string& error);

}  // namespace cadhost::import

#endif
