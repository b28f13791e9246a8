// Writes the bundled sample mould (or, with --large or --huge, a benchmark mould; with --directions, a small mould
// with one electrode per side) as STEP, sidecar and expected values.
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include <Standard_Failure.hxx>

#include "cadhost/import/step_reader.h"
#include "model.h"
#include "outputs.h"
#include "step_writer.h"

namespace {

bool write_text(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

// The generator's own output must survive the reader the host uses, or the committed sample would be useless.
std::string read_back_check(const std::string& path, const sample::Model& model) {
    // The translation itself, in this process: the generator trusts the file it has just written.
    const cadhost::import::StepReadResult result = cadhost::import::translate_step_file(path);
    if (!result.ok) return result.error;
    if (result.objects.size() != model.objects.size()) {
        return "read back " + std::to_string(result.objects.size()) + " objects, wrote " +
               std::to_string(model.objects.size());
    }
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const auto& got = result.objects[i];
        const auto& wrote = model.objects[i];
        if (got.shape.ShapeType() != wrote.shape.ShapeType() || got.name != wrote.name ||
            got.layer_name != wrote.layer) {
            return "object " + std::to_string(i + 1) + " (" + wrote.name + ") reads back as \"" + got.name +
                   "\" on layer \"" + got.layer_name + "\"";
        }
    }
    return {};
}

int generate(const std::filesystem::path& dir, const std::string& stem, const sample::Model& model) {
    std::filesystem::create_directories(dir);
    const std::string step = (dir / (stem + ".step")).string();
    const std::string error = sample::write_step(step, model.objects);
    if (!error.empty()) {
        std::cerr << error << "\n";
        return 1;
    }
    if (!write_text(dir / (stem + ".attrs.json"), sample::attrs_json(model)) ||
        !write_text(dir / (stem + ".expected.json"), sample::expected_json(model))) {
        std::cerr << dir.string() << ": the JSON files could not be written\n";
        return 1;
    }
    const std::string check = read_back_check(step, model);
    if (!check.empty()) {
        std::cerr << step << ": read-back check failed: " << check << "\n";
        return 1;
    }
    std::cout << step << ": " << model.objects.size() << " objects, " << model.electrodes.size()
              << " electrodes, core with " << sample::count_faces(model.objects.front().shape) << " faces\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string usage =
        "usage: generate_sample OUTDIR | generate_sample --large OUTDIR | generate_sample --huge OUTDIR\n"
        "       generate_sample --directions OUTDIR | generate_sample --bare-directions OUTDIR\n";
    try {
        if (argc == 2 && std::string(argv[1]).rfind("--", 0) != 0) {
            return generate(argv[1], "sample_mould", sample::build_sample());
        }
        if (argc == 3 && (std::string(argv[1]) == "--large" || std::string(argv[1]) == "--huge")) {
            const bool huge = std::string(argv[1]) == "--huge";
            const auto start = std::chrono::steady_clock::now();
            const int status = huge ? generate(argv[2], "huge_mould", sample::build_huge())
                                    : generate(argv[2], "large_mould", sample::build_large());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            std::cout << "took " << took.count() << " s\n";
            return status;
        }
        if (argc == 3 && std::string(argv[1]) == "--directions") {
            return generate(argv[2], "directions_mould", sample::build_directions());
        }
        if (argc == 3 && std::string(argv[1]) == "--bare-directions") {
            // The twin as a designer models it, and the same mould as it comes from a CAD system without layers
            // or diagonal lines.
            const sample::Model twin = sample::build_directions_pairs();
            const int status = generate(argv[2], "directions_twin", twin);
            const std::string bare = (std::filesystem::path(argv[2]) / "directions_bare.step").string();
            const std::string error = status == 0 ? sample::write_step(bare, sample::bare_objects(twin)) : "";
            if (!error.empty()) std::cerr << bare << ": " << error << "\n";
            return status != 0 ? status : error.empty() ? 0 : 1;
        }
        std::cerr << usage;
        return 2;
    } catch (const Standard_Failure& failure) {
        std::cerr << "generate_sample: " << failure.GetMessageString() << "\n";
    } catch (const std::exception& failure) {
        std::cerr << "generate_sample: " << failure.what() << "\n";
    }
    return 1;
}
