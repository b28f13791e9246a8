// A small reader of the XML a workbook is made of: elements, attributes and text one at a time, names without their
// namespace prefix. It expands the five predefined entities and character references and refuses document type
// declarations (and with them any entity of the file's own), so that its work stays linear in the text it reads.
#ifndef CADHOST_SETUP_XML_SCAN_H
#define CADHOST_SETUP_XML_SCAN_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cadhost::setup {

class XmlScan {
  public:
    enum class Item { open, close, text, end, error };

    // A byte-order mark ahead of the text is passed over.
    explicit XmlScan(std::string_view text) : text_(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text) {}

    // The next item. An element written <a/> comes as open, then close. After error, error() says what and where.
    Item next();

    // Of the last open or close: the element's name without its prefix.
    const std::string& name() const { return name_; }
    // Of the last open: the attribute's value ("" when it has none), by its name without prefix.
    std::string attribute(std::string_view local_name) const;
    // Of the last text: the characters, references expanded.
    const std::string& text() const { return value_; }
    int depth() const { return static_cast<int>(open_.size()); }
    const std::string& error() const { return error_; }

  private:
    Item fail(const std::string& why);
    bool expand(std::string_view raw, std::string& out);
    Item markup();

    std::string_view text_;
    std::size_t at_ = 0;
    std::string name_, value_, error_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<std::string> open_;
    bool pending_close_ = false;
};

}  // namespace cadhost::setup

#endif
