// dxflib's ASCII writer, aimed at a std::ostream instead of a file.
#ifndef CADHOST_RENDER_DXF_STREAM_WRITER_H
#define CADHOST_RENDER_DXF_STREAM_WRITER_H

#include <ostream>
#include <string>
#include <string_view>

#include <dl_writer_ascii.h>

namespace cadhost::render {

// dxflib's entity writers take a DL_WriterA, which owns a file stream. Its four output primitives are virtual, so this
// subclass overrides all of them and hands the base an empty file name: the base's file is never opened, nothing
// touches the disk, and the caller's stream gets every group. A sheet's file has hundreds of thousands of groups, so
// they are collected in a buffer that goes to the stream in large pieces; flush() sends the rest, as destruction does.
class DxfStreamWriter : public DL_WriterA {
  public:
    DxfStreamWriter(std::ostream& out, DL_Codes::version version) : DL_WriterA("", version), out_(out) {}
    DxfStreamWriter(const DxfStreamWriter&) = delete;
    DxfStreamWriter& operator=(const DxfStreamWriter&) = delete;
    ~DxfStreamWriter() override { flush(); }

    void flush() const;

    void dxfReal(int gc, double value) const override;
    void dxfInt(int gc, int value) const override;
    void dxfHex(int gc, int value) const override;
    void dxfString(int gc, const char* value) const override;
    void dxfString(int gc, const std::string& value) const override;

  private:
    void dxfString(int gc, std::string_view value) const;
    void code(int gc) const;
    void line_end() const;

    std::ostream& out_;
    mutable std::string buffer_;  // dxflib's writers are const
};

}  // namespace cadhost::render

#endif
