#include "cadhost/cli/setup_outputs.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cadhost/setup/setup_csv.h"

namespace cadhost::cli {

std::vector<NamedOutput> setup_list_files(const std::vector<setup::SheetSetup>& setups, const std::string& stem,
                                          double allowance) {
    std::ostringstream list, bom;
    setup::write_setup_csv(list, setups);
    setup::write_bom_csv(bom, setup::bill_of_material(setups, allowance));
    return {{stem + ".electrodes.csv", list.str()}, {stem + ".bom.csv", bom.str()}};
}

std::optional<std::size_t> summary_frame(const std::vector<tag_t>& drawings,
                                         const std::vector<setup::SheetSetup>& setups, int summary) {
    if (setups.empty() || summary == 0 || (summary < 0 && setups.size() < 2)) return std::nullopt;
    for (std::size_t frame = 0; frame < drawings.size(); ++frame)
        if (drawings[frame] == setups.front().drawing) return frame;
    return std::nullopt;
}

setup::BrowserSheet browser_sheet(const render::SheetGraphics& sheet, tag_t drawing, const std::string& svg_file,
                                  const std::vector<setup::SheetSetup>& setups) {
    setup::BrowserSheet shown{sheet.name, svg_file, sheet.width, sheet.height, std::nullopt};
    for (const auto& s : setups)
        if (s.drawing == drawing) shown.setup = s;
    return shown;
}

bool parse_allowance(const std::string& text, double& allowance) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 0.0 || value > 100.0) return false;
    allowance = value;
    return true;
}

}  // namespace cadhost::cli
