// Draws sheets as one PDF document, a page per sheet at true size.
#ifndef CADHOST_RENDER_PDF_WRITER_H
#define CADHOST_RENDER_PDF_WRITER_H

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// Vector output through cairo; texts are real text set with pango in the sheet font, so they can be searched and
// copied, and only the glyphs used are embedded. Returns false with a reason when there is nothing to draw, a sheet
// has no area, or cairo or the stream fails; the stream may then hold a partial document. The document is titled
// `title` (the part's name); each page is labelled with its sheet's name and has a bookmark of that name, so a reader
// finds a sheet by name among many.
bool write_pdf(const std::vector<SheetGraphics>& sheets, std::ostream& out, std::string& error,
               const std::string& title = "");

// The same for sheets held elsewhere, which a large export need not copy; none of the pointers may be null.
bool write_pdf_pages(const std::vector<const SheetGraphics*>& sheets, std::ostream& out, std::string& error,
                     const std::string& title = "");

// A sheet's line work packed as the PDF carries it beside cairo's page (a deflated content stream), which takes the
// most time of a page; made on any thread, ahead of the page. Empty for a sheet without lines; false when it cannot
// be packed, and cairo then draws the page's lines itself.
bool pack_line_work(const SheetGraphics& sheet, std::string& packed);

// The same document as write_pdf_pages, written to a file page by page as the sheets come, so that no sheet need be
// kept once its page is added: cairo's pages go out as it makes them, the packed line work waits in an unnamed file
// beside the output, and finish() appends it with the pages that refer to it.
class PdfStream {
  public:
    // fd: an empty file open for reading and writing, which the stream writes and reads back but does not close;
    // scratch_folder holds the unnamed file (the output's own folder, where there is room for the output).
    PdfStream(int fd, std::string scratch_folder, std::string title);
    PdfStream(const PdfStream&) = delete;
    PdfStream& operator=(const PdfStream&) = delete;
    ~PdfStream();

    // Whether pages should be given packed line work: false when cairo lays out its documents in a way the packed
    // streams cannot be added to, and draws every page's lines itself.
    static bool takes_packed_line_work();

    // Adds the next page. packed: pack_line_work's bytes for the sheet, or null to have cairo draw its lines. False
    // with a reason when the sheet has no usable size or the document has failed.
    bool add_page(const SheetGraphics& sheet, const std::string* packed, std::string& error);

    // Completes the document; false with a reason when it or the file failed. Nothing may be added after.
    bool finish(std::string& error);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace cadhost::render

#endif
