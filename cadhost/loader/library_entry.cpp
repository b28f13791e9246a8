#include "cadhost/loader/library_entry.h"

#include <dlfcn.h>

namespace cadhost {

OpenedLibrary::~OpenedLibrary() {
    if (handle_) dlclose(handle_);
}

bool OpenedLibrary::open(const std::string& path, std::string& error) {
    if (handle_) dlclose(handle_);
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) return true;
    const char* reason = dlerror();
    error = "cannot load command library '" + path + "': " + (reason ? reason : "unknown reason");
    return false;
}

void* OpenedLibrary::entry(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

}  // namespace cadhost
