// Diagonal lines for electrodes modelled without them: the command's analysis finds the base's depth face and the
// two corners its diagonal line joins; the host draws the line, as a designer would have.
#ifndef CADHOST_CLI_DIAGONAL_LINES_H
#define CADHOST_CLI_DIAGONAL_LINES_H

#include <array>
#include <string>
#include <vector>

#include "cadhost/cli/command_analysis.h"
#include "cadhost/document/document.h"

namespace cadhost::cli {

struct AddedDiagonal {
    tag_t body = NULL_TAG;
    tag_t line = NULL_TAG;
    int layer = 0;
    std::string body_name;
    std::array<double, 3> from{}, to{};
};

// For every body the analysis took as far as its base and depth face and that has no diagonal line: a line corner to
// corner across the depth face, on the body's layer, named after the body. Bodies with a diagonal, without base, or
// whose analysis stopped before the depth face are left as they are. In the order of the stages.
std::vector<AddedDiagonal> add_missing_diagonals(Document& doc, const std::vector<CheckStage>& stages);

// "diagonal line added to E01 on layer 3 (body 1 of 2): (x, y, z) to (x, y, z)".
std::string added_diagonal_text(const AddedDiagonal& added, const std::vector<CheckStage>& stages);

}  // namespace cadhost::cli

#endif
