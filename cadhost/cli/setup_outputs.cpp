#include "cadhost/cli/setup_outputs.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cadhost/setup/setup_csv.h"
#include "cadhost/setup/sheet_browser.h"
#include "cadhost/setup/summary_pages.h"

namespace cadhost::cli {

std::vector<NamedOutput> setup_list_files(const std::vector<setup::SheetSetup>& setups, const std::string& stem,
                                          double allowance) {
    std::ostringstream list, bom;
    setup::write_setup_csv(list, setups);
    setup::write_bom_csv(bom, setup::bill_of_material(setups, allowance));
    return {{stem + ".electrodes.csv", list.str()}, {stem + ".bom.csv", bom.str()}};
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
