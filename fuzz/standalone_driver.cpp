// Runs a fuzz target without libFuzzer, for builds whose compiler has none (the test suite's): every corpus file
// once, then inputs made by mutating them until the time or run budget is spent. It takes the libFuzzer options
// the tests use (-max_total_time=SECONDS, -runs=N, -seed=N) so one command line serves both builds. A crash ends the
// process, which is what the test notices; the input is saved first as crash-input in the working folder.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Bytes that often mean something to our readers: separators, quotes, digits, high bytes, NUL.
constexpr std::uint8_t kInteresting[] = {0,   0xFF, 0x80, 0xAC, 0xE6, '(', ')', ',', ';', '\n', '"', '{', '}',
                                         '[', ']',  '=',  '#',  '-',  '.', 'E', '9', '0', ' ',  '$', '\''};

Bytes mutate(const std::vector<Bytes>& corpus, std::mt19937_64& random) {
    Bytes data = corpus[random() % corpus.size()];
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int s = 0; s < steps; ++s) {
        const std::size_t size = data.size();
        const std::size_t at = size ? random() % size : 0;
        switch (random() % 7) {
            case 0:
                if (size) data[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                break;
            case 1:
                if (size) data[at] = kInteresting[random() % sizeof kInteresting];
                break;
            case 2:
                data.insert(data.begin() + static_cast<long>(at), 1 + random() % 8,
                            kInteresting[random() % sizeof kInteresting]);
                break;
            case 3:
                if (size)
                    data.erase(data.begin() + static_cast<long>(at),
                               data.begin() + static_cast<long>(std::min(size, at + 1 + random() % 16)));
                break;
            case 4: {  // repeat a piece in place
                const std::size_t length = std::min<std::size_t>(size - at, 1 + random() % 32);
                Bytes piece(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + length));
                data.insert(data.begin() + static_cast<long>(at), piece.begin(), piece.end());
                break;
            }
            case 5:  // cut the end off
                data.resize(at);
                break;
            default: {  // splice in a piece of another input
                const Bytes& other = corpus[random() % corpus.size()];
                if (other.empty()) break;
                const std::size_t from = random() % other.size();
                const std::size_t length = std::min<std::size_t>(other.size() - from, 1 + random() % 64);
                data.insert(data.begin() + static_cast<long>(at), other.begin() + static_cast<long>(from),
                            other.begin() + static_cast<long>(from + length));
            }
        }
    }
    return data;
}

void run(const Bytes& data) {
    // Kept until the input has passed, so that a crash leaves it behind.
    std::ofstream("crash-input", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    long runs = -1;
    std::uint64_t seed = 1;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) {
            seconds = std::stod(arg.substr(16));
        } else if (arg.rfind("-runs=", 0) == 0) {
            runs = std::stol(arg.substr(6));
        } else if (arg.rfind("-seed=", 0) == 0) {
            seed = std::stoull(arg.substr(6));
        } else if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) corpus.push_back(read_bytes(entry.path()));
        } else if (arg[0] != '-') {
            corpus.push_back(read_bytes(arg));
        }
    }
    if (corpus.empty()) corpus.emplace_back();
    long executions = 0;
    for (const Bytes& data : corpus) run(data), ++executions;
    std::mt19937_64 random(seed);
    const auto start = std::chrono::steady_clock::now();
    const auto spent = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    while ((runs < 0 || executions < runs) && (runs >= 0 || spent() < seconds))
        run(mutate(corpus, random)), ++executions;
    std::remove("crash-input");
    std::cout << "#" << executions << " executions in " << spent() << " s, no crash\n";
    return 0;
}
