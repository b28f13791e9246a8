// The chamfered corner marked in the electrode's own top view as the run marks it in the core's top view ("c角").
//
// The electrode's top view looks at it from the side its working part faces, the opposite way to the core's top
// view, so each shows the other's mirror image: a corner at the lower right in one is at the upper right (or lower
// left) in the other. Marking the same corner with the same label in both lets the machinist match them by eye; the
// views' labels say which side each shows.
#ifndef CADHOST_DRAFTING_CHAMFER_MARK_H
#define CADHOST_DRAFTING_CHAMFER_MARK_H

#include <optional>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

inline constexpr const char* kChamferLabelText = "c角";

// The label for a drawn sheet whose core top view carries the chamfer label and that shows the electrode's own top
// view: its leader on the same model corner, seen in that view; its text placed as the touch label's. The label's
// strokes and text join the sheet; the annotation is returned to join the drawing (add_touch_label). Empty when the
// sheet has no such pair of views or no chamfer label.
std::optional<AnnotationData> draw_chamfer_mark(const Document& doc, tag_t drawing, render::SheetGraphics& sheet);

}  // namespace cadhost::drafting

#endif
