// The machine-checkable face of the drawings: every sheet, view (model view, scale, reference point, what it shows)
// and annotation (kind, text as shown, position, measured value, attached objects) as JSON.
#ifndef CADHOST_DRAFTING_SHEET_REPORT_H
#define CADHOST_DRAFTING_SHEET_REPORT_H

#include <cstddef>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cadhost/document/document.h"
#include "cadhost/drafting/sheet_builder.h"

namespace cadhost::drafting {

nlohmann::ordered_json sheet_report(const Document& doc, tag_t drawing);
// The same for a sheet already drawn, given the annotations the drawing moved clear of others (build_sheet's moved):
// the sheet is not drawn again.
nlohmann::ordered_json sheet_report(const Document& doc, tag_t drawing, const std::vector<ArrangedAnnotation>& moved);
// {"sheets": [...]} for every drawing of the part.
void write_report(std::ostream& out, const Document& doc);

// The same written a sheet at a time, for a report of many sheets made side by side: a sheet's entry as the report
// holds it, and the report of the entries added in order.
std::string report_sheet_text(const Document& doc, tag_t drawing);
std::string report_sheet_text(const Document& doc, tag_t drawing, const std::vector<ArrangedAnnotation>& moved);
class ReportWriter {
  public:
    explicit ReportWriter(std::ostream& out) : out_(out) {}
    void add(const std::string& sheet_text);
    void finish();

  private:
    std::ostream& out_;
    std::size_t sheets_ = 0;
};

}  // namespace cadhost::drafting

#endif
