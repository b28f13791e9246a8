// The sheet a point is picked on: a command that asks for a point on the model or on the sheet it is making gets it
// from a click on that sheet as drawn so far. The picture is the sheet's SVG (sheet millimetres, y up in the sheet, y
// down in the picture) with the views that are seen from above and how their sheet points map back to the model.
#ifndef CADHOST_DIALOG_PROMPT_SHEET_H
#define CADHOST_DIALOG_PROMPT_SHEET_H

#include <nlohmann/json.hpp>

#include "cadhost/document/document.h"

namespace cadhost::dialog {

// {"sheet": {"name", "width", "height", "svg", "top_views": [{"box": [x0, y0, x1, y1], "scale", "ref_x", "ref_y",
// "cx", "cy"}]}} for the current drawing; an empty object when the part has none.
nlohmann::ordered_json sheet_to_pick_on(const Document& doc);

}  // namespace cadhost::dialog

#endif
