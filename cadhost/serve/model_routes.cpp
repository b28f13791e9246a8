#include "cadhost/serve/model_routes.h"

#include <httplib.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "cadhost/files/read_file.h"
#include "cadhost/serve/child_process.h"
#include "cadhost/serve/path_guard.h"

namespace cadhost::serve {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDebianThree = "/usr/share/javascript/three";

void refuse(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content(nlohmann::json{{"error", why}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                    "application/json; charset=utf-8");
}

void send_model(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    const std::string name = req.get_param_value("part");
    fs::path part;
    std::string error;
    if (!resolve_under(context.root, name, part, error)) return refuse(res, 403, error);
    std::error_code ec;
    if (part.extension() != ".prt" || !fs::is_regular_file(part, ec))
        return refuse(res, 404, "there is no part '" + name + "' in the folder");
    const fs::path model = fs::path(part).replace_extension(".glb");
    if (!model_is_current(part, model)) {
        const ChildResult made = run_child(context.program, {"export", name_under(context.root, part), "--glb"},
                                           context.root.string(), context.work_timeout_seconds);
        if (made.status != 0) return refuse(res, 422, made.err.empty() ? "the model could not be made" : made.err);
    }
    std::string bytes;
    if (std::string why; !files::read_whole_file(model.string(), bytes, why))
        return refuse(res, 500, "cannot read the model of " + name);
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(bytes), "model/gltf-binary");
}

}  // namespace

bool model_is_current(const fs::path& part, const fs::path& model) {
    std::error_code ec;
    const auto model_time = fs::last_write_time(model, ec);
    if (ec) return false;
    const auto part_time = fs::last_write_time(part, ec);
    return !ec && model_time >= part_time;
}

std::string three_folder() {
    const char* chosen = std::getenv("QUILLON_THREE_DIR");
    return chosen && *chosen ? chosen : kDebianThree;
}

std::string three_file(const std::string& name) {
    // The plain-script builds, which set the global THREE the page's viewer uses.
    static const std::pair<const char*, const char*> files[] = {
        {"three.min.js", "build/three.min.js"},
        {"OrbitControls.js", "examples/js/controls/OrbitControls.js"},
        {"GLTFLoader.js", "examples/js/loaders/GLTFLoader.js"},
    };
    for (const auto& [asked, path] : files)
        if (name == asked) return (fs::path(three_folder()) / path).string();
    return {};
}

void add_model_routes(httplib::Server& server, ServeContext& context) {
    server.Post("/api/model",
                [&context](const httplib::Request& req, httplib::Response& res) { send_model(context, req, res); });
    server.Get(R"(/three/([A-Za-z.]+))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string path = three_file(req.matches[1].str());
        std::string bytes;
        if (path.empty()) return refuse(res, 404, "no such file");
        if (std::string why; !files::read_whole_file(path, bytes, why))
            return refuse(res, 404,
                          "the 3D view needs three.js: install Debian's libjs-three, or set QUILLON_THREE_DIR "
                          "to a folder of it (" +
                              path + " is missing)");
        res.set_header("Cache-Control", "max-age=86400");
        res.set_content(std::move(bytes), "text/javascript; charset=utf-8");
    });
}

}  // namespace cadhost::serve
