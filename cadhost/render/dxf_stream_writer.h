// dxflib's ASCII writer, aimed at a std::ostream instead of a file.
#ifndef CADHOST_RENDER_DXF_STREAM_WRITER_H
#define CADHOST_RENDER_DXF_STREAM_WRITER_H

#include <ostream>
#include <string>

#include <dl_writer_ascii.h>

namespace cadhost::render {

// dxflib's entity writers take a DL_WriterA, which owns a file stream. Its four output primitives are virtual, so this
// subclass overrides all of them and hands the base an empty file name: the base's file is never opened, nothing
// touches the disk, and the caller's stream gets every group.
class DxfStreamWriter : public DL_WriterA {
  public:
    DxfStreamWriter(std::ostream& out, DL_Codes::version version) : DL_WriterA("", version), out_(out) {}

    void dxfReal(int gc, double value) const override;
    void dxfInt(int gc, int value) const override;
    void dxfHex(int gc, int value) const override;
    void dxfString(int gc, const char* value) const override;
    void dxfString(int gc, const std::string& value) const override;

  private:
    void code(int gc) const;

    std::ostream& out_;
};

}  // namespace cadhost::render

#endif
