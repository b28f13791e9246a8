// The import form as it arrives, a piece at a time: each file goes straight to disk, into a staging folder of the
// upload's own under the root and a folder of its field's own there, so that no two files of one upload, nor two
// uploads, can take each other's place; the other fields are short texts and are kept. However an upload arrives
// (with its length given or in chunks), it is refused once it passes the limit, and the server holds no more of it
// in memory than a piece.
#ifndef CADHOST_SERVE_UPLOAD_FORM_H
#define CADHOST_SERVE_UPLOAD_FORM_H

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace httplib {
struct Request;
class ContentReader;
}  // namespace httplib

namespace cadhost::serve {

class UploadForm {
  public:
    // Makes the staging folder under root; ok() tells whether it could.
    explicit UploadForm(const std::filesystem::path& root);
    // Removes the staging folder with everything in it.
    ~UploadForm();
    UploadForm(const UploadForm&) = delete;
    UploadForm& operator=(const UploadForm&) = delete;
    bool ok() const { return made_; }

    // Reads the request's form; false with the HTTP status and the reason when it is no form, passes max_bytes or
    // cannot be written.
    bool receive(const httplib::Request& req, const httplib::ContentReader& reader, std::size_t max_bytes, int& status,
                 std::string& why);

    // A file field: where it was written ("" when it was not sent or is empty) and the name the browser gave it.
    std::string file(const std::string& field) const;
    std::string file_name(const std::string& field) const;
    // A text field's value, "" when it was not sent.
    std::string text(const std::string& field) const;

  private:
    struct Field {
        std::string file_name;
        std::filesystem::path path;  // empty for a text field
        std::string text;
        std::size_t bytes = 0;
    };
    bool start_field(const std::string& name, const std::string& file_name, std::string& why);
    bool add(const char* data, std::size_t size, std::string& why);

    std::filesystem::path dir_;
    bool made_ = false;
    std::map<std::string, Field> fields_;
    Field* current_ = nullptr;  // the field being received; null for one given twice, which is dropped
    std::ofstream out_;
    std::size_t received_ = 0, texts_ = 0;
    int files_ = 0;
    bool too_long_ = false;
};

}  // namespace cadhost::serve

#endif
