// Loads a command library the way the host runs commands: open it, call ufusr, and unload it when the library asks.
#ifndef CADHOST_LOADER_COMMAND_LOADER_H
#define CADHOST_LOADER_COMMAND_LOADER_H

#include <map>
#include <string>

namespace cadhost {

class CommandLoader {
  public:
    CommandLoader() = default;
    ~CommandLoader();  // unloads the libraries that asked to stay, calling their ufusr_cleanup first
    CommandLoader(const CommandLoader&) = delete;
    CommandLoader& operator=(const CommandLoader&) = delete;

    // Runs the command in the library. False with a message when the library cannot be loaded or has no ufusr.
    bool run(const std::string& library, const std::string& parameter, std::string& error);
    // What the last command that ran left in its return-code cell: nonzero when it stopped with one of its messages.
    int return_code() const { return return_code_; }
    bool is_loaded(const std::string& library) const { return kept_.count(library) != 0; }

  private:
    static void unload(void* handle);
    std::map<std::string, void*> kept_;
    int return_code_ = 0;
};

}  // namespace cadhost

#endif
