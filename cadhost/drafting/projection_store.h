// Projections kept for the life of the process and, through the part file, from one export to the next. A projection
// is found by a key that names the geometry of what was projected and the direction it was seen from, so a body that
// has not changed is never projected twice and a changed body never finds an old answer.
#ifndef CADHOST_DRAFTING_PROJECTION_STORE_H
#define CADHOST_DRAFTING_PROJECTION_STORE_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "cadhost/drafting/hlr_projection.h"

namespace cadhost::drafting {

// The digest of a shape's geometry, placement included: equal for equal shapes in any process, different as soon as
// a face or the placement differs. 32 hex digits.
std::string shape_digest(const TopoDS_Shape& shape);

// The bytes of projected edges as kept in a part file, and back. decode_edges refuses bytes it cannot read whole.
std::string encode_edges(const ProjectedEdges& edges);
bool decode_edges(const std::string& bytes, ProjectedEdges& edges);

class ProjectionStore {
  public:
    // The store every drawing of this process uses.
    static ProjectionStore& shared();

    // The projection kept under key, else compute()'s answer, kept from now on. Asked from several threads for the
    // same key at once, compute() runs once and the others wait for its answer.
    std::shared_ptr<const ProjectedEdges> get(const std::string& key, const std::function<ProjectedEdges()>& compute);

    // Whether the store has the projection kept under key (read from a part file or computed), without decoding it.
    // A key it has counts as asked for, as when get() finds it.
    bool holds(const std::string& key);

    // A projection read from a part file; it is decoded when first asked for. Bytes that do not decode are
    // forgotten, and the projection is computed again when asked for.
    void add_kept(const std::string& key, std::string bytes);

    // A projection kept in a part file under key, whose bytes source gives when it is asked for; they are not held
    // afterwards. Bytes source does not give, or that do not decode, are computed again as above.
    using KeptSource = std::function<bool(const std::string& key, std::string& bytes)>;
    void set_kept_source(KeptSource source);
    void add_kept_key(const std::string& key);

    // The projections computed since the store was cleared, encoded, and the keys asked for since then.
    std::vector<std::pair<std::string, std::string>> computed_since_clear() const;
    std::set<std::string> used_since_clear() const;

    // Forgets everything: a new part is being drawn.
    void clear();

    // How many projections were computed rather than found, for tests and benchmarks.
    long computed() const;

  private:
    // A projection is kept in its encoded form, a fraction of the size of the decoded one; the decoded one lives while
    // some view being drawn holds it, and is decoded again when asked for after that. So a large mould's projections,
    // most of which only one sheet shows, do not stay decoded for the rest of the process.
    struct Entry {
        std::string bytes;  // encoded: read from a part file, or computed here
        std::weak_ptr<const ProjectedEdges> edges;
        std::shared_ptr<const ProjectedEdges> held;  // an answer its encoded form would not give back
        bool computed_here = false;
        bool busy = false;  // being computed or decoded by some thread
        bool asked_before = false;
        bool in_source = false;  // its bytes are read from the kept source when asked for
    };
    // Keeps a projection decoded a while after it was asked for again: the core is seen from the same few directions
    // on sheet after sheet, and decoding it anew for each would be much of a sheet's drawing.
    void keep_recent(const std::shared_ptr<const ProjectedEdges>& edges);
    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::map<std::string, Entry> entries_;
    std::set<std::string> used_;
    std::deque<std::shared_ptr<const ProjectedEdges>> recent_;
    std::shared_ptr<const KeptSource> source_;
    long computed_ = 0;
};

}  // namespace cadhost::drafting

#endif
