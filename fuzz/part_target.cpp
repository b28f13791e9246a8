// The part-file loader on any bytes; a part that loads is dumped, reported and drawn, as `dump` and `export` would,
// and saved: a part that a save accepts must load again, or a run could save a part that nothing can open.
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cadhost/document/dump_json.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/sheet_report.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/render/svg_writer.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = fuzz::input_file(data, size, ".prt");
    cadhost::partfile::LoadedPart part;
    std::string error;
    if (!cadhost::partfile::load(file, part, error)) return 0;
    const std::string again = file + ".again";
    if (cadhost::partfile::save(again, part.document, part.undo_mark, error)) {
        cadhost::partfile::LoadedPart reloaded;
        const bool reloads = cadhost::partfile::load(again, reloaded, error);
        std::remove(again.c_str());
        if (!reloads) {
            std::fprintf(stderr, "a saved part does not load again: %s\n", error.c_str());
            std::abort();
        }
    }
    std::ostringstream out;
    cadhost::write_part_json(out, part.document, part.undo_mark);
    cadhost::drafting::write_report(out, part.document);
    try {
        for (tag_t drawing : cadhost::drafting::drawings_of(part.document))
            cadhost::render::write_svg(cadhost::drafting::build_sheet(part.document, drawing), out);
    } catch (const std::exception&) {
        // `export` reports a sheet that cannot be drawn as an error; only a crash is a finding.
    }
    return 0;
}
