// The label that says which side of the model a drawing view shows: such as "俯视 视向-Z 右+X 上+Y", the side, the
// axis the eye looks along and the model axes that point right (右) and up (上) on the sheet.
//
// A view seen from below or from a side turns the model's axes on the sheet: a point at Y = -20 stands above the
// origin in a view from below, and the ordinate values carry no sign. The label names the side (俯视 from above,
// 仰视 from below, 前视, 后视, 左视, 右视 from a side, 轴测 for an axonometric view), the axis the eye looks along,
// and for an orthographic view the model axes that point right and up on the sheet, so the signs can be read off.
#ifndef CADHOST_DRAFTING_VIEW_LABELS_H
#define CADHOST_DRAFTING_VIEW_LABELS_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

// The text for a view of that orientation.
std::string view_label_text(const ViewOrientation& orientation);

// A label for every view of the drawing that shows something, next to the view (above it where there is room, else
// below or beside it), clear of the sheet's texts and lines. Reads doc only; the labels' texts are added to the sheet
// and the notes returned, to join the drawing in doc (add_sheet_notes) once no other thread reads it.
std::vector<AnnotationData> draw_view_labels(const Document& doc, tag_t drawing, render::SheetGraphics& sheet);

// Notes and labels placed when a sheet is drawn join its drawing, so that the report lists them with the rest.
void add_sheet_notes(Document& doc, std::vector<AnnotationData> notes);

}  // namespace cadhost::drafting

#endif
