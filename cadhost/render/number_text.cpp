#include "cadhost/render/number_text.h"

#include <charconv>
#include <cmath>

namespace cadhost::render {

namespace {

constexpr double kPowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};

// The digits of value rounded to `decimals` places, without the library's exact conversion, when the scaled value is
// small enough to be held to a millionth of a unit and is not that close to halfway between two results: then the
// nearest whole number of the scaled value is the correctly rounded one, which is what printf writes. False otherwise.
bool append_fast(std::string& out, double value, int decimals) {
    if (decimals < 0 || decimals > 6) return false;  // the table of powers holds 0 to 6
    const double scaled = value * kPowersOfTen[decimals];
    if (!(std::abs(scaled) < 1e8)) return false;  // also refuses NaN
    const double below = std::floor(scaled);
    const double fraction = scaled - below;
    if (std::abs(fraction - 0.5) < 1e-6) return false;
    const long long whole = static_cast<long long>(fraction < 0.5 ? below : below + 1.0);
    unsigned long long digits = static_cast<unsigned long long>(whole < 0 ? -whole : whole);
    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* at = end;
    for (int i = 0; i < decimals; ++i, digits /= 10) *--at = static_cast<char>('0' + digits % 10);
    if (decimals > 0) *--at = '.';
    do {
        *--at = static_cast<char>('0' + digits % 10);
        digits /= 10;
    } while (digits > 0);
    if (whole < 0) *--at = '-';
    out.append(at, static_cast<std::size_t>(end - at));
    return true;
}

}  // namespace

void append_fixed(std::string& out, double value, int decimals) {
    if (append_fast(out, value, decimals)) return;
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
