#include "cadhost/render/number_text.h"

#include <charconv>

namespace cadhost::render {

void append_fixed(std::string& out, double value, int decimals) {
    // The longest double in fixed notation has 309 integer digits; the buffer holds that with the decimals asked for.
    char buffer[360];
    if (decimals < 0) decimals = 0;
    if (decimals > 17) decimals = 17;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const char* begin = buffer;
    if (*begin == '-') {
        bool zero = true;
        for (const char* c = begin + 1; c != result.ptr && zero; ++c) zero = *c == '0' || *c == '.';
        if (zero) ++begin;
    }
    out.append(begin, static_cast<std::size_t>(result.ptr - begin));
}

void append_trimmed(std::string& out, double value, int decimals) {
    const std::size_t start = out.size();
    append_fixed(out, value, decimals);
    const std::size_t point = out.find('.', start);
    if (point == std::string::npos) return;
    std::size_t end = out.size();
    while (end > point + 1 && out[end - 1] == '0') --end;
    if (end == point + 1) --end;
    out.resize(end);
}

}  // namespace cadhost::render
