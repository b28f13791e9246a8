// Where the host finds a command's dialog files: beside the command library being run, then in the configuration
// directory. A name with a folder in it is taken as given.
#ifndef CADHOST_DIALOG_DIALOG_LOOKUP_H
#define CADHOST_DIALOG_DIALOG_LOOKUP_H

#include <string>
#include <vector>

namespace cadhost::dialog {

// The folders searched, in order: the command library's folder and the configuration directory, where known.
std::vector<std::string> dialog_search_dirs(const std::string& command_library, const std::string& conf_dir);

// The path of the dialog file, or empty when no searched folder holds it.
std::string find_dialog_file(const std::string& name, const std::vector<std::string>& dirs);

// Every dialog file (*.dlg) in the folders.
std::vector<std::string> dialog_files_in(const std::vector<std::string>& dirs);

}  // namespace cadhost::dialog

#endif
