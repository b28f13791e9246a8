#include "cadhost/render/pdf_page_streams.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>

namespace cadhost::render {
namespace {

// The numbers of the document are read from text the caller's own cairo wrote, but still bounds-checked throughout:
// a surprise must end in a refusal, never in a read past the end.
std::optional<long> number_at(std::string_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\n' || text[at] == '\r')) ++at;
    long value = 0;
    const auto result = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (result.ec != std::errc() || value < 0) return std::nullopt;
    at = static_cast<std::size_t>(result.ptr - text.data());
    return value;
}

// The number of a reference "N 0 R" that follows key in dict.
std::optional<long> reference_after(std::string_view dict, std::string_view key) {
    const std::size_t found = dict.find(key);
    if (found == std::string_view::npos) return std::nullopt;
    std::size_t at = found + key.size();
    const auto object = number_at(dict, at);
    const auto generation = number_at(dict, at);
    while (at < dict.size() && dict[at] == ' ') ++at;
    if (!object || !generation || *generation != 0 || at >= dict.size() || dict[at] != 'R') return std::nullopt;
    return object;
}

class Document {
  public:
    explicit Document(std::string_view text) : text_(text) {}

    // Reads the last cross-reference table and its trailer; false when the file ends otherwise.
    bool read_cross_references() {
        const std::size_t start = text_.rfind("startxref");
        if (start == std::string_view::npos) return false;
        std::size_t at = start + 9;
        const auto offset = number_at(text_, at);
        if (!offset || static_cast<std::size_t>(*offset) >= start) return false;
        xref_offset_ = static_cast<std::size_t>(*offset);
        if (text_.compare(xref_offset_, 4, "xref") != 0) return false;
        at = xref_offset_ + 4;
        for (;;) {
            std::size_t peek = at;
            while (peek < text_.size() && (text_[peek] == ' ' || text_[peek] == '\n' || text_[peek] == '\r')) ++peek;
            if (text_.compare(peek, 7, "trailer") == 0) {
                at = peek + 7;
                break;
            }
            const auto first = number_at(text_, at);
            const auto count = number_at(text_, at);
            if (!first || !count) return false;
            while (at < text_.size() && text_[at] != '\n') ++at;  // end of the subsection line
            ++at;
            for (long i = 0; i < *count; ++i, at += 20) {
                if (at + 20 > text_.size()) return false;
                std::size_t field = at;
                const auto entry_offset = number_at(text_, field);
                if (!entry_offset) return false;
                if (text_[at + 17] == 'n') offsets_[*first + i] = static_cast<std::size_t>(*entry_offset);
            }
        }
        const std::size_t open = text_.find("<<", at);
        const std::size_t close = text_.find(">>\nstartxref", at);
        if (open == std::string_view::npos || close == std::string_view::npos || open > close) return false;
        trailer_ = text_.substr(open, close + 2 - open);
        return true;
    }

    // The dictionary of object n ("<< ... >>" between "n 0 obj" and "endobj"), or empty when it is not there.
    std::string_view dictionary(long n) const {
        const auto it = offsets_.find(n);
        if (it == offsets_.end()) return {};
        const std::string head = std::to_string(n) + " 0 obj";
        if (text_.compare(it->second, head.size(), head) != 0) return {};
        const std::size_t end = text_.find("endobj", it->second);
        const std::size_t open = text_.find("<<", it->second);
        const std::size_t close = end == std::string_view::npos ? end : text_.rfind(">>", end);
        if (end == std::string_view::npos || open == std::string_view::npos || close == std::string_view::npos ||
            open > close)
            return {};
        return text_.substr(open, close + 2 - open);
    }

    // The page objects in order, from a page tree of one level; empty when the tree is deeper or unreadable.
    std::vector<long> pages() const {
        const auto root = reference_after(trailer_, "/Root");
        if (!root) return {};
        const auto tree = reference_after(dictionary(*root), "/Pages");
        if (!tree) return {};
        const std::string_view node = dictionary(*tree);
        const std::size_t kids = node.find("/Kids");
        const std::size_t open = node.find('[', kids);
        const std::size_t close = node.find(']', open);
        if (kids == std::string_view::npos || open == std::string_view::npos || close == std::string_view::npos)
            return {};
        std::vector<long> pages;
        std::size_t at = open + 1;
        while (at < close) {
            const auto object = number_at(node, at);
            const auto generation = number_at(node, at);
            while (at < close && node[at] == ' ') ++at;
            if (!object || !generation || at >= close || node[at] != 'R') return {};
            ++at;
            while (at < close && (node[at] == ' ' || node[at] == '\n' || node[at] == '\r')) ++at;
            const std::string_view page = dictionary(*object);
            if (page.find("/Type /Page") == std::string_view::npos ||
                page.find("/Type /Pages") != std::string_view::npos)
                return {};
            pages.push_back(*object);
        }
        return pages;
    }

    long size() const {
        std::size_t at = trailer_.find("/Size");
        if (at == std::string_view::npos) return -1;
        at += 5;
        const auto size = number_at(trailer_, at);
        return size ? *size : -1;
    }

    std::size_t xref_offset() const { return xref_offset_; }
    std::string_view trailer() const { return trailer_; }

  private:
    std::string_view text_;
    std::map<long, std::size_t> offsets_;
    std::size_t xref_offset_ = 0;
    std::string_view trailer_;
};

// The page's dictionary with `stream` put ahead of its contents, or empty when it has no /Contents.
std::string with_stream_first(std::string_view page, long stream) {
    const std::size_t key = page.find("/Contents");
    if (key == std::string_view::npos) return {};
    const std::string ours = std::to_string(stream) + " 0 R ";
    std::size_t at = key + 9;
    while (at < page.size() && page[at] == ' ') ++at;
    std::string dict(page);
    if (at < page.size() && page[at] == '[') return dict.insert(at + 1, " " + ours);
    const std::size_t value = at;
    const auto object = number_at(page, at);
    const auto generation = number_at(page, at);
    while (at < page.size() && page[at] == ' ') ++at;
    if (!object || !generation || at >= page.size() || page[at] != 'R') return {};
    return dict.replace(value, at + 1 - value,
                        "[ " + ours + std::to_string(*object) + " " + std::to_string(*generation) + " R ]");
}

void append_entry(std::string& xref, std::size_t offset) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    xref += entry;
}

}  // namespace

bool page_streams_update(std::string_view document, const std::vector<std::size_t>& lengths,
                         std::vector<UpdatePiece>& pieces, std::string& error) {
    pieces.clear();
    Document original(document);
    if (!original.read_cross_references()) {
        error = "the document does not end in a cross-reference table";
        return false;
    }
    const std::vector<long> pages = original.pages();
    const long size = original.size();
    if (pages.size() != lengths.size() || size <= 0) {
        error = "the document's page tree is not one level of " + std::to_string(lengths.size()) + " pages";
        return false;
    }
    struct Object {
        std::string head;  // the dictionary, and for a stream its opening
        long page = -1;    // for a stream, the page whose bytes it holds
    };
    std::map<long, Object> objects;
    long next = size;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (lengths[i] == 0) continue;
        std::string page = with_stream_first(original.dictionary(pages[i]), next);
        if (page.empty()) {
            error = "page " + std::to_string(i + 1) + " has no contents to add to";
            return false;
        }
        objects[next] = {"<< /Length " + std::to_string(lengths[i]) + " /Filter /FlateDecode >>\nstream\n",
                         static_cast<long>(i)};
        objects[pages[i]] = {std::move(page), -1};
        ++next;
    }
    if (objects.empty()) return true;
    std::string trailer(original.trailer());
    const std::size_t size_key = trailer.find("/Size");
    std::size_t size_end = size_key + 5;
    number_at(trailer, size_end);
    trailer.replace(size_key, size_end - size_key, "/Size " + std::to_string(next));
    trailer.insert(trailer.size() - 2, "/Prev " + std::to_string(original.xref_offset()) + "\n");

    std::size_t at = document.size();
    std::string text;
    if (document.empty() || document.back() != '\n') text += '\n';
    std::map<long, std::size_t> offsets;
    for (const auto& [number, object] : objects) {
        offsets[number] = at + text.size();
        text += std::to_string(number) + " 0 obj\n" + object.head;
        if (object.page >= 0) {
            at += text.size() + lengths[static_cast<std::size_t>(object.page)];
            pieces.push_back({std::move(text), object.page});
            text = "\nendstream";
        }
        text += "\nendobj\n";
    }
    const std::size_t xref_at = at + text.size();
    text += "xref\n";
    for (auto it = offsets.begin(); it != offsets.end();) {
        auto run_end = it;
        long last = it->first;
        while (std::next(run_end) != offsets.end() && std::next(run_end)->first == last + 1) ++run_end, ++last;
        text += std::to_string(it->first) + " " + std::to_string(last - it->first + 1) + "\n";
        for (auto entry = it; entry != std::next(run_end); ++entry) append_entry(text, entry->second);
        it = std::next(run_end);
    }
    text += "trailer\n" + trailer + "\nstartxref\n" + std::to_string(xref_at) + "\n%%EOF\n";
    pieces.push_back({std::move(text), -1});
    return true;
}

bool prepend_page_streams(std::string& document, const std::vector<std::string>& deflated, std::string& error) {
    std::vector<std::size_t> lengths;
    for (const auto& stream : deflated) lengths.push_back(stream.size());
    std::vector<UpdatePiece> pieces;
    if (!page_streams_update(document, lengths, pieces, error)) return false;
    for (const auto& piece : pieces) {
        document += piece.text;
        if (piece.page >= 0) document += deflated[static_cast<std::size_t>(piece.page)];
    }
    return true;
}

}  // namespace cadhost::render
