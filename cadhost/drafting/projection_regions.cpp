#include "cadhost/drafting/projection_regions.h"

#include <algorithm>
#include <cmath>

namespace cadhost::drafting {

namespace {

// Overlaps are grown a little so that an edge lying on a box's border is inside, whichever way rounding goes.
constexpr double kMargin = 0.01;

// The part of the segment from a to b (parameter 0 to 1) inside the box; false when none.
bool clip(const Point2d& a, const Point2d& b, const Box2& box, double& t0, double& t1) {
    t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.x0, box.x1 - a.x, a.y - box.y0, box.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 < t1 || (t0 == t1 && dx == 0.0 && dy == 0.0);
}

Point2d at(const Point2d& a, const Point2d& b, double t) {
    if (t <= 0.0) return a;
    if (t >= 1.0) return b;
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

}  // namespace

void Box2::merge(const Box2& o) {
    if (o.empty) return;
    if (empty) {
        *this = o;
        return;
    }
    x0 = std::min(x0, o.x0), y0 = std::min(y0, o.y0);
    x1 = std::max(x1, o.x1), y1 = std::max(y1, o.y1);
}

std::vector<Box2> overlap_regions(const std::vector<Box2>& boxes) {
    std::vector<Box2> regions;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            if (!boxes[i].overlaps(boxes[j])) continue;
            const Box2& a = boxes[i];
            const Box2& b = boxes[j];
            regions.push_back(Box2{std::max(a.x0, b.x0) - kMargin, std::max(a.y0, b.y0) - kMargin,
                                   std::min(a.x1, b.x1) + kMargin, std::min(a.y1, b.y1) + kMargin, false});
        }
    }
    // Merge until no two overlap: a merged box can reach a third one.
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < regions.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < regions.size(); ++j) {
                if (!regions[i].overlaps(regions[j])) continue;
                regions[i].merge(regions[j]);
                regions.erase(regions.begin() + static_cast<std::ptrdiff_t>(j));
                merged = true;
                break;
            }
        }
    }
    return regions;
}

bool reaches(const Box2& box, const std::vector<Box2>& regions) {
    return std::any_of(regions.begin(), regions.end(), [&](const Box2& r) { return r.overlaps(box); });
}

bool reaches_regions(const Polyline2d& line, const std::vector<Box2>& regions) {
    if (line.empty() || regions.empty()) return false;
    Box2 box{line.front().x, line.front().y, line.front().x, line.front().y, false};
    for (const Point2d& p : line) {
        box.x0 = std::min(box.x0, p.x), box.y0 = std::min(box.y0, p.y);
        box.x1 = std::max(box.x1, p.x), box.y1 = std::max(box.y1, p.y);
    }
    return reaches(box, regions);
}

void split_by_regions(const Polyline2d& line, const std::vector<Box2>& regions,
                      const std::function<void(int region, Polyline2d piece)>& emit) {
    if (line.size() < 2) return;
    if (!reaches_regions(line, regions)) {
        emit(-1, line);
        return;
    }
    Polyline2d piece;
    int owner = -2;
    auto extend = [&](int region, const Point2d& from, const Point2d& to) {
        if (region != owner) {
            if (piece.size() >= 2) emit(owner, std::move(piece));
            piece.clear();
            piece.push_back(from);
            owner = region;
        }
        piece.push_back(to);
    };
    struct Span {
        double t0, t1;
        int region;
    };
    std::vector<Span> spans;
    for (std::size_t k = 0; k + 1 < line.size(); ++k) {
        const Point2d &a = line[k], &b = line[k + 1];
        spans.clear();
        for (std::size_t r = 0; r < regions.size(); ++r) {
            double t0, t1;
            if (clip(a, b, regions[r], t0, t1)) spans.push_back({t0, t1, static_cast<int>(r)});
        }
        std::sort(spans.begin(), spans.end(), [](const Span& x, const Span& y) { return x.t0 < y.t0; });
        double t = 0.0;
        for (const Span& s : spans) {
            if (s.t0 > t) extend(-1, at(a, b, t), at(a, b, s.t0));
            extend(s.region, at(a, b, std::max(t, s.t0)), at(a, b, s.t1));
            t = std::max(t, s.t1);
        }
        if (t < 1.0) extend(-1, at(a, b, t), b);
    }
    if (piece.size() >= 2) emit(owner, std::move(piece));
}

}  // namespace cadhost::drafting
