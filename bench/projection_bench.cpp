// The processor time of drawing a part's sheets, outputs aside: the hidden-line projections are nearly all of it.
// Draws sheets FIRST to FIRST+COUNT-1 one after the other on one thread, the projections kept in the part unused, and
// prints the processor seconds of each tenth of them and of all, and how many projections were computed.
// usage: projection_bench PART.prt [FIRST] [COUNT]
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/partfile/part_file.h"

namespace {

double processor_seconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: projection_bench PART.prt [FIRST] [COUNT]\n");
        return 2;
    }
    cadhost::partfile::LoadedPart part;
    std::string error;
    if (!cadhost::partfile::load(argv[1], part, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const auto drawings = cadhost::drafting::drawings_of(part.document);
    const std::size_t first = argc > 2 ? std::stoul(argv[2]) : 0;
    const std::size_t count = argc > 3 ? std::stoul(argv[3]) : drawings.size();
    const std::size_t last = std::min(drawings.size(), first + count);
    if (first >= last) {
        std::fprintf(stderr, "the part has %zu sheets\n", drawings.size());
        return 2;
    }
    for (const auto& [tag, object] : part.document.objects())
        if (const auto* body = object.as<cadhost::BodyData>()) body->topology();
    const double start = processor_seconds();
    double mark = start;
    const std::size_t tenth = std::max<std::size_t>(1, (last - first) / 10);
    for (std::size_t i = first; i < last; ++i) {
        cadhost::drafting::build_sheet(part.document, drawings[i]);
        if ((i + 1 - first) % tenth == 0 || i + 1 == last) {
            const double now = processor_seconds();
            std::printf("sheets to %zu: %.2f s, %ld projections so far\n", i + 1, now - mark,
                        cadhost::drafting::projections_computed());
            std::fflush(stdout);
            mark = now;
        }
    }
    std::printf("%zu sheets: %.2f processor s, %ld projections computed\n", last - first, processor_seconds() - start,
                cadhost::drafting::projections_computed());
    return 0;
}
