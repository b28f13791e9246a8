#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_target.h"

namespace fuzz {

std::string input_file(const std::uint8_t* data, std::size_t size, const char* extension) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("quillon_fuzz_" + std::to_string(::getpid()) + extension)).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace fuzz
