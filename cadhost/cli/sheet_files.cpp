#include "cadhost/cli/sheet_files.h"

#include <filesystem>
#include <sstream>

#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/svg_writer.h"

namespace cadhost::cli {

bool write_sheet_file(const render::SheetGraphics& sheet, const std::string& name, bool svg, bool dxf,
                      const std::string& dir, files::StagedFiles& staged, int& written, std::string& error) {
    for (const bool is_svg : {true, false}) {
        if (is_svg ? !svg : !dxf) continue;
        std::ostringstream text;
        if (is_svg) {
            render::write_svg(sheet, text);
        } else if (!render::write_dxf(sheet, text, error)) {
            error = "sheet " + sheet.name + ": " + error;
            return false;
        }
        const std::filesystem::path path = std::filesystem::path(dir) / (name + (is_svg ? ".svg" : ".dxf"));
        if (!staged.stage(path.string(), std::move(text).str(), error)) return false;
        ++written;
    }
    return true;
}

}  // namespace cadhost::cli
