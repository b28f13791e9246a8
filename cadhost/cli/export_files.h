// The files an export writes into its folder: one file name per sheet, distinct even when two sheet names map to the
// same one, and the manifest of what the export wrote, so that a later export removes its own files of sheets that
// are gone and never touches anything else in the folder.
#ifndef CADHOST_CLI_EXPORT_FILES_H
#define CADHOST_CLI_EXPORT_FILES_H

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace cadhost::cli {

// The file name (without extension) of each sheet, in the sheets' order. A sheet whose name is a file name keeps it;
// another whose name maps to a taken file name (compared without regard to ASCII case, as some file systems compare)
// gets "~2", "~3", ... after it, and a note in notes says so.
std::vector<std::string> sheet_file_names(const std::vector<std::string>& sheet_names, std::vector<std::string>& notes);

// The manifest of the export of the part with that stem: "STEM.manifest" in the folder.
std::filesystem::path manifest_path(const std::filesystem::path& dir, const std::string& stem);

// The file names a manifest lists. A missing or unreadable manifest, or one in another format, lists nothing: only
// files known to be the export's own are ever removed. Names that are not plain names of files an export writes
// (a folder in them, a name starting with '.', another extension) are left out.
std::set<std::string> read_manifest(const std::filesystem::path& path);

// The manifest's text for these file names.
std::string manifest_text(const std::set<std::string>& files);

// The files of the old manifest that stay: those written now, and those of a format not exported now whose sheet is
// still there (their base name is one of sheet_files) or that belong to the whole part (stem.pdf, stem.json, the setup
// lists).
std::set<std::string> files_kept(const std::set<std::string>& old_files, const std::set<std::string>& written,
                                 const std::set<std::string>& formats, const std::vector<std::string>& sheet_files,
                                 const std::string& stem);

// Whether a file in folder is one an export writes: the sheet browser, a manifest, or a file a manifest there lists.
bool export_file_in(const std::string& folder, const std::string& name);

// Removes the listed files that are regular files in the folder (a link or a folder of that name is left alone); the
// names removed, in order.
std::vector<std::string> remove_files(const std::filesystem::path& dir, const std::set<std::string>& files);

}  // namespace cadhost::cli

#endif
