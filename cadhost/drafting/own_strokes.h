// A body's own lines in a view as a sheet draws them: placed, in their strokes, tidied, each stroke with its box. The
// sheets of a large mould show its core the same way sheet after sheet; its strokes are made for one and kept for the
// next, which only cuts them where its electrode overlaps the core.
#ifndef CADHOST_DRAFTING_OWN_STROKES_H
#define CADHOST_DRAFTING_OWN_STROKES_H

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "cadhost/drafting/projection_regions.h"
#include "cadhost/drafting/recent_map.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

struct OwnStrokes {
    render::SheetGraphics strokes;  // polylines, arcs, ellipses and splines on no layer: a view puts them on its own
    std::vector<Box2> polyline_boxes, arc_boxes, ellipse_boxes, spline_boxes;  // one for each stroke, in its order

    // Works out the boxes of the strokes as they now are.
    void measure();
};

// Keeps the strokes of the views most recently drawn again: a key asked for the first time is made and not kept, as
// most views (an electrode's own) are drawn once. Safe to share between threads; two threads that ask for the same
// strokes at once may both make them.
class OwnStrokesStore {
  public:
    // A mould's core is seen in a dozen ways or so: from above and below, from the sides, at an angle.
    static constexpr std::size_t kKept = 12;

    static OwnStrokesStore& shared();

    std::shared_ptr<const OwnStrokes> get(const std::string& key, const std::function<OwnStrokes()>& make);

    // How many times strokes were made, for tests.
    long made() const;

  private:
    RecentMap<std::shared_ptr<const OwnStrokes>> kept_{kKept};
    mutable std::mutex mutex_;
    std::unordered_set<std::size_t> asked_;  // keys' hashes: a clash only keeps what need not be kept
    long made_ = 0;
};

}  // namespace cadhost::drafting

#endif
