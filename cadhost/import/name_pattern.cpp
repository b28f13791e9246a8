#include "cadhost/import/name_pattern.h"

namespace cadhost::import {

namespace {

constexpr std::size_t kMaxPatternLength = 1000;

bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }

char32_t folded(char32_t c) { return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c; }

// A run of digits without its leading zeros ("0" stays "0"), so that runs compare by value at any length.
std::u32string value_of(const std::u32string& digits) {
    const auto first = digits.find_first_not_of(U'0');
    return first == std::u32string::npos ? U"0" : digits.substr(first);
}

}  // namespace

std::u32string code_points(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        bool whole = length > 0 && i + length <= text.size();
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // A byte that starts no whole character stands for itself, above the range of characters, so it matches
        // only itself.
        out += whole ? c : static_cast<char32_t>(0x110000 + lead);
        i += whole ? length : 1;
    }
    return out;
}

bool NamePattern::parse(std::string_view text, std::string& error) {
    text_ = std::string(text);
    pieces_.clear();
    const std::u32string chars = code_points(text);
    // A match costs the pattern's pieces times the name's length: a bound keeps a line of a damaged file cheap.
    if (chars.size() > kMaxPatternLength) {
        error = "a pattern has at most " + std::to_string(kMaxPatternLength) + " characters";
        return false;
    }
    for (char32_t c : chars) {
        if (c > 0x10FFFF) {
            error = "the pattern is not UTF-8";
            return false;
        }
    }
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == U'*') {
            // Runs of stars mean one: fewer pieces to try.
            if (pieces_.empty() || pieces_.back().kind != Kind::any_run) pieces_.push_back({Kind::any_run, {}, {}});
        } else if (c == U'?') {
            pieces_.push_back({Kind::any_one, {}, {}});
        } else if (c == U'[') {
            Piece set{Kind::set, {}, {}};
            std::size_t j = i + 1;
            if (j < chars.size() && (chars[j] == U'!' || chars[j] == U'^')) set.negated = true, ++j;
            const std::size_t first = j;
            for (; j < chars.size() && (chars[j] != U']' || j == first); ++j) {
                if (j + 2 < chars.size() && chars[j + 1] == U'-' && chars[j + 2] != U']') {
                    set.ranges.emplace_back(folded(chars[j]), folded(chars[j + 2]));
                    j += 2;
                } else {
                    set.chars += folded(chars[j]);
                }
            }
            if (j >= chars.size()) {
                error = "a '[' without its ']'";
                return false;
            }
            pieces_.push_back(std::move(set));
            i = j;
        } else {
            char32_t literal = c;
            if (c == U'\\') {
                if (++i >= chars.size()) {
                    error = "a '\\' at the end takes no character";
                    return false;
                }
                literal = chars[i];
            }
            if (is_digit(literal) && !pieces_.empty() && pieces_.back().kind == Kind::digits) {
                pieces_.back().chars += literal;
            } else {
                pieces_.push_back({is_digit(literal) ? Kind::digits : Kind::literal, std::u32string(1, literal), {}});
            }
        }
    }
    return true;
}

bool NamePattern::set_holds(const Piece& piece, char32_t c) const {
    const char32_t f = folded(c);
    bool held = piece.chars.find(f) != std::u32string::npos;
    for (const auto& [low, high] : piece.ranges) held = held || (f >= low && f <= high);
    return held != piece.negated;
}

// Decided piece by piece from the last: after piece k, `rest[at]` tells whether the pieces from k on match the name
// from position `at` to its end. A run of any characters looks one position further on rather than trying every
// end, so a pattern costs its pieces times the name's length however many stars it has.
bool NamePattern::matches(std::string_view text) const {
    const std::u32string name = code_points(text);
    const std::size_t n = name.size();
    // Where the run of digits starting at each position ends (the position itself when it holds no digit).
    std::vector<std::size_t> run_end(n + 1, n);
    for (std::size_t at = n; at-- > 0;) run_end[at] = is_digit(name[at]) ? run_end[at + 1] : at;
    std::vector<char> rest(n + 1, 0), here(n + 1, 0);
    rest[n] = 1;
    for (std::size_t piece = pieces_.size(); piece-- > 0;) {
        const Piece& p = pieces_[piece];
        for (std::size_t at = n + 1; at-- > 0;) {
            const bool more = at < n;
            bool result = false;
            switch (p.kind) {
                case Kind::any_run:
                    result = rest[at] || (more && here[at + 1]);
                    break;
                case Kind::any_one:
                    result = more && rest[at + 1];
                    break;
                case Kind::set:
                    result = more && set_holds(p, name[at]) && rest[at + 1];
                    break;
                case Kind::literal:
                    result = more && folded(name[at]) == folded(p.chars[0]) && rest[at + 1];
                    break;
                case Kind::digits: {
                    // A whole run of the name's digits with the same value ...
                    if (more && is_digit(name[at]) && (at == 0 || !is_digit(name[at - 1]))) {
                        const std::size_t end = run_end[at];
                        result = rest[end] && value_of(name.substr(at, end - at)) == value_of(p.chars);
                    }
                    // ... or the same digits, where a wildcard before or after takes part of the run.
                    result = result || (name.compare(at, p.chars.size(), p.chars) == 0 && rest[at + p.chars.size()]);
                    break;
                }
            }
            here[at] = result ? 1 : 0;
        }
        rest.swap(here);
    }
    return rest[0] != 0;
}

}  // namespace cadhost::import
