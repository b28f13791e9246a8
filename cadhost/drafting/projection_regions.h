// Where projected bodies may hide each other: the overlaps of their boxes in the view plane, and the pieces of a
// projected line inside and outside those places.
#ifndef CADHOST_DRAFTING_PROJECTION_REGIONS_H
#define CADHOST_DRAFTING_PROJECTION_REGIONS_H

#include <functional>
#include <vector>

#include "cadhost/drafting/hlr_projection.h"

namespace cadhost::drafting {

// A box in the view plane; boxes that only touch overlap.
struct Box2 {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
    bool empty = true;
    bool overlaps(const Box2& o) const {
        return !empty && !o.empty && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
    }
    bool contains(double x, double y) const { return !empty && x0 <= x && x <= x1 && y0 <= y && y <= y1; }
    void merge(const Box2& o);
};

// The places where two of the boxes overlap, each grown by a margin, with places that overlap one another merged into
// one: the answer's boxes are apart from each other. Every point that lies in two of the boxes lies in one of them.
std::vector<Box2> overlap_regions(const std::vector<Box2>& boxes);

// Whether the box touches one of the regions.
bool reaches(const Box2& box, const std::vector<Box2>& regions);

// Whether the line's box touches one of the regions: a line that does not lies outside them all, whole.
bool reaches_regions(const Polyline2d& line, const std::vector<Box2>& regions);

// Cuts a line where it crosses the regions' borders (the regions must be apart) and hands each piece on with the
// index of the region it lies in, or -1 outside them all. Pieces that meet at a border share the point there.
void split_by_regions(const Polyline2d& line, const std::vector<Box2>& regions,
                      const std::function<void(int region, Polyline2d piece)>& emit);

}  // namespace cadhost::drafting

#endif
