// The config.def scanner on any bytes: every key the command reads, looked up in turn.
#include <cstdio>

#include "fuzz/fuzz_target.h"
#include "my_func/config_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const keys[] = {"mr_top_and_front_view_bound_x:",
                                       "mr_iso_view_bound_y:",
                                       "elec_rough_space:",
                                       "part_path_true:",
                                       "EOF",
                                       ":",
                                       ""};
    FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (!file) return 0;  // fmemopen refuses an empty buffer
    for (const char* key : keys) {
        std::rewind(file);
        char value[CONFIG_TOKEN_LEN + 1];
        while (scan_config_key(file, key)) {
            if (scan_config_value(file, value) != 1) break;
        }
    }
    std::fclose(file);
    return 0;
}
