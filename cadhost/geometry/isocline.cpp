#include "cadhost/geometry/isocline.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <numbers>
#include <utility>

#include <BRepBndLib.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <Geom_RectangularTrimmedSurface.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <Precision.hxx>
#include <Standard_Failure.hxx>
#include <TopLoc_Location.hxx>
#include <gp_Pnt2d.hxx>
#include <gp_Trsf.hxx>

#include "cadhost/geometry/isocline_internal.h"

namespace cadhost::geometry {
namespace isocline_internal {

namespace {

// Parameters t + k * period that fall inside [lo, hi] (slackened by eps); t itself for a non-periodic direction.
std::vector<double> periodic_images(double t, double lo, double hi, double period, double eps) {
    if (period <= 0) return {t};
    std::vector<double> images;
    for (double x = t + period * std::ceil((lo - eps - t) / period); x <= hi + eps; x += period) images.push_back(x);
    return images;
}

// Samples along an iso line; enough that a face boundary crossing the line twice within one gap is far below any
// feature a mould face has, while bisection brings the found ends to the tolerance.
constexpr int kIsoSamples = 256;

}  // namespace

FaceDomain::FaceDomain(const TopoDS_Face& face, const GeomAdaptor_Surface& surface, double tolerance) {
    BRepTools::UVBounds(face, u_min, u_max, v_min, v_max);
    u_eps_ = std::max(1e-9, surface.UResolution(tolerance));
    v_eps_ = std::max(1e-9, surface.VResolution(tolerance));
    if (surface.IsUPeriodic()) u_period_ = surface.UPeriod();
    if (surface.IsVPeriodic()) v_period_ = surface.VPeriod();
    classifier_ = std::make_unique<BRepTopAdaptor_FClass2d>(face, std::min(u_eps_, v_eps_));
}

bool FaceDomain::contains(double u, double v) const {
    for (double uu : periodic_images(u, u_min, u_max, u_period_, u_eps_)) {
        for (double vv : periodic_images(v, v_min, v_max, v_period_, v_eps_)) {
            const TopAbs_State state = classifier_->Perform(gp_Pnt2d(uu, vv), Standard_False);
            if (state == TopAbs_IN || state == TopAbs_ON) return true;
        }
    }
    return false;
}

void add_point_if_inside(const Query& q, double u, double v, std::vector<IsoclinePiece>& out) {
    if (q.domain->contains(u, v)) out.push_back({Handle(Geom_Curve)(), q.surface->Value(u, v)});
}

void add_iso_pieces(const Query& q, bool u_iso, double value, std::vector<IsoclinePiece>& out) {
    const FaceDomain& dom = *q.domain;
    const double t0 = u_iso ? dom.v_min : dom.u_min;
    const double t1 = u_iso ? dom.v_max : dom.u_max;
    if (!(t1 > t0)) return;
    auto inside = [&](double t) { return u_iso ? dom.contains(value, t) : dom.contains(t, value); };
    auto point = [&](double t) { return u_iso ? q.surface->Value(value, t) : q.surface->Value(t, value); };

    const double dt = (t1 - t0) / kIsoSamples;
    std::vector<bool> in(kIsoSamples + 1);
    double speed = 0;  // largest length per parameter unit, to turn the length tolerance into a parameter one
    gp_Pnt previous = point(t0);
    for (int i = 0; i <= kIsoSamples; ++i) {
        const double t = t0 + i * dt;
        in[i] = inside(t);
        if (i > 0) {
            const gp_Pnt p = point(t);
            speed = std::max(speed, p.Distance(previous) / dt);
            previous = p;
        }
    }
    const double t_tol = speed > 0 ? 0.01 * q.tolerance / speed : dt * 1e-6;
    // Moves from an inside parameter towards an outside one until they are t_tol apart; returns the inside end.
    auto bisect = [&](double t_in, double t_out) {
        for (int k = 0; k < 100 && std::abs(t_out - t_in) > t_tol; ++k) {
            const double mid = 0.5 * (t_in + t_out);
            (inside(mid) ? t_in : t_out) = mid;
        }
        return t_in;
    };

    Handle(Geom_Curve) iso;
    for (int i = 0; i <= kIsoSamples;) {
        if (!in[i]) {
            ++i;
            continue;
        }
        int j = i;
        while (j < kIsoSamples && in[j + 1]) ++j;
        const double a = i == 0 ? t0 : bisect(t0 + i * dt, t0 + (i - 1) * dt);
        const double b = j == kIsoSamples ? t1 : bisect(t0 + j * dt, t0 + (j + 1) * dt);
        if (speed * (b - a) <= q.tolerance) {
            out.push_back({Handle(Geom_Curve)(), point(0.5 * (a + b))});
        } else {
            if (iso.IsNull()) iso = u_iso ? q.surface->UIso(value) : q.surface->VIso(value);
            out.push_back({new Geom_TrimmedCurve(iso, a, b), gp_Pnt()});
        }
        i = j + 1;
    }
}

}  // namespace isocline_internal

namespace {

using isocline_internal::FaceDomain;
using isocline_internal::Query;

// Points closer than the tolerance are one place; analytic branches and traced chains can meet at the same spot.
void drop_duplicate_points(std::vector<IsoclinePiece>& pieces, double tolerance) {
    std::vector<IsoclinePiece> kept;
    for (IsoclinePiece& piece : pieces) {
        if (piece.curve.IsNull()) {
            const bool seen = std::any_of(kept.begin(), kept.end(), [&](const IsoclinePiece& k) {
                return k.curve.IsNull() && k.point.Distance(piece.point) <= tolerance;
            });
            if (seen) continue;
        }
        kept.push_back(std::move(piece));
    }
    pieces = std::move(kept);
}

bool compute(const TopoDS_Face& face, const gp_Dir& direction, double angle, double tolerance,
             std::vector<IsoclinePiece>& pieces, std::string& error) {
    if (face.IsNull()) {
        error = "the face is null";
        return false;
    }
    if (!std::isfinite(angle) || angle < 0 || angle > std::numbers::pi) {
        error = "the angle must lie between 0 and pi";
        return false;
    }
    if (!std::isfinite(tolerance) || tolerance <= 0) {
        error = "the tolerance must be positive";
        return false;
    }
    TopLoc_Location location;
    Handle(Geom_Surface) surface = BRep_Tool::Surface(face, location);
    if (surface.IsNull()) {
        error = "the face has no surface";
        return false;
    }
    // Face parameters can run slightly past a trimmed surface's bounds; the basis surface evaluates there too.
    while (auto trimmed = Handle(Geom_RectangularTrimmedSurface)::DownCast(surface)) surface = trimmed->BasisSurface();

    const gp_Trsf to_model = location.Transformation();
    const double scale = std::abs(to_model.ScaleFactor());

    Bnd_Box box;
    BRepBndLib::Add(face, box, Standard_False);
    if (box.IsVoid() || box.IsOpen()) {
        error = "the face is unbounded";
        return false;
    }
    const double diagonal = std::sqrt(box.SquareExtent());

    Query q;
    q.surface = surface;
    q.adaptor.Load(surface);
    q.direction = direction.Transformed(to_model.Inverted());
    q.angle = std::min(angle, std::numbers::pi - angle);
    q.tolerance = tolerance / scale;
    q.size = std::max(diagonal / scale, q.tolerance);
    q.angular_tolerance = std::clamp(tolerance / std::max(diagonal, tolerance), 1e-10, 1e-2);

    const FaceDomain domain(face, q.adaptor, q.tolerance);
    if (!std::isfinite(domain.u_min) || !std::isfinite(domain.u_max) || !std::isfinite(domain.v_min) ||
        !std::isfinite(domain.v_max) || Precision::IsInfinite(domain.u_max - domain.u_min) ||
        Precision::IsInfinite(domain.v_max - domain.v_min)) {
        error = "the face has an unbounded parameter range";
        return false;
    }
    q.domain = &domain;

    std::vector<IsoclinePiece> local;
    if (!isocline_internal::analytic_pieces(q, local)) isocline_internal::numeric_pieces(q, local);

    if (to_model.Form() != gp_Identity) {
        for (IsoclinePiece& piece : local) {
            if (piece.curve.IsNull()) {
                piece.point.Transform(to_model);
            } else {
                piece.curve = Handle(Geom_Curve)::DownCast(piece.curve->Transformed(to_model));
            }
        }
    }
    drop_duplicate_points(local, tolerance);
    pieces = std::move(local);
    return true;
}

}  // namespace

bool isocline_pieces(const TopoDS_Face& face, const gp_Dir& direction, double angle, double tolerance,
                     std::vector<IsoclinePiece>& pieces, std::string& error) {
    pieces.clear();
    error.clear();
    // The kernel reports failures by exceptions; the host call must not let any escape.
    try {
        return compute(face, direction, angle, tolerance, pieces, error);
    } catch (const Standard_Failure& failure) {
        error = std::string("geometry kernel failure: ") + failure.GetMessageString();
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    pieces.clear();
    return false;
}

}  // namespace cadhost::geometry
