// Every conversion between the host interface and the host's own types happens here: the guard that turns exceptions
// into status codes, the look-up of the displayed part, and the typed resolution of tags.
#ifndef CADHOST_API_BOUNDARY_H
#define CADHOST_API_BOUNDARY_H

#include <exception>
#include <new>

#include <Standard_Failure.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Pnt.hxx>

#include "cadhost/document/document.h"
#include "cadhost/document/utf8_text.h"
#include "cadhost/session/session.h"
#include "host/uf_status.h"

namespace cadhost::api {

// Runs a host operation and returns its status; nothing thrown inside ever reaches the caller.
template <class F>
int guarded(F&& operation) noexcept {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return UF_err_no_memory;
    } catch (const Standard_Failure&) {
        return UF_err_geometry;
    } catch (...) {
        return UF_err_internal;
    }
}

// Runs an operation on the displayed part; the interface must be open and a part displayed.
template <class F>
int with_part(F&& operation) noexcept {
    return guarded([&]() -> int {
        Session& session = Session::instance();
        if (session.open_count() == 0) return UF_err_not_initialized;
        Part* part = session.display_part();
        if (!part) return UF_err_no_part;
        return operation(*part, part->document);
    });
}

// Typed views of a tag: each resolves only when the tag names an object of that kind.
struct BodyRef {
    tag_t tag = NULL_TAG;
    const Object* object = nullptr;
    const BodyData* body = nullptr;
};
struct FaceRef {
    tag_t tag = NULL_TAG;
    tag_t body = NULL_TAG;
    TopoDS_Face face;
};
struct EdgeRef {
    tag_t tag = NULL_TAG;
    tag_t body = NULL_TAG;
    TopoDS_Edge edge;
};

int resolve(const Document& doc, tag_t tag, BodyRef& out);
int resolve(const Document& doc, tag_t tag, FaceRef& out);
// An edge of a body, or a free curve seen as an edge.
int resolve(const Document& doc, tag_t tag, EdgeRef& out);

inline void to_c(const gp_Pnt& p, double out[3]) {
    out[0] = p.X();
    out[1] = p.Y();
    out[2] = p.Z();
}
// Numbers from the caller must be finite before they reach the document: a NaN or an infinity stored in a part
// spreads into every result computed from it and into the part file.
inline bool finite(const double* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!(values[i] - values[i] == 0.0)) return false;  // false for NaN and for both infinities
    return true;
}

inline gp_Pnt from_c(const double in[3]) { return gp_Pnt(in[0], in[1], in[2]); }

// Copies text into a caller's buffer of `size` bytes; false (and an empty text) when it does not fit.
bool copy_text(const std::string& text, char* out, std::size_t size);
// A host-allocated copy of the text, for the caller to release with UF_free.
char* host_strdup(const std::string& text);

}  // namespace cadhost::api

#endif
