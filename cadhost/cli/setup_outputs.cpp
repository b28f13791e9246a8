#include "cadhost/cli/setup_outputs.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cadhost/setup/setup_csv.h"
#include "cadhost/setup/setup_xlsx.h"
#include "cadhost/setup/sheet_browser.h"
#include "cadhost/setup/summary_pages.h"

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

std::vector<render::SheetGraphics> summary_pages(const std::vector<render::SheetGraphics>& sheets,
                                                 const std::vector<tag_t>& drawings,
                                                 const std::vector<setup::SheetSetup>& setups, int summary) {
    if (setups.empty() || summary == 0 || (summary < 0 && setups.size() < 2)) return {};
    std::size_t frame = 0;
    while (frame < drawings.size() && drawings[frame] != setups.front().drawing) ++frame;
    if (frame >= sheets.size()) return {};
    return setup::summary_pages(setups, sheets[frame]);
}

std::vector<const render::SheetGraphics*> pdf_pages(const std::vector<render::SheetGraphics>& summary,
                                                    const std::vector<render::SheetGraphics>& sheets) {
    std::vector<const render::SheetGraphics*> pages;
    for (const auto& page : summary) pages.push_back(&page);
    for (const auto& sheet : sheets) pages.push_back(&sheet);
    return pages;
}

std::string browser_page(const std::string& title, const std::vector<tag_t>& drawings,
                         const std::vector<render::SheetGraphics>& sheets, const std::vector<std::string>& svg_files,
                         const std::vector<setup::SheetSetup>& setups) {
    std::vector<setup::BrowserSheet> shown;
    for (std::size_t i = 0; i < sheets.size() && i < drawings.size() && i < svg_files.size(); ++i) {
        setup::BrowserSheet sheet{sheets[i].name, svg_files[i], sheets[i].width, sheets[i].height, std::nullopt};
        for (const auto& s : setups)
            if (s.drawing == drawings[i]) sheet.setup = s;
        shown.push_back(std::move(sheet));
    }
    std::ostringstream page;
    setup::write_sheet_browser(page, title, shown);
    return page.str();
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
