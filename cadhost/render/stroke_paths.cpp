#include "cadhost/render/stroke_paths.h"

#include "cadhost/render/line_style.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace cadhost::render {
namespace {

bool meets(const Point2& a, const Point2& b) { return std::hypot(a.x - b.x, a.y - b.y) <= kJoinTolerance; }

double length_of(const std::vector<Point2>& points) {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    return length;
}

// The ends of a group's polylines, filed by the square of side kJoinTolerance they fall in: an end near a point is in
// that point's square or one of its eight neighbours.
class EndIndex {
  public:
    void add(const Point2& p, std::size_t line, bool at_start) {
        squares_[key(square(p.x), square(p.y))].push_back({line, at_start});
    }

    // An end of an unused polyline at p that `fits`: its line and whether it is that line's start; false when there
    // is none.
    template <class Fits>
    bool take(const Point2& p, const std::vector<Polyline>& lines, std::vector<char>& used, std::size_t& line,
              bool& at_start, Fits fits) const {
        const long x = square(p.x), y = square(p.y);
        for (long dx = -1; dx <= 1; ++dx) {
            for (long dy = -1; dy <= 1; ++dy) {
                const auto found = squares_.find(key(x + dx, y + dy));
                if (found == squares_.end()) continue;
                for (const End& end : found->second) {
                    if (used[end.line]) continue;
                    const Polyline& other = lines[end.line];
                    if (!meets(p, end.at_start ? other.points.front() : other.points.back()) || !fits(other)) continue;
                    used[end.line] = 1;
                    line = end.line, at_start = end.at_start;
                    return true;
                }
            }
        }
        return false;
    }

  private:
    struct End {
        std::size_t line;
        bool at_start;
    };
    static long square(double v) { return static_cast<long>(std::floor(v / kJoinTolerance)); }
    static std::uint64_t key(long x, long y) {
        return (static_cast<std::uint64_t>(x) << 32) ^ (static_cast<std::uint64_t>(y) & 0xFFFFFFFFu);
    }
    std::unordered_map<std::uint64_t, std::vector<End>> squares_;
};

// Whether b lies on the straight way from a to c, so that dropping it changes nothing drawn.
bool on_the_way(const Point2& a, const Point2& b, const Point2& c) {
    const double dx = c.x - a.x, dy = c.y - a.y, length = std::hypot(dx, dy);
    if (length <= kJoinTolerance) return false;
    const double t = ((b.x - a.x) * dx + (b.y - a.y) * dy) / (length * length);
    return t > 0.0 && t < 1.0 && std::fabs(dx * (b.y - a.y) - dy * (b.x - a.x)) / length <= kJoinTolerance / 10;
}

void drop_straight_points(Polyline& line) {
    std::vector<Point2>& p = line.points;
    std::vector<Point2> kept;
    kept.reserve(p.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (!kept.empty() && i + 1 < p.size() && on_the_way(kept.back(), p[i], p[i + 1])) continue;
        kept.push_back(p[i]);
    }
    // Round a closed line the first point is a joint like any other.
    if (line.closed && kept.size() > 3 && on_the_way(kept.back(), kept.front(), kept[1])) kept.erase(kept.begin());
    p = std::move(kept);
}

// Joins the group's polylines (indices into lines, in drawing order); the joined ones are left in lines[first], the
// others emptied.
void join_group(std::vector<Polyline>& lines, const std::vector<std::size_t>& group) {
    std::vector<Polyline> pieces;
    pieces.reserve(group.size());
    for (std::size_t i : group) pieces.push_back(std::move(lines[i]));
    EndIndex ends;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        ends.add(pieces[k].points.front(), k, true);
        ends.add(pieces[k].points.back(), k, false);
    }
    std::vector<char> used(pieces.size(), 0);
    // A dashed or chain line's dashes start afresh at each stroke; pieces are joined only while the whole stays
    // within the first dash, so that it is drawn as one dash, as each piece was. A group has one stroke.
    const std::vector<double> dashes = pieces.empty() ? std::vector<double>{} : dash_pattern_mm(pieces[0].stroke);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (used[k]) continue;
        used[k] = 1;
        std::vector<Point2> chain = std::move(pieces[k].points);
        double length = dashes.empty() ? 0.0 : length_of(chain);
        auto fits = [&](const Polyline& more) {
            return dashes.empty() || length + length_of(more.points) <= dashes[0];
        };
        // Takes on, at the end of `to`, the unused polylines that continue it, until none does or the chain closes.
        auto extend = [&](std::vector<Point2>& to) {
            std::size_t next = 0;
            bool at_start = false;
            const bool forward = &to == &chain;
            while (!(to.size() >= (forward ? 3u : 2u) && meets(to.back(), forward ? chain.front() : chain.back()))) {
                if (!ends.take(to.back(), pieces, used, next, at_start, fits)) return;
                std::vector<Point2>& more = pieces[next].points;
                if (!dashes.empty()) length += length_of(more);
                if (!at_start) std::reverse(more.begin(), more.end());
                to.insert(to.end(), more.begin() + 1, more.end());
                more.clear();
            }
        };
        extend(chain);
        if (!(chain.size() >= 3 && meets(chain.front(), chain.back()))) {
            // Then backwards from the start: what continues it there comes before it.
            std::vector<Point2> head{chain.front()};
            extend(head);
            if (head.size() > 1) {
                std::reverse(head.begin(), head.end());
                head.insert(head.end(), chain.begin() + 1, chain.end());
                chain = std::move(head);
            }
        }
        Polyline joined{std::move(chain), false, pieces[k].stroke, std::move(pieces[k].layer)};
        if (joined.points.size() >= 4 && meets(joined.points.front(), joined.points.back())) {
            joined.points.pop_back();
            joined.closed = true;
        }
        drop_straight_points(joined);
        lines[group[k]] = std::move(joined);
    }
}

}  // namespace

void join_strokes(SheetGraphics& sheet) {
    using Key = std::tuple<std::string, int, int, std::uint32_t>;
    std::map<Key, std::vector<std::size_t>> groups;
    for (std::size_t i = 0; i < sheet.polylines.size(); ++i) {
        const Polyline& p = sheet.polylines[i];
        const bool finite = std::all_of(p.points.begin(), p.points.end(), [](const Point2& q) {
            return std::isfinite(q.x) && std::isfinite(q.y) && std::fabs(q.x) < 1e7 && std::fabs(q.y) < 1e7;
        });
        if (p.closed || p.points.size() < 2 || !finite) continue;
        groups[{p.layer, static_cast<int>(p.stroke.weight), static_cast<int>(p.stroke.pattern), p.stroke.ink}]
            .push_back(i);
    }
    for (const auto& [key, group] : groups) join_group(sheet.polylines, group);
    std::erase_if(sheet.polylines, [](const Polyline& p) { return p.points.empty(); });
}

void tidy_strokes(SheetGraphics& sheet) {
    join_curve_pieces(sheet);
    remove_overdrawn(sheet);
    join_strokes(sheet);
}

}  // namespace cadhost::render
