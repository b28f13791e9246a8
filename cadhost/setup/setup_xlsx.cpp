#include "cadhost/setup/setup_xlsx.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <xlsxwriter.h>

#include "cadhost/render/printable_text.h"
#include "cadhost/setup/setup_csv.h"

namespace cadhost::setup {

namespace {

constexpr std::size_t kMostCellBytes = 32767;  // a spreadsheet cell holds no longer text
constexpr double kNarrowest = 4, kWidest = 60;
// 1980-01-01 00:00 UTC, the earliest date a zip entry holds: the same lists give the same bytes.
constexpr time_t kCreated = 315532800;

// The library writes the workbook to a file: a private temporary one, removed whatever happens.
class TemporaryFile {
  public:
    bool make(std::string& error) {
        // A TMPDIR that names no folder is passed over for /tmp, as the library does for its own temporary files.
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
        if (ec) folder = "/tmp";
        std::string pattern = (folder / "quillon_lists_XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            error = "cannot make a temporary file for the workbook in " + pattern.substr(0, pattern.rfind('/'));
            return false;
        }
        ::close(fd);
        path_ = pattern;
        return true;
    }
    const std::string& path() const { return path_; }
    ~TemporaryFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }

  private:
    std::string path_;
};

// The workbook is closed (and with that written and freed) once, on every way out.
class Workbook {
  public:
    explicit Workbook(const std::string& path) : book_(workbook_new(path.c_str())) {}
    ~Workbook() {
        if (book_) workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    lxw_workbook* get() const { return book_; }
    lxw_error close() {
        const lxw_error result = workbook_close(book_);
        book_ = nullptr;
        return result;
    }

  private:
    lxw_workbook* book_;
};

// The number a cell text gives, when it is a plain number; the text stays a text otherwise (" 0.35", "1.5个").
bool number_of(const std::string& text, double& value) {
    if (!plain_number(text)) return false;
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// A text a reader accepts, cut at a whole character where it is longer than a cell holds.
std::string cell_text(const std::string& text) {
    std::string out = render::printable_text(text);
    if (out.size() > kMostCellBytes) {
        std::size_t cut = kMostCellBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    return out;
}

// How a number cell shows its value: the column's format, or, for a column without one, as many decimals as the
// sheet's text has ("0.10" stays 0.10, not 0.1); "" for a whole number, the spreadsheet's general format.
std::string shown_format(const char* column_format, const std::string& text) {
    if (column_format && *column_format) return column_format;
    const std::size_t point = text.find('.');
    if (point == std::string::npos || point + 1 >= text.size()) return "";
    return "0." + std::string(std::min<std::size_t>(text.size() - point - 1, 15), '0');
}

class SheetWriter {
  public:
    SheetWriter(lxw_workbook* book, std::string& error) : book_(book), error_(error) {
        // A format the library could not make leaves its cells plain.
        if ((header_ = workbook_add_format(book))) {
            format_set_bold(header_);
            format_set_bottom(header_, LXW_BORDER_THIN);
            format_set_bg_color(header_, 0xE8E8E8);
        }
        if ((lines_ = workbook_add_format(book))) format_set_text_wrap(lines_);
    }

    bool write(const ListTable& table) {
        lxw_worksheet* sheet = workbook_add_worksheet(book_, table.name.c_str());
        if (!sheet) return failed("cannot add the worksheet '" + table.name + "'");
        const auto header = table.header_row();
        std::vector<std::size_t> widths(header.size(), 0);
        for (std::size_t c = 0; c < header.size(); ++c) {
            widths[c] = display_width(header[c]);
            if (!ok(worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), header[c].c_str(), header_)))
                return false;
        }
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            const auto row = static_cast<lxw_row_t>(r + 1);
            for (std::size_t c = 0; c < table.rows[r].size() && c < table.columns.size(); ++c) {
                const std::string& text = table.rows[r][c];
                if (text.empty()) continue;  // none: an empty cell, never a zero
                const auto col = static_cast<lxw_col_t>(c);
                double value = 0;
                if (table.columns[c].number && number_of(text, value)) {
                    if (!ok(worksheet_write_number(sheet, row, col, value,
                                                   number_format(shown_format(table.columns[c].format, text)))))
                        return false;
                    widths[c] = std::max(widths[c], display_width(text));
                    continue;
                }
                const std::string shown = cell_text(text);
                const bool several_lines = shown.find('\n') != std::string::npos;
                if (!ok(worksheet_write_string(sheet, row, col, shown.c_str(), several_lines ? lines_ : nullptr)))
                    return false;
                widths[c] = std::max(widths[c], display_width(shown));
            }
        }
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const double width = std::clamp(static_cast<double>(widths[c]) + 2, kNarrowest, kWidest);
            if (!ok(worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), width, nullptr)))
                return false;
        }
        worksheet_freeze_panes(sheet, 1, 0);
        if (!header.empty() && !ok(worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(table.rows.size()),
                                                        static_cast<lxw_col_t>(header.size() - 1))))
            return false;
        return true;
    }

  private:
    lxw_format* number_format(const std::string& format) {
        if (format.empty()) return nullptr;
        auto [at, fresh] = formats_.emplace(format, nullptr);
        if (fresh) {
            at->second = workbook_add_format(book_);
            if (at->second) format_set_num_format(at->second, format.c_str());
        }
        return at->second;
    }
    bool ok(lxw_error result) { return result == LXW_NO_ERROR || failed(lxw_strerror(result)); }
    bool failed(const std::string& why) {
        error_ = "the workbook: " + why;
        return false;
    }

    lxw_workbook* book_;
    std::string& error_;
    lxw_format* header_ = nullptr;
    lxw_format* lines_ = nullptr;
    std::map<std::string, lxw_format*> formats_;
};

}  // namespace

std::size_t display_width(std::string_view text) {
    std::size_t widest = 0, width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (code == '\n') {
            widest = std::max(widest, width);
            width = 0;
            continue;
        }
        // Hangul, the CJK blocks, full-width forms and the supplementary ideographs take two columns.
        const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                          (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                          (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                          (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return std::max(widest, width);
}

bool write_lists_xlsx(const std::vector<ListTable>& tables, std::string& bytes, std::string& error) {
    TemporaryFile file;
    if (!file.make(error)) return false;
    {
        Workbook book(file.path());
        if (!book.get()) {
            error = "cannot start the workbook in " + file.path();
            return false;
        }
        lxw_doc_properties properties = {};
        properties.created = kCreated;
        workbook_set_properties(book.get(), &properties);
        SheetWriter writer(book.get(), error);
        for (const ListTable& table : tables)
            if (!writer.write(table)) return false;
        if (const lxw_error result = book.close(); result != LXW_NO_ERROR) {
            error = std::string("the workbook: ") + lxw_strerror(result);
            return false;
        }
    }
    std::ifstream in(file.path(), std::ios::binary);
    if (!in) {
        error = "cannot read back the workbook from " + file.path();
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace cadhost::setup
