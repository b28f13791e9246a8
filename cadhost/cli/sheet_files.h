// The SVG and DXF files of an export's sheets. A large mould has hundreds of sheets of several megabytes each, so each
// sheet's files are made by the thread that drew it and staged, to be put in place with the export's other files.
#ifndef CADHOST_CLI_SHEET_FILES_H
#define CADHOST_CLI_SHEET_FILES_H

#include <string>

#include "cadhost/files/staged_files.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::cli {

// Stages name + ".svg" and/or ".dxf" in dir for the sheet. False with a message naming the sheet or file, and the file
// that failed not staged, when one cannot be made; written counts the files staged.
bool write_sheet_file(const render::SheetGraphics& sheet, const std::string& name, bool svg, bool dxf,
                      const std::string& dir, files::StagedFiles& staged, int& written, std::string& error);

}  // namespace cadhost::cli

#endif
