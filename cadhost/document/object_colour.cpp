#include "cadhost/document/object_colour.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace cadhost {

namespace {

// A small set of names a mould maker uses for the materials and parts of a model.
constexpr std::pair<const char*, std::uint32_t> kNamed[] = {
    {"black", 0x000000},    {"white", 0xFFFFFF},    {"grey", 0x808080},      {"gray", 0x808080},
    {"darkgrey", 0x404040}, {"darkgray", 0x404040}, {"lightgrey", 0xC0C0C0}, {"lightgray", 0xC0C0C0},
    {"red", 0xFF0000},      {"green", 0x008000},    {"blue", 0x0000FF},      {"yellow", 0xFFFF00},
    {"cyan", 0x00FFFF},     {"magenta", 0xFF00FF},  {"orange", 0xFFA500},    {"brown", 0x8B4513},
    {"copper", 0xB87333},   {"brass", 0xB5A642},    {"bronze", 0xCD7F32},    {"steel", 0x71797E},
    {"silver", 0xC0C0C0},   {"gold", 0xFFD700},     {"purple", 0x800080},    {"navy", 0x000080},
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint32_t> parse_colour(const std::string& text) {
    if (text.size() == 7 && text[0] == '#') {
        std::uint32_t rgb = 0;
        for (std::size_t i = 1; i < 7; ++i) {
            const int digit = hex_digit(text[i]);
            if (digit < 0) return std::nullopt;
            rgb = rgb * 16 + static_cast<std::uint32_t>(digit);
        }
        return rgb;
    }
    const std::string name = lower(text);
    for (const auto& [known, rgb] : kNamed)
        if (name == known) return rgb;
    return std::nullopt;
}

std::string known_colour_names() {
    std::string list;
    for (const auto& [known, rgb] : kNamed) list += (list.empty() ? "" : ", ") + std::string(known);
    return list;
}

std::string colour_hex(std::uint32_t rgb) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", static_cast<unsigned>(rgb & kLargestColour));
    return hex;
}

std::string colour_text(std::uint32_t rgb) {
    for (const auto& [known, value] : kNamed)
        if (value == rgb) return std::string(known) + " (" + colour_hex(rgb) + ")";
    return colour_hex(rgb);
}

std::optional<int> parse_width(const std::string& text) {
    const std::string word = lower(text);
    if (word == "thin") return kWidthThin;
    if (word == "normal") return kWidthNormal;
    if (word == "thick") return kWidthThick;
    return std::nullopt;
}

std::string width_text(int width) { return width == kWidthThin ? "thin" : width == kWidthThick ? "thick" : "normal"; }

double luminance(std::uint32_t rgb) {
    const double r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return (0.299 * r + 0.587 * g + 0.114 * b) / 255.0;
}

std::uint32_t ink_colour(std::uint32_t rgb) {
    const double level = luminance(rgb);
    if (level <= kLargestInkLuminance) return rgb;
    // Scaling every component scales the luminance alike and keeps the hue; rounding down keeps it under the cap.
    const double scale = kLargestInkLuminance / level;
    auto part = [&](int shift) {
        return static_cast<std::uint32_t>(std::floor(((rgb >> shift) & 0xFF) * scale)) << shift;
    };
    return part(16) | part(8) | part(0);
}

}  // namespace cadhost
