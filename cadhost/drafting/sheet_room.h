// Free room on a drawn sheet: where something added once the sheet is drawn (a label, a table) can stand without
// covering a text or a line, and where its own lines cross no text.
#ifndef CADHOST_DRAFTING_SHEET_ROOM_H
#define CADHOST_DRAFTING_SHEET_ROOM_H

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"
#include "cadhost/render/stroke_shapes.h"

namespace cadhost::drafting {

struct SheetBox {
    double x0, y0, x1, y1;
    bool overlaps(const SheetBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    SheetBox grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
    bool inside(const SheetBox& o) const { return x0 >= o.x0 && y0 >= o.y0 && x1 <= o.x1 && y1 <= o.y1; }
};

// The ink of a text as the sheet font draws it.
SheetBox ink_box(const render::Text& t);

// Whether the segment from a to b passes through the box.
bool segment_hits_box(render::Point2 a, render::Point2 b, const SheetBox& box);

// The area added texts may take: inside the template's border and above its title block where the sheet has one, else
// inside the paper; margin inside that.
SheetBox usable_area(const render::SheetGraphics& sheet, double margin);

// The boxes on the sheet of the drawing's views that show something, in the drawing's order.
struct SheetView {
    tag_t view;
    SheetBox box;
};
std::vector<SheetView> sheet_views(const Document& doc, tag_t drawing);

// The sheet's texts and strokes as they are when it is made, for asking whether a box is clear of them. The sheet
// must outlive it and keep its strokes unchanged meanwhile (add what is placed to the sheet afterwards); what is
// placed meanwhile is told with occupy, so that the next thing placed keeps clear of it too.
class SheetRoom {
  public:
    explicit SheetRoom(const render::SheetGraphics& sheet);

    bool hits_text(const SheetBox& box) const;
    bool hits_line(const SheetBox& box) const;
    // Whether the segment passes through a text grown by the clearance.
    bool line_hits_text(render::Point2 a, render::Point2 b, double clearance) const;
    void occupy(const SheetBox& box) { texts_.push_back(box); }

  private:
    const std::vector<render::Point2>& segments(std::size_t i) const;
    static long cell(double v);

    std::vector<SheetBox> texts_;
    std::vector<render::StrokeShape> shapes_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> cells_;
    mutable std::vector<std::optional<std::vector<render::Point2>>>
        segments_;                          // pairs of ends, divided when first near
    mutable std::vector<unsigned> looked_;  // the query that last looked at each stroke
    mutable unsigned query_ = 0;
};

}  // namespace cadhost::drafting

#endif
