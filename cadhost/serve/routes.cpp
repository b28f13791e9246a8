#include "cadhost/serve/routes.h"

#include <httplib.h>


#include <nlohmann/json.hpp>

#include "cadhost/files/read_file.h"
#include "cadhost/serve/access_token.h"
#include "cadhost/serve/import_form.h"
#include "cadhost/serve/page.h"
#include "cadhost/serve/path_guard.h"
#include "cadhost/serve/served_files.h"
#include "cadhost/serve/upload_form.h"
#include "cadhost/serve/zip_writer.h"

namespace cadhost::serve {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* kTokenHeader = "X-Quillon-Token";
constexpr std::size_t kMostParts = 2000;
// Requests other than an upload carry a few words of JSON at most.
constexpr std::size_t kLongestBody = 1 << 20;

std::string dumped(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

void reply(httplib::Response& res, int status, const json& body) {
    res.status = status;
    res.set_content(dumped(body), "application/json; charset=utf-8");
}

void refuse(httplib::Response& res, int status, const std::string& why) { reply(res, status, {{"error", why}}); }

// The part a request names ("part", relative to the root, ending in .prt); false after answering the refusal.
bool part_of(const ServeContext& context, const httplib::Request& req, httplib::Response& res, std::string& name,
             bool must_exist = true) {
    name = req.get_param_value("part");
    fs::path path;
    std::string error;
    if (!resolve_under(context.root, name, path, error)) {
        refuse(res, 403, error);
        return false;
    }
    if (path.extension() != ".prt") {
        refuse(res, 400, "'" + name + "' is no part file (.prt)");
        return false;
    }
    std::error_code ec;
    if (must_exist && !fs::is_regular_file(path, ec)) {
        refuse(res, 404, "there is no part '" + name + "' in the folder");
        return false;
    }
    name = name_under(context.root, path);
    return true;
}

// The folder of a part's sheets: "a/b.prt" has "a/b.sheets".
std::string sheets_folder(const std::string& part) { return part.substr(0, part.size() - 4) + ".sheets"; }

// A name as an argument of the quillon program: one starting with '-' ("-x.prt") would be read as an option.
std::string argument(const std::string& name) { return !name.empty() && name.front() == '-' ? "./" + name : name; }

ChildResult quillon(const ServeContext& context, std::vector<std::string> args) {
    return run_child(context.program, args, context.root.string(), context.work_timeout_seconds, &context.stopping);
}

json child_json(const ChildResult& result) {
    return {{"status", result.status}, {"output", result.out}, {"errors", result.err}};
}

void list_parts(const ServeContext& context, httplib::Response& res) {
    json parts = json::array();
    std::error_code ec;
    fs::recursive_directory_iterator it(context.root, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end && parts.size() < kMostParts; it.increment(ec)) {
        const std::string leaf = it->path().filename().string();
        if (!leaf.empty() && leaf.front() == '.') {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (it.depth() >= 4) it.disable_recursion_pending();
        if (it->path().extension() != ".prt" || !it->is_regular_file(ec)) continue;
        fs::path resolved;
        std::string error;
        const std::string name = name_under(context.root, it->path());
        if (!resolve_under(context.root, name, resolved, error)) continue;
        const auto size = fs::file_size(resolved, ec);
        parts.push_back({{"part", name}, {"bytes", ec ? 0 : size}});
    }
    std::sort(parts.begin(), parts.end(), [](const json& a, const json& b) { return a["part"] < b["part"]; });
    reply(res, 200, {{"folder", context.root.string()}, {"parts", parts}});
}

void import_upload(ServeContext& context, const httplib::Request& req, httplib::Response& res,
                   const httplib::ContentReader& reader) {
    UploadForm form(context.root);
    if (!form.ok()) return refuse(res, 500, "cannot make a staging folder in the served folder");
    int status = 0;
    std::string why;
    if (!form.receive(req, reader, context.max_upload, status, why)) {
        // What is left of the request is not read: the connection ends with the answer.
        res.set_header("Connection", "close");
        return refuse(res, status, why);
    }
    if (form.file("step").empty()) return refuse(res, 400, "send the STEP file as the form field 'step'");
    std::string step_name = safe_file_name(form.file_name("step"));
    if (step_name.empty()) step_name = "model.step";
    std::string part = form.text("name");
    if (part.empty()) part = fs::path(step_name).replace_extension(".prt").string();
    if (fs::path(part).extension() != ".prt") part += ".prt";
    fs::path target;
    std::string error;
    if (!resolve_under(context.root, part, target, error)) return refuse(res, 403, error);
    part = name_under(context.root, target);
    std::error_code ec;
    const bool replace = form.text("replace") == "1";
    if (fs::exists(target, ec) && !replace)
        return refuse(res, 409, "the part '" + part + "' is there already; tick 'replace' to import over it");
    if (context.runs.running(part)) return refuse(res, 409, "a run of " + part + " is under way");
    std::vector<std::string> args{"import", form.file("step")};
    if (!form.file("attrs").empty()) args.insert(args.end(), {"--attrs", form.file("attrs")});
    if (!form.file("layer_map").empty()) {
        args.insert(args.end(), {"--layer-map", form.file("layer_map")});
    } else if (form.text("auto_layers") == "1") {
        args.push_back("--auto-layers");
    }
    // Diagonal lines and electrode tables are worked out by the drawing command the window runs.
    if (form.text("add_diagonals") == "1") args.push_back("--add-diagonals");
    args.insert(args.end(), context.command_options.begin(), context.command_options.end());
    // The form's options, short texts, as the import takes them.
    const auto field = [&form](const std::string& name) { return form.text(name); };
    if (std::string error; !import_form_options(field, args, error)) return refuse(res, 400, error);
    args.insert(args.end(), {"-o", argument(part)});
    const ChildResult result = quillon(context, args);
    json body = child_json(result);
    body["part"] = part;
    reply(res, result.status == 0 ? 200 : 422, body);
}

// info and check give JSON on standard output; their refusals come on standard error.
void json_command(ServeContext& context, const httplib::Request& req, httplib::Response& res, const char* command) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    std::vector<std::string> args{command, argument(part), "--json"};
    if (std::string(command) == "check") {
        args.insert(args.end(), context.command_options.begin(), context.command_options.end());
        // The electrode layers the page asks about; the check itself refuses any other text.
        if (req.has_param("layers")) args.insert(args.end(), {"--layers", req.get_param_value("layers")});
    }
    const ChildResult result = quillon(context, args);
    json parsed = json::parse(result.out, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) return reply(res, 422, child_json(result));
    reply(res, 200, {{"status", result.status}, {"result", parsed}, {"errors", result.err}});
}

void start_run(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    std::vector<std::string> args{"run", argument(part), "--events"};
    args.insert(args.end(), context.command_options.begin(), context.command_options.end());
    std::string error;
    if (!context.runs.start(part, context.program, args, context.root.string(), context.patience, error))
        return refuse(res, 409, error);
    reply(res, 200, {{"part", part}});
}

void run_events(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    auto job = context.runs.find(part);
    if (!job) return refuse(res, 404, "no run of " + part + " since the server started");
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

void run_answer(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    auto job = context.runs.find(part);
    if (!job) return refuse(res, 404, "no run of " + part + " since the server started");
    const json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object() || !body.contains("lines") || !body["lines"].is_array() ||
        !body.contains("to") || !body["to"].is_number_unsigned())
        return refuse(res, 400, "send {\"to\": the question's event, \"lines\": [...]}");
    std::vector<std::string> lines;
    for (const auto& line : body["lines"]) {
        if (!line.is_string()) return refuse(res, 400, "every line is a text");
        lines.push_back(line.get<std::string>());
    }
    std::string error;
    if (!job->send(body["to"].get<std::size_t>(), lines, error)) return refuse(res, 409, error);
    reply(res, 200, json::object());
}

// Undo and export change the part or its sheets: never while the page's run of it is under way (the part lock keeps
// them from a run on the command line).
void part_command(ServeContext& context, const httplib::Request& req, httplib::Response& res, const char* command) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    if (context.runs.running(part)) return refuse(res, 409, "a run of " + part + " is under way");
    std::vector<std::string> args{command, argument(part)};
    if (std::string(command) == "export") args.insert(args.end(), {"-o", argument(sheets_folder(part))});
    const ChildResult result = quillon(context, args);
    json body = child_json(result);
    if (std::string(command) == "export") body["folder"] = sheets_folder(part);
    reply(res, result.status == 0 ? 200 : 422, body);
}

void list_sheets(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    const std::string folder = sheets_folder(part);
    fs::path dir;
    std::string error;
    if (!resolve_under(context.root, folder, dir, error)) return refuse(res, 403, error);
    reply(res, 200, {{"folder", folder}, {"files", served_names(dir)}});
}

bool read_file(const fs::path& path, std::string& bytes) {
    std::string why;
    return files::read_whole_file(path.string(), bytes, why);
}

// "attachment; filename=..." with the name as RFC 6266 writes a UTF-8 one.
std::string attachment(const std::string& name) {
    std::string encoded;
    static const char* digits = "0123456789ABCDEF";
    for (unsigned char c : name) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += digits[c >> 4];
            encoded += digits[c & 15];
        }
    }
    return "attachment; filename*=UTF-8''" + encoded;
}

void serve_file(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    fs::path path;
    std::string error, bytes;
    if (!resolve_under(context.root, req.matches[1].str(), path, error)) return refuse(res, 403, error);
    // Only an export's own files: see served_files.h.
    if (!served_file(path) || !read_file(path, bytes)) return refuse(res, 404, "no such file of an export");
    const ServedHeaders headers = served_headers(path);
    res.set_header("Content-Security-Policy", headers.security_policy);
    res.set_header("X-Content-Type-Options", "nosniff");
    if (headers.download || req.has_param("download"))
        res.set_header("Content-Disposition", attachment(path.filename().string()));
    res.set_content(std::move(bytes), headers.content_type);
}

// The SVG or DXF files of a part's sheets in one zip.
void zip_sheets(ServeContext& context, const httplib::Request& req, httplib::Response& res) {
    std::string part;
    if (!part_of(context, req, res, part)) return;
    const std::string kind = req.get_param_value("kind");
    if (kind != "svg" && kind != "dxf") return refuse(res, 400, "kind is svg or dxf");
    fs::path dir;
    std::string error;
    if (!resolve_under(context.root, sheets_folder(part), dir, error)) return refuse(res, 403, error);
    std::vector<fs::path> files;
    for (const auto& name : served_names(dir))
        if (fs::path(name).extension() == "." + kind) files.push_back(dir / name);
    if (files.empty()) return refuse(res, 404, "no " + kind + " files; export the sheets first");
    ZipWriter zip;
    for (const auto& file : files) {
        std::string bytes;
        if (!read_file(file, bytes)) return refuse(res, 500, "cannot read " + file.filename().string());
        zip.add(file.filename().string(), bytes);
    }
    const std::string stem = fs::path(part).stem().string();
    res.set_header("Content-Disposition", attachment(stem + "." + kind + ".zip"));
    res.set_content(zip.finish(), "application/zip");
}

}  // namespace

void add_routes(httplib::Server& server, ServeContext& context) {
    server.set_pre_routing_handler([&context](const httplib::Request& req, httplib::Response& res) {
        if (!allowed_host(context.hosts, req.get_header_value("Host"), context.port)) {
            refuse(res, 403, "this server answers requests addressed to it by its own name only");
            return httplib::Server::HandlerResponse::Handled;
        }
        // A request names one range of a file at most: the ranges of one request are never sent as many copies of
        // it. The server may send the whole file for any request with a Range.
        if (req.ranges.size() > 1) const_cast<httplib::Request&>(req).ranges.clear();
        // Only an upload streams its body to disk; any other body is read into memory, so it is kept short, and
        // one that comes in chunks, of a length nobody gave, is not taken at all.
        const bool upload = req.method == "POST" && req.path == "/api/import";
        if (!upload && (req.has_header("Transfer-Encoding") ||
                        req.get_header_value<std::uint64_t>("Content-Length") > kLongestBody)) {
            res.set_header("Connection", "close");
            refuse(res, 413, "this request takes a body of at most " + std::to_string(kLongestBody) + " bytes");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.method != "GET" && req.method != "HEAD" &&
            !same_token(context.token, req.get_header_value(kTokenHeader))) {
            refuse(res, 403, "the request lacks the page's token; open the page again");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Get("/", [&context](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(page_html(context.token), "text/html; charset=utf-8");
    });
    server.Get("/api/parts", [&context](const httplib::Request&, httplib::Response& res) { list_parts(context, res); });
    server.Post("/api/import",
                [&context](const httplib::Request& req, httplib::Response& res, const httplib::ContentReader& reader) {
                    import_upload(context, req, res, reader);
                });
    server.Get("/api/info", [&context](const httplib::Request& req, httplib::Response& res) {
        json_command(context, req, res, "info");
    });
    server.Get("/api/check", [&context](const httplib::Request& req, httplib::Response& res) {
        json_command(context, req, res, "check");
    });
    server.Post("/api/run",
                [&context](const httplib::Request& req, httplib::Response& res) { start_run(context, req, res); });
    server.Get("/api/run/events",
               [&context](const httplib::Request& req, httplib::Response& res) { run_events(context, req, res); });
    server.Post("/api/run/answer",
                [&context](const httplib::Request& req, httplib::Response& res) { run_answer(context, req, res); });
    server.Post("/api/undo", [&context](const httplib::Request& req, httplib::Response& res) {
        part_command(context, req, res, "undo");
    });
    server.Post("/api/export", [&context](const httplib::Request& req, httplib::Response& res) {
        part_command(context, req, res, "export");
    });
    server.Get("/api/sheets",
               [&context](const httplib::Request& req, httplib::Response& res) { list_sheets(context, req, res); });
    server.Get("/api/zip",
               [&context](const httplib::Request& req, httplib::Response& res) { zip_sheets(context, req, res); });
    server.Get(R"(/files/(.+))",
               [&context](const httplib::Request& req, httplib::Response& res) { serve_file(context, req, res); });
}

}  // namespace cadhost::serve
