// Times the host on a large mould: import, save, open, and cycling every layer through the host interface.
// usage: host_bench MODEL.step [ATTRS.json]   (make the model with: generate_sample --large DIR)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cadhost/import/import_model.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/session/part_io.h"
#include "cadhost/session/session.h"
#include "host/uf.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct LayerCycle {
    int layer;
    int objects;
    double microseconds;
};

// Cycles one layer `repeat` times; the answer is the time of one cycle.
LayerCycle cycle_layer(int layer, int repeat) {
    int objects = 0;
    auto start = Clock::now();
    for (int r = 0; r < repeat; ++r) {
        objects = 0;
        tag_t tag = NULL_TAG;
        while (UF_LAYER_cycle_by_layer(layer, &tag) == 0 && tag != NULL_TAG) ++objects;
    }
    return {layer, objects, ms_since(start) * 1000.0 / repeat};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: host_bench MODEL.step [ATTRS.json]\n");
        return 2;
    }
    const std::string step = argv[1];
    const std::string attrs = argc > 2 ? argv[2] : "";
    const std::string part =
        (std::filesystem::temp_directory_path() / ("host_bench_" + std::to_string(::getpid()) + ".prt")).string();

    cadhost::Document doc;
    auto start = Clock::now();
    auto imported = cadhost::import::import_step(step, attrs, doc);
    const double import_ms = ms_since(start);
    if (!imported.ok) {
        std::fprintf(stderr, "%s\n", imported.error.c_str());
        return 2;
    }
    std::size_t bodies = 0, faces = 0;
    for (const auto& [tag, object] : doc.objects()) {
        if (const auto* body = object.as<cadhost::BodyData>()) {
            ++bodies;
            faces += body->topology()->faces.Extent();
        }
    }

    std::string error;
    start = Clock::now();
    if (!cadhost::partfile::save(part, doc, std::nullopt, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const double save_ms = ms_since(start);
    start = Clock::now();
    if (!cadhost::open_display_part(part, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const double open_ms = ms_since(start);
    cadhost::Session::instance().ui().set_terminal(nullptr);
    UF_initialize();

    start = Clock::now();
    std::vector<LayerCycle> cycles;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) cycles.push_back(cycle_layer(layer, 1));
    const double all_layers_ms = ms_since(start);

    std::printf("model: %s\n", step.c_str());
    std::printf("objects %zu, bodies %zu, faces %zu, part file %.1f MB\n", doc.objects().size(), bodies, faces,
                std::filesystem::file_size(part) / 1e6);
    std::printf("import %.0f ms, save %.0f ms, open %.0f ms\n", import_ms, save_ms, open_ms);
    std::printf("cycle all 256 layers once: %.3f ms\n", all_layers_ms);

    // Cost per object on the fullest and on the emptiest occupied layer, and on an empty layer: cycling reads only the
    // layer's own objects, so the cost per object must not depend on how much else the part holds.
    const LayerCycle* fullest = nullptr;
    const LayerCycle* emptiest = nullptr;
    for (const auto& c : cycles) {
        if (c.objects == 0) continue;
        if (!fullest || c.objects > fullest->objects) fullest = &c;
        if (!emptiest || c.objects < emptiest->objects) emptiest = &c;
    }
    int empty_layer = 0;
    for (const auto& c : cycles)
        if (c.objects == 0) empty_layer = c.layer;
    for (const LayerCycle* c : {fullest, emptiest}) {
        if (!c) continue;
        LayerCycle steady = cycle_layer(c->layer, 2000);
        std::printf("layer %3d: %5d objects, %8.2f us per cycle, %6.3f us per object\n", steady.layer, steady.objects,
                    steady.microseconds, steady.microseconds / steady.objects);
    }
    if (empty_layer) {
        LayerCycle steady = cycle_layer(empty_layer, 20000);
        std::printf("layer %3d: empty, %8.3f us per cycle\n", steady.layer, steady.microseconds);
    }

    UF_terminate();
    cadhost::close_display_part();
    std::filesystem::remove(part);
    return 0;
}
