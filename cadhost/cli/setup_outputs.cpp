#include "cadhost/cli/setup_outputs.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cadhost/setup/setup_csv.h"
#include "cadhost/setup/setup_xlsx.h"

namespace cadhost::cli {

std::vector<std::string> setup_list_names(const std::string& stem) {
    return {stem + ".electrodes.csv", stem + ".bom.csv", stem + ".electrodes.xlsx"};
}

bool setup_list_files(const std::vector<setup::SheetSetup>& setups, const std::string& stem, double allowance,
                      setup::ListHeader header, std::vector<NamedOutput>& files, std::string& error) {
    const std::vector<setup::ListTable> tables{setup::setup_table(setups, header),
                                               setup::bom_table(setup::bill_of_material(setups, allowance), header)};
    const auto names = setup_list_names(stem);
    std::string workbook;
    if (!setup::write_lists_xlsx(tables, workbook, error)) return false;
    files.clear();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        std::ostringstream csv;
        setup::write_list_csv(csv, tables[i]);
        files.push_back({names[i], std::move(csv).str()});
    }
    files.push_back({names[2], std::move(workbook)});
    return true;
}

bool parse_list_header(const std::string& text, setup::ListHeader& header) {
    if (text != "zh" && text != "en") return false;
    header = text == "en" ? setup::ListHeader::english : setup::ListHeader::chinese;
    return true;
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
