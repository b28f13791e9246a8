// What a writer puts out of a text: every format of ours holds UTF-8 without the control characters and
// noncharacters the host refuses where text enters. A part written before those checks, or a text that reached the
// part another way, still cannot make an output a reader refuses.
#ifndef CADHOST_RENDER_PRINTABLE_TEXT_H
#define CADHOST_RENDER_PRINTABLE_TEXT_H

#include <string>
#include <string_view>

namespace cadhost::render {

// The text with the characters cadhost::is_unfit_character names left out and each byte that is not UTF-8 given as
// U+FFFD; with one_line, tabs and line breaks become blanks (for texts that are single lines in their format). A fit
// text comes back as it is.
std::string printable_text(std::string_view text, bool one_line = false);

}  // namespace cadhost::render

#endif
