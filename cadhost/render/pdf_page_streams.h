// Puts content streams made outside cairo on the pages of a document cairo finished, as an update appended to the
// file: new stream objects, each page written anew with the extra stream ahead of its own, a cross-reference section
// for them and a trailer pointing back at the original one. Readers apply such an update as if the file had been
// written with it.
#ifndef CADHOST_RENDER_PDF_PAGE_STREAMS_H
#define CADHOST_RENDER_PDF_PAGE_STREAMS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::render {

// Adds deflated[i] (a FlateDecode stream, or empty for none) ahead of the contents of the document's page i, in
// page order. The added stream must leave the graphics state as it found it. Returns false with a reason, and the
// document untouched, when the document is not laid out as expected (a cross-reference table at "startxref", one flat
// page tree of deflated.size() pages, each page with /Contents): the caller then draws the document another way.
bool prepend_page_streams(std::string& document, const std::vector<std::string>& deflated, std::string& error);

// The same update for streams kept elsewhere (a document written to a file as it was made), known here only by their
// lengths: written after the document, in order, each piece's text and then, when it names one, the bytes of page
// `page`'s stream. False with a reason as above, and no pieces.
struct UpdatePiece {
    std::string text;
    long page = -1;
};
bool page_streams_update(std::string_view document, const std::vector<std::size_t>& lengths,
                         std::vector<UpdatePiece>& pieces, std::string& error);

}  // namespace cadhost::render

#endif
