// The import with --auto-layers against the plain import of one assembly of many solids whose faces are all
// B-splines, as many CAD systems export them: 135 filleted blocks by default, each with its diagonal line, copies of
// ten long names. usage: auto_layers_bench [SOLIDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_NurbsConvert.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

#include "cadhost/document/document.h"
#include "cadhost/import/import_model.h"
#include "step_writer.h"

namespace {

TopoDS_Shape rounded_block(double x, double y, double size) {
    const TopoDS_Shape block = BRepPrimAPI_MakeBox(gp_Pnt(x, y, 0), size, size * 0.8, size * 1.5).Solid();
    BRepFilletAPI_MakeFillet fillet(block);
    for (TopExp_Explorer edge(block, TopAbs_EDGE); edge.More(); edge.Next())
        fillet.Add(size * 0.1, TopoDS::Edge(edge.Current()));
    return BRepBuilderAPI_NurbsConvert(fillet.Shape(), true).Shape();
}

double seconds_of(const std::string& step, bool auto_layers) {
    cadhost::import::ImportOptions options;
    options.auto_layers = auto_layers;
    cadhost::Document doc;
    const auto start = std::chrono::steady_clock::now();
    const auto result = cadhost::import::import_step(step, options, doc);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        std::exit(2);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int solids = argc > 1 ? std::atoi(argv[1]) : 135;
    std::vector<sample::ModelObject> objects;
    objects.push_back({BRepPrimAPI_MakeBox(gp_Pnt(-50, -50, -60), 40.0 * solids / 10 + 100, 600, 60).Solid(),
                       "MOULD CORE INSERT OF THE FIXED HALF", "240"});
    for (int i = 0; i < solids; ++i) {
        const double x = 40.0 * (i / 10), y = 50.0 * (i % 10), size = 10 + i % 10;
        const std::string name = "ELECTRODE FOR POCKET NUMBER " + std::to_string(i % 10) + " OF THE PLATE";
        objects.push_back({rounded_block(x, y, size), name, std::to_string(i + 1)});
        objects.push_back(
            {BRepBuilderAPI_MakeEdge(gp_Pnt(x, y, size * 1.5), gp_Pnt(x + size, y + size * 0.8, size * 1.5)).Edge(), "",
             std::to_string(i + 1)});
    }
    const std::string step = (std::filesystem::temp_directory_path() / "quillon_auto_layers_bench.step").string();
    if (const std::string error = sample::write_step(step, objects); !error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (argc > 2) return 0;  // a second argument: only write the file, for the command line to import
    // The first read starts the translator and sets up its tables; the two that are compared find them ready.
    seconds_of(step, false);
    const double plain = seconds_of(step, false), automatic = seconds_of(step, true);
    std::printf("%d solids: import %.2f s, with --auto-layers %.2f s, ratio %.2f\n", solids, plain, automatic,
                automatic / plain);
    std::filesystem::remove(step);
    return 0;
}
