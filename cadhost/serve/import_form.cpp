#include "cadhost/serve/import_form.h"

#include <algorithm>
#include <cctype>

namespace cadhost::serve {

namespace {

// Encoding names are short words of letters, digits and a few marks ("GB18030", "CP1251", "ISO-8859-2", "SHIFT_JIS");
// whether the system knows the name, the command says.
bool looks_like_encoding(const std::string& name) {
    return !name.empty() && name.size() <= 40 && std::isalnum(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == ':'; });
}

}  // namespace

bool import_form_options(const std::function<std::string(const std::string&)>& field, std::vector<std::string>& args,
                         std::string& error) {
    const std::string keep_going = field("keep_going"), names = field("names"), encoding = field("name_encoding");
    if (!keep_going.empty() && keep_going != "1") {
        error = "'keep_going' is 1 or nothing";
        return false;
    }
    if (!names.empty() && names != "auto" && names != "product" && names != "body") {
        error = "'names' is auto, product or body";
        return false;
    }
    if (!encoding.empty() && !looks_like_encoding(encoding)) {
        error = "'name_encoding' is no encoding's name (such as GB18030, CP1251 or ISO-8859-2)";
        return false;
    }
    if (keep_going == "1") args.push_back("--keep-going");
    if (!names.empty()) args.insert(args.end(), {"--names", names});
    if (!encoding.empty()) args.insert(args.end(), {"--name-encoding", encoding});
    return true;
}

}  // namespace cadhost::serve
