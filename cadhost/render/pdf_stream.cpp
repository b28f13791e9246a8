#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cadhost/render/pdf_drawing.h"
#include "cadhost/render/pdf_page_streams.h"
#include "cadhost/render/pdf_writer.h"

namespace cadhost::render {

namespace {

// cairo hands over its document in small pieces; they are written to the file a megabyte at a time.
constexpr std::size_t kWriteChunk = 1 << 20;

bool write_all(int fd, const char* data, std::size_t size, int& failure) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure = n < 0 ? errno : EIO;
            return false;
        }
        data += n, size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies length bytes at `from` of the scratch file to the end of out, in the kernel where it can.
bool copy_range(int scratch, std::uint64_t from, std::size_t length, int out, int& failure) {
    auto offset = static_cast<off_t>(from);
    while (length > 0) {
        const ssize_t n = ::copy_file_range(scratch, &offset, out, nullptr, length, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) {
            length -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            failure = errno;
            return false;
        }
        break;  // no copy in the kernel between these files: through memory, a piece at a time
    }
    std::string buffer(std::min(length, kWriteChunk), '\0');
    while (length > 0) {
        const ssize_t n = ::pread(scratch, buffer.data(), std::min(length, buffer.size()), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure = n < 0 ? errno : EIO;
            return false;
        }
        if (!write_all(out, buffer.data(), static_cast<std::size_t>(n), failure)) return false;
        offset += n, length -= static_cast<std::size_t>(n);
    }
    return true;
}

// A file with no name in folder, gone with its descriptor.
int unnamed_file(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    std::string name = folder + "/.pdf-lines-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.c_str());
    return fd;
}

cairo_status_t keep(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

struct PdfStream::State {
    int fd;
    std::string scratch_folder;
    std::string title;
    int scratch = -1;
    std::uint64_t scratch_size = 0;
    std::vector<std::uint64_t> stream_at;    // where each page's packed line work lies in the scratch file
    std::vector<std::size_t> stream_length;  // and its length, 0 for none
    std::string pending;                     // cairo's bytes not yet written
    std::uint64_t size = 0;                  // the document's bytes so far
    int failure = 0;                         // the errno of the first refused write
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<PdfTextPainter> text_painter;
    bool finished = false;

    bool flush() {
        if (failure == 0 && !pending.empty()) write_all(fd, pending.data(), pending.size(), failure);
        pending.clear();
        return failure == 0;
    }

    // cairo 1.16 crashes finishing a document with an outline after its stream has refused a write: a refused write
    // is remembered, and cairo is told all is well.
    static cairo_status_t take(void* closure, const unsigned char* data, unsigned int length) {
        auto* state = static_cast<State*>(closure);
        state->size += length;
        if (state->failure != 0) return CAIRO_STATUS_SUCCESS;
        state->pending.append(reinterpret_cast<const char*>(data), length);
        if (state->pending.size() >= kWriteChunk) state->flush();
        return CAIRO_STATUS_SUCCESS;
    }

    std::string failed(const std::string& what) const {
        return "PDF output failed: " + what + (failure != 0 ? std::string(": ") + std::strerror(failure) : "");
    }
};

PdfStream::PdfStream(int fd, std::string scratch_folder, std::string title) : state_(std::make_unique<State>()) {
    state_->fd = fd;
    state_->scratch_folder = std::move(scratch_folder);
    state_->title = std::move(title);
}

PdfStream::~PdfStream() {
    if (state_->cr) {
        std::string ignored;
        close_pdf_surface(state_->surface, state_->cr, ignored);
    }
    if (state_->scratch >= 0) ::close(state_->scratch);
}

bool PdfStream::takes_packed_line_work() {
    static const bool takes = [] {
        std::string document;
        const SheetGraphics blank;
        cairo_surface_t* surface = open_pdf_surface(keep, &document, blank, "");
        cairo_t* cr = cairo_create(surface);
        const PdfTextPainter text_painter(cr);
        draw_pdf_page(surface, cr, text_painter, blank, 1, false);
        draw_pdf_page(surface, cr, text_painter, blank, 2, false);
        std::string error;
        std::vector<UpdatePiece> pieces;
        return close_pdf_surface(surface, cr, error) && page_streams_update(document, {1, 1}, pieces, error);
    }();
    return takes;
}

bool PdfStream::add_page(const SheetGraphics& sheet, const std::string* packed, std::string& error) {
    State& s = *state_;
    if (s.finished) {
        error = "PDF output failed: the document is complete";
        return false;
    }
    if (!usable_size(sheet)) {
        error = "sheet \"" + sheet.name + "\" has no usable size";
        return false;
    }
    if (!s.surface) {
        s.surface = open_pdf_surface(State::take, &s, sheet, s.title);
        s.cr = cairo_create(s.surface);
        s.text_painter = std::make_unique<PdfTextPainter>(s.cr);
    }
    const bool separate = packed && !packed->empty();
    if (separate) {
        if (s.scratch < 0 && (s.scratch = unnamed_file(s.scratch_folder)) < 0) {
            s.failure = errno;
            error = s.failed("no room for the line work in '" + s.scratch_folder + "'");
            return false;
        }
        if (!write_all(s.scratch, packed->data(), packed->size(), s.failure)) {
            error = s.failed("the line work could not be kept");
            return false;
        }
    }
    s.stream_at.push_back(s.scratch_size);
    s.stream_length.push_back(separate ? packed->size() : 0);
    if (separate) s.scratch_size += packed->size();
    draw_pdf_page(s.surface, s.cr, *s.text_painter, sheet, s.stream_at.size(), packed == nullptr);
    if (cairo_status(s.cr) != CAIRO_STATUS_SUCCESS) {
        error = std::string("PDF output failed: ") + cairo_status_to_string(cairo_status(s.cr));
        return false;
    }
    if (s.failure != 0) {
        error = s.failed("cannot write the document");
        return false;
    }
    return true;
}

bool PdfStream::finish(std::string& error) {
    State& s = *state_;
    if (s.finished || !s.surface) {
        error = s.finished ? "PDF output failed: the document is complete" : "no sheets to write";
        return false;
    }
    s.finished = true;
    const bool closed = close_pdf_surface(s.surface, s.cr, error);
    s.surface = nullptr, s.cr = nullptr;
    s.text_painter.reset();
    if (!closed) return false;
    if (!s.flush()) {
        error = s.failed("cannot write the document");
        return false;
    }
    // The pages cairo wrote are read back from the file for the update that adds the line work to them; only the
    // cross-reference table and the page objects are looked at.
    std::vector<UpdatePiece> pieces;
    void* mapped = ::mmap(nullptr, s.size, PROT_READ, MAP_SHARED, s.fd, 0);
    if (mapped == MAP_FAILED) {
        s.failure = errno;
        error = s.failed("cannot read the document back");
        return false;
    }
    std::string why;
    const bool planned =
        page_streams_update(std::string_view(static_cast<const char*>(mapped), s.size), s.stream_length, pieces, why);
    ::munmap(mapped, s.size);
    if (!planned) {
        error = "PDF output failed: " + why;
        return false;
    }
    for (const UpdatePiece& piece : pieces) {
        if (!write_all(s.fd, piece.text.data(), piece.text.size(), s.failure) ||
            (piece.page >= 0 && !copy_range(s.scratch, s.stream_at[static_cast<std::size_t>(piece.page)],
                                            s.stream_length[static_cast<std::size_t>(piece.page)], s.fd, s.failure))) {
            error = s.failed("cannot write the line work");
            return false;
        }
    }
    return true;
}

}  // namespace cadhost::render
