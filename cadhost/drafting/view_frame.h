// Where things land on a sheet: which objects a drawing view shows, the extent of that content in the view's
// orientation, and the mapping of model points to sheet points that the renderer and the host interface share.
#ifndef CADHOST_DRAFTING_VIEW_FRAME_H
#define CADHOST_DRAFTING_VIEW_FRAME_H

#include <cstddef>
#include <map>
#include <vector>

#include <gp_Pnt.hxx>

#include "cadhost/document/document.h"

namespace cadhost::drafting {

// The objects a drawing view shows: bodies, curves and points on layers the view shows, not blanked, not erased from
// it, and not members of a sheet.
std::vector<tag_t> shown_objects(const Document& doc, const DrawingViewData& view);

// The box of the shown objects in view coordinates (x along the view's right, y along its up).
struct Extent2 {
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
    bool empty = true;
    double cx() const { return empty ? 0.0 : (xmin + xmax) / 2; }
    double cy() const { return empty ? 0.0 : (ymin + ymax) / 2; }
};
Extent2 view_extent(const Document& doc, const DrawingViewData& view);
// How many shapes' boxes view_extent keeps, for tests: bodies' only, so it does not grow as views are drawn again.
std::size_t shape_boxes_kept();

// A view placed on its sheet: scale, orientation, and the sheet point of the extent's centre. A child view takes its
// parent's scale and shares its sheet x (views above or below) or y (views left or right) for every model point.
struct Placement {
    ViewOrientation orientation;
    double scale = 1.0;
    double ref_x = 0.0, ref_y = 0.0;  // where the extent's centre lands
    double cx = 0.0, cy = 0.0;        // the extent's centre in view coordinates
    Extent2 extent;

    double view_x(const gp_Pnt& p) const { return p.XYZ().Dot(orientation.right.XYZ()); }
    double view_y(const gp_Pnt& p) const { return p.XYZ().Dot(orientation.up.XYZ()); }
    double sheet_x(double vx) const { return ref_x + scale * (vx - cx); }
    double sheet_y(double vy) const { return ref_y + scale * (vy - cy); }
    void map(const gp_Pnt& p, double out[2]) const {
        out[0] = sheet_x(view_x(p));
        out[1] = sheet_y(view_y(p));
    }
};
Placement placement(const Document& doc, tag_t view);

// While one lives on a thread, that thread's placements of the document's views are worked out once and kept: a
// sheet asks for its views' placements for every point it dimensions, and nothing of the part changes while the sheet
// is drawn. Scopes nest; a placement in another document is not kept.
class PlacementScope {
  public:
    explicit PlacementScope(const Document& doc);
    ~PlacementScope();
    PlacementScope(const PlacementScope&) = delete;
    PlacementScope& operator=(const PlacementScope&) = delete;

  private:
    friend Placement placement(const Document& doc, tag_t view);
    const Document& doc_;
    std::map<tag_t, Placement> kept_;
    PlacementScope* outer_;
};

// The orientation of a child view projected from a parent in a direction (host/uf_draw.h), third-angle.
ViewOrientation child_orientation(const ViewOrientation& parent, int direction);

}  // namespace cadhost::drafting

#endif
