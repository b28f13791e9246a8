#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "cadhost/render/stroke_paths.h"

namespace cadhost::render {
namespace {

// Which of two lines over each other is seen: continuous over broken, then heavier over lighter. Between equals the
// later one, which outputs draw on top.
int strength(const Stroke& stroke) {
    return (stroke.pattern == LinePattern::Continuous ? 8 : 0) + static_cast<int>(stroke.weight);
}

// Points far off any sheet, or not numbers at all, are a fault upstream that the writers deal with; such a line is left
// as it is rather than allowed to stretch the grid below over half the number line.
bool drawable(const std::vector<Point2>& points) {
    return std::all_of(points.begin(), points.end(), [](const Point2& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e7 && std::fabs(p.y) < 1e7;
    });
}

struct Segment {
    Point2 a, b;
    std::size_t line = 0;
};

// The segments of one layer, filed by the square cells of a grid they pass within the tolerance of, so that the
// segments near one are found without looking at all the others.
class SegmentGrid {
  public:
    explicit SegmentGrid(const std::vector<Segment>& segments) : segments_(segments) {
        double x1 = -1e300, y1 = -1e300;
        x0_ = y0_ = 1e300;
        for (const Segment& s : segments) {
            for (const Point2* p : {&s.a, &s.b}) {
                x0_ = std::min(x0_, p->x), y0_ = std::min(y0_, p->y);
                x1 = std::max(x1, p->x), y1 = std::max(y1, p->y);
            }
        }
        x0_ -= 2 * kOverdrawTolerance, y0_ -= 2 * kOverdrawTolerance;
        const double width = x1 - x0_ + 2 * kOverdrawTolerance, height = y1 - y0_ + 2 * kOverdrawTolerance;
        // About two segments to a cell on average, within bounds that keep the grid small.
        cell_ = std::clamp(std::sqrt(width * height / static_cast<double>(segments.size() + 1)) * 1.5, 0.2, 50.0);
        while ((width / cell_ + 1) * (height / cell_ + 1) > 4e6) cell_ *= 2;
        columns_ = static_cast<long>(width / cell_) + 1;
        rows_ = static_cast<long>(height / cell_) + 1;
        std::vector<std::pair<long, std::uint32_t>> entries;
        for (std::size_t i = 0; i < segments.size(); ++i)
            cells(segments[i], [&](long cell) { entries.emplace_back(cell, static_cast<std::uint32_t>(i)); });
        std::sort(entries.begin(), entries.end());
        starts_.assign(static_cast<std::size_t>(columns_ * rows_ + 1), 0);
        for (const auto& entry : entries) ++starts_[static_cast<std::size_t>(entry.first) + 1];
        for (std::size_t i = 1; i < starts_.size(); ++i) starts_[i] += starts_[i - 1];
        filed_.reserve(entries.size());
        for (const auto& entry : entries) filed_.push_back(entry.second);
        seen_.assign(segments.size(), 0);
    }

    // Calls f once with each segment that shares a cell with s.
    template <class F>
    void near(const Segment& s, F f) {
        ++stamp_;
        cells(s, [&](long cell) {
            for (std::uint32_t k = starts_[static_cast<std::size_t>(cell)];
                 k < starts_[static_cast<std::size_t>(cell) + 1]; ++k) {
                const std::uint32_t other = filed_[k];
                if (seen_[other] == stamp_) continue;
                seen_[other] = stamp_;
                f(segments_[other]);
            }
        });
    }

  private:
    // The cells within the tolerance of the segment, column by column: in each, the rows the segment spans there.
    template <class F>
    void cells(const Segment& s, F f) const {
        const double r = kOverdrawTolerance;
        const double left = std::min(s.a.x, s.b.x) - r, right = std::max(s.a.x, s.b.x) + r;
        const long c0 = column(left), c1 = column(right);
        const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
        for (long c = c0; c <= c1; ++c) {
            double lo = std::min(s.a.y, s.b.y), hi = std::max(s.a.y, s.b.y);
            if (std::fabs(dx) > 1e-12) {
                const double from = std::max(left, x0_ + c * cell_), to = std::min(right, x0_ + (c + 1) * cell_);
                const double t0 = std::clamp((from - s.a.x) / dx, 0.0, 1.0),
                             t1 = std::clamp((to - s.a.x) / dx, 0.0, 1.0);
                lo = std::min(s.a.y + t0 * dy, s.a.y + t1 * dy), hi = std::max(s.a.y + t0 * dy, s.a.y + t1 * dy);
            }
            for (long w = row(lo - r); w <= row(hi + r); ++w) f(w * columns_ + c);
        }
    }

    long column(double x) const { return std::clamp(static_cast<long>((x - x0_) / cell_), 0L, columns_ - 1); }
    long row(double y) const { return std::clamp(static_cast<long>((y - y0_) / cell_), 0L, rows_ - 1); }

    const std::vector<Segment>& segments_;
    double x0_ = 0, y0_ = 0, cell_ = 1;
    long columns_ = 1, rows_ = 1;
    std::vector<std::uint32_t> starts_, filed_, seen_;
    std::uint32_t stamp_ = 0;
};

double distance_to_line(const Point2& p, const Point2& a, const Point2& b, double length) {
    return std::fabs((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / length;
}

// The stretches of the segment (as fractions of it) no stronger line covers, longer than the tolerance.
std::vector<std::pair<double, double>> uncovered(const Segment& s, const std::vector<Segment>& over) {
    const double length = std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
    if (length <= kOverdrawTolerance) {
        // A mere dot is gone when a stronger line passes over both its ends.
        for (const Segment& o : over) {
            const double l = std::hypot(o.b.x - o.a.x, o.b.y - o.a.y);
            if (l > kOverdrawTolerance && distance_to_line(s.a, o.a, o.b, l) <= kOverdrawTolerance &&
                distance_to_line(s.b, o.a, o.b, l) <= kOverdrawTolerance) {
                const double ta = ((s.a.x - o.a.x) * (o.b.x - o.a.x) + (s.a.y - o.a.y) * (o.b.y - o.a.y)) / (l * l);
                const double tb = ((s.b.x - o.a.x) * (o.b.x - o.a.x) + (s.b.y - o.a.y) * (o.b.y - o.a.y)) / (l * l);
                const double slack = kOverdrawTolerance / l;
                if (ta >= -slack && ta <= 1 + slack && tb >= -slack && tb <= 1 + slack) return {};
            }
        }
        return {{0.0, 1.0}};
    }
    std::vector<std::pair<double, double>> covered;
    for (const Segment& o : over) {
        if (distance_to_line(o.a, s.a, s.b, length) > kOverdrawTolerance ||
            distance_to_line(o.b, s.a, s.b, length) > kOverdrawTolerance)
            continue;
        const double ux = (s.b.x - s.a.x) / length, uy = (s.b.y - s.a.y) / length;
        double t0 = ((o.a.x - s.a.x) * ux + (o.a.y - s.a.y) * uy) / length;
        double t1 = ((o.b.x - s.a.x) * ux + (o.b.y - s.a.y) * uy) / length;
        if (t0 > t1) std::swap(t0, t1);
        t0 = std::max(t0, 0.0), t1 = std::min(t1, 1.0);
        if (t1 > t0) covered.emplace_back(t0, t1);
    }
    if (covered.empty()) return {{0.0, 1.0}};
    std::sort(covered.begin(), covered.end());
    const double gap = kOverdrawTolerance / length;  // a sliver left between two cover nothing worth a stroke
    std::vector<std::pair<double, double>> open;
    double at = 0.0;
    for (const auto& [from, to] : covered) {
        if (from - at > gap) open.emplace_back(at, from);
        at = std::max(at, to);
    }
    if (1.0 - at > gap) open.emplace_back(at, 1.0);
    return open;
}

Point2 along(const Segment& s, double t) { return {s.a.x + t * (s.b.x - s.a.x), s.a.y + t * (s.b.y - s.a.y)}; }

double length_of(const std::vector<Point2>& points) {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    return length;
}

// The polylines of one layer (by index into all), less what stronger ones draw over; the polylines kept whole are
// marked in whole, the pieces of the others are returned by the index of the polyline they come from.
void remove_from_layer(const std::vector<Polyline>& all, const std::vector<std::size_t>& layer,
                       std::vector<char>& whole, std::multimap<std::size_t, Polyline>& pieces) {
    // The order of strength: the index in `rank` of each polyline of the layer.
    std::vector<std::size_t> order(layer.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return strength(all[layer[x]].stroke) < strength(all[layer[y]].stroke);
    });
    std::vector<std::size_t> rank(layer.size());
    for (std::size_t i = 0; i < order.size(); ++i) rank[order[i]] = i;

    std::vector<Segment> segments;
    std::vector<std::size_t> first_segment(layer.size() + 1);
    for (std::size_t i = 0; i < layer.size(); ++i) {
        first_segment[i] = segments.size();
        const Polyline& p = all[layer[i]];
        for (std::size_t k = 1; k < p.points.size(); ++k) segments.push_back({p.points[k - 1], p.points[k], i});
        if (p.closed && p.points.size() > 2) segments.push_back({p.points.back(), p.points.front(), i});
    }
    first_segment[layer.size()] = segments.size();
    if (segments.empty()) return;
    SegmentGrid grid(segments);

    std::vector<Segment> over;
    // What is left of each segment of a polyline, as spans of its length: the spans of segment k are
    // spans[span_start[k]] up to spans[span_start[k + 1]]. Most segments lie under nothing and keep one whole span.
    std::vector<std::pair<double, double>> spans;
    std::vector<std::size_t> span_start;
    for (std::size_t i = 0; i < layer.size(); ++i) {
        spans.clear();
        span_start.clear();
        bool lost = false;
        for (std::size_t k = first_segment[i]; k < first_segment[i + 1]; ++k) {
            span_start.push_back(spans.size());
            over.clear();
            grid.near(segments[k], [&](const Segment& o) {
                if (o.line != i && rank[o.line] > rank[i]) over.push_back(o);
            });
            if (over.empty()) {
                spans.emplace_back(0.0, 1.0);
                continue;
            }
            const auto left = uncovered(segments[k], over);
            lost = lost || left.size() != 1 || left[0] != std::make_pair(0.0, 1.0);
            spans.insert(spans.end(), left.begin(), left.end());
        }
        span_start.push_back(spans.size());
        if (!lost) continue;
        const Polyline& source = all[layer[i]];
        // A dashed or chain line's dashes run on from its start: cut, each piece would start them afresh and the
        // dashes would fall elsewhere. Such a line goes only when nothing of it is left.
        const bool gone = spans.empty();
        if (source.stroke.pattern != LinePattern::Continuous && !gone) continue;
        whole[layer[i]] = 0;
        Polyline piece{{}, false, source.stroke, source.layer};
        auto flush = [&] {
            if (piece.points.size() >= 2 && length_of(piece.points) > kOverdrawTolerance)
                pieces.emplace(layer[i], piece);
            piece.points.clear();
        };
        for (std::size_t k = 0; k + 1 < span_start.size(); ++k) {
            const Segment& s = segments[first_segment[i] + k];
            for (std::size_t at = span_start[k]; at < span_start[k + 1]; ++at) {
                const auto [from, to] = spans[at];
                if (from > 0.0 || piece.points.empty()) {
                    flush();
                    piece.points.push_back(along(s, from));
                }
                piece.points.push_back(along(s, to));
                if (to < 1.0) flush();
            }
            if (span_start[k] == span_start[k + 1]) flush();
        }
        flush();
    }
}

}  // namespace

void remove_overdrawn(SheetGraphics& sheet) {
    std::map<std::string, std::vector<std::size_t>> layers;
    for (std::size_t i = 0; i < sheet.polylines.size(); ++i)
        if (drawable(sheet.polylines[i].points)) layers[sheet.polylines[i].layer].push_back(i);
    std::vector<char> whole(sheet.polylines.size(), 1);
    std::multimap<std::size_t, Polyline> pieces;
    for (const auto& [name, members] : layers) remove_from_layer(sheet.polylines, members, whole, pieces);
    std::vector<Polyline> kept;
    kept.reserve(sheet.polylines.size());
    for (std::size_t i = 0; i < sheet.polylines.size(); ++i) {
        if (whole[i]) {
            kept.push_back(std::move(sheet.polylines[i]));
            continue;
        }
        const auto [from, to] = pieces.equal_range(i);
        for (auto it = from; it != to; ++it) kept.push_back(std::move(it->second));
    }
    sheet.polylines = std::move(kept);

    remove_overdrawn_curves(sheet);
}

}  // namespace cadhost::render
