// The entry point every fuzz target defines: libFuzzer's, or the standalone driver's in builds without libFuzzer.
#ifndef FUZZ_FUZZ_TARGET_H
#define FUZZ_FUZZ_TARGET_H

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// A file holding the input, for readers that take a path: one per process, rewritten for each input.
std::string input_file(const std::uint8_t* data, std::size_t size, const char* extension);

}  // namespace fuzz

#endif
