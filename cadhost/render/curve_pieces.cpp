#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "cadhost/render/line_style.h"
#include "cadhost/render/stroke_paths.h"

namespace cadhost::render {
namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;

// An arc or an elliptic arc as one kind of curve: centre + major cos t + minor sin t, t from start over sweep, the
// minor axis the major turned a quarter anticlockwise and shortened by ratio. A circle's major is its radius along x.
struct Conic {
    Point2 centre;
    Point2 major;
    double ratio = 1.0;
    double start = 0.0;  // within [0, 2 pi)
    double sweep = 0.0;  // up to a whole turn
    Stroke stroke;
    std::string layer;
    bool circle = false;
    std::size_t index = 0;  // among the sheet's arcs or ellipses, for the order of the output

    double reach() const { return std::hypot(major.x, major.y); }
    bool full() const { return sweep >= kTurn - kJoinTolerance / std::max(reach(), 1e-9); }
};

bool finite(double v) { return std::isfinite(v) && std::fabs(v) < 1e7; }

double within_turn(double t) {
    t = std::fmod(t, kTurn);
    return t < 0.0 ? t + kTurn : t;
}

// The conic with its start in [0, 2 pi) and, for an ellipse, the major axis pointing right (or up), so that the two
// ways of giving one ellipse compare equal; false when its numbers describe no curve.
bool normalised(Conic& c, double from, double to) {
    if (!finite(c.centre.x) || !finite(c.centre.y) || !finite(c.major.x) || !finite(c.major.y) || !finite(from) ||
        !finite(to) || !(c.reach() > 0.0) || !(c.ratio > 0.0 && c.ratio <= 1.0))
        return false;
    if (!c.circle && (c.major.x < 0.0 || (c.major.x == 0.0 && c.major.y < 0.0))) {
        c.major = {-c.major.x, -c.major.y};
        from += std::numbers::pi, to += std::numbers::pi;
    }
    c.sweep = std::min(to - from, kTurn);
    if (!(c.sweep > 0.0)) return false;
    c.start = within_turn(from);
    return true;
}

std::vector<Conic> conics_of(const SheetGraphics& sheet, bool circles) {
    std::vector<Conic> out;
    if (circles) {
        for (std::size_t i = 0; i < sheet.arcs.size(); ++i) {
            const Arc& a = sheet.arcs[i];
            Conic c{a.center, {a.radius, 0.0}, 1.0, 0.0, 0.0, a.stroke, a.layer, true, i};
            if (normalised(c, a.start_angle, a.end_angle)) out.push_back(c);
        }
    } else {
        for (std::size_t i = 0; i < sheet.ellipses.size(); ++i) {
            const Ellipse& e = sheet.ellipses[i];
            Conic c{e.center, e.major, e.ratio, 0.0, 0.0, e.stroke, e.layer, false, i};
            if (normalised(c, e.start_param, e.end_param)) out.push_back(c);
        }
    }
    return out;
}

bool same_curve(const Conic& a, const Conic& b, double tolerance) {
    return a.layer == b.layer && std::hypot(a.centre.x - b.centre.x, a.centre.y - b.centre.y) <= tolerance &&
           std::hypot(a.major.x - b.major.x, a.major.y - b.major.y) <= tolerance &&
           std::fabs(a.ratio - b.ratio) * a.reach() <= tolerance;
}

bool same_stroke(const Stroke& a, const Stroke& b) {
    return a.weight == b.weight && a.pattern == b.pattern && a.ink == b.ink;
}

// Whether parameter t lies on c, with slack either side.
bool covers(const Conic& c, double t, double slack) {
    if (c.full()) return true;
    const double offset = within_turn(t - c.start);
    return offset <= c.sweep + slack || offset >= kTurn - slack;
}

int strength(const Stroke& stroke) {
    return (stroke.pattern == LinePattern::Continuous ? 8 : 0) + static_cast<int>(stroke.weight);
}

// The pieces of one curve and stroke, by start, as the fewest arcs: pieces that meet or overlap become one. Dashes
// start afresh at each piece, so dashed and chain pieces become one only while it is no longer than the first dash
// (the major semi-axis times the sweep bounds the length), which draws it as one dash, as each piece was.
std::vector<Conic> merged(std::vector<Conic> pieces) {
    std::sort(pieces.begin(), pieces.end(), [](const Conic& a, const Conic& b) { return a.start < b.start; });
    const double gap = kJoinTolerance / pieces.front().reach();
    const std::vector<double> dashes = dash_pattern_mm(pieces.front().stroke);
    const double longest = dashes.empty() ? kTurn : dashes[0] / pieces.front().reach();
    std::vector<Conic> out;
    for (const Conic& piece : pieces) {
        const double sweep =
            out.empty() ? 0.0 : std::max(out.back().sweep, piece.start + piece.sweep - out.back().start);
        if (!out.empty() && piece.start <= out.back().start + out.back().sweep + gap && sweep <= longest) {
            Conic& last = out.back();
            last.sweep = std::min(sweep, kTurn);
            last.index = std::min(last.index, piece.index);
        } else {
            out.push_back(piece);
        }
    }
    // The last may run on past a whole turn into the first.
    if (out.size() > 1 && out.back().start + out.back().sweep + gap >= out.front().start + kTurn) {
        Conic& last = out.back();
        const double sweep = std::max(last.sweep, out.front().start + out.front().sweep + kTurn - last.start);
        if (sweep <= longest) {
            last.sweep = std::min(sweep, kTurn);
            last.index = std::min(last.index, out.front().index);
            out.erase(out.begin());
        }
    }
    for (Conic& c : out)
        if (c.full()) c.start = 0.0, c.sweep = kTurn;
    return out;
}

// The conics of the sheet's arcs (or ellipses) as tidy() makes them, in place of the old; those whose numbers make no
// curve are kept as they were.
template <class Tidy>
void rework(SheetGraphics& sheet, bool circles, Tidy tidy) {
    std::vector<Conic> conics = conics_of(sheet, circles);
    std::vector<char> usable(circles ? sheet.arcs.size() : sheet.ellipses.size(), 0);
    for (const Conic& c : conics) usable[c.index] = 1;
    conics = tidy(std::move(conics));
    // Back in the order of the first piece of each, the unusable ones where they were.
    std::vector<std::pair<std::size_t, Conic>> order;
    for (Conic& c : conics) order.emplace_back(c.index, std::move(c));
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (circles) {
        std::vector<Arc> arcs;
        std::size_t next = 0;
        for (std::size_t i = 0; i < sheet.arcs.size(); ++i) {
            for (; next < order.size() && order[next].first == i; ++next) {
                const Conic& c = order[next].second;
                arcs.push_back({c.centre, c.major.x, c.start, c.start + c.sweep, c.stroke, c.layer});
            }
            if (!usable[i]) arcs.push_back(sheet.arcs[i]);
        }
        sheet.arcs = std::move(arcs);
    } else {
        std::vector<Ellipse> ellipses;
        std::size_t next = 0;
        for (std::size_t i = 0; i < sheet.ellipses.size(); ++i) {
            for (; next < order.size() && order[next].first == i; ++next) {
                const Conic& c = order[next].second;
                ellipses.push_back({c.centre, c.major, c.ratio, c.start, c.start + c.sweep, c.stroke, c.layer});
            }
            if (!usable[i]) ellipses.push_back(sheet.ellipses[i]);
        }
        sheet.ellipses = std::move(ellipses);
    }
}

// Groups the conics into runs of one curve (and layer), by centre first so that only near ones are compared: in the
// order of their centres' x, each conic not yet taken gathers the later ones within the tolerance. A view of many
// holes in rows has hundreds of centres with one x, so the later ones are looked up by the band of y they lie in.
std::vector<std::vector<Conic>> by_curve(std::vector<Conic> conics, double tolerance) {
    std::sort(conics.begin(), conics.end(), [](const Conic& a, const Conic& b) { return a.centre.x < b.centre.x; });
    auto band = [tolerance](double y) { return static_cast<long long>(std::floor(y / tolerance)); };
    std::unordered_map<long long, std::vector<std::size_t>> bands;  // each in ascending order
    for (std::size_t i = 0; i < conics.size(); ++i) bands[band(conics[i].centre.y)].push_back(i);
    std::vector<char> taken(conics.size(), 0);
    std::vector<std::vector<Conic>> groups;
    std::vector<std::size_t> near;
    for (std::size_t i = 0; i < conics.size(); ++i) {
        if (taken[i]) continue;
        std::vector<Conic> group{conics[i]};
        near.clear();
        const long long b = band(conics[i].centre.y);
        for (long long k = b - 1; k <= b + 1; ++k) {
            const auto found = bands.find(k);
            if (found == bands.end()) continue;
            const auto& members = found->second;
            for (auto j = std::upper_bound(members.begin(), members.end(), i);
                 j != members.end() && conics[*j].centre.x <= conics[i].centre.x + tolerance; ++j)
                near.push_back(*j);
        }
        std::sort(near.begin(), near.end());
        for (std::size_t j : near)
            if (!taken[j] && same_curve(conics[i], conics[j], tolerance)) group.push_back(conics[j]), taken[j] = 1;
        groups.push_back(std::move(group));
    }
    return groups;
}

std::vector<Conic> join_pieces(std::vector<Conic> conics) {
    std::vector<Conic> out;
    for (auto& group : by_curve(std::move(conics), kJoinTolerance)) {
        // Within a curve, by stroke.
        std::map<std::tuple<int, int, std::uint32_t>, std::vector<Conic>> strokes;
        for (Conic& c : group)
            strokes[{static_cast<int>(c.stroke.weight), static_cast<int>(c.stroke.pattern), c.stroke.ink}].push_back(
                std::move(c));
        for (auto& [key, pieces] : strokes)
            for (Conic& c : merged(std::move(pieces))) out.push_back(std::move(c));
    }
    return out;
}

std::vector<Conic> without_overdrawn(std::vector<Conic> conics) {
    std::vector<Conic> out;
    for (auto& group : by_curve(std::move(conics), kOverdrawTolerance)) {
        for (std::size_t i = 0; i < group.size(); ++i) {
            const Conic& weak = group[i];
            const double slack = kOverdrawTolerance / weak.reach();
            bool under = false;
            for (std::size_t j = 0; j < group.size() && !under; ++j) {
                const Conic& strong = group[j];
                const int a = strength(weak.stroke), b = strength(strong.stroke);
                if (j == i || b < a ||
                    (b == a && (same_stroke(weak.stroke, strong.stroke) || strong.index < weak.index)))
                    continue;
                if (strong.full())
                    under = true;
                else if (!weak.full() && weak.sweep <= strong.sweep + slack)
                    under = covers(strong, weak.start, slack) && covers(strong, weak.start + weak.sweep, slack) &&
                            covers(strong, weak.start + weak.sweep / 2, slack);
            }
            if (!under) out.push_back(weak);
        }
    }
    return out;
}

}  // namespace

void join_curve_pieces(SheetGraphics& sheet) {
    for (bool circles : {true, false}) rework(sheet, circles, join_pieces);
}

void remove_overdrawn_curves(SheetGraphics& sheet) {
    for (bool circles : {true, false}) rework(sheet, circles, without_overdrawn);
}

}  // namespace cadhost::render
