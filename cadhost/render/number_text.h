// Decimal text of sheet coordinates, written straight into a string: a large sheet holds hundreds of thousands of
// numbers, and a stream or printf call per number costs more than the rest of the writer together.
#ifndef CADHOST_RENDER_NUMBER_TEXT_H
#define CADHOST_RENDER_NUMBER_TEXT_H

#include <string>

namespace cadhost::render {

// Appends value with exactly `decimals` digits after the point, the text printf's "%.*f" gives, except that a value
// that rounds to zero is written without a sign ("0.000", never "-0.000").
void append_fixed(std::string& out, double value, int decimals);

// The same without trailing zeros after the point, and without the point when nothing follows it ("12.5", "3", "0").
void append_trimmed(std::string& out, double value, int decimals);

}  // namespace cadhost::render

#endif
