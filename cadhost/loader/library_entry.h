// A command library opened for one of the entry points it offers beside ufusr (its check, its attribute titles), and
// closed again when the object goes.
#ifndef CADHOST_LOADER_LIBRARY_ENTRY_H
#define CADHOST_LOADER_LIBRARY_ENTRY_H

#include <string>

namespace cadhost {

class OpenedLibrary {
  public:
    OpenedLibrary() = default;
    ~OpenedLibrary();
    OpenedLibrary(const OpenedLibrary&) = delete;
    OpenedLibrary& operator=(const OpenedLibrary&) = delete;

    // False with the loader's reason when the library cannot be opened.
    bool open(const std::string& path, std::string& error);
    // The named entry point, or null when the library does not offer it.
    void* entry(const char* name) const;

  private:
    void* handle_ = nullptr;
};

}  // namespace cadhost

#endif
