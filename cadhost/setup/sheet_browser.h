// index.html: a page that shows every sheet of an export (its SVG files beside it) with the setup table, for a browser
// opened on the file system: nothing is fetched from a server or the network.
#ifndef CADHOST_SETUP_SHEET_BROWSER_H
#define CADHOST_SETUP_SHEET_BROWSER_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

struct BrowserSheet {
    std::string name;      // the sheet's name
    std::string svg_file;  // its SVG's file name in the same folder
    double width = 297.0, height = 210.0;
    std::optional<SheetSetup> setup;
};

void write_sheet_browser(std::ostream& out, const std::string& title, const std::vector<BrowserSheet>& sheets);

// Text for HTML content and attribute values: & < > " ' escaped.
std::string html_escaped(const std::string& text);

// A file name as a relative URL: every byte but unreserved ASCII percent-encoded, so "#", "?", "%" and Chinese
// names all reach the file.
std::string url_of_file(const std::string& file);

}  // namespace cadhost::setup

#endif
