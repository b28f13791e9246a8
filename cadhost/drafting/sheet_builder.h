// Draws one drawing sheet of a part as primitives: its views (hidden-line projections of the bodies they show, their
// curves and points), its own curves (a template's border), and its annotations.
#ifndef CADHOST_DRAFTING_SHEET_BUILDER_H
#define CADHOST_DRAFTING_SHEET_BUILDER_H

#include "cadhost/document/document.h"
#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

// An annotation whose text the sheet moved clear of others, as it was drawn.
struct ArrangedAnnotation {
    tag_t tag = NULL_TAG;
    AnnotationData drawn;
};

// The sheet's primitives; texts that would collide are moved clear first (text_arrangement.h), and those moved are
// listed in moved when it is given.
render::SheetGraphics build_sheet(const Document& doc, tag_t drawing, std::vector<ArrangedAnnotation>* moved = nullptr);

// The annotations the sheet draws elsewhere than their own position says.
std::vector<ArrangedAnnotation> arranged_annotations(const Document& doc, tag_t drawing);

// Adds one annotation's strokes and texts to a sheet, as build_sheet draws it.
void draw_annotation(const Document& doc, const AnnotationData& annotation, render::SheetGraphics& sheet);

// What the views of a drawing ask the projection for, in the order build_sheet asks.
std::vector<ProjectionRequest> projection_requests(const Document& doc, tag_t drawing);

// Every drawing of the part, in creation order.
std::vector<tag_t> drawings_of(const Document& doc);

}  // namespace cadhost::drafting

#endif
