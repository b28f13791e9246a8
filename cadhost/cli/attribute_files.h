// The attribute files an import applies, in the order given so that a later one wins: JSON attribute files (see
// cadhost/import/sidecar.h) and the shop's electrode tables (CSV or XLSX, see cadhost/setup/electrode_table.h).
#ifndef CADHOST_CLI_ATTRIBUTE_FILES_H
#define CADHOST_CLI_ATTRIBUTE_FILES_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"

namespace cadhost::cli {

// Where a table's titles and the values a sheet shows for a body without its own come from: the drawing command.
struct AttributeSources {
    std::string library, conf;  // "" for the defaults
    int core_layer = 240;
};

// Applies every file to doc. An electrode table sets the gaps, counts and note of the solid bodies of each name it
// gives where a cell differs from what the body's sheet shows now (an empty cell leaves its attribute alone); a body
// that showed the configuration's defaults takes the row's every value, so that those it did not change stay on its
// sheet. lines: a line per body changed. False with the reason, naming the file (and row and column), when a file
// cannot be read or names a body the part does not have; doc is then part way changed.
bool apply_attribute_files(const std::vector<std::string>& paths, Document& doc, const AttributeSources& sources,
                           std::vector<std::string>& lines, std::string& error);

}  // namespace cadhost::cli

#endif
