#include "cadhost/drafting/view_frame.h"

#include <algorithm>
#include <array>
#include <climits>
#include <tuple>
#include <map>
#include <mutex>

#include <BRepBndLib.hxx>
#include <Bnd_Box.hxx>
#include <TopLoc_Location.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

#include "cadhost/geometry/queries.h"
#include "host/uf_draw.h"

namespace cadhost::drafting {

namespace {

bool is_view_content(const Object& object) {
    switch (object.type) {
        case UF_point_type:
        case UF_line_type:
        case UF_circle_type:
        case UF_spline_type:
            return true;
        case UF_solid_type:
            return object.subtype == UF_solid_body_subtype;
        default:
            return false;
    }
}

gp_Trsf to_view(const ViewOrientation& o) {
    gp_Trsf t;
    t.SetTransformation(gp_Ax3(gp::Origin(), o.toward_eye, o.right));
    return t;
}

// The exact 2D box of a shape in a view orientation. Measuring a body exactly costs far more than a look-up, and the
// same bodies are measured in the same orientations sheet after sheet, so answers are kept.
bool measure(const TopoDS_Shape& shape, const ViewOrientation& o, double out[4]) {
    TopoDS_Shape moved = shape.Moved(TopLoc_Location(to_view(o)));
    double b[6] = {0, 0, 0, 0, 0, 0};
    const bool ok = geometry::exact_box(moved, b);
    out[0] = b[0], out[1] = b[1], out[2] = b[3], out[3] = b[4];
    return ok;
}

class ShapeBoxCache {
  public:
    bool box(const TopoDS_Shape& shape, const ViewOrientation& o, double out[4]) {
        Key key{shape.TShape().get(),
                shape.Location().HashCode(INT_MAX),
                shape.Orientation(),
                {o.right.X(), o.right.Y(), o.right.Z(), o.up.X(), o.up.Y(), o.up.Z()}};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = boxes_.find(key);
            if (it != boxes_.end() && it->second.shape.IsEqual(shape)) {
                std::copy(it->second.box, it->second.box + 4, out);
                return it->second.ok;
            }
        }
        Entry entry;
        entry.shape = shape;  // held so the pointer in the key cannot be reused by another shape
        entry.ok = measure(shape, o, entry.box);
        std::copy(entry.box, entry.box + 4, out);
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_[key] = entry;
        return entry.ok;
    }

    std::size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_.size();
    }

  private:
    struct Key {
        const void* tshape;
        int location;
        int orientation;
        std::array<double, 6> axes;
        bool operator<(const Key& other) const {
            return std::tie(tshape, location, orientation, axes) <
                   std::tie(other.tshape, other.location, other.orientation, other.axes);
        }
    };
    struct Entry {
        TopoDS_Shape shape;
        double box[4] = {0, 0, 0, 0};
        bool ok = false;
    };
    std::mutex mutex_;
    std::map<Key, Entry> boxes_;
};

ShapeBoxCache& shape_boxes() {
    static ShapeBoxCache cache;
    return cache;
}

void merge(Extent2& e, double x0, double y0, double x1, double y1) {
    if (e.empty) {
        e = Extent2{x0, y0, x1, y1, false};
        return;
    }
    e.xmin = std::min(e.xmin, x0), e.ymin = std::min(e.ymin, y0);
    e.xmax = std::max(e.xmax, x1), e.ymax = std::max(e.ymax, y1);
}

}  // namespace

std::vector<tag_t> shown_objects(const Document& doc, const DrawingViewData& view) {
    std::vector<tag_t> shown;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        if (layer - 1 >= static_cast<int>(view.layers.size()) || !view.layers[layer - 1]) continue;
        for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(layer, tag)) {
            const Object* object = doc.find(tag);
            if (!is_view_content(*object) || object->blank_status == UF_OBJ_BLANKED || object->drawing != NULL_TAG)
                continue;
            if (std::find(view.erased.begin(), view.erased.end(), tag) != view.erased.end()) continue;
            shown.push_back(tag);
        }
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

std::size_t shape_boxes_kept() { return shape_boxes().size(); }

Extent2 view_extent(const Document& doc, const DrawingViewData& view) {
    Extent2 extent;
    const ViewOrientation& o = view.orientation;
    for (tag_t tag : shown_objects(doc, view)) {
        const Object* object = doc.find(tag);
        if (const auto* point = object->as<PointData>()) {
            double x = point->point.XYZ().Dot(o.right.XYZ()), y = point->point.XYZ().Dot(o.up.XYZ());
            merge(extent, x, y, x, y);
            continue;
        }
        // A body's shape is the same from call to call and its box is kept; a curve's edge is made afresh on each
        // call, so a box kept for it would never be found again, and the kept boxes would grow with every view drawn.
        const TopoDS_Shape shape = doc.shape_of(tag);
        double box[4];
        if (!shape.IsNull()) {
            if (shape_boxes().box(shape, o, box)) merge(extent, box[0], box[1], box[2], box[3]);
        } else if (const TopoDS_Shape edge = geometry::curve_edge(*object); !edge.IsNull() && measure(edge, o, box)) {
            merge(extent, box[0], box[1], box[2], box[3]);
        }
    }
    return extent;
}

ViewOrientation child_orientation(const ViewOrientation& p, int direction) {
    switch (direction) {
        case UF_DRAW_project_below:
            return {p.right, p.toward_eye, p.up.Reversed()};
        case UF_DRAW_project_above:
            return {p.right, p.toward_eye.Reversed(), p.up};
        case UF_DRAW_project_right:
            return {p.toward_eye.Reversed(), p.up, p.right};
        case UF_DRAW_project_left:
            return {p.toward_eye, p.up, p.right.Reversed()};
        default:
            return p;
    }
}

namespace {

Placement placed_anew(const Document& doc, tag_t view_tag) {
    Placement out;
    const Object* object = doc.find(view_tag);
    const auto* view = object ? object->as<DrawingViewData>() : nullptr;
    if (!view) return out;
    out.orientation = view->orientation;
    out.extent = view_extent(doc, *view);
    out.cx = out.extent.cx();
    out.cy = out.extent.cy();
    out.scale = view->scale;
    out.ref_x = view->ref_x;
    out.ref_y = view->ref_y;
    const Object* parent_object = view->parent ? doc.find(view->parent) : nullptr;
    if (parent_object && parent_object->as<DrawingViewData>()) {
        Placement parent = placement(doc, view->parent);
        out.scale = parent.scale;
        // The child shares one sheet axis with its parent point for point; only the other axis is its own.
        if (view->projection == UF_DRAW_project_below || view->projection == UF_DRAW_project_above)
            out.ref_x = parent.sheet_x(out.cx);
        else
            out.ref_y = parent.sheet_y(out.cy);
    }
    return out;
}

}  // namespace

namespace {
thread_local PlacementScope* current_scope = nullptr;
}

PlacementScope::PlacementScope(const Document& doc) : doc_(doc), outer_(current_scope) { current_scope = this; }

PlacementScope::~PlacementScope() { current_scope = outer_; }

Placement placement(const Document& doc, tag_t view_tag) {
    PlacementScope* scope = current_scope && &current_scope->doc_ == &doc ? current_scope : nullptr;
    if (scope) {
        const auto found = scope->kept_.find(view_tag);
        if (found != scope->kept_.end()) return found->second;
    }
    Placement out = placed_anew(doc, view_tag);
    if (scope) scope->kept_.emplace(view_tag, out);
    return out;
}

}  // namespace cadhost::drafting
