#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <ElSLib.hxx>
#include <gp_Ax3.hxx>
#include <gp_Cone.hxx>
#include <gp_Cylinder.hxx>
#include <gp_Sphere.hxx>
#include <gp_Torus.hxx>

#include "cadhost/geometry/isocline_internal.h"

namespace cadhost::geometry::isocline_internal {

namespace {

constexpr double kPi = std::numbers::pi;

// Two solutions this close are one: they arise from the same tangency, split only by rounding.
constexpr double kSameAngle = 1e-9;

void add_angle(std::vector<double>& angles, double a) {
    const double twopi = 2 * kPi;
    for (double b : angles) {
        const double gap = std::remainder(a - b, twopi);
        if (std::abs(gap) < kSameAngle) return;
    }
    angles.push_back(a);
}

// Cylinders and cones: along a generator the normal is fixed, so the places are whole generator lines (u = const).
// With e_r = cos u X + sin u Y the normal is cos(alpha) e_r - sin(alpha) Z up to sign, hence
// n.d = A cos(u - phi) + B, and the angle between n and d sweeps [theta_min, theta_max] around the surface.
void generator_lines(const Query& q, const gp_Ax3& position, double semi_angle, std::vector<IsoclinePiece>& out) {
    const gp_Dir& d = q.direction;
    const double dx = d.Dot(position.XDirection());
    const double dy = d.Dot(position.YDirection());
    const double dz = d.Dot(position.Direction());
    const double A = std::hypot(dx, dy) * std::cos(semi_angle);
    const double B = -dz * std::sin(semi_angle);
    // Every normal makes the same angle with d: the whole face qualifies or none of it, and either way its extremes
    // along d are on its edges.
    if (A < 1e-12) return;
    const double phi = std::atan2(dy, dx);
    const double theta_min = std::acos(std::clamp(B + A, -1.0, 1.0));
    const double theta_max = std::acos(std::clamp(B - A, -1.0, 1.0));
    std::vector<double> us;
    for (double target : {q.angle, kPi - q.angle}) {
        if (target < theta_min - q.angular_tolerance || target > theta_max + q.angular_tolerance) continue;
        // Inside the slack the nearest attainable angle stands in: a direction tilted that little moves no point by
        // more than the tolerance.
        const double t = std::clamp(target, theta_min, theta_max);
        const double w = std::acos(std::clamp((std::cos(t) - B) / A, -1.0, 1.0));
        add_angle(us, phi + w);
        add_angle(us, phi - w);
    }
    for (double u : us) add_iso_pieces(q, true, u, out);
}

void sphere_points(const Query& q, const gp_Sphere& sphere, std::vector<IsoclinePiece>& out) {
    for (const gp_Dir& n : {q.direction, q.direction.Reversed()}) {
        const gp_Pnt p = sphere.Location().Translated(sphere.Radius() * gp_Vec(n));
        double u = 0, v = 0;
        ElSLib::Parameters(sphere, p, u, v);
        if (std::cos(v) > 1e-12) {
            add_point_if_inside(q, u, v, out);
            continue;
        }
        // A pole is one point for every u, so the face holds it when any u along its parameter range reaches it.
        const FaceDomain& dom = *q.domain;
        constexpr int kPoleSamples = 64;
        for (int i = 0; i <= kPoleSamples; ++i) {
            const double uu = dom.u_min + (dom.u_max - dom.u_min) * i / kPoleSamples;
            if (dom.contains(uu, v)) {
                out.push_back({Handle(Geom_Curve)(), p});
                break;
            }
        }
    }
}

// The tube normal is cos v e_r + sin v Z, the same map as a sphere's but with v over a full turn, so each normal
// occurs twice: once on the outer and once on the inner half of the tube.
bool torus_pieces(const Query& q, const gp_Torus& torus, std::vector<IsoclinePiece>& out) {
    const gp_Ax3& pos = torus.Position();
    const gp_Dir& d = q.direction;
    const double dx = d.Dot(pos.XDirection());
    const double dy = d.Dot(pos.YDirection());
    const double dz = d.Dot(pos.Direction());
    if (std::hypot(dx, dy) <= std::sin(q.angular_tolerance)) {
        // Along the axis the places are parallels: |sin v| = cos(angle).
        const double s = std::asin(std::clamp(std::cos(q.angle), -1.0, 1.0));
        std::vector<double> vs;
        for (double v : {s, kPi - s, -s, s - kPi}) add_angle(vs, v);
        for (double v : vs) add_iso_pieces(q, false, v, out);
        return true;
    }
    if (q.angle > 0) return false;  // oblique cones of normals meet the tube in general curves: traced numerically
    for (double sign : {1.0, -1.0}) {
        const double nx = sign * dx, ny = sign * dy, nz = sign * dz;
        const double u = std::atan2(ny, nx);
        const double v = std::asin(std::clamp(nz, -1.0, 1.0));
        add_point_if_inside(q, u, v, out);
        add_point_if_inside(q, u + kPi, kPi - v, out);
    }
    return true;
}

}  // namespace

bool analytic_pieces(const Query& q, std::vector<IsoclinePiece>& out) {
    switch (q.adaptor.GetType()) {
        case GeomAbs_Plane:
            // One normal for the whole face: its extremes in any direction are on its edges.
            return true;
        case GeomAbs_Cylinder:
            generator_lines(q, q.adaptor.Cylinder().Position(), 0.0, out);
            return true;
        case GeomAbs_Cone: {
            const gp_Cone cone = q.adaptor.Cone();
            generator_lines(q, cone.Position(), cone.SemiAngle(), out);
            return true;
        }
        case GeomAbs_Sphere:
            if (q.angle > 0) return false;  // circles not aligned with the parameters: traced numerically
            sphere_points(q, q.adaptor.Sphere(), out);
            return true;
        case GeomAbs_Torus:
            return torus_pieces(q, q.adaptor.Torus(), out);
        default:
            return false;
    }
}

}  // namespace cadhost::geometry::isocline_internal
