#include "cadhost/setup/xml_scan.h"

#include <charconv>

namespace cadhost::setup {

namespace {

constexpr std::size_t kDeepest = 256;  // a workbook's parts nest a handful of levels

bool name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.' || c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

bool space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string local(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
}

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string XmlScan::attribute(std::string_view local_name) const {
    for (const auto& [key, value] : attributes_)
        if (key == local_name) return value;
    return {};
}

XmlScan::Item XmlScan::fail(const std::string& why) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) line += text_[i] == '\n';
    error_ = why + " (line " + std::to_string(line) + ")";
    return Item::error;
}

bool XmlScan::expand(std::string_view raw, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        const std::size_t semi = raw.find(';', i);
        if (semi == std::string_view::npos || semi - i > 12) return false;
        const std::string_view ref = raw.substr(i + 1, semi - i - 1);
        if (ref == "amp")
            out += '&';
        else if (ref == "lt")
            out += '<';
        else if (ref == "gt")
            out += '>';
        else if (ref == "quot")
            out += '"';
        else if (ref == "apos")
            out += '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            std::uint32_t code = 0;
            const char* begin = ref.data() + (hex ? 2 : 1);
            const auto [end, ec] = std::from_chars(begin, ref.data() + ref.size(), code, hex ? 16 : 10);
            if (ec != std::errc() || end != ref.data() + ref.size() || code == 0 || code > 0x10FFFF ||
                (code >= 0xD800 && code <= 0xDFFF))
                return false;
            append_utf8(out, code);
        } else {
            return false;
        }
        i = semi;
    }
    return true;
}

XmlScan::Item XmlScan::next() {
    if (!error_.empty()) return Item::error;
    if (pending_close_) {
        pending_close_ = false;
        open_.pop_back();
        return Item::close;
    }
    while (at_ < text_.size()) {
        if (text_[at_] == '<') {
            const Item item = markup();
            if (item == Item::end) continue;  // a declaration or comment: nothing for the caller
            return item;
        }
        const std::size_t lt = text_.find('<', at_);
        const std::string_view raw =
            text_.substr(at_, lt == std::string_view::npos ? std::string_view::npos : lt - at_);
        at_ += raw.size();
        if (open_.empty()) {
            for (char c : raw)
                if (!space(c)) return fail("text outside the document's element");
            continue;
        }
        if (!expand(raw, value_)) return fail("an unknown or broken reference in a text");
        return Item::text;
    }
    if (!open_.empty()) return fail("the element <" + open_.back() + "> is not closed");
    return Item::end;
}

// One markup construct at at_. end for those the caller does not see.
XmlScan::Item XmlScan::markup() {
    const std::string_view rest = text_.substr(at_);
    if (rest.starts_with("<?")) {
        const std::size_t close = rest.find("?>");
        if (close == std::string_view::npos) return fail("an unclosed processing instruction");
        at_ += close + 2;
        return Item::end;
    }
    if (rest.starts_with("<!--")) {
        const std::size_t close = rest.find("-->", 4);
        if (close == std::string_view::npos) return fail("an unclosed comment");
        at_ += close + 3;
        return Item::end;
    }
    if (rest.starts_with("<![CDATA[")) {
        const std::size_t close = rest.find("]]>", 9);
        if (close == std::string_view::npos) return fail("an unclosed CDATA section");
        if (open_.empty()) return fail("text outside the document's element");
        value_.assign(rest.substr(9, close - 9));
        at_ += close + 3;
        return Item::text;
    }
    if (rest.starts_with("<!")) return fail("a document type declaration, which a workbook never has");
    const bool closing = rest.starts_with("</");
    std::size_t i = closing ? 2 : 1;
    const std::size_t name_start = i;
    while (i < rest.size() && name_char(rest[i])) ++i;
    if (i == name_start) return fail("a '<' that starts no element");
    const std::string qualified(rest.substr(name_start, i - name_start));
    name_ = local(qualified);
    if (closing) {
        while (i < rest.size() && space(rest[i])) ++i;
        if (i >= rest.size() || rest[i] != '>') return fail("a broken closing tag </" + qualified + ">");
        if (open_.empty() || open_.back() != qualified)
            return fail("</" + qualified + "> closes " + (open_.empty() ? "nothing" : "<" + open_.back() + ">"));
        open_.pop_back();
        at_ += i + 1;
        return Item::close;
    }
    attributes_.clear();
    for (;;) {
        const std::size_t before = i;
        while (i < rest.size() && space(rest[i])) ++i;
        if (i >= rest.size()) return fail("the tag <" + qualified + "> is not closed");
        if (rest[i] == '>' || rest.substr(i).starts_with("/>")) break;
        if (i == before) return fail("attributes of <" + qualified + "> run together");
        const std::size_t key_start = i;
        while (i < rest.size() && name_char(rest[i])) ++i;
        const std::string key = local(rest.substr(key_start, i - key_start));
        while (i < rest.size() && space(rest[i])) ++i;
        if (key.empty() || i >= rest.size() || rest[i] != '=') return fail("a broken attribute in <" + qualified + ">");
        ++i;
        while (i < rest.size() && space(rest[i])) ++i;
        if (i >= rest.size() || (rest[i] != '"' && rest[i] != '\'')) return fail("an unquoted attribute value");
        const char quote = rest[i++];
        const std::size_t end = rest.find(quote, i);
        if (end == std::string_view::npos) return fail("an unclosed attribute value");
        std::string value;
        if (!expand(rest.substr(i, end - i), value)) return fail("an unknown or broken reference in an attribute");
        attributes_.emplace_back(key, std::move(value));
        i = end + 1;
    }
    const bool empty = rest[i] == '/';
    at_ += i + (empty ? 2 : 1);
    if (open_.size() >= kDeepest) return fail("elements nested deeper than " + std::to_string(kDeepest));
    open_.push_back(qualified);
    pending_close_ = empty;
    return Item::open;
}

}  // namespace cadhost::setup
