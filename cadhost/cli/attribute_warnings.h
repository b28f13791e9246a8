// Warnings about attributes the drawing command would pass over without a word: a title close to one of its titles but
// not it, a value of another kind than the command reads, an attribute of the command's on an object that is no
// electrode body. The command library says which titles it reads; the host only compares.
#ifndef CADHOST_CLI_ATTRIBUTE_WARNINGS_H
#define CADHOST_CLI_ATTRIBUTE_WARNINGS_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"

namespace cadhost::cli {

struct CommandTitle {
    std::string title;
    int type = 0;  // UF_ATTR_integer, UF_ATTR_real or UF_ATTR_string
};

// The titles the library reads from electrode bodies; empty when it cannot be opened or does not tell.
std::vector<CommandTitle> command_attribute_titles(const std::string& library);

// One warning per attribute, naming the object. core_layer is the layer whose bodies are the core (0 when not known):
// its bodies are no electrodes.
std::vector<std::string> attribute_warnings(const Document& doc, const std::vector<CommandTitle>& titles,
                                            int core_layer);

// Edit distance (insertions, deletions, substitutions) between two texts, byte by byte.
std::size_t edit_distance(const std::string& a, const std::string& b);

}  // namespace cadhost::cli

#endif
