#include "cadhost/import/auto_layers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include <BRepBndLib.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <TopoDS_Compound.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <BRepGProp.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <Standard_Failure.hxx>

#include "cadhost/document/document.h"

namespace cadhost::import {

namespace {

constexpr double kOutlineTolerance = 0.02;
constexpr int kLastElectrodeLayer = kAutoCoreLayer - 1;

struct Solid {
    std::size_t index;
    double volume = 0;
    Bnd_Box box;  // see box_of
    std::array<double, 3> size{};
    mutable std::optional<Bnd_Box> exact;  // see exact_box_of; taken when first needed
};

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The box of the geometry itself, as tight as the surfaces allow: slow on B-spline faces (a second or more for a
// solid of a few dozen), so taken only where a box decides alone.
Bnd_Box exact_box_of(const TopoDS_Shape& shape) {
    Bnd_Box box;
    try {
        BRepBndLib::AddOptimal(shape, box, false, false);
        box.SetGap(0.0);
    } catch (const Standard_Failure&) {
        box.SetVoid();
    }
    return box;
}

// A box that holds the geometry, from the control points of its B-spline faces: a little larger than the exact one
// there, exact on planes, and fast. Copies (the same geometry moved, or turned by quarter turns) have boxes of the
// same sizes, which is what outlines are compared by; their volumes must agree as well.
Bnd_Box box_of(const TopoDS_Shape& shape) {
    Bnd_Box box;
    try {
        BRepBndLib::Add(shape, box, false);
        box.SetGap(0.0);
    } catch (const Standard_Failure&) {
        box.SetVoid();
    }
    return box;
}

double volume_of(const TopoDS_Shape& shape) {
    try {
        GProp_GProps props;
        BRepGProp::VolumeProperties(shape, props);
        return std::abs(props.Mass());
    } catch (const Standard_Failure&) {
        return 0;
    }
}

// The outline as the command compares copies: the box's sizes, under any pairing of the axes.
bool same_outline(const Solid& a, const Solid& b) {
    static const int pairings[6][3] = {{0, 1, 2}, {1, 0, 2}, {0, 2, 1}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}};
    for (const int* pairing : pairings) {
        bool agree = true;
        for (int i = 0; i < 3 && agree; ++i) agree = std::abs(a.size[i] - b.size[pairing[i]]) <= kOutlineTolerance;
        if (agree) return true;
    }
    return false;
}

bool same_volume(double a, double b) { return std::abs(a - b) <= 1e-5 * std::max(a, b) + 1e-6; }

// Names in the order a person numbers them: runs of digits by value ("E2" before "E10"), letters without regard to
// case; unnamed last.
bool name_before(const std::string& a, const std::string& b) {
    if (a.empty() != b.empty()) return b.empty();
    const std::string x = Document::fold_case(a), y = Document::fold_case(b);
    std::size_t i = 0, j = 0;
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < x.size() && j < y.size()) {
        if (digit(x[i]) && digit(y[j])) {
            std::size_t ei = i, ej = j;
            while (ei < x.size() && digit(x[ei])) ++ei;
            while (ej < y.size() && digit(y[ej])) ++ej;
            std::string u = x.substr(i, ei - i), v = y.substr(j, ej - j);
            u.erase(0, std::min(u.find_first_not_of('0'), u.size()));
            v.erase(0, std::min(v.find_first_not_of('0'), v.size()));
            if (u.size() != v.size()) return u.size() < v.size();
            if (u != v) return u < v;
            i = ei, j = ej;
        } else {
            if (x[i] != y[j]) return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
            ++i, ++j;
        }
    }
    return x.size() - i < y.size() - j;
}

bool touches(const TopoDS_Shape& object, const TopoDS_Shape& solid) {
    // A line drawn from corner to corner ends on the solid's vertices: found without measuring any face.
    for (TopExp_Explorer end(object, TopAbs_VERTEX); end.More(); end.Next()) {
        const gp_Pnt at = BRep_Tool::Pnt(TopoDS::Vertex(end.Current()));
        for (TopExp_Explorer corner(solid, TopAbs_VERTEX); corner.More(); corner.Next())
            if (at.Distance(BRep_Tool::Pnt(TopoDS::Vertex(corner.Current()))) <= kAutoTouchTolerance) return true;
    }
    try {
        // Only the least distance is wanted; the greatest would double the work on curved faces. Measured first to
        // the solid's edges alone, which a line across a face crosses, and only then to its faces, which costs
        // most.
        BRep_Builder builder;
        TopoDS_Compound edges;
        builder.MakeCompound(edges);
        for (TopExp_Explorer edge(solid, TopAbs_EDGE); edge.More(); edge.Next()) builder.Add(edges, edge.Current());
        BRepExtrema_DistShapeShape to_edges(object, edges, Extrema_ExtFlag_MIN);
        if (to_edges.IsDone() && to_edges.Value() <= kAutoTouchTolerance) return true;
        BRepExtrema_DistShapeShape distance(object, solid, Extrema_ExtFlag_MIN);
        return distance.IsDone() && distance.Value() <= kAutoTouchTolerance;
    } catch (const Standard_Failure&) {
        return false;
    }
}

bool box_holds(const Bnd_Box& outer, const Bnd_Box& inner) {
    if (outer.IsVoid() || inner.IsVoid()) return false;
    Bnd_Box grown = outer;
    grown.Enlarge(kAutoTouchTolerance);
    double a[6], b[6];
    grown.Get(a[0], a[1], a[2], a[3], a[4], a[5]);
    inner.Get(b[0], b[1], b[2], b[3], b[4], b[5]);
    for (int k = 0; k < 3; ++k)
        if (b[k] < a[k] || b[k + 3] > a[k + 3]) return false;
    return true;
}

// The solid (index into solids) a curve, point or sheet belongs to, or none.
std::optional<std::size_t> owner_of(const TopoDS_Shape& object, const std::vector<Solid>& solids,
                                    const std::vector<AutoLayerInput>& inputs) {
    const Bnd_Box box = exact_box_of(object);
    if (box.IsVoid()) return std::nullopt;
    // The smallest first: the first solid touched is the answer, and the distances to the large core are seldom
    // needed.
    std::vector<std::size_t> order(solids.size());
    for (std::size_t s = 0; s < order.size(); ++s) order[s] = s;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return solids[a].volume < solids[b].volume; });
    std::optional<std::size_t> held;
    for (std::size_t s : order) {
        Bnd_Box near = solids[s].box;
        near.Enlarge(kAutoTouchTolerance);
        if (near.IsOut(box)) continue;
        if (touches(object, inputs[solids[s].index].shape)) return s;
        if (held || !box_holds(solids[s].box, box)) continue;
        if (!solids[s].exact) solids[s].exact = exact_box_of(inputs[solids[s].index].shape);
        if (box_holds(*solids[s].exact, box)) held = s;
    }
    return held;
}

}  // namespace

bool named_like_core(const std::string& name) {
    if (name.find("模仁") != std::string::npos) return true;
    const std::string folded = Document::fold_case(name);
    for (std::size_t at = folded.find("CORE"); at != std::string::npos; at = folded.find("CORE", at + 1)) {
        const bool starts = at == 0 || !is_letter(folded[at - 1]);
        const bool ends = at + 4 == folded.size() || !is_letter(folded[at + 4]);
        if (starts && ends) return true;
    }
    return false;
}

AutoLayering auto_layers(const std::vector<AutoLayerInput>& objects) {
    AutoLayering result;
    result.layers.assign(objects.size(), kAutoLooseLayer);
    std::vector<Solid> solids;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].shape.IsNull() || objects[i].shape.ShapeType() != TopAbs_SOLID) continue;
        Solid solid{i, volume_of(objects[i].shape), box_of(objects[i].shape), {}};
        if (!solid.box.IsVoid()) {
            double x0, y0, z0, x1, y1, z1;
            solid.box.Get(x0, y0, z0, x1, y1, z1);
            solid.size = {x1 - x0, y1 - y0, z1 - z0};
        }
        solids.push_back(solid);
    }
    if (solids.empty()) return result;

    // The core: the largest of the solids named like one, else the largest of all.
    std::optional<std::size_t> core;
    for (std::size_t s = 0; s < solids.size(); ++s) {
        if (named_like_core(objects[solids[s].index].name) && (!core || solids[s].volume > solids[*core].volume))
            core = s;
    }
    std::string why = "its name";
    if (!core) {
        why = "the largest solid";
        core = 0;
        for (std::size_t s = 1; s < solids.size(); ++s)
            if (solids[s].volume > solids[*core].volume) core = s;
    }

    // Copies: one name, one outline, one volume. Unnamed solids cannot be told to be copies.
    std::vector<std::vector<std::size_t>> groups;  // indices into solids
    for (std::size_t s = 0; s < solids.size(); ++s) {
        if (s == *core) continue;
        const std::string& name = objects[solids[s].index].name;
        auto copy_of = [&](const std::vector<std::size_t>& group) {
            const Solid& first = solids[group.front()];
            return !name.empty() && Document::fold_case(objects[first.index].name) == Document::fold_case(name) &&
                   same_outline(first, solids[s]) && same_volume(first.volume, solids[s].volume);
        };
        auto group = std::find_if(groups.begin(), groups.end(), copy_of);
        if (group != groups.end())
            group->push_back(s);
        else
            groups.push_back({s});
    }
    if (groups.size() > static_cast<std::size_t>(kLastElectrodeLayer)) {
        result.error = "--auto-layers: " + std::to_string(groups.size()) +
                       " solids besides the core need a layer each, and layers 1 to " +
                       std::to_string(kLastElectrodeLayer) + " are all there are below the core layer";
        return result;
    }
    std::stable_sort(groups.begin(), groups.end(), [&](const auto& a, const auto& b) {
        return name_before(objects[solids[a.front()].index].name, objects[solids[b.front()].index].name);
    });

    std::vector<int> layer_of_solid(solids.size());
    layer_of_solid[*core] = kAutoCoreLayer;
    result.groups.push_back({kAutoCoreLayer, AutoLayerGroup::Role::core, why, {solids[*core].index}});
    for (std::size_t g = 0; g < groups.size(); ++g) {
        AutoLayerGroup group;
        group.layer = static_cast<int>(g) + 1;
        group.role = groups[g].size() > 1 ? AutoLayerGroup::Role::copies : AutoLayerGroup::Role::electrode;
        for (std::size_t s : groups[g]) {
            layer_of_solid[s] = group.layer;
            group.solids.push_back(solids[s].index);
        }
        result.groups.push_back(std::move(group));
    }
    for (std::size_t s = 0; s < solids.size(); ++s) result.layers[solids[s].index] = layer_of_solid[s];

    bool loose = false;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].shape.IsNull() || objects[i].shape.ShapeType() == TopAbs_SOLID) continue;
        const auto owner = owner_of(objects[i].shape, solids, objects);
        if (owner)
            result.layers[i] = layer_of_solid[*owner];
        else
            loose = true;
    }
    if (loose) result.groups.push_back({kAutoLooseLayer, AutoLayerGroup::Role::loose, "", {}});
    return result;
}

}  // namespace cadhost::import
