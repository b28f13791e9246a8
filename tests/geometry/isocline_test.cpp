#include "cadhost/geometry/isocline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrimAPI_MakeRevol.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <BRepPrimAPI_MakeTorus.hxx>
#include <GCPnts_AbscissaPoint.hxx>
#include <GeomAPI_PointsToBSpline.hxx>
#include <GeomAPI_PointsToBSplineSurface.hxx>
#include <GeomAPI_ProjectPointOnSurf.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <GeomLProp_SLProps.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Ax1.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>

namespace {

using cadhost::geometry::isocline_pieces;
using cadhost::geometry::IsoclinePiece;

constexpr double kTol = 1e-3;
constexpr double kPi = std::numbers::pi;

TopoDS_Face face_of(const TopoDS_Shape& shape, GeomAbs_SurfaceType type) {
    for (TopExp_Explorer ex(shape, TopAbs_FACE); ex.More(); ex.Next()) {
        const TopoDS_Face face = TopoDS::Face(ex.Current());
        if (BRepAdaptor_Surface(face).GetType() == type) return face;
    }
    ADD_FAILURE() << "no face of the requested kind";
    return {};
}

std::vector<IsoclinePiece> pieces_of(const TopoDS_Face& face, const gp_Dir& d, double angle = 0) {
    std::vector<IsoclinePiece> pieces;
    std::string error;
    EXPECT_TRUE(isocline_pieces(face, d, angle, kTol, pieces, error)) << error;
    return pieces;
}

double length_of(const IsoclinePiece& p) { return GCPnts_AbscissaPoint::Length(GeomAdaptor_Curve(p.curve)); }
gp_Pnt start_of(const IsoclinePiece& p) { return p.curve->Value(p.curve->FirstParameter()); }
gp_Pnt end_of(const IsoclinePiece& p) { return p.curve->Value(p.curve->LastParameter()); }

// Every point of each curve passes the check; curves are sampled densely.
template <class Check>
void for_curve_points(const IsoclinePiece& p, Check check) {
    for (int i = 0; i <= 100; ++i) {
        const double t = p.curve->FirstParameter() + (p.curve->LastParameter() - p.curve->FirstParameter()) * i / 100;
        check(p.curve->Value(t));
    }
}

std::vector<gp_Pnt> points_only(const std::vector<IsoclinePiece>& pieces) {
    std::vector<gp_Pnt> points;
    for (const IsoclinePiece& p : pieces) {
        EXPECT_TRUE(p.curve.IsNull()) << "expected isolated points only";
        points.push_back(p.point);
    }
    return points;
}

bool has_point_near(const std::vector<gp_Pnt>& points, const gp_Pnt& wanted) {
    return std::any_of(points.begin(), points.end(), [&](const gp_Pnt& p) { return p.Distance(wanted) <= kTol; });
}

// A straight piece from a to b (either way round).
void expect_segment(const IsoclinePiece& p, const gp_Pnt& a, const gp_Pnt& b) {
    ASSERT_FALSE(p.curve.IsNull());
    const gp_Pnt s = start_of(p), e = end_of(p);
    const bool forward = s.Distance(a) <= kTol && e.Distance(b) <= kTol;
    const bool backward = s.Distance(b) <= kTol && e.Distance(a) <= kTol;
    EXPECT_TRUE(forward || backward) << "segment (" << s.X() << "," << s.Y() << "," << s.Z() << ")-(" << e.X() << ","
                                     << e.Y() << "," << e.Z() << ")";
    EXPECT_NEAR(length_of(p), a.Distance(b), kTol);
}

TEST(IsoclineInput, RejectsUnusableArguments) {
    std::vector<IsoclinePiece> pieces{{}};
    std::string error;
    EXPECT_FALSE(isocline_pieces(TopoDS_Face(), gp::DZ(), 0, kTol, pieces, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(pieces.empty());
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeCylinder(10, 30).Shape(), GeomAbs_Cylinder);
    EXPECT_FALSE(isocline_pieces(face, gp::DX(), 0, 0.0, pieces, error));
    EXPECT_FALSE(isocline_pieces(face, gp::DX(), -0.1, kTol, pieces, error));
    EXPECT_FALSE(isocline_pieces(face, gp::DX(), std::nan(""), kTol, pieces, error));
}

TEST(IsoclinePlane, HasNone) {
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), -5, 5, -5, 5).Face();
    EXPECT_TRUE(pieces_of(face, gp::DZ()).empty());
    EXPECT_TRUE(pieces_of(face, gp_Dir(1, 1, 1)).empty());
}

TEST(IsoclineCylinder, PerpendicularDirectionGivesBothSideLines) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeCylinder(10, 30).Shape(), GeomAbs_Cylinder);
    for (const gp_Dir& d : {gp::DX(), gp_Dir(1, 1, 0)}) {
        const auto pieces = pieces_of(face, d);
        ASSERT_EQ(pieces.size(), 2u);
        const gp_Vec r = 10 * gp_Vec(d);
        const gp_Pnt front = gp::Origin().Translated(r), back = gp::Origin().Translated(-r);
        const bool front_first = start_of(pieces[0]).Distance(front) < 1 || end_of(pieces[0]).Distance(front) < 1;
        expect_segment(pieces[front_first ? 0 : 1], front, front.Translated(gp_Vec(0, 0, 30)));
        expect_segment(pieces[front_first ? 1 : 0], back, back.Translated(gp_Vec(0, 0, 30)));
    }
}

TEST(IsoclineCylinder, AxialOrObliqueDirectionGivesNone) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeCylinder(10, 30).Shape(), GeomAbs_Cylinder);
    EXPECT_TRUE(pieces_of(face, gp::DZ()).empty());
    EXPECT_TRUE(pieces_of(face, gp_Dir(1, 0, 1)).empty());
    EXPECT_TRUE(pieces_of(face, gp_Dir(1, 0, 0.01)).empty());
}

TEST(IsoclineCylinder, SlopedAngleGivesFourLines) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeCylinder(10, 30).Shape(), GeomAbs_Cylinder);
    const auto pieces = pieces_of(face, gp::DX(), kPi / 6);
    ASSERT_EQ(pieces.size(), 4u);
    for (const IsoclinePiece& p : pieces) {
        const gp_Pnt s = start_of(p);
        EXPECT_NEAR(std::abs(s.X()), 10 * std::cos(kPi / 6), kTol);
        EXPECT_NEAR(std::abs(s.Y()), 10 * std::sin(kPi / 6), kTol);
        EXPECT_NEAR(length_of(p), 30, kTol);
    }
}

TEST(IsoclineCylinder, HalfCylinderKeepsOnlyItsOwnLine) {
    const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(10, 30).Shape();
    const TopoDS_Shape half = BRepAlgoAPI_Common(cylinder, BRepPrimAPI_MakeBox(gp_Pnt(0, -20, -5), 20, 40, 40).Shape());
    const auto pieces = pieces_of(face_of(half, GeomAbs_Cylinder), gp::DX());
    ASSERT_EQ(pieces.size(), 1u);
    expect_segment(pieces[0], gp_Pnt(10, 0, 0), gp_Pnt(10, 0, 30));
}

TEST(IsoclineCylinder, LineInterruptedByAPocketIsSplit) {
    const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(10, 30).Shape();
    const TopoDS_Shape cut = BRepAlgoAPI_Cut(cylinder, BRepPrimAPI_MakeBox(gp_Pnt(8, -3, 10), 5, 6, 8).Shape());
    const auto pieces = pieces_of(face_of(cut, GeomAbs_Cylinder), gp::DX());
    std::vector<IsoclinePiece> front;
    for (const IsoclinePiece& p : pieces)
        if (start_of(p).X() > 0) front.push_back(p);
    ASSERT_EQ(front.size(), 2u);
    const bool low_first = start_of(front[0]).Z() < 5;
    expect_segment(front[low_first ? 0 : 1], gp_Pnt(10, 0, 0), gp_Pnt(10, 0, 10));
    expect_segment(front[low_first ? 1 : 0], gp_Pnt(10, 0, 18), gp_Pnt(10, 0, 30));
}

TEST(IsoclineCylinder, LocatedFaceAnswersInModelSpace) {
    gp_Trsf move;
    move.SetRotation(gp_Ax1(gp::Origin(), gp_Dir(1, 1, 0)), 0.7);
    gp_Trsf shift;
    shift.SetTranslation(gp_Vec(5, -7, 12));
    move.PreMultiply(shift);
    const TopoDS_Face local = face_of(BRepPrimAPI_MakeCylinder(10, 30).Shape(), GeomAbs_Cylinder);
    const TopoDS_Face face = TopoDS::Face(local.Moved(TopLoc_Location(move)));
    const auto pieces = pieces_of(face, gp::DX().Transformed(move));
    ASSERT_EQ(pieces.size(), 2u);
    const gp_Pnt a = gp_Pnt(10, 0, 0).Transformed(move), b = gp_Pnt(10, 0, 30).Transformed(move);
    const int i = start_of(pieces[0]).Distance(a) < 1 || end_of(pieces[0]).Distance(a) < 1 ? 0 : 1;
    expect_segment(pieces[i], a, b);
}

TEST(IsoclineCone, GeneratorWhoseNormalIsTheDirection) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeCone(10, 5, 20).Shape(), GeomAbs_Cone);
    // The generator from (10,0,0) to (5,0,20) has the outward normal (20,0,5).
    const auto pieces = pieces_of(face, gp_Dir(20, 0, 5));
    ASSERT_EQ(pieces.size(), 1u);
    expect_segment(pieces[0], gp_Pnt(10, 0, 0), gp_Pnt(5, 0, 20));
    EXPECT_TRUE(pieces_of(face, gp::DX()).empty());
}

TEST(IsoclineSphere, PolesOnTheFace) {
    const TopoDS_Face full = face_of(BRepPrimAPI_MakeSphere(gp_Pnt(1, 2, 3), 10).Shape(), GeomAbs_Sphere);
    for (const gp_Dir& d : {gp::DZ(), gp_Dir(1, 2, 2), gp::DY()}) {
        const auto points = points_only(pieces_of(full, d));
        ASSERT_EQ(points.size(), 2u);
        EXPECT_TRUE(has_point_near(points, gp_Pnt(1, 2, 3).Translated(10 * gp_Vec(d))));
        EXPECT_TRUE(has_point_near(points, gp_Pnt(1, 2, 3).Translated(-10 * gp_Vec(d))));
    }
    const TopoDS_Face upper = face_of(BRepPrimAPI_MakeSphere(10, 0, kPi / 2).Shape(), GeomAbs_Sphere);
    const auto points = points_only(pieces_of(upper, gp::DZ()));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_TRUE(has_point_near(points, gp_Pnt(0, 0, 10)));
}

TEST(IsoclineSphere, SlopedAngleTracesBothParallels) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeSphere(10).Shape(), GeomAbs_Sphere);
    const auto pieces = pieces_of(face, gp::DZ(), kPi / 3);
    double length = 0;
    for (const IsoclinePiece& p : pieces) {
        ASSERT_FALSE(p.curve.IsNull());
        length += length_of(p);
        for_curve_points(p, [](const gp_Pnt& x) {
            EXPECT_NEAR(std::abs(x.Z()), 5, kTol);
            EXPECT_NEAR(std::hypot(x.X(), x.Y()), 10 * std::sin(kPi / 3), kTol);
        });
    }
    EXPECT_NEAR(length, 2 * 2 * kPi * 10 * std::sin(kPi / 3), 0.01);
}

TEST(IsoclineTorus, AxisGivesTopAndBottomCircles) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeTorus(20, 5).Shape(), GeomAbs_Torus);
    const auto pieces = pieces_of(face, gp::DZ());
    ASSERT_EQ(pieces.size(), 2u);
    for (const IsoclinePiece& p : pieces) {
        ASSERT_FALSE(p.curve.IsNull());
        EXPECT_NEAR(length_of(p), 2 * kPi * 20, kTol);
        for_curve_points(p, [](const gp_Pnt& x) { EXPECT_NEAR(std::abs(x.Z()), 5, kTol); });
    }
    EXPECT_NEAR(start_of(pieces[0]).Z() + start_of(pieces[1]).Z(), 0, kTol);
}

TEST(IsoclineTorus, SidewaysGivesOuterAndInnerPoints) {
    const TopoDS_Face face = face_of(BRepPrimAPI_MakeTorus(20, 5).Shape(), GeomAbs_Torus);
    const auto points = points_only(pieces_of(face, gp::DX()));
    ASSERT_EQ(points.size(), 4u);
    for (double x : {25.0, 15.0, -15.0, -25.0}) EXPECT_TRUE(has_point_near(points, gp_Pnt(x, 0, 0))) << x;
}

// A dome fitted through heights 10 - ((x-3)^2 + (y+2)^2) / 40 over [-20, 20]^2: its top is off-centre.
Handle(Geom_BSplineSurface) dome() {
    TColgp_Array2OfPnt grid(1, 9, 1, 9);
    for (int i = 1; i <= 9; ++i)
        for (int k = 1; k <= 9; ++k) {
            const double x = -20 + 5.0 * (i - 1), y = -20 + 5.0 * (k - 1);
            grid.SetValue(i, k, gp_Pnt(x, y, 10 - ((x - 3) * (x - 3) + (y + 2) * (y + 2)) / 40));
        }
    return GeomAPI_PointsToBSplineSurface(grid).Surface();
}

TEST(IsoclineBSpline, DomeTopMatchesDenseSampling) {
    const Handle(Geom_BSplineSurface) surface = dome();
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(surface, 1e-7).Face();
    double u0, u1, v0, v1;
    surface->Bounds(u0, u1, v0, v1);
    gp_Pnt top(0, 0, -1e9);
    for (int i = 0; i <= 1000; ++i)
        for (int k = 0; k <= 1000; ++k) {
            const gp_Pnt p = surface->Value(u0 + (u1 - u0) * i / 1000, v0 + (v1 - v0) * k / 1000);
            if (p.Z() > top.Z()) top = p;
        }
    const auto points = points_only(pieces_of(face, gp::DZ()));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_GE(points[0].Z(), top.Z() - kTol);
    EXPECT_LE(points[0].Z(), top.Z() + kTol);
    // Near a smooth top the height hardly changes with position, so position is held to the sampling spacing.
    EXPECT_LT(std::hypot(points[0].X() - top.X(), points[0].Y() - top.Y()), 0.2);
    EXPECT_NEAR(points[0].X(), 3, 0.2);
    EXPECT_NEAR(points[0].Y(), -2, 0.2);
}

TEST(IsoclineBSpline, TrimmedAwayTopGivesNothing) {
    const Handle(Geom_BSplineSurface) surface = dome();
    double u0, u1, v0, v1;
    surface->Bounds(u0, u1, v0, v1);
    // The first third in u lies at x < -6, away from the top at x = 3.
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(surface, u0, u0 + (u1 - u0) / 3, v0, v1, 1e-7).Face();
    EXPECT_TRUE(pieces_of(face, gp::DZ()).empty());
}

TEST(IsoclineBSpline, SlopedAngleOnDomeIsOneClosedRing) {
    const Handle(Geom_BSplineSurface) surface = dome();
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(surface, 1e-7).Face();
    const auto pieces = pieces_of(face, gp::DZ(), 0.05);
    ASSERT_EQ(pieces.size(), 1u);
    ASSERT_FALSE(pieces[0].curve.IsNull());
    EXPECT_LE(start_of(pieces[0]).Distance(end_of(pieces[0])), kTol);
    // The fitted dome follows the paraboloid, on which slope 0.05 is a circle of radius 20 tan(0.05).
    EXPECT_NEAR(length_of(pieces[0]), 2 * kPi * 20 * std::tan(0.05), 0.01 * 2 * kPi);
    for_curve_points(pieces[0], [&](const gp_Pnt& x) {
        GeomAPI_ProjectPointOnSurf projection(x, surface);
        ASSERT_TRUE(projection.IsDone() && projection.NbPoints() > 0);
        EXPECT_LE(projection.LowerDistance(), kTol);
        double u = 0, v = 0;
        projection.LowerDistanceParameters(u, v);
        GeomLProp_SLProps props(surface, u, v, 1, 1e-9);
        EXPECT_NEAR(std::acos(std::abs(props.Normal().Z())), 0.05, 1e-3);
    });
}

// A ridge profile in the XZ plane, and its interior highs and lows (x, z) found by dense sampling. The fitted spline
// may dip below its end points, and each such dip is an extreme place too.
struct Profile {
    Handle(Geom_Curve) curve;
    std::vector<gp_Pnt> extremes;
};

Profile ridge() {
    TColgp_Array1OfPnt pts(1, 5);
    pts.SetValue(1, gp_Pnt(4, 0, 0));
    pts.SetValue(2, gp_Pnt(6, 0, 6));
    pts.SetValue(3, gp_Pnt(9, 0, 8));
    pts.SetValue(4, gp_Pnt(13, 0, 5));
    pts.SetValue(5, gp_Pnt(16, 0, 0));
    Profile profile{Handle(Geom_Curve)(GeomAPI_PointsToBSpline(pts).Curve()), {}};
    const Handle(Geom_Curve)& c = profile.curve;
    constexpr int n = 200000;
    std::vector<gp_Pnt> s;
    for (int i = 0; i <= n; ++i)
        s.push_back(c->Value(c->FirstParameter() + (c->LastParameter() - c->FirstParameter()) * i / n));
    for (int i = 1; i < n; ++i) {
        const double a = s[i].Z() - s[i - 1].Z(), b = s[i + 1].Z() - s[i].Z();
        if ((a > 0 && b <= 0) || (a < 0 && b >= 0)) profile.extremes.push_back(s[i]);
    }
    EXPECT_FALSE(profile.extremes.empty());
    return profile;
}

TEST(IsoclineNumeric, ExtrusionGivesALinePerProfileExtreme) {
    const Profile profile = ridge();
    const TopoDS_Edge edge = BRepBuilderAPI_MakeEdge(profile.curve).Edge();
    const TopoDS_Face face = TopoDS::Face(BRepPrimAPI_MakePrism(edge, gp_Vec(0, 25, 0)).Shape());
    ASSERT_EQ(BRepAdaptor_Surface(face).GetType(), GeomAbs_SurfaceOfExtrusion);
    const auto pieces = pieces_of(face, gp::DZ());
    ASSERT_EQ(pieces.size(), profile.extremes.size());
    for (const gp_Pnt& top : profile.extremes) {
        const auto match = std::find_if(pieces.begin(), pieces.end(), [&](const IsoclinePiece& p) {
            return !p.curve.IsNull() && std::abs(start_of(p).X() - top.X()) < 0.01;
        });
        ASSERT_NE(match, pieces.end()) << "no line at x = " << top.X();
        expect_segment(*match, gp_Pnt(top.X(), 0, top.Z()), gp_Pnt(top.X(), 25, top.Z()));
    }
}

TEST(IsoclineNumeric, RevolutionGivesACirclePerProfileExtreme) {
    const Profile profile = ridge();
    const TopoDS_Edge edge = BRepBuilderAPI_MakeEdge(profile.curve).Edge();
    const TopoDS_Face face = TopoDS::Face(BRepPrimAPI_MakeRevol(edge, gp::OZ()).Shape());
    ASSERT_EQ(BRepAdaptor_Surface(face).GetType(), GeomAbs_SurfaceOfRevolution);
    const auto pieces = pieces_of(face, gp::DZ());
    ASSERT_EQ(pieces.size(), profile.extremes.size());
    for (const gp_Pnt& top : profile.extremes) {
        const auto match = std::find_if(pieces.begin(), pieces.end(), [&](const IsoclinePiece& p) {
            return !p.curve.IsNull() && std::abs(start_of(p).Z() - top.Z()) < 0.01;
        });
        ASSERT_NE(match, pieces.end()) << "no circle at z = " << top.Z();
        EXPECT_NEAR(length_of(*match), 2 * kPi * top.X(), 0.01);
        for_curve_points(*match, [&](const gp_Pnt& x) {
            EXPECT_NEAR(x.Z(), top.Z(), kTol);
            EXPECT_NEAR(std::hypot(x.X(), x.Y()), top.X(), 0.01);
        });
    }
}

}  // namespace
