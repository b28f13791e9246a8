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
    bool again = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->first != key) continue;
            kept_.splice(kept_.begin(), kept_, it);
            return kept_.front().second;
        }
        again = !asked_.insert(std::hash<std::string>{}(key)).second;
    }
    auto made = std::make_shared<const OwnStrokes>(make());
    std::lock_guard<std::mutex> lock(mutex_);
    ++made_;
    if (!again) return made;
    for (const auto& [kept_key, strokes] : kept_)
        if (kept_key == key) return strokes;  // another thread made them meanwhile
    kept_.emplace_front(key, made);
    if (kept_.size() > kKept) kept_.pop_back();
    return made;
}

long OwnStrokesStore::made() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return made_;
}

}  // namespace cadhost::drafting
