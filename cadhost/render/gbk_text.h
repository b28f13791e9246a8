// UTF-8 to the GBK code page (ANSI_936) that DXF files of Chinese drawings carry their strings in.
#ifndef CADHOST_RENDER_GBK_TEXT_H
#define CADHOST_RENDER_GBK_TEXT_H

#include <string>

namespace cadhost::render {

// Characters GBK lacks, and the few whose GBK codes some readers cannot decode, are written as DXF's \U+XXXX escape
// rather than dropped, so no text is lost; bytes that are not valid UTF-8 become '?'. Returns false (with out empty)
// only when the system has no GBK converter.
bool utf8_to_gbk(const std::string& utf8, std::string& out);

}  // namespace cadhost::render

#endif
