#include "cadhost/session/part_io.h"

#include <filesystem>

#include "cadhost/partfile/part_file.h"
#include "cadhost/session/session.h"

namespace cadhost {

namespace {
std::string beside(const std::string& path, const char* extension) {
    return std::filesystem::path(path).replace_extension(extension).string();
}
}  // namespace

bool open_display_part(const std::string& path, std::string& error) {
    partfile::LoadedPart loaded;
    if (!partfile::load(path, loaded, error)) return false;
    auto part = std::make_unique<Part>();
    part->document = std::move(loaded.document);
    part->undo_mark = std::move(loaded.undo_mark);
    part->path = std::filesystem::absolute(path).lexically_normal().string();
    Session& session = Session::instance();
    session.ui().set_files(beside(part->path, ".log"), beside(part->path, ".lst"));
    session.set_display_part(std::move(part));
    return true;
}

bool save_display_part(std::string& error) {
    Part* part = Session::instance().display_part();
    if (!part) {
        error = "no part is open";
        return false;
    }
    return partfile::save(part->path, part->document, part->undo_mark, error);
}

void close_display_part() {
    Session& session = Session::instance();
    session.set_display_part(nullptr);
    session.ui().set_files("", "");
}

}  // namespace cadhost
