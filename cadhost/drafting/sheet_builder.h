// Draws one drawing sheet of a part as primitives: its views (hidden-line projections of the bodies they show, their
// curves and points), its own curves (a template's border), and its annotations.
#ifndef CADHOST_DRAFTING_SHEET_BUILDER_H
#define CADHOST_DRAFTING_SHEET_BUILDER_H

#include "cadhost/document/document.h"
#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

render::SheetGraphics build_sheet(const Document& doc, tag_t drawing);

// Adds one annotation's strokes and texts to a sheet, as build_sheet draws it.
void draw_annotation(const Document& doc, const AnnotationData& annotation, render::SheetGraphics& sheet);

// What the views of a drawing ask the projection for, in the order build_sheet asks.
std::vector<ProjectionRequest> projection_requests(const Document& doc, tag_t drawing);

// Every drawing of the part, in creation order.
std::vector<tag_t> drawings_of(const Document& doc);

}  // namespace cadhost::drafting

#endif
