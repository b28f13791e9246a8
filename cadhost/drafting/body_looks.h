// Which body a projected line of a view belongs to, for views that show bodies with a colour or width of their own.
// A view's bodies are projected together and their edges merged; each body's own projection (kept by the projection
// store, so found rather than made again) tells which of the merged lines are its.
#ifndef CADHOST_DRAFTING_BODY_LOOKS_H
#define CADHOST_DRAFTING_BODY_LOOKS_H

#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

class BodyLooks {
  public:
    // The bodies the view shows, as projection_of lists them.
    BodyLooks(const std::vector<const Object*>& bodies, const ViewOrientation& orientation,
              const ProjectionOptions& options);

    // Whether any body shown has a colour or a width of its own; when none has, every line keeps the view's stroke.
    bool any() const { return !styled_.empty(); }

    // The stroke of a line drawn as `stroke` by default: in the ink and width of the body it lies on. A line that lies
    // on several bodies' edges takes the look of the thickest of them, then of the one shown last. Hidden lines keep
    // their thin width and take the ink only.
    render::Stroke stroke_of(const ProjectedLine& line, const render::Stroke& stroke, bool hidden) const;

  private:
    struct Styled {
        const Object* body = nullptr;
        double cell = 1.0;  // grid cell size, view mm
        std::map<std::pair<long, long>, std::vector<std::pair<Point2d, Point2d>>> grid;
    };
    bool lies_on(const Styled& styled, Point2d point) const;

    std::vector<Styled> styled_;  // in the order their looks win
    double tolerance_ = 0.0;
};

// The bodies a view shows, in the order it projects them.
std::vector<const Object*> shown_bodies(const Document& doc, const DrawingViewData& view);

// The point halfway along a polyline's length.
Point2d middle_of(const Polyline2d& line);

}  // namespace cadhost::drafting

#endif
