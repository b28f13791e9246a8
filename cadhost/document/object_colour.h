// The colour and line width a body is drawn in: read from a model's styled items or from an attribute file, kept in
// the part, and turned into the ink a sheet prints. Colours are 0xRRGGBB.
#ifndef CADHOST_DOCUMENT_OBJECT_COLOUR_H
#define CADHOST_DOCUMENT_OBJECT_COLOUR_H

#include <cstdint>
#include <optional>
#include <string>

namespace cadhost {

inline constexpr std::uint32_t kLargestColour = 0xFFFFFF;

// A colour name ("copper", "grey", "red", ... case ignored) or "#RRGGBB"; nullopt for anything else.
std::optional<std::uint32_t> parse_colour(const std::string& text);

// The names parse_colour knows, for messages: "black, blue, ...".
std::string known_colour_names();

// "#B87333".
std::string colour_hex(std::uint32_t rgb);
// "copper (#B87333)" for a named colour, else "#B87333".
std::string colour_text(std::uint32_t rgb);

// Line widths as objects hold them.
enum ObjectWidth { kWidthThin = 0, kWidthNormal = 1, kWidthThick = 2 };
std::optional<int> parse_width(const std::string& text);  // "thin", "normal", "thick"
std::string width_text(int width);                        // the same words; "normal" for any other value

// The colour a line of that colour is printed in: the same hue, darkened where needed so that its grey level
// (luminance 0.299 R + 0.587 G + 0.114 B) is at most that of a mid grey, so a light colour printed in black and white
// still shows as a line and not as a faint trace.
std::uint32_t ink_colour(std::uint32_t rgb);
inline constexpr double kLargestInkLuminance = 0.5;
double luminance(std::uint32_t rgb);

}  // namespace cadhost

#endif
