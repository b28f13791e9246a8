#include "cadhost/import/name_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <set>

#include "cadhost/document/utf8_text.h"
#include "cadhost/import/step_escapes.h"

namespace cadhost::import {

namespace {

constexpr const char* kGuessed = "GB18030";
constexpr const char* kFallback = "ISO-8859-1";

// An iconv descriptor that closes itself.
class Converter {
  public:
    explicit Converter(const std::string& from) : handle_(::iconv_open("UTF-8", from.c_str())) {}
    ~Converter() {
        if (ok()) ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(std::string_view bytes) {
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        char buffer[256];
        char* in = const_cast<char*>(bytes.data());
        std::size_t in_left = bytes.size();
        while (in_left > 0) {
            char* at = buffer;
            std::size_t out_left = sizeof buffer;
            const std::size_t done = ::iconv(handle_, &in, &in_left, &at, &out_left);
            out.append(buffer, static_cast<std::size_t>(at - buffer));
            // Too little room goes round again; a byte that is not of the encoding, or a character cut off at the
            // end, means the bytes are not text in it.
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
        }
        if (!is_utf8(out) || out.find('\0') != std::string::npos) return std::nullopt;
        return out;
    }

  private:
    iconv_t handle_;
};

// The UTF-8 character at `at`, moving past it; -1 when none starts there.
long next_code_point(const std::string& text, std::size_t& at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size()) return -1;
    long code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return -1;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    at += static_cast<std::size_t>(extra) + 1;
    return code;
}

bool beyond_ascii(const std::string& bytes) {
    for (unsigned char c : bytes)
        if (c >= 0x80) return true;
    return false;
}

// Adds a run to runs that alternate between the file's bytes (even positions) and text (odd), joining it to the last
// run when that is of its kind.
void append_run(std::vector<std::string>& runs, std::string run, bool text) {
    if (runs.empty() && text) runs.emplace_back();
    const bool last_is_text = !runs.empty() && runs.size() % 2 == 0;
    if (!runs.empty() && last_is_text == text)
        runs.back() += run;
    else
        runs.push_back(std::move(run));
}

void append_run(std::vector<std::string>& runs, EscapedRun run) { append_run(runs, std::move(run.text), run.escaped); }

std::string hex_of(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += (out.empty() ? "" : " ");
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

}  // namespace

std::string encoding_problem(const std::string& encoding) {
    if (encoding.empty()) return "no encoding given";
    Converter converter(encoding);
    return converter.ok() ? std::string()
                          : "the encoding \"" + encoding + "\" is not known to this system (iconv -l lists them)";
}

std::optional<std::string> decoded_text(std::string_view bytes, const std::string& encoding) {
    Converter converter(encoding);
    if (!converter.ok()) return std::nullopt;
    return converter.convert(bytes);
}

std::size_t NameDecoding::add(const std::string& translator_text) {
    Name name;
    name.text = translator_text;
    // The translator hands each byte of the file over as the character of that number; anything beyond U+00FF would
    // be text already.
    std::string bytes;
    bool readable = true;
    for (std::size_t at = 0; at < translator_text.size();) {
        const std::size_t start = at;
        const long code = next_code_point(translator_text, at);
        if (code < 0) {
            readable = false;
            break;
        }
        if (code <= 0xFF) {
            bytes += static_cast<char>(code);
            continue;
        }
        for (auto& run : unescaped_runs(bytes)) append_run(name.runs, std::move(run));
        bytes.clear();
        append_run(name.runs, translator_text.substr(start, at - start), true);
    }
    if (readable) {
        for (auto& run : unescaped_runs(bytes)) append_run(name.runs, std::move(run));
    } else {
        name.runs = {translator_text};
    }
    for (std::size_t i = 0; i < name.runs.size(); i += 2) {
        if (!beyond_ascii(name.runs[i])) continue;
        if (!forced_.empty() || !is_utf8(name.runs[i])) name.needs_decoding = true;
    }
    if (!name.needs_decoding) {
        // UTF-8 in the file as it is, with any escaped characters.
        name.text.clear();
        for (const auto& part : name.runs) name.text += part;
    }
    names_.push_back(std::move(name));
    return names_.size() - 1;
}

void NameDecoding::decode() {
    used_ = forced_;
    if (used_.empty()) {
        used_ = kGuessed;
        Converter guess(kGuessed);
        for (const Name& name : names_) {
            for (std::size_t i = 0; name.needs_decoding && i < name.runs.size() && used_ == kGuessed; i += 2)
                if (!guess.ok() || !guess.convert(name.runs[i])) used_ = kFallback;
        }
    }
    Converter converter(used_);
    std::set<std::string> seen;
    for (Name& name : names_) {
        if (!name.needs_decoding) continue;
        std::string text, bytes;
        bool ok = converter.ok();
        for (std::size_t i = 0; ok && i < name.runs.size(); ++i) {
            if (i % 2 == 1) {
                text += name.runs[i];
                continue;
            }
            bytes += name.runs[i];
            const auto part = converter.convert(name.runs[i]);
            ok = part.has_value();
            if (ok) text += *part;
        }
        // A name and an id, or a name given to many entities, are one name to the user.
        const bool first = seen.insert(bytes).second;
        if (ok) {
            decoded_ += first ? 1 : 0;
            if (first) details_.push_back("name bytes " + hex_of(bytes) + " read as " + used_ + ": \"" + text + "\"");
            name.text = std::move(text);
        } else {
            failed_ += first ? 1 : 0;
            if (first)
                details_.push_back("name bytes " + hex_of(bytes) + " are not " + used_ + " text; the name is left out");
            name.text.clear();
        }
    }
}

std::vector<std::string> NameDecoding::notes() const {
    std::vector<std::string> notes;
    const auto names = [](int n) { return std::to_string(n) + (n == 1 ? " name" : " names"); };
    if (decoded_ > 0) {
        std::string note = names(decoded_) + " read as " + used_;
        note += forced_.empty() ? " (they are not UTF-8; --name-encoding ENC reads them as another encoding)"
                                : " (--name-encoding)";
        notes.push_back(std::move(note));
    }
    if (failed_ > 0)
        notes.push_back(names(failed_) + " are not " + used_ + " text and are left out (--verbose shows their bytes)");
    return notes;
}

}  // namespace cadhost::import
