// The setup table as pages of their own, in the frame and title block of the run's sheets, to lead the PDF.
#ifndef CADHOST_SETUP_SUMMARY_PAGES_H
#define CADHOST_SETUP_SUMMARY_PAGES_H

#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"
#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

// Rows of the setup table on one page.
inline constexpr std::size_t kRowsPerSummaryPage = 26;

// As many pages as the rows need (none for no setups). The frame and title block are those of frame_sheet (the first
// setup's sheet): its template lines below the title block's top line and its border, and the title block's texts,
// with the page cell telling the summary's own page.
std::vector<render::SheetGraphics> summary_pages(const std::vector<SheetSetup>& setups,
                                                 const render::SheetGraphics& frame_sheet);

// The sizes of a box as the summary shows them: "50×40×35", decimals only where the size has them.
std::string size_text(const std::array<double, 3>& size);

// The approximate advance of a text in the sheet font, mm, for a capital height: Latin characters are narrower than
// Chinese ones. Used to fit cells; close enough that a text squeezed to it stays inside.
double text_advance(const std::string& text, double height);

}  // namespace cadhost::setup

#endif
