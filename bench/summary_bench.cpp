// The setup table's pages and their PDF for a setup whose note and electrode name are a million characters each
// (Chinese and Latin mixed): fitting such a text to its cell must cost no more than reading it. Prints the seconds
// each step took; run by hand: summary_bench [CHARACTERS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cadhost/render/pdf_writer.h"
#include "cadhost/setup/summary_pages.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long characters = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::string long_text;
    for (long i = 0; i < characters; ++i) long_text += i % 3 == 0 ? "铜" : "a";
    cadhost::setup::SheetSetup setup;
    setup.sheet = "E01";
    setup.page = setup.pages = 1;
    setup.electrode = long_text;
    setup.layer = setup.place = setup.places = 1;
    setup.direction = -1;
    setup.edm_point = std::array<double, 3>{10, -20, 0};
    setup.rough_gap = "0.2";
    setup.note = long_text;
    cadhost::render::SheetGraphics frame;
    frame.name = "E01";
    frame.width = 297;
    frame.height = 210;

    auto start = std::chrono::steady_clock::now();
    const auto pages = cadhost::setup::summary_pages({setup}, frame);
    const double fitted = seconds_since(start);
    start = std::chrono::steady_clock::now();
    std::ostringstream pdf;
    std::string error;
    const bool written = cadhost::render::write_pdf(pages, pdf, error, "bench");
    const double drawn = seconds_since(start);
    std::printf("%ld characters: the table's pages in %.3f s, their PDF (%zu bytes) in %.3f s%s%s\n", characters,
                fitted, pdf.str().size(), drawn, written ? "" : ": ", error.c_str());
    return written ? 0 : 1;
}
