#include "cadhost/loader/command_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "cadhost/session/session.h"
#include "host/uf_exit.h"

namespace cadhost {

namespace {
using EntryFn = void (*)(char*, int*, int);
using AskUnloadFn = int (*)();
using CleanupFn = void (*)();
}  // namespace

CommandLoader::~CommandLoader() {
    for (auto& [path, handle] : kept_) unload(handle);
}

void CommandLoader::unload(void* handle) {
    if (auto cleanup = reinterpret_cast<CleanupFn>(dlsym(handle, "ufusr_cleanup"))) cleanup();
    dlclose(handle);
}

bool CommandLoader::run(const std::string& library, const std::string& parameter, std::string& error) {
    return_code_ = 0;
    void* handle = nullptr;
    if (auto it = kept_.find(library); it != kept_.end()) {
        handle = it->second;
    } else {
        handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* reason = dlerror();
            error = "cannot load command library '" + library + "': " + (reason ? reason : "unknown reason");
            return false;
        }
    }
    auto entry = reinterpret_cast<EntryFn>(dlsym(handle, "ufusr"));
    if (!entry) {
        error = "'" + library + "' is not a command library: it has no entry point ufusr";
        kept_.erase(library);
        dlclose(handle);
        return false;
    }
    // The command may keep the parameter text's buffer as its own for the call, so it gets a writable copy.
    std::vector<char> text(parameter.begin(), parameter.end());
    text.push_back('\0');
    int retcode = 0;
    // The command's dialog files lie beside it.
    std::error_code ec;
    auto absolute = std::filesystem::absolute(library, ec);
    Session::instance().run().command_library = ec ? library : absolute.lexically_normal().string();
    entry(text.data(), &retcode, static_cast<int>(parameter.size()));
    return_code_ = retcode;

    auto ask_unload = reinterpret_cast<AskUnloadFn>(dlsym(handle, "ufusr_ask_unload"));
    if (ask_unload && ask_unload() == UF_UNLOAD_IMMEDIATELY) {
        kept_.erase(library);
        unload(handle);
    } else {
        kept_[library] = handle;
    }
    return true;
}

}  // namespace cadhost
