// The STEP import as `quillon import` runs it: the translator in its child, the checks, the part's objects.
#include <cstdlib>

#include "cadhost/import/import_model.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A mutated file that hangs the translator costs the whole limit; fuzzing wants it found, not waited for long.
    static const bool limited = ::setenv("QUILLON_STEP_TIME_LIMIT", "1", 0) == 0;
    (void)limited;
    const std::string file = fuzz::input_file(data, size, ".step");
    cadhost::Document doc;
    cadhost::import::import_step(file, "", doc);
    return 0;
}
