#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "cadhost/document/object.h"

namespace cadhost {

namespace {

// Every field's bytes, in order: two styles share one entry only when they agree to the bit (a NaN read from a file
// is then one style too, not a new one each time it is met).
std::string key_of(const AnnotationStyle& s) {
    static_assert(sizeof(AnnotationStyle) == 112, "a field was added to the style: add it to the key as well");
    std::string key;
    auto add = [&](const auto& field) { key.append(reinterpret_cast<const char*>(&field), sizeof field); };
    add(s.height), add(s.aspect_ratio), add(s.char_space), add(s.line_space), add(s.alignment), add(s.angle);
    add(s.leader_side), add(s.arrow_length), add(s.arrow_angle), add(s.origin_symbol), add(s.decimals);
    add(s.trailing_zeros), add(s.text_gap), add(s.manual_text), add(s.arrowhead), add(s.extension_lines);
    add(s.inches), add(s.dual);
    return key;
}

const AnnotationStyle* interned(const AnnotationStyle& style) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::unique_ptr<const AnnotationStyle>> styles;
    std::string key = key_of(style);
    std::lock_guard<std::mutex> lock(mutex);
    auto& kept = styles[std::move(key)];
    if (!kept) kept = std::make_unique<const AnnotationStyle>(style);
    return kept.get();
}

}  // namespace

SharedStyle::SharedStyle() {
    static const AnnotationStyle* const kDefault = interned(AnnotationStyle{});
    style_ = kDefault;
}

SharedStyle::SharedStyle(const AnnotationStyle& style) : style_(interned(style)) {}

}  // namespace cadhost
