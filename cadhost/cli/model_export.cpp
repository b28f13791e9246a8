#include "cadhost/cli/model_export.h"

#include <map>
#include <sstream>

#include "cadhost/files/atomic_file.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

bool parse_core_layer(const std::string& text, int& layer) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used != text.size() || value < 1 || value > UF_LAYER_MAX_LAYER) return false;
        layer = value;
        return true;
    } catch (...) {
        return false;
    }
}

std::vector<model3d::ModelBody> model_bodies(const Document& doc, int core_layer) {
    std::vector<model3d::ModelBody> bodies;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        const std::size_t first = bodies.size();
        for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(layer, tag)) {
            const Object* object = doc.find(tag);
            const auto* body = object ? object->as<BodyData>() : nullptr;
            if (!body || body->sheet || body->shape.IsNull() || object->blank_status != UF_OBJ_NOT_BLANKED) continue;
            model3d::ModelBody entry;
            entry.shape = body->shape;
            entry.name = object->name;
            entry.layer = layer;
            entry.role = layer == core_layer ? "core" : "electrode";
            entry.index_on_layer = static_cast<int>(bodies.size() - first) + 1;
            entry.rgb = object->rgb;
            bodies.push_back(std::move(entry));
        }
        for (std::size_t i = first; i < bodies.size(); ++i)
            bodies[i].count_on_layer = static_cast<int>(bodies.size() - first);
    }
    return bodies;
}

int export_model(const std::string& part_path, const std::string& path, int core_layer, std::ostream& out,
                 std::ostream& err) {
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(part_path, part, error)) {
        err << "quillon export: " << error << '\n';
        return 2;
    }
    const auto bodies = model_bodies(part.document, core_layer);
    if (bodies.empty()) {
        err << "quillon export: part '" << part_path << "' has no visible solid body: no model was written\n";
        return 1;
    }
    std::size_t shown = 0;
    const auto progress = [&](std::size_t done, std::size_t all) {
        if (done * 10 / all == shown && done != all) return;
        shown = done * 10 / all;
        out << "model: " << done << " of " << all << " bodies meshed\n" << std::flush;
    };
    std::ostringstream bytes;
    model3d::GlbResult result;
    try {
        if (!model3d::write_glb(bodies, bytes, result, error, progress)) {
            err << "quillon export: " << error << "\nquillon export: no model was written\n";
            return 2;
        }
    } catch (const std::exception& e) {
        err << "quillon export: the model could not be made: " << e.what() << '\n';
        return 2;
    } catch (...) {
        err << "quillon export: the model could not be made: the geometry kernel failed\n";
        return 2;
    }
    for (const auto& note : result.notes) out << "note: " << note << '\n';
    if (!files::write_atomically(path, bytes.str(), error)) {
        err << "quillon export: " << error << '\n';
        return 2;
    }
    out << "wrote " << path << ": " << result.nodes << (result.nodes == 1 ? " body, " : " bodies, ") << result.triangles
        << " triangles, " << (bytes.str().size() + 512) / 1024 << " KB\n";
    return 0;
}

}  // namespace cadhost::cli
