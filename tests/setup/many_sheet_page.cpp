// Writes a sheet browser page of COUNT sheets named S0001, S0002, ... whose drawings are S0001.svg, ...: the size of a
// large mould's job without drawing one sheet. The caller puts the drawings (or links to them) beside the page.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cadhost/setup/sheet_browser.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: many_sheet_page OUT.html COUNT\n";
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    if (count < 1 || count > 100000) {
        std::cerr << "many_sheet_page: COUNT must be 1 to 100000\n";
        return 2;
    }
    std::vector<cadhost::setup::BrowserSheet> sheets;
    for (long i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "S%04ld", i + 1);
        cadhost::setup::SheetSetup s;
        s.sheet = s.electrode = name;
        s.page = static_cast<int>(i + 1);
        s.pages = static_cast<int>(count);
        s.layer = static_cast<int>(i / 4 + 1);
        s.place = static_cast<int>(i % 4 + 1);
        s.places = 4;
        s.direction = 1;
        s.edm_point = std::array<double, 3>{10.0 * static_cast<double>(i % 17), -5.5, -20.0};
        s.depth = 20.0;
        s.rotation = 90.0 * static_cast<double>(i % 4);
        s.rough_gap = "0.25";
        s.finish_gap = "0.10";
        s.rough_count = s.finish_count = "1";
        s.box = std::array<double, 3>{40.0, 30.0, 28.0};
        s.working = std::array<double, 3>{20.0, 10.0, 10.0};
        sheets.push_back({name, std::string(name) + ".svg", 297.0, 210.0, s});
    }
    std::ofstream out(argv[1], std::ios::binary);
    cadhost::setup::write_sheet_browser(out, "many sheets", sheets);
    out.close();
    if (!out) {
        std::cerr << "many_sheet_page: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
