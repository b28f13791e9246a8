// A view's projection in the parts a sheet draws one by one: each body's own lines whole, which the sheet cuts outside
// the overlaps itself, and the lines inside the overlaps, where the bodies hide each other. What a sheet makes of a
// body's own lines then depends on nothing but the body and the view, and can serve the next sheet that shows the body
// the same way.
#ifndef CADHOST_DRAFTING_PROJECTION_PARTS_H
#define CADHOST_DRAFTING_PROJECTION_PARTS_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/projection_regions.h"

namespace cadhost::drafting {

// A body's projection on its own, as the view sees it; only the part of it outside the overlaps belongs to the view.
struct OwnLines {
    std::size_t body = 0;                   // its place among the bodies given
    std::string key;                        // names the lines: the body's geometry, the view's orientation, options
    std::function<ProjectedEdges()> lines;  // found in the projection store or made, turned to the view
};

struct ProjectionParts {
    std::vector<OwnLines> own;                     // the bodies not wholly inside an overlap, in the order given
    std::vector<Box2> overlaps;                    // view coordinates, apart from each other
    std::shared_ptr<const ProjectedEdges> inside;  // the lines inside the overlaps; null when there are none
};

// The same drawing as project_bodies, once the own lines are cut outside the overlaps and the lines drawn twice go.
ProjectionParts projection_parts(const std::vector<TopoDS_Shape>& bodies, const ViewOrientation& orientation,
                                 const ProjectionOptions& options);

}  // namespace cadhost::drafting

#endif
