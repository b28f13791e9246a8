// The SVG and DXF files of an export's sheets. A large mould has hundreds of sheets of several megabytes each, so the
// files are made by several threads at once and staged, to be put in place with the export's other files.
#ifndef CADHOST_CLI_SHEET_FILES_H
#define CADHOST_CLI_SHEET_FILES_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/files/staged_files.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::cli {

// Stages names[i] + ".svg" and/or ".dxf" in dir for each of the sheets, on `threads` threads. After the first failure
// no further file is begun; false then, with a line on err for each file that failed. written counts the files staged.
bool write_sheet_files(const std::vector<render::SheetGraphics>& sheets, const std::vector<std::string>& names,
                       bool svg, bool dxf, const std::string& dir, files::StagedFiles& staged, unsigned threads,
                       int& written, std::ostream& err);

}  // namespace cadhost::cli

#endif
