// The label "单边碰" that tells the machinist a sheet's EDM point is the electrode's single-side touch point, not its
// reference point: a leader to the point in the core's top view, and the text where the sheet leaves room for it.
//
// The run records on the drawing that the point is a touch point, where it lies in the model and which view shows it
// from above (host/sheet_setup.h); the label is placed when the sheet is drawn, once everything else on it is known,
// so that it covers no text and no line.
#ifndef CADHOST_DRAFTING_TOUCH_LABEL_H
#define CADHOST_DRAFTING_TOUCH_LABEL_H

#include <optional>
#include <string>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

inline constexpr const char* kTouchLabelText = "单边碰";

// The label for a drawn sheet of the drawing: its text position clear of the sheet's texts and lines, inside the
// sheet, its leader crossing no text, as near the point as that allows (on a sheet without such a place, clear of the
// texts only, else the nearest place inside the sheet). Empty when the drawing's EDM point is not a touch point, or
// its view or point is not known.
std::optional<AnnotationData> touch_label(const Document& doc, tag_t drawing, const render::SheetGraphics& sheet);

// A label of the text with its leader to tip, placed as the touch label is: for other marks the sheet adds once it
// is drawn. Empty when the label cannot be drawn.
std::optional<AnnotationData> leader_label(const Document& doc, tag_t drawing, const render::SheetGraphics& sheet,
                                           render::Point2 tip, const std::string& text);

// Places the label on a sheet that needs one: its strokes and text join the sheet's graphics, reading doc only, and
// the annotation is returned to join the drawing in doc (add_touch_label, so the report lists it) once no other
// thread reads doc. Sheets drawn side by side add theirs in the order of the sheets.
std::optional<AnnotationData> draw_touch_label(const Document& doc, tag_t drawing, render::SheetGraphics& sheet);
void add_touch_label(Document& doc, AnnotationData label);

}  // namespace cadhost::drafting

#endif
