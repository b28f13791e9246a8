// The machine-checkable face of the drawings: every sheet, view (model view, scale, reference point, what it shows)
// and annotation (kind, text as shown, position, measured value, attached objects) as JSON.
#ifndef CADHOST_DRAFTING_SHEET_REPORT_H
#define CADHOST_DRAFTING_SHEET_REPORT_H

#include <ostream>

#include <nlohmann/json.hpp>

#include "cadhost/document/document.h"

namespace cadhost::drafting {

nlohmann::ordered_json sheet_report(const Document& doc, tag_t drawing);
// {"sheets": [...]} for every drawing of the part.
void write_report(std::ostream& out, const Document& doc);

}  // namespace cadhost::drafting

#endif
