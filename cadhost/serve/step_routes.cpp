#include "cadhost/serve/step_routes.h"

#include <httplib.h>

#include <nlohmann/json.hpp>

#include "cadhost/serve/model_routes.h"
#include "cadhost/serve/path_guard.h"

namespace cadhost::serve {

namespace fs = std::filesystem;

namespace {

void reply(httplib::Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                    "application/json; charset=utf-8");
}

void refuse(httplib::Response& res, int status, const std::string& why) { reply(res, status, {{"error", why}}); }

// A part's name ends in ".prt": with these after it, the keys of its check and its model never meet a part's own.
constexpr const char* kCheckKey = "#check";
constexpr const char* kModelKey = "#model";

// The part the request names, as the page names it; false after answering the refusal.
bool named_part(const ServeContext& context, const httplib::Request& req, httplib::Response& res, std::string& part) {
    fs::path path;
    std::string error;
    if (!resolve_under(context.root, req.get_param_value("part"), path, error)) {
        refuse(res, 403, error);
        return false;
    }
    std::error_code ec;
    if (path.extension() != ".prt" || !fs::is_regular_file(path, ec)) {
        refuse(res, 404, "there is no part '" + req.get_param_value("part") + "' in the folder");
        return false;
    }
    part = name_under(context.root, path);
    return true;
}

void start_export(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!named_part(context, req, res, part)) return;
    if (context.runs.running(part)) return refuse(res, 409, "a run of " + part + " is under way");
    const std::string folder = part.substr(0, part.size() - 4) + ".sheets";
    std::string error;
    if (!context.steps.start(part, context.program, {"export", part, "-o", folder}, context.root.string(),
                             context.patience, error))
        return refuse(res, 409, error);
    reply(res, 200, {{"part", part}, {"folder", folder}});
}

// The check as a step: its report on standard output at the end, and "checked N of M bodies" before it as it goes.
// It is kept apart from the part's export, which may run beside it.
void start_check(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!named_part(context, req, res, part)) return;
    std::vector<std::string> args{"check", part, "--json", "--progress"};
    args.insert(args.end(), context.command_options.begin(), context.command_options.end());
    // The electrode layers the page asks about; the check itself refuses any other text.
    if (req.has_param("layers")) args.insert(args.end(), {"--layers", req.get_param_value("layers")});
    std::string error;
    if (!context.steps.start(part + kCheckKey, context.program, args, context.root.string(), context.patience, error))
        return refuse(res, 409, error);
    reply(res, 200, {{"part", part}});
}

// The 3D model as a step, when the part is newer than its model: "model: N of M bodies meshed" as it goes. The page
// then takes the model from /api/model. A model made already, or being made, is answered as such.
void start_model(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!named_part(context, req, res, part)) return;
    const fs::path path = context.root / part;
    if (model_is_current(path, fs::path(path).replace_extension(".glb")))
        return reply(res, 200, {{"part", part}, {"current", true}});
    std::string error;
    if (!context.steps.start(part + kModelKey, context.program, {"export", part, "--glb"}, context.root.string(),
                             context.patience, error)) {
        auto job = context.steps.find(part + kModelKey);
        if (!job || job->finished()) return refuse(res, 409, error);
    }
    reply(res, 200, {{"part", part}, {"current", false}});
}

// The step a request means: the part's export, or its check or model with what=check or what=model.
std::string step_key(const httplib::Request& req, const std::string& part) {
    const std::string what = req.get_param_value("what");
    return what == "check" ? part + kCheckKey : what == "model" ? part + kModelKey : part;
}

void step_events(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!named_part(context, req, res, part)) return;
    auto job = context.steps.find(step_key(req, part));
    if (!job) return refuse(res, 404, "no step of " + part + " since the server started");
    std::size_t from = 0;
    try {
        from = req.has_param("from") ? std::stoul(req.get_param_value("from")) : 0;
    } catch (...) {
        return refuse(res, 400, "'from' is no count");
    }
    std::size_t next = from;
    const auto events = job->events_since(from, std::chrono::milliseconds(20000), next);
    std::string body = "{\"next\":" + std::to_string(next) + ",\"events\":[";
    for (std::size_t i = 0; i < events.size(); ++i) body += (i ? "," : "") + events[i];
    body += "]}";
    res.set_content(body, "application/json; charset=utf-8");
}

// A run stopped this way saves nothing: the part is saved only when its run ends well. An export stopped half-way
// leaves the sheets of the one before, which it puts back in place only when all of its own are written.
void cancel(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!named_part(context, req, res, part)) return;
    const bool run = req.get_param_value("what") == "run";
    auto job = run ? context.runs.find(part) : context.steps.find(step_key(req, part));
    if (!job || job->finished()) return refuse(res, 409, "nothing of " + part + " to cancel is under way");
    job->cancel();
    reply(res, 200, nlohmann::json::object());
}

}  // namespace

void add_step_routes(httplib::Server& server, ServeContext& context) {
    server.Post("/api/steps/export",
                [&context](const httplib::Request& req, httplib::Response& res) { start_export(context, req, res); });
    server.Post("/api/steps/check",
                [&context](const httplib::Request& req, httplib::Response& res) { start_check(context, req, res); });
    server.Post("/api/steps/model",
                [&context](const httplib::Request& req, httplib::Response& res) { start_model(context, req, res); });
    server.Get("/api/steps/events",
               [&context](const httplib::Request& req, httplib::Response& res) { step_events(context, req, res); });
    server.Post("/api/steps/cancel",
                [&context](const httplib::Request& req, httplib::Response& res) { cancel(context, req, res); });
}

}  // namespace cadhost::serve
