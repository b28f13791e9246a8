#include "cadhost/drafting/hlr_projection.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>

#include <BRepAdaptor_Curve.hxx>
#include <BRep_Tool.hxx>
#include <Geom_BSplineCurve.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <Precision.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include "cadhost/drafting/face_selection.h"
#include "cadhost/drafting/prepared_body.h"
#include "cadhost/drafting/projection_parts.h"
#include "cadhost/drafting/projection_regions.h"
#include "cadhost/drafting/projection_store.h"

namespace cadhost::drafting {

namespace {

// Points land on a 10 nm grid, so that a projection read back from a part file is the one that was computed.
double on_grid(double v) { return std::round(v * 1e5) / 1e5; }

// Curves are divided so that no chord strays more than the deflection from the curve nor turns more than this.
constexpr double kAngularDeflection = 0.2;

// An ellipse's major semi-axis on the grid. The axis either way describes the same ellipse; one way is kept, so that
// the same ellipse computed again, turned or read back is drawn the same, and no coordinate is a negative zero.
Point2d one_way(double x, double y) {
    const double sign = x > 0.0 || (x == 0.0 && y > 0.0) ? 1.0 : -1.0;
    return {on_grid(sign * x) + 0.0, on_grid(sign * y) + 0.0};
}

// Ratios of ellipses land on a grid as fine as the points', for the same reason.
double ratio_on_grid(double v) { return std::round(v * 1e12) / 1e12; }

// The B-spline an edge of the projection follows from end to end, its poles on the grid: the curve trimmed to the
// edge's range, made non-periodic so that its knots can be written out whole.
std::shared_ptr<const Spline2d> spline_of(const BRepAdaptor_Curve& curve) {
    Handle(Geom_BSplineCurve) whole = curve.BSpline();
    if (whole.IsNull()) return nullptr;
    Handle(Geom_BSplineCurve) bspline = Handle(Geom_BSplineCurve)::DownCast(whole->Copy());
    if (bspline->IsPeriodic()) bspline->SetNotPeriodic();
    const double first = curve.FirstParameter(), last = curve.LastParameter();
    const double tolerance = Precision::PConfusion();
    if (!(last - first > tolerance)) return nullptr;
    if (first > bspline->FirstParameter() + tolerance || last < bspline->LastParameter() - tolerance)
        bspline->Segment(first, last);
    auto spline = std::make_shared<Spline2d>();
    spline->degree = bspline->Degree();
    TColStd_Array1OfReal knots(1, bspline->NbPoles() + bspline->Degree() + 1);
    bspline->KnotSequence(knots);
    for (int i = knots.Lower(); i <= knots.Upper(); ++i) spline->knots.push_back(knots(i));
    for (int i = 1; i <= bspline->NbPoles(); ++i) {
        const gp_Pnt pole = bspline->Pole(i);
        spline->poles.push_back({on_grid(pole.X()), on_grid(pole.Y())});
        if (bspline->IsRational()) spline->weights.push_back(bspline->Weight(i));
    }
    return spline;
}

ProjectedLine sample(const TopoDS_Edge& edge, double deflection) {
    ProjectedLine line;
    if (BRep_Tool::Degenerated(edge)) return line;
    BRepAdaptor_Curve curve(edge);
    GCPnts_TangentialDeflection sampler(curve, kAngularDeflection, deflection, 2);
    for (int i = 1; i <= sampler.NbPoints(); ++i) {
        gp_Pnt p = sampler.Value(i);
        line.points.push_back({on_grid(p.X()), on_grid(p.Y())});
    }
    switch (curve.GetType()) {
        case GeomAbs_Circle: {
            const gp_Circ circle = curve.Circle();
            line.centre = {on_grid(circle.Location().X()), on_grid(circle.Location().Y())};
            line.radius = on_grid(circle.Radius());
            break;
        }
        case GeomAbs_Ellipse: {
            // A circle seen obliquely. Its parameters run either way round depending on the side its axis faces;
            // outputs take the sense from the polyline instead, so only the shape is kept.
            const gp_Elips ellipse = curve.Ellipse();
            const gp_Dir along = ellipse.XAxis().Direction();
            const double a = ellipse.MajorRadius(), b = ellipse.MinorRadius();
            if (a <= 0.0 || b <= 0.0) break;
            line.centre = {on_grid(ellipse.Location().X()) + 0.0, on_grid(ellipse.Location().Y()) + 0.0};
            line.major = one_way(along.X() * a, along.Y() * a);
            line.ratio = ratio_on_grid(std::min(1.0, b / a));
            break;
        }
        case GeomAbs_BSplineCurve:
            line.spline = spline_of(curve);
            break;
        default:
            break;
    }
    return line;
}

// Two polylines are the same line when their points, rounded to a micrometre, agree as they run or reversed: edges
// that coincide in projection are drawn once.
long long micrometres(double v) { return std::llround(v * 1000); }

bool same_line(const Polyline2d& a, const Polyline2d& b) {
    if (a.size() != b.size()) return false;
    auto agree = [](const Point2d& p, const Point2d& q) {
        return micrometres(p.x) == micrometres(q.x) && micrometres(p.y) == micrometres(q.y);
    };
    const std::size_t n = a.size();
    bool forward = true, backward = true;
    for (std::size_t i = 0; i < n && (forward || backward); ++i) {
        forward = forward && agree(a[i], b[i]);
        backward = backward && agree(a[i], b[n - 1 - i]);
    }
    return forward || backward;
}

// A hash that is the same whichever way the line runs: of its point count and its rounded ends, which tell almost
// every two lines apart without going through all their points.
std::uint64_t line_hash(const Polyline2d& line) {
    auto mix = [](std::uint64_t h, long long v) {
        h ^= static_cast<std::uint64_t>(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
        return h;
    };
    auto end = [&](const Point2d& p) { return mix(mix(0, micrometres(p.x)), micrometres(p.y)); };
    const std::uint64_t a = end(line.front()), b = end(line.back());
    return mix(mix(line.size(), static_cast<long long>(std::min(a, b))), static_cast<long long>(std::max(a, b)));
}

// Adds the lines of one projection to another; a line already there (as it runs or reversed) is not added again.
class Collector {
  public:
    explicit Collector(ProjectedEdges& out) : out_(out) {}
    void add(std::vector<ProjectedLine>& to, ProjectedLine line) {
        if (line.points.size() < 2) return;
        const std::uint64_t hash = line_hash(line.points);
        const auto [first, last] = seen_.equal_range(hash);
        for (auto it = first; it != last; ++it)
            if (same_line((*it->second.lines)[it->second.index].points, line.points)) return;
        seen_.emplace_hint(last, hash, Seen{&to, to.size()});
        to.push_back(std::move(line));
    }
    template <class Filter>
    void add_all(const ProjectedEdges& from, Filter keep) {
        for (int c = 0; c < 3; ++c)
            for (const auto& line : from.visible[c])
                keep(line, [&](ProjectedLine piece) { add(out_.visible[c], std::move(piece)); });
        for (int c = 0; c < 3; ++c)
            for (const auto& line : from.hidden[c])
                keep(line, [&](ProjectedLine piece) { add(out_.hidden[c], std::move(piece)); });
    }

  private:
    // Where a line kept is: by index, as its list grows.
    struct Seen {
        const std::vector<ProjectedLine>* lines;
        std::size_t index;
    };
    ProjectedEdges& out_;
    std::unordered_multimap<std::uint64_t, Seen> seen_;
};

void collect(const TopoDS_Shape& compound, double deflection, std::vector<ProjectedLine>& to, Collector& collector) {
    if (compound.IsNull()) return;
    for (TopExp_Explorer it(compound, TopAbs_EDGE); it.More(); it.Next())
        collector.add(to, sample(TopoDS::Edge(it.Current()), deflection));
}

ProjectedEdges run_hlr(const std::vector<TopoDS_Shape>& shapes, const ViewOrientation& o,
                       const ProjectionOptions& options) {
    ProjectedEdges edges;
    if (shapes.empty()) return edges;
    Collector collector(edges);
    Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
    for (const auto& shape : shapes) algo->Add(shape);
    algo->Projector(HLRAlgo_Projector(gp_Ax2(gp::Origin(), o.toward_eye, o.right)));
    algo->Update();
    if (options.hidden_line_removal)
        algo->Hide();
    else
        algo->ShowAll();
    HLRBRep_HLRToShape result(algo);
    collect(result.VCompound(), options.deflection, edges.visible[ProjectedEdges::Sharp], collector);
    collect(result.Rg1LineVCompound(), options.deflection, edges.visible[ProjectedEdges::Smooth], collector);
    collect(result.OutLineVCompound(), options.deflection, edges.visible[ProjectedEdges::Outline], collector);
    if (!options.hidden_line_removal) return edges;
    collect(result.HCompound(), options.deflection, edges.hidden[ProjectedEdges::Sharp], collector);
    collect(result.Rg1LineHCompound(), options.deflection, edges.hidden[ProjectedEdges::Smooth], collector);
    collect(result.OutLineHCompound(), options.deflection, edges.hidden[ProjectedEdges::Outline], collector);
    return edges;
}

// What a projection depends on besides the geometry: the direction the eye looks along and what points right, and
// how finely curves are divided. Hiding by other bodies is resolved after the bodies are projected, so it is not here.
// A zero is written without its sign: -0 and 0 are the same direction.
std::string direction_key(const ViewOrientation& o, const ProjectionOptions& options) {
    char text[256];
    std::snprintf(text, sizeof text, "%.17g,%.17g,%.17g/%.17g,%.17g,%.17g/%d/%.17g", o.toward_eye.X() + 0.0,
                  o.toward_eye.Y() + 0.0, o.toward_eye.Z() + 0.0, o.right.X() + 0.0, o.right.Y() + 0.0,
                  o.right.Z() + 0.0, options.hidden_line_removal ? 1 : 0, options.deflection);
    return text;
}

// What points right only turns a projection in the view plane, so a body is projected on its own once for each
// direction of the eye, with its own right: square to the model's Z, or the model's X when the eye looks along Z.
// These are the standard views' rights, which then need no turning.
// The eye direction is rounded far below anything a drawing shows, so that directions worked out along different
// ways, equal but for the last bits, share their projections.
ViewOrientation own_orientation(const ViewOrientation& o) {
    ViewOrientation own = o;
    auto round = [](double v) { return std::round(v * 1e12) / 1e12; };
    own.toward_eye = gp_Dir(round(o.toward_eye.X()), round(o.toward_eye.Y()), round(o.toward_eye.Z()));
    const gp_XYZ across = gp::DZ().XYZ().Crossed(own.toward_eye.XYZ());
    own.right = across.Modulus() < 1e-9 ? gp::DX() : gp_Dir(across);
    own.up = own.toward_eye.Crossed(own.right);
    return own;
}

// The turn in the view plane from a projection in one orientation to one in another with the same eye direction.
class Turn {
  public:
    Turn(const ViewOrientation& from, const ViewOrientation& to) {
        const gp_Ax2 a(gp::Origin(), from.toward_eye, from.right), b(gp::Origin(), to.toward_eye, to.right);
        xx_ = a.XDirection().Dot(b.XDirection()), yx_ = a.YDirection().Dot(b.XDirection());
        xy_ = a.XDirection().Dot(b.YDirection()), yy_ = a.YDirection().Dot(b.YDirection());
        none_ = std::fabs(xx_ - 1.0) < 1e-12 && std::fabs(yy_ - 1.0) < 1e-12;
    }
    bool none() const { return none_; }
    Point2d operator()(const Point2d& p) const {
        return {on_grid(p.x * xx_ + p.y * yx_) + 0.0, on_grid(p.x * xy_ + p.y * yy_) + 0.0};
    }
    // Every point and direction the line carries turns: its points, its circle's or ellipse's centre, the ellipse's
    // axis, a spline's poles. Radii, ratios, knots and weights stay.
    ProjectedLine operator()(const ProjectedLine& line) const {
        ProjectedLine out = line;
        for (auto& p : out.points) p = (*this)(p);
        if (out.radius > 0 || out.is_ellipse()) out.centre = (*this)(out.centre);
        if (out.is_ellipse())
            out.major = one_way(line.major.x * xx_ + line.major.y * yx_, line.major.x * xy_ + line.major.y * yy_);
        if (out.spline) {
            auto spline = std::make_shared<Spline2d>(*out.spline);
            for (auto& p : spline->poles) p = (*this)(p);
            out.spline = std::move(spline);
        }
        return out;
    }

  private:
    double xx_ = 1.0, yx_ = 0.0, xy_ = 0.0, yy_ = 1.0;
    bool none_ = true;
};

// Hands on the pieces of a line that lie in a region (inside) or outside them all; a piece of an arc of a circle or an
// ellipse is an arc of the same curve, a piece of a spline is a polyline unless it is the whole line. Most lines of a
// large body lie far from every region: they are handed on whole without being cut.
template <class Line, class Emit>
void pieces(Line&& line, const std::vector<Box2>& regions, bool inside, Emit emit) {
    if (line.points.size() < 2) return;
    if (!reaches_regions(line.points, regions)) {
        if (!inside) emit(ProjectedLine(std::forward<Line>(line)));
        return;
    }
    split_by_regions(line.points, regions, [&](int owner, Polyline2d piece) {
        if ((owner >= 0) != inside) return;
        ProjectedLine cut;
        cut.centre = line.centre, cut.radius = line.radius, cut.major = line.major, cut.ratio = line.ratio;
        const bool whole = piece.size() == line.points.size() && piece.front().x == line.points.front().x &&
                           piece.front().y == line.points.front().y && piece.back().x == line.points.back().x &&
                           piece.back().y == line.points.back().y;
        if (whole) cut.spline = line.spline;
        cut.points = std::move(piece);
        emit(std::move(cut));
    });
}

// What a view's projection takes: its bodies (prepared copies), their keys, their boxes and where they overlap.
struct Plan {
    std::string direction;
    std::vector<std::string> digests, alone_keys, view_keys;
    std::vector<TopoDS_Shape> bodies;
    std::vector<Box2> boxes, overlaps;
    std::vector<char> alone;  // projected on its own: not a body that lies wholly in an overlap
};

Plan plan_of(const std::vector<TopoDS_Shape>& given_bodies, const ViewOrientation& o,
             const ProjectionOptions& options) {
    Plan plan;
    plan.direction = direction_key(o, options);
    const std::string own_direction = direction_key(own_orientation(o), options);
    for (const auto& given : given_bodies) {
        plan.digests.push_back(shape_digest(given));
        plan.bodies.push_back(prepared_body(given, plan.digests.back()));
        plan.alone_keys.push_back("body " + plan.digests.back() + " " + own_direction);
        plan.view_keys.push_back("body " + plan.digests.back() + " " + plan.direction);
    }
    // Bodies hide each other only where their outlines overlap: there, and only there, they are projected together.
    if (options.hidden_line_removal && options.hidden_by_other_bodies && plan.bodies.size() > 1) {
        for (std::size_t i = 0; i < plan.bodies.size(); ++i)
            plan.boxes.push_back(body_boxes(plan.bodies[i], plan.view_keys[i], o)->body);
        plan.overlaps = overlap_regions(plan.boxes);
    }
    // A body whose box lies in an overlap has nothing outside them, and is not projected on its own at all: an
    // electrode over a core is drawn wholly where they overlap.
    for (std::size_t i = 0; i < plan.bodies.size(); ++i) {
        const bool within =
            !plan.boxes.empty() && std::any_of(plan.overlaps.begin(), plan.overlaps.end(), [&](const Box2& r) {
                return r.contains(plan.boxes[i].x0, plan.boxes[i].y0) && r.contains(plan.boxes[i].x1, plan.boxes[i].y1);
            });
        plan.alone.push_back(within ? 0 : 1);
    }
    return plan;
}

std::shared_ptr<const ProjectedEdges> alone(const Plan& plan, std::size_t i, const ViewOrientation& o,
                                            const ProjectionOptions& options) {
    return ProjectionStore::shared().get(plan.alone_keys[i],
                                         [&] { return run_hlr({plan.bodies[i]}, own_orientation(o), options); });
}

// Each body's own projection, without what lies in the overlaps.
void each_alone(const Plan& plan, const ViewOrientation& o, const ProjectionOptions& options, Collector& collector) {
    const Turn turn(own_orientation(o), o);
    for (std::size_t i = 0; i < plan.bodies.size(); ++i) {
        if (!plan.alone[i]) continue;
        collector.add_all(*alone(plan, i, o, options), [&](const ProjectedLine& line, auto emit) {
            if (turn.none())
                pieces(line, plan.overlaps, false, emit);
            else
                pieces(turn(line), plan.overlaps, false, emit);
        });
    }
}

// The lines inside the overlaps, where the bodies hide each other: only the faces that reach into them, projected
// together and cut to them.
std::shared_ptr<const ProjectedEdges> inside_overlaps(const Plan& plan, const ViewOrientation& o,
                                                      const ProjectionOptions& options) {
    std::vector<std::string> sorted = plan.digests;
    std::sort(sorted.begin(), sorted.end());
    std::string together_key = "overlap";
    for (const auto& d : sorted) together_key += " " + d;
    together_key += " " + plan.direction;
    return ProjectionStore::shared().get(together_key, [&] {
        std::vector<TopoDS_Shape> parts;
        for (std::size_t i = 0; i < plan.bodies.size(); ++i) {
            auto boxes = body_boxes(plan.bodies[i], plan.view_keys[i], o);
            TopoDS_Shape part = faces_reaching(plan.bodies[i], *boxes, plan.overlaps);
            if (!part.IsNull()) parts.push_back(part);
        }
        const ProjectedEdges all = run_hlr(parts, o, options);
        ProjectedEdges inside;
        Collector clipped(inside);
        clipped.add_all(all, [&](const ProjectedLine& line, auto emit) { pieces(line, plan.overlaps, true, emit); });
        return inside;
    });
}

}  // namespace

ProjectedEdges project_together(const std::vector<TopoDS_Shape>& bodies, const ViewOrientation& o,
                                const ProjectionOptions& options) {
    if (options.hidden_by_other_bodies || !options.hidden_line_removal) return run_hlr(bodies, o, options);
    ProjectedEdges edges;
    Collector collector(edges);
    for (const auto& body : bodies)
        collector.add_all(run_hlr({body}, o, options), [](const ProjectedLine& line, auto emit) { emit(line); });
    return edges;
}

std::shared_ptr<const ProjectedEdges> project_bodies(const std::vector<TopoDS_Shape>& given_bodies,
                                                     const ViewOrientation& o, const ProjectionOptions& options) {
    const Plan plan = plan_of(given_bodies, o, options);
    auto edges = std::make_shared<ProjectedEdges>();
    Collector collector(*edges);
    each_alone(plan, o, options, collector);
    if (plan.overlaps.empty()) return edges;
    collector.add_all(*inside_overlaps(plan, o, options), [](const ProjectedLine& line, auto emit) { emit(line); });
    return edges;
}

ProjectionParts projection_parts(const std::vector<TopoDS_Shape>& given_bodies, const ViewOrientation& o,
                                 const ProjectionOptions& options) {
    auto plan = std::make_shared<const Plan>(plan_of(given_bodies, o, options));
    ProjectionParts parts;
    parts.overlaps = plan->overlaps;
    for (std::size_t i = 0; i < plan->bodies.size(); ++i) {
        if (!plan->alone[i]) continue;
        OwnLines own;
        own.body = i;
        own.key = plan->alone_keys[i] + " seen " + plan->direction;
        own.lines = [plan, i, o, options] {
            const auto edges = alone(*plan, i, o, options);
            const Turn turn(own_orientation(o), o);
            if (turn.none()) return *edges;
            ProjectedEdges turned;
            for (int c = 0; c < 3; ++c) {
                for (const auto& line : edges->visible[c]) turned.visible[c].push_back(turn(line));
                for (const auto& line : edges->hidden[c]) turned.hidden[c].push_back(turn(line));
            }
            return turned;
        };
        parts.own.push_back(std::move(own));
    }
    if (!plan->overlaps.empty()) parts.inside = inside_overlaps(*plan, o, options);
    return parts;
}

void project_alone_ahead(const std::vector<ProjectionRequest>& requests, unsigned threads) {
    // Each body's own projection once, however many views ask for it; the largest bodies first, so that the threads
    // finish together.
    // A job shares its view's plan with the view's other bodies' jobs: a copy each would grow with bodies times
    // views, and a large mould has thousands of both.
    struct Job {
        const ProjectionRequest* request;
        std::shared_ptr<const Plan> plan;
        std::size_t body;
        std::size_t faces;
    };
    std::vector<Job> jobs;
    std::set<std::string> planned;
    for (const auto& request : requests) {
        auto plan = std::make_shared<const Plan>(plan_of(request.bodies, request.orientation, request.options));
        for (std::size_t i = 0; i < plan->bodies.size(); ++i) {
            if (!plan->alone[i] || !planned.insert(plan->alone_keys[i]).second) continue;
            // Found kept, it is read when a view that needs it is drawn: a job would only hold the plan meanwhile.
            if (ProjectionStore::shared().holds(plan->alone_keys[i])) continue;
            const std::size_t faces =
                body_boxes(plan->bodies[i], plan->view_keys[i], request.orientation)->faces.size();
            jobs.push_back({&request, plan, i, faces});
        }
    }
    std::stable_sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.faces > b.faces; });
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t j = next++; j < jobs.size(); j = next++) {
            try {
                alone(*jobs[j].plan, jobs[j].body, jobs[j].request->orientation, jobs[j].request->options);
            } catch (...) {
                // The view that needs it projects it again when it is drawn, and tells of the failure there.
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, threads); ++t) pool.emplace_back(work);
    work();
    for (auto& thread : pool) thread.join();
}

long projections_computed() { return ProjectionStore::shared().computed(); }

}  // namespace cadhost::drafting
