#include "cadhost/import/object_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace cadhost::import {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string lower_ascii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c);
    });
    return out;
}

// A handle some systems name bodies with: hexadecimal, starting with a digit, and not a plain small number, which
// may be a name a designer gave.
bool is_hex_handle(std::string_view name) {
    if (name.size() < 2 || name.size() > 16 || !std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    bool letter = false;
    for (char c : name) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        letter = letter || std::isalpha(static_cast<unsigned char>(c));
    }
    return letter || name.size() >= 3;
}

// The words CAD systems build default body names from: the kind of thing, or the feature that made the body last.
constexpr std::array<std::string_view, 25> kKindWords = {
    "body",    "partbody", "mainbody", "solidbody", "solid",        "sol",         "brep",  "shape", "part",
    "object",  "feature",  "extrude",  "revolve",   "boss-extrude", "cut-extrude", "sweep", "loft",  "fillet",
    "chamfer", "shell",    "sheet",    "surface",   "face",         "实体",        "零件"};

bool is_separator(char c) { return c == ' ' || c == '-' || c == '_' || c == '.' || c == '#' || c == ':'; }

}  // namespace

std::optional<NameSource> name_source_of(const std::string& word) {
    if (word == "auto") return NameSource::automatic;
    if (word == "product") return NameSource::product;
    if (word == "body") return NameSource::body;
    return std::nullopt;
}

bool is_placeholder_name(const std::string& name) {
    static constexpr std::array<std::string_view, 10> kinds = {"COMPOUND", "COMPSOLID", "SOLID",  "SHELL", "FACE",
                                                               "WIRE",     "EDGE",      "VERTEX", "SHAPE", "ASSEMBLY"};
    if (name.rfind("=>[", 0) == 0) return true;
    if (name.rfind("Open CASCADE STEP translator ", 0) == 0) return true;
    return std::find(kinds.begin(), kinds.end(), name) != kinds.end();
}

bool is_default_body_name(const std::string& name) {
    const std::string_view plain = trimmed(name);
    if (plain.empty()) return false;
    if (is_hex_handle(plain)) return true;
    std::string word = lower_ascii(plain);
    if (word.ends_with("brep model") || word.ends_with(" brep")) return true;
    // "*SOL22", "_Body": marks some systems put before a generated name.
    word.erase(0, word.find_first_not_of("*_"));
    // "Body16", "Solid 1", "Body.001", "Body(2)".
    if (word.ends_with(')')) {
        const auto open = word.rfind('(');
        if (open == std::string::npos) return false;
        const std::string inside = word.substr(open + 1, word.size() - open - 2);
        if (inside.empty() || inside.find_first_not_of("0123456789") != std::string::npos) return false;
        word.erase(open);
    }
    while (!word.empty() && std::isdigit(static_cast<unsigned char>(word.back()))) word.pop_back();
    while (!word.empty() && is_separator(word.back())) word.pop_back();
    return std::find(kKindWords.begin(), kKindWords.end(), word) != kKindWords.end();
}

std::string chosen_name(const std::string& body, const std::string& product, NameSource source) {
    switch (source) {
        case NameSource::product:
            return product.empty() ? body : product;
        case NameSource::body:
            return body.empty() ? product : body;
        case NameSource::automatic:
            break;
    }
    if (body.empty()) return product;
    const bool product_is_real = !product.empty() && !is_default_body_name(product);
    return is_default_body_name(body) && product_is_real ? product : body;
}

}  // namespace cadhost::import
