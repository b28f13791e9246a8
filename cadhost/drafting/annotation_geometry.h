// Where annotations measure from and what they measure: the sheet points of their anchors and their values.
#ifndef CADHOST_DRAFTING_ANNOTATION_GEOMETRY_H
#define CADHOST_DRAFTING_ANNOTATION_GEOMETRY_H

#include <optional>
#include <string>

#include <gp_Pnt.hxx>

#include "cadhost/document/document.h"

namespace cadhost::drafting {

// The model point an anchor names: a point, or the first or second end of a line, arc or edge.
std::optional<gp_Pnt> anchor_model_point(const Document& doc, const AnnotationAnchor& anchor);
// The same point on the sheet, through the anchor's view.
std::optional<std::pair<double, double>> anchor_sheet_point(const Document& doc, const AnnotationAnchor& anchor);

// The value a dimension measures, in model millimetres: linear dimensions between their anchors along the sheet axis,
// ordinates from their margin's origin along the margin. Empty when an anchor no longer resolves.
std::optional<double> measured_value(const Document& doc, const AnnotationData& annotation);

// The value as written: with the style's decimals, trailing zeros dropped when the style says so.
std::string format_value(double value, const AnnotationStyle& style);

// The text a dimension shows: the value, or the user text that replaces it, then its appended lines.
std::vector<std::string> dimension_text(const Document& doc, const AnnotationData& annotation);

}  // namespace cadhost::drafting

#endif
