#include "cadhost/cli/sheet_files.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/svg_writer.h"

namespace cadhost::cli {

bool write_sheet_files(const std::vector<render::SheetGraphics>& sheets, const std::vector<std::string>& names,
                       bool svg, bool dxf, const std::string& dir, files::StagedFiles& staged, unsigned threads,
                       int& written, std::ostream& err) {
    // One task a file, in sheet order: task 2i is sheet i's SVG, 2i + 1 its DXF.
    const std::size_t tasks = 2 * std::min(sheets.size(), names.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::atomic<int> staged_files{0};
    std::mutex messages;
    auto fail = [&](const std::string& message) {
        failed = true;
        std::lock_guard<std::mutex> lock(messages);
        err << "quillon export: " << message << '\n';
    };
    auto work = [&] {
        std::string error;
        for (std::size_t task = next++; task < tasks && !failed; task = next++) {
            const render::SheetGraphics& sheet = sheets[task / 2];
            const bool is_svg = task % 2 == 0;
            if (is_svg ? !svg : !dxf) continue;
            std::ostringstream text;
            if (is_svg) {
                render::write_svg(sheet, text);
            } else if (!render::write_dxf(sheet, text, error)) {
                fail("sheet " + sheet.name + ": " + error);
                return;
            }
            const std::filesystem::path path =
                std::filesystem::path(dir) / (names[task / 2] + (is_svg ? ".svg" : ".dxf"));
            if (!staged.stage(path.string(), std::move(text).str(), error)) {
                fail(error);
                return;
            }
            ++staged_files;
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < std::max(1u, threads); ++t) workers.emplace_back(work);
    work();
    for (auto& worker : workers) worker.join();
    written += staged_files;
    return !failed;
}

}  // namespace cadhost::cli
