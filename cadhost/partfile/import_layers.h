// The table of layers an automatic layering gave a model at import (JSON, as the import showed it), kept in the part
// file so that `quillon info` can show it again. It lives beside the part's states, in the file's meta table, and every
// later save of the file carries it over; parts without it, older ones among them, read as before.
#ifndef CADHOST_PARTFILE_IMPORT_LAYERS_H
#define CADHOST_PARTFILE_IMPORT_LAYERS_H

#include <string>

namespace cadhost::partfile {

// Stores the table in the part file at path (an empty table removes it). False and a message naming the file when
// the file cannot be written.
bool write_import_layers(const std::string& path, const std::string& table, std::string& error);

// The table of the part file at path; empty when it has none. False and a message naming the file when the file
// cannot be read.
bool read_import_layers(const std::string& path, std::string& table, std::string& error);

}  // namespace cadhost::partfile

#endif
