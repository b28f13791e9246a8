#include "cadhost/serve/upload_form.h"

#include <httplib.h>

#include "cadhost/serve/access_token.h"
#include "cadhost/serve/path_guard.h"

namespace cadhost::serve {

namespace fs = std::filesystem;

namespace {

// The form's texts (a part's name, ticks) are short; a text field is no way to send a file. The form has a handful
// of fields.
constexpr std::size_t kLongestTexts = 64 << 10;
constexpr std::size_t kMostFields = 32;

}  // namespace

UploadForm::UploadForm(const fs::path& root) : dir_(root / (".quillon-upload-" + new_token())) {
    std::error_code ec;
    made_ = fs::create_directory(dir_, ec) && !ec;
}

UploadForm::~UploadForm() {
    out_.close();
    std::error_code ec;
    if (made_) fs::remove_all(dir_, ec);
}

bool UploadForm::start_field(const std::string& name, const std::string& file_name, std::string& why) {
    if (out_.is_open()) {
        out_.close();
        if (out_.fail()) {
            why = "cannot write an upload into the staging folder";
            return false;
        }
    }
    current_ = nullptr;
    if (fields_.size() >= kMostFields) {
        why = "the form has more than " + std::to_string(kMostFields) + " fields";
        too_long_ = true;
        return false;
    }
    auto [at, fresh] = fields_.emplace(name, Field{});
    if (!fresh) return true;
    current_ = &at->second;
    current_->file_name = file_name;
    if (file_name.empty()) return true;
    // The browser's name is kept for the file (the import's messages name it), in a folder of the field's own.
    const fs::path folder = dir_ / std::to_string(++files_);
    std::string leaf = safe_file_name(file_name);
    if (leaf.empty()) leaf = "upload";
    std::error_code ec;
    fs::create_directory(folder, ec);
    current_->path = folder / leaf;
    out_.open(current_->path, std::ios::binary);
    if (!out_) {
        why = "cannot write an upload into the staging folder";
        return false;
    }
    return true;
}

bool UploadForm::add(const char* data, std::size_t size, std::string& why) {
    if (!current_) return true;
    current_->bytes += size;
    if (current_->path.empty()) {
        texts_ += size;
        if (texts_ > kLongestTexts) {
            why = "the form's text fields are longer than " + std::to_string(kLongestTexts) + " bytes";
            too_long_ = true;
            return false;
        }
        current_->text.append(data, size);
        return true;
    }
    out_.write(data, static_cast<std::streamsize>(size));
    if (!out_) why = "cannot write an upload into the staging folder";
    return static_cast<bool>(out_);
}

bool UploadForm::receive(const httplib::Request& req, const httplib::ContentReader& reader, std::size_t max_bytes,
                         int& status, std::string& why) {
    if (!req.is_multipart_form_data()) {
        status = 400;
        why = "send the import as a form (multipart/form-data)";
        return false;
    }
    // A length given up front is judged before anything is read; one that comes in chunks, as it arrives.
    bool too_large = req.get_header_value<std::uint64_t>("Content-Length") > max_bytes;
    const bool read =
        !too_large &&
        reader([&](const httplib::MultipartFormData& field) { return start_field(field.name, field.filename, why); },
               [&](const char* data, std::size_t size) {
                   received_ += size;
                   if (received_ > max_bytes) {
                       too_large = true;
                       return false;
                   }
                   return add(data, size, why);
               });
    if (out_.is_open()) out_.close();
    if (too_large) {
        status = 413;
        why = "the upload is larger than " + std::to_string(max_bytes >> 20) + " MB (--max-upload)";
        return false;
    }
    if (!read || !why.empty() || out_.fail()) {
        status = too_long_ ? 413 : why.empty() ? 400 : 500;
        if (why.empty()) why = "the form did not arrive whole";
        return false;
    }
    return true;
}

std::string UploadForm::file(const std::string& field) const {
    const auto it = fields_.find(field);
    return it == fields_.end() || it->second.path.empty() || it->second.bytes == 0 ? std::string()
                                                                                   : it->second.path.string();
}

std::string UploadForm::file_name(const std::string& field) const {
    const auto it = fields_.find(field);
    return it == fields_.end() ? std::string() : it->second.file_name;
}

std::string UploadForm::text(const std::string& field) const {
    const auto it = fields_.find(field);
    return it == fields_.end() ? std::string() : it->second.text;
}

}  // namespace cadhost::serve
