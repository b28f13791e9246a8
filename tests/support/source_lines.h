// Where a call stands in the command's sources, for tests of what the listing says about it.
#ifndef TESTS_SUPPORT_SOURCE_LINES_H
#define TESTS_SUPPORT_SOURCE_LINES_H

#include <fstream>
#include <string>

namespace testing_support {

// The line (from 1) of the only line of the source file (a path in the source tree) that holds the text; 0 when none
// does, -1 when more than one does, so that a test cannot pick the wrong call.
inline int source_line(const std::string& file, const std::string& text) {
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/" + file);
    std::string line;
    int number = 0, found = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.find(text) == std::string::npos) continue;
        if (found) return -1;
        found = number;
    }
    return found;
}

}  // namespace testing_support

#endif
