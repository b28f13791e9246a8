#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include <GeomAPI_PointsToBSpline.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <gp_Pnt2d.hxx>
#include <gp_Vec.hxx>

#include "cadhost/geometry/isocline_internal.h"

namespace cadhost::geometry::isocline_internal {

namespace {

// Grid density: enough nodes per polynomial span that each bump of the surface has an interior node near its top.
constexpr int kMinSamples = 48;
constexpr int kMaxSamples = 320;
// Chains are traced in steps of this fraction of the face size, fine enough that a spline through them stays on the
// solution curve far within any model tolerance.
constexpr double kStepFraction = 0.01;
constexpr int kMaxTraceSteps = 4000;
// Largest angle (radians) between a trace step's chord and the curve's tangent at its start.
constexpr double kMaxTurn = 0.03;

double distance_to_segment(const gp_Pnt& x, const gp_Pnt& a, const gp_Pnt& b) {
    const gp_Vec ab(a, b), ax(a, x);
    const double l2 = ab.SquareMagnitude();
    const double t = l2 > 0 ? std::clamp(ax.Dot(ab) / l2, 0.0, 1.0) : 0.0;
    return x.Distance(a.Translated(t * ab));
}

struct Uv {
    double u = 0, v = 0;
};

// The equations at one parameter point. With angle 0 the normal N = Su x Sv must have no component across d
// (two equations, isolated roots or curves of roots). With angle > 0, (N.d)^2 = cos^2(angle) |N|^2 (one equation,
// curves of roots). N is left unnormalised: the roots are the same and the derivatives stay simple.
struct Eval {
    bool valid = false;
    gp_Pnt p;
    gp_Vec du, dv;
    int m = 0;
    std::array<double, 2> r{};
    std::array<std::array<double, 2>, 2> j{};
    double error = 1;  // angle (radians) between the normal's actual and wanted inclination
    double normal_length = 0;
};

// Eigen-decomposition of J^T J: min-norm Newton steps and the direction along a curve of roots both come from it.
struct Spectrum {
    double l1 = 0, l2 = 0;
    gp_Vec2d v1{1, 0}, v2{0, 1};
};

Spectrum spectrum(const Eval& e) {
    double a = 0, b = 0, c = 0;
    for (int i = 0; i < e.m; ++i) {
        a += e.j[i][0] * e.j[i][0];
        b += e.j[i][0] * e.j[i][1];
        c += e.j[i][1] * e.j[i][1];
    }
    Spectrum s;
    const double mean = 0.5 * (a + c);
    const double radius = std::hypot(0.5 * (a - c), b);
    s.l1 = mean + radius;
    s.l2 = std::max(0.0, mean - radius);
    if (std::abs(b) > 1e-300) {
        s.v1 = gp_Vec2d(s.l1 - c, b).Normalized();
    } else {
        s.v1 = a >= c ? gp_Vec2d(1, 0) : gp_Vec2d(0, 1);
    }
    s.v2 = gp_Vec2d(-s.v1.Y(), s.v1.X());
    return s;
}

class Solver {
  public:
    explicit Solver(const Query& q) : q_(q), d_(q.direction), c_(std::cos(q.angle)) {
        const gp_Dir& d = q.direction;
        const gp_Dir helper = std::abs(d.X()) < 0.6 ? gp_Dir(1, 0, 0) : gp_Dir(0, 1, 0);
        e1_ = gp_Vec(d.Crossed(helper));
        e1_.Normalize();
        e2_ = gp_Vec(d).Crossed(e1_);
        const FaceDomain& dom = *q.domain;
        u_margin_ = 0.02 * (dom.u_max - dom.u_min);
        v_margin_ = 0.02 * (dom.v_max - dom.v_min);
    }

    bool flat_angle() const { return q_.angle == 0; }

    Eval eval(Uv x) const {
        Eval e;
        gp_Vec duu, dvv, duv;
        q_.surface->D2(x.u, x.v, e.p, e.du, e.dv, duu, dvv, duv);
        const gp_Vec n = e.du.Crossed(e.dv);
        const gp_Vec nu = duu.Crossed(e.dv) + e.du.Crossed(duv);
        const gp_Vec nv = duv.Crossed(e.dv) + e.du.Crossed(dvv);
        e.normal_length = n.Magnitude();
        // A collapsed parameter line (a pole) has no normal from first derivatives; such points are left to the edges.
        if (e.normal_length <= 1e-12 * e.du.Magnitude() * e.dv.Magnitude() || e.normal_length < 1e-300) return e;
        e.valid = true;
        const double cosine = std::abs(n.Dot(d_)) / e.normal_length;
        if (flat_angle()) {
            e.m = 2;
            e.r = {n.Dot(e1_), n.Dot(e2_)};
            e.j = {{{nu.Dot(e1_), nv.Dot(e1_)}, {nu.Dot(e2_), nv.Dot(e2_)}}};
            e.error = std::asin(std::min(1.0, std::hypot(e.r[0], e.r[1]) / e.normal_length));
        } else {
            e.m = 1;
            const double s = n.Dot(d_);
            e.r = {s * s - c_ * c_ * n.SquareMagnitude(), 0};
            e.j[0] = {2 * s * nu.Dot(d_) - 2 * c_ * c_ * n.Dot(nu), 2 * s * nv.Dot(d_) - 2 * c_ * c_ * n.Dot(nv)};
            e.error = std::abs(std::acos(std::min(1.0, cosine)) - q_.angle);
        }
        return e;
    }

    // Gauss-Newton with the least-norm step, so that on a curve of roots it lands on the nearest root instead of
    // wandering along the curve.
    std::optional<Uv> refine(Uv x, int max_iterations = 60) const {
        for (int it = 0; it < max_iterations; ++it) {
            const Eval e = eval(x);
            if (!e.valid) return std::nullopt;
            const Spectrum s = spectrum(e);
            if (s.l1 <= 0) return x;
            const gp_Vec2d g(e.j[0][0] * e.r[0] + e.j[1][0] * e.r[1], e.j[0][1] * e.r[0] + e.j[1][1] * e.r[1]);
            gp_Vec2d step = -(g.Dot(s.v1) / s.l1) * s.v1;
            if (s.l2 > 1e-12 * s.l1) step -= (g.Dot(s.v2) / s.l2) * s.v2;
            double length = (e.du * step.X() + e.dv * step.Y()).Magnitude();
            const double cap = 0.1 * q_.size;
            if (length > cap) {
                step *= cap / length;
                length = cap;
            }
            x = clamp({x.u + step.X(), x.v + step.Y()});
            if (length < 1e-4 * q_.tolerance) return x;
        }
        return x;
    }

    bool accepted(Uv x) const {
        const Eval e = eval(x);
        return e.valid && e.error <= q_.angular_tolerance;
    }

    // True when the root at x continues as a curve (the equations lose rank there); 0 marks a flat patch.
    int rank(Uv x) const {
        const Eval e = eval(x);
        const Spectrum s = spectrum(e);
        const double span = std::max(e.du.Magnitude(), e.dv.Magnitude());
        if (std::sqrt(s.l1) * q_.size <= 1e-9 * e.normal_length * span) return 0;
        if (e.m == 1 || s.l2 <= 1e-10 * s.l1) return 1;
        return 2;
    }

    gp_Vec2d tangent(Uv x) const { return spectrum(eval(x)).v2; }

    bool in_box(Uv x) const {
        const FaceDomain& d = *q_.domain;
        return x.u >= d.u_min && x.u <= d.u_max && x.v >= d.v_min && x.v <= d.v_max;
    }

    Uv clamp(Uv x) const {
        const FaceDomain& d = *q_.domain;
        return {std::clamp(x.u, d.u_min - u_margin_, d.u_max + u_margin_),
                std::clamp(x.v, d.v_min - v_margin_, d.v_max + v_margin_)};
    }

  private:
    const Query& q_;
    gp_Vec d_;
    gp_Vec e1_, e2_;
    double c_;
    double u_margin_ = 0, v_margin_ = 0;
};

int samples_for(const GeomAdaptor_Surface& s, bool along_u) {
    const GeomAbs_SurfaceType type = s.GetType();
    if (type != GeomAbs_BSplineSurface && type != GeomAbs_BezierSurface) return kMinSamples * 4 / 3;
    const int spans = along_u ? s.NbUIntervals(GeomAbs_C2) : s.NbVIntervals(GeomAbs_C2);
    const int degree = along_u ? s.UDegree() : s.VDegree();
    return std::clamp(4 * spans * (degree + 1), kMinSamples, kMaxSamples);
}

class Tracer {
  public:
    Tracer(const Query& q, const Solver& solver)
        : q_(q),
          solver_(solver),
          step_(kStepFraction * q.size),
          u_range_(q.domain->u_max - q.domain->u_min),
          v_range_(q.domain->v_max - q.domain->v_min) {}

    bool near_known(const gp_Pnt& p) const {
        return std::any_of(known_.begin(), known_.end(), [&](const gp_Pnt& k) { return k.Distance(p) < 0.75 * step_; });
    }

    void remember(const gp_Pnt& p) { known_.push_back(p); }

    void add_isolated(Uv x, std::vector<IsoclinePiece>& out) {
        const gp_Pnt p = q_.surface->Value(x.u, x.v);
        known_.push_back(p);
        if (q_.domain->contains(x.u, x.v)) out.push_back({Handle(Geom_Curve)(), p});
    }

    // Follows the curve of roots through seed both ways, then keeps the parts on the face.
    void trace(Uv seed, std::vector<IsoclinePiece>& out) {
        const std::vector<Uv> forward = march(seed, 1.0);
        const bool closed = forward.size() > 1 && forward.back().u == seed.u && forward.back().v == seed.v;
        const std::vector<Uv> backward = closed ? std::vector<Uv>() : march(seed, -1.0);
        std::vector<Uv> chain(backward.rbegin(), backward.rend());
        chain.push_back(seed);
        chain.insert(chain.end(), forward.begin(), forward.end());
        for (const Uv& x : chain) known_.push_back(q_.surface->Value(x.u, x.v));
        if (chain.size() == 1) {
            add_isolated(seed, out);
            return;
        }
        emit_inside_runs(chain, out);
    }

  private:
    std::vector<Uv> march(Uv seed, double sense) const {
        std::vector<Uv> points;
        const gp_Pnt start = q_.surface->Value(seed.u, seed.v);
        Uv current = seed;
        gp_Vec2d previous = sense * solver_.tangent(seed);
        double length = step_;
        for (int k = 0; k < kMaxTraceSteps; ++k) {
            gp_Vec2d t = solver_.tangent(current);
            if (t.Dot(previous) < 0) t.Reverse();
            const Eval e = solver_.eval(current);
            const gp_Vec along = e.du * t.X() + e.dv * t.Y();
            if (!e.valid || along.Magnitude() <= 0) break;
            // Shorter steps where the curve turns, so that a spline through the points keeps to it.
            std::optional<Uv> next;
            gp_Pnt p;
            for (length = std::min(step_, 2 * length);; length *= 0.5) {
                const double h = length / along.Magnitude();
                next = solver_.refine({current.u + h * t.X(), current.v + h * t.Y()}, 20);
                if (!next || !solver_.accepted(*next)) break;
                p = q_.surface->Value(next->u, next->v);
                const gp_Vec chord(e.p, p);
                if (length < 1e-3 * step_ || chord.Magnitude() <= 0 || chord.Angle(along) <= kMaxTurn) break;
            }
            if (!next || !solver_.accepted(*next)) break;
            // Falling back onto the previous point means the curve ended (or was never one).
            if (p.Distance(e.p) < 0.3 * length) break;
            points.push_back(*next);
            if (!solver_.in_box(*next)) break;
            // Passing the seed again closes a loop, unless the return is across the seam of a periodic surface,
            // which the box test ends at the next step.
            if (k > 2 && distance_to_segment(start, e.p, p) < 0.5 * length &&
                std::abs(next->u - seed.u) < 0.25 * u_range_ && std::abs(next->v - seed.v) < 0.25 * v_range_) {
                points.push_back(seed);
                break;
            }
            previous = t;
            current = *next;
        }
        return points;
    }

    // Outside the parameter window is outside even when another period would classify in: a run must not wrap.
    bool on_face(Uv x) const { return solver_.in_box(x) && q_.domain->contains(x.u, x.v); }

    // The point between an inside and an outside chain point where the face boundary lies, to well under the
    // tolerance, pulled back onto the curve of roots when that keeps it on the face.
    Uv boundary(Uv in, Uv out) const {
        for (int k = 0; k < 60; ++k) {
            const Uv mid{0.5 * (in.u + out.u), 0.5 * (in.v + out.v)};
            (on_face(mid) ? in : out) = mid;
            const gp_Pnt a = q_.surface->Value(in.u, in.v), b = q_.surface->Value(out.u, out.v);
            if (a.Distance(b) < 0.01 * q_.tolerance) break;
        }
        if (const std::optional<Uv> polished = solver_.refine(in, 10); polished && on_face(*polished)) {
            return *polished;
        }
        return in;
    }

    void emit_inside_runs(const std::vector<Uv>& chain, std::vector<IsoclinePiece>& out) const {
        std::vector<bool> in(chain.size());
        for (size_t i = 0; i < chain.size(); ++i) in[i] = on_face(chain[i]);
        for (size_t i = 0; i < chain.size();) {
            if (!in[i]) {
                ++i;
                continue;
            }
            size_t j = i;
            while (j + 1 < chain.size() && in[j + 1]) ++j;
            std::vector<Uv> run;
            if (i > 0) run.push_back(boundary(chain[i], chain[i - 1]));
            run.insert(run.end(), chain.begin() + static_cast<std::ptrdiff_t>(i),
                       chain.begin() + static_cast<std::ptrdiff_t>(j + 1));
            if (j + 1 < chain.size()) run.push_back(boundary(chain[j], chain[j + 1]));
            emit_run(run, out);
            i = j + 1;
        }
    }

    void emit_run(const std::vector<Uv>& run, std::vector<IsoclinePiece>& out) const {
        std::vector<gp_Pnt> points;
        for (const Uv& x : run) points.push_back(q_.surface->Value(x.u, x.v));
        double length = 0;
        for (size_t i = 1; i < points.size(); ++i) length += points[i].Distance(points[i - 1]);
        if (length <= q_.tolerance) {
            out.push_back({Handle(Geom_Curve)(), points[points.size() / 2]});
            return;
        }
        // Curves of roots along a parameter line (extrusions, revolutions) get the exact iso curve.
        const FaceDomain& d = *q_.domain;
        auto constant = [&](auto get, double range) {
            return std::all_of(run.begin(), run.end(),
                               [&](const Uv& x) { return std::abs(get(x) - get(run.front())) <= 1e-9 * range; });
        };
        auto span = [&](auto get) {
            auto [lo, hi] =
                std::minmax_element(run.begin(), run.end(), [&](const Uv& a, const Uv& b) { return get(a) < get(b); });
            return std::pair{get(*lo), get(*hi)};
        };
        const auto u_of = [](const Uv& x) { return x.u; };
        const auto v_of = [](const Uv& x) { return x.v; };
        if (constant(u_of, d.u_max - d.u_min)) {
            const auto [lo, hi] = span(v_of);
            out.push_back({new Geom_TrimmedCurve(q_.surface->UIso(run.front().u), lo, hi), gp_Pnt()});
            return;
        }
        if (constant(v_of, d.v_max - d.v_min)) {
            const auto [lo, hi] = span(u_of);
            out.push_back({new Geom_TrimmedCurve(q_.surface->VIso(run.front().v), lo, hi), gp_Pnt()});
            return;
        }
        TColgp_Array1OfPnt array(1, static_cast<int>(points.size()));
        for (size_t i = 0; i < points.size(); ++i) array.SetValue(static_cast<int>(i) + 1, points[i]);
        GeomAPI_PointsToBSpline fit(array, 3, 8, GeomAbs_C2, 0.1 * q_.tolerance);
        if (fit.IsDone()) {
            out.push_back({Handle(Geom_Curve)(fit.Curve()), gp_Pnt()});
            return;
        }
        // Without a curve the traced points themselves still mark every place, one step apart.
        for (const gp_Pnt& p : points) out.push_back({Handle(Geom_Curve)(), p});
    }

    const Query& q_;
    const Solver& solver_;
    double step_;
    double u_range_, v_range_;
    std::vector<gp_Pnt> known_;  // places already reported or traced, so seeds on them are not followed again
};

}  // namespace

void numeric_pieces(const Query& q, std::vector<IsoclinePiece>& out) {
    const Solver solver(q);
    Tracer tracer(q, solver);
    const FaceDomain& dom = *q.domain;
    const int nu = samples_for(q.adaptor, true), nv = samples_for(q.adaptor, false);
    auto node = [&](int i, int k) {
        return Uv{dom.u_min + (dom.u_max - dom.u_min) * i / (nu - 1),
                  dom.v_min + (dom.v_max - dom.v_min) * k / (nv - 1)};
    };
    std::vector<Eval> grid(static_cast<size_t>(nu) * nv);
    auto at = [&](int i, int k) -> Eval& { return grid[static_cast<size_t>(i) * nv + k]; };
    for (int i = 0; i < nu; ++i)
        for (int k = 0; k < nv; ++k) at(i, k) = solver.eval(node(i, k));

    auto follow = [&](Uv seed) {
        const std::optional<Uv> root = solver.refine(seed);
        if (!root || !solver.accepted(*root)) return;
        const gp_Pnt p = q.surface->Value(root->u, root->v);
        if (tracer.near_known(p)) return;
        if (!solver.in_box(*root)) {
            // Boundary nodes often lead out of the face; remembering where keeps their neighbours from repeating it.
            tracer.remember(p);
            return;
        }
        const int rank = solver.rank(*root);
        if (rank == 1) {
            tracer.trace(*root, out);
        } else {
            tracer.add_isolated(*root, out);
        }
    };

    if (solver.flat_angle()) {
        // Roots are minima of the angle error: start from every grid node that is a local minimum of it.
        for (int i = 0; i < nu; ++i) {
            for (int k = 0; k < nv; ++k) {
                const Eval& e = at(i, k);
                if (!e.valid || e.error > 0.5) continue;
                bool minimum = true;
                for (int di = -1; di <= 1 && minimum; ++di)
                    for (int dk = -1; dk <= 1 && minimum; ++dk) {
                        const int a = i + di, b = k + dk;
                        if ((di || dk) && a >= 0 && a < nu && b >= 0 && b < nv && at(a, b).valid &&
                            at(a, b).error < e.error)
                            minimum = false;
                    }
                if (minimum) follow(node(i, k));
            }
        }
        return;
    }
    // With a slope the roots are where the inclination crosses the wanted one: bracket along grid edges.
    for (int i = 0; i < nu; ++i) {
        for (int k = 0; k < nv; ++k) {
            for (const auto& [di, dk] : {std::pair{1, 0}, std::pair{0, 1}}) {
                const int a = i + di, b = k + dk;
                if (a >= nu || b >= nv) continue;
                const Eval &e0 = at(i, k), &e1 = at(a, b);
                if (!e0.valid || !e1.valid) continue;
                if ((e0.r[0] > 0) == (e1.r[0] > 0)) continue;
                Uv lo = node(i, k), hi = node(a, b);
                double r_lo = e0.r[0];
                for (int it = 0; it < 50; ++it) {
                    const Uv mid{0.5 * (lo.u + hi.u), 0.5 * (lo.v + hi.v)};
                    const Eval em = solver.eval(mid);
                    if (!em.valid) break;
                    if ((em.r[0] > 0) == (r_lo > 0)) {
                        lo = mid;
                        r_lo = em.r[0];
                    } else {
                        hi = mid;
                    }
                }
                follow(lo);
            }
        }
    }
}

}  // namespace cadhost::geometry::isocline_internal
