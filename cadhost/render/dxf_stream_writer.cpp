#include "cadhost/render/dxf_stream_writer.h"

#include <charconv>
#include <cmath>

namespace cadhost::render {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

}  // namespace

void DxfStreamWriter::flush() const {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

void DxfStreamWriter::line_end() const {
    buffer_ += '\n';
    if (buffer_.size() >= kBufferSize) flush();
}

void DxfStreamWriter::code(int gc) const {
    // Group codes right-aligned in three columns, as DXF writers customarily do.
    if (gc < 10)
        buffer_ += "  ";
    else if (gc < 100)
        buffer_ += ' ';
    buffer_ += std::to_string(gc);
    buffer_ += '\n';
}

void DxfStreamWriter::dxfReal(int gc, double value) const {
    code(gc);
    if (!std::isfinite(value)) value = 0.0;  // a reader stops at "nan"; a zero keeps the rest of the file readable
    if (value == 0.0) value = 0.0;           // no "-0"
    // The shortest text that reads back as the same double: exact, and stable from run to run.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    buffer_ += text;
    if (text.find_first_of(".e") == std::string_view::npos) buffer_ += ".0";
    line_end();
}

void DxfStreamWriter::dxfInt(int gc, int value) const {
    code(gc);
    buffer_ += std::to_string(value);
    line_end();
}

void DxfStreamWriter::dxfHex(int gc, int value) const {
    code(gc);
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned>(value), 16);
    for (char* c = buffer; c != result.ptr; ++c)
        if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    buffer_.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
    line_end();
}

void DxfStreamWriter::dxfString(int gc, const char* value) const {
    dxfString(gc, std::string_view(value ? value : ""));
}

void DxfStreamWriter::dxfString(int gc, const std::string& value) const { dxfString(gc, std::string_view(value)); }

void DxfStreamWriter::dxfString(int gc, std::string_view value) const {
    code(gc);
    // A line break inside a value would be read as the next group code.
    const std::size_t start = buffer_.size();
    buffer_ += value;
    for (std::size_t i = start; i < buffer_.size(); ++i)
        if (buffer_[i] == '\n' || buffer_[i] == '\r') buffer_[i] = ' ';
    line_end();
}

}  // namespace cadhost::render
