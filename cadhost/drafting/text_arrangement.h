// Keeps the texts of a sheet readable: after the annotations are placed where their makers put them, a value or label
// whose text would lie on another text, be crossed by a line, or leave the sheet is moved the way its kind allows (an
// ordinate along its margin on a dogleg, a linear value along its dimension line and, failing that, with its line
// further out, a label along its leader) to the nearest place where it is clear. Texts that collide with nothing stay
// exactly where they were put; what a dimension measures never changes, only where its value is written.
#ifndef CADHOST_DRAFTING_TEXT_ARRANGEMENT_H
#define CADHOST_DRAFTING_TEXT_ARRANGEMENT_H

#include <functional>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct Segment {
    render::Point2 a, b;
};

// The sheet box of a text's ink, measured with the sheet font.
Box text_box(const render::Text& text);
// The straight pieces of everything a sheet fragment strokes (curves divided finely enough to find crossings).
std::vector<Segment> stroke_segments(const render::SheetGraphics& piece);
// Whether a segment enters the box grown by margin on every side (a negative margin shrinks it).
bool crosses(const Segment& s, const Box& box, double margin);
bool overlaps(const Box& a, const Box& b, double margin);

// One annotation of a sheet in the arrangement: where it stands now and what it draws there.
struct SheetItem {
    tag_t tag = NULL_TAG;
    bool movable = false;  // dimensions and labels; notes stay where they were put
    AnnotationData placed;
    render::SheetGraphics drawn;
    bool moved = false;
};

using DrawAnnotation = std::function<render::SheetGraphics(const AnnotationData&)>;

// Moves the movable items, in their order, whose text collides with a text placed before it (or a fixed one), with a
// line of the sheet or any annotation, or with the sheet's edge. fixed holds what never moves: the views' edges, the
// sheet's own curves; texts among the items that do not move (notes) count as fixed texts.
// A moved value also keeps out of the boxes of views other than the one it measures in (views), so that it is not
// read as belonging to them.
struct ViewBox {
    tag_t view = NULL_TAG;
    Box box;
};
void arrange_texts(const Document& doc, const render::SheetGraphics& fixed, const std::vector<ViewBox>& views,
                   std::vector<SheetItem>& items, const DrawAnnotation& draw);

}  // namespace cadhost::drafting

#endif
