#include "cadhost/drafting/hlr_projection.h"

#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include <BRepAdaptor_Curve.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <BRep_Builder.hxx>
#include <gp_Ax2.hxx>

namespace cadhost::drafting {

namespace {

long computed = 0;

struct CacheKey {
    std::vector<std::tuple<const void*, int, int>> shapes;
    std::array<double, 6> axes;
    ProjectionOptions options;
    bool operator<(const CacheKey& o) const {
        return std::tie(shapes, axes, options) < std::tie(o.shapes, o.axes, o.options);
    }
};

struct CacheEntry {
    std::vector<TopoDS_Shape> held;  // keeps the shapes alive so their addresses in the key stay theirs
    std::shared_ptr<const ProjectedEdges> edges;
    unsigned long last_used = 0;
};

// A run draws the same views sheet after sheet (the electrode body views, the views of a core shown with copies of
// one electrode), so recent projections are what comes back; older ones are let go so memory stays bounded however
// many sheets a run makes.
constexpr std::size_t kCacheEntries = 48;

std::mutex cache_mutex;
unsigned long use_clock = 0;
std::map<CacheKey, CacheEntry>& cache() {
    static std::map<CacheKey, CacheEntry> entries;
    return entries;
}

void forget_oldest() {
    auto& entries = cache();
    while (entries.size() > kCacheEntries) {
        auto oldest = entries.begin();
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->second.last_used < oldest->second.last_used) oldest = it;
        entries.erase(oldest);
    }
}

Polyline2d sample(const TopoDS_Edge& edge, double deflection) {
    Polyline2d line;
    if (BRep_Tool::Degenerated(edge)) return line;
    BRepAdaptor_Curve curve(edge);
    GCPnts_TangentialDeflection sampler(curve, 0.05, deflection, 2);
    for (int i = 1; i <= sampler.NbPoints(); ++i) {
        gp_Pnt p = sampler.Value(i);
        line.push_back({p.X(), p.Y()});
    }
    return line;
}

// A key for a polyline that is the same whichever way it runs, rounded to a micrometre: two edges that coincide in
// projection give the same key.
std::vector<long long> line_key(const Polyline2d& line) {
    std::vector<long long> forward, backward;
    for (const auto& p : line) forward.push_back(std::llround(p.x * 1000)), forward.push_back(std::llround(p.y * 1000));
    for (auto it = line.rbegin(); it != line.rend(); ++it)
        backward.push_back(std::llround(it->x * 1000)), backward.push_back(std::llround(it->y * 1000));
    return std::min(forward, backward);
}

void collect(const TopoDS_Shape& compound, double deflection, std::vector<Polyline2d>& out,
             std::set<std::vector<long long>>& seen) {
    if (compound.IsNull()) return;
    for (TopExp_Explorer it(compound, TopAbs_EDGE); it.More(); it.Next()) {
        Polyline2d line = sample(TopoDS::Edge(it.Current()), deflection);
        if (line.size() < 2) continue;
        if (!seen.insert(line_key(line)).second) continue;
        out.push_back(std::move(line));
    }
}

void run_hlr(const std::vector<TopoDS_Shape>& bodies, const ViewOrientation& o, const ProjectionOptions& options,
             ProjectedEdges& edges, std::set<std::vector<long long>>& seen) {
    Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
    for (const auto& body : bodies) algo->Add(body);
    algo->Projector(HLRAlgo_Projector(gp_Ax2(gp::Origin(), o.toward_eye, o.right)));
    algo->Update();
    if (options.hidden_line_removal)
        algo->Hide();
    else
        algo->ShowAll();
    HLRBRep_HLRToShape shapes(algo);
    collect(shapes.VCompound(), options.deflection, edges.visible[ProjectedEdges::Sharp], seen);
    collect(shapes.Rg1LineVCompound(), options.deflection, edges.visible[ProjectedEdges::Smooth], seen);
    collect(shapes.OutLineVCompound(), options.deflection, edges.visible[ProjectedEdges::Outline], seen);
    if (!options.hidden_line_removal) return;
    collect(shapes.HCompound(), options.deflection, edges.hidden[ProjectedEdges::Sharp], seen);
    collect(shapes.Rg1LineHCompound(), options.deflection, edges.hidden[ProjectedEdges::Smooth], seen);
    collect(shapes.OutLineHCompound(), options.deflection, edges.hidden[ProjectedEdges::Outline], seen);
}

}  // namespace

std::shared_ptr<const ProjectedEdges> project_bodies(const std::vector<TopoDS_Shape>& bodies, const ViewOrientation& o,
                                                     const ProjectionOptions& options) {
    CacheKey key;
    for (const auto& b : bodies)
        key.shapes.emplace_back(b.TShape().get(), b.Location().HashCode(INT_MAX), b.Orientation());
    key.axes = {o.right.X(), o.right.Y(), o.right.Z(), o.up.X(), o.up.Y(), o.up.Z()};
    key.options = options;
    {
        std::lock_guard<std::mutex> lock(cache_mutex);
        auto it = cache().find(key);
        if (it != cache().end()) {
            it->second.last_used = ++use_clock;
            return it->second.edges;
        }
    }
    auto edges = std::make_shared<ProjectedEdges>();
    std::set<std::vector<long long>> seen;
    if (!bodies.empty()) {
        if (options.hidden_by_other_bodies || !options.hidden_line_removal) {
            run_hlr(bodies, o, options, *edges, seen);
        } else {
            for (const auto& body : bodies) run_hlr({body}, o, options, *edges, seen);
        }
    }
    std::lock_guard<std::mutex> lock(cache_mutex);
    ++computed;
    cache()[key] = CacheEntry{bodies, edges, ++use_clock};
    forget_oldest();
    return edges;
}

long projections_computed() {
    std::lock_guard<std::mutex> lock(cache_mutex);
    return computed;
}

}  // namespace cadhost::drafting
