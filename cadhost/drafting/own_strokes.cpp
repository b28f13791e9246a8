#include "cadhost/drafting/own_strokes.h"

#include "cadhost/drafting/stroke_cutting.h"

namespace cadhost::drafting {

void OwnStrokes::measure() {
    auto boxes = [](const auto& shapes, std::vector<Box2>& into) {
        into.clear();
        into.reserve(shapes.size());
        for (const auto& shape : shapes) into.push_back(box_of(shape));
    };
    boxes(strokes.polylines, polyline_boxes);
    boxes(strokes.arcs, arc_boxes);
    boxes(strokes.ellipses, ellipse_boxes);
    boxes(strokes.splines, spline_boxes);
}

OwnStrokesStore& OwnStrokesStore::shared() {
    static OwnStrokesStore store;
    return store;
}

std::shared_ptr<const OwnStrokes> OwnStrokesStore::get(const std::string& key,
                                                       const std::function<OwnStrokes()>& make) {
    if (auto kept = kept_.find(key)) return *kept;
    bool again = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        again = !asked_.insert(std::hash<std::string>{}(key)).second;
    }
    auto made = std::make_shared<const OwnStrokes>(make());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++made_;
    }
    return again ? kept_.put(key, std::move(made)) : made;
}

long OwnStrokesStore::made() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return made_;
}

}  // namespace cadhost::drafting
