#include "cadhost/render/dxf_stream_writer.h"

#include <charconv>
#include <cmath>

namespace cadhost::render {

void DxfStreamWriter::code(int gc) const {
    // Group codes right-aligned in three columns, as DXF writers customarily do.
    if (gc < 10)
        out_ << "  ";
    else if (gc < 100)
        out_ << ' ';
    out_ << gc << '\n';
}

void DxfStreamWriter::dxfReal(int gc, double value) const {
    code(gc);
    if (!std::isfinite(value)) value = 0.0;  // a reader stops at "nan"; a zero keeps the rest of the file readable
    if (value == 0.0) value = 0.0;           // no "-0"
    // The shortest text that reads back as the same double: exact, and stable from run to run.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    out_ << text << '\n';
}

void DxfStreamWriter::dxfInt(int gc, int value) const {
    code(gc);
    out_ << value << '\n';
}

void DxfStreamWriter::dxfHex(int gc, int value) const {
    code(gc);
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<unsigned>(value), 16);
    for (char* c = buffer; c != result.ptr; ++c)
        if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    out_.write(buffer, result.ptr - buffer);
    out_ << '\n';
}

void DxfStreamWriter::dxfString(int gc, const char* value) const { dxfString(gc, std::string(value ? value : "")); }

void DxfStreamWriter::dxfString(int gc, const std::string& value) const {
    code(gc);
    // A line break inside a value would be read as the next group code.
    for (char c : value) out_ << (c == '\n' || c == '\r' ? ' ' : c);
    out_ << '\n';
}

}  // namespace cadhost::render
