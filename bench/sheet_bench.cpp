// Times drawing sheets of the sample mould: top, front and iso views of its core with one electrode each, first one
// sheet, then twenty with twenty different electrodes; and the export of those sheets to PDF, SVG and DXF.
// usage: sheet_bench   (run from anywhere; it reads the bundled sample)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <gp_Trsf.hxx>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/import/import_model.h"
#include "cadhost/render/dxf_writer.h"
#include "cadhost/render/pdf_writer.h"
#include "cadhost/render/svg_writer.h"
#include "cadhost/session/session.h"
#include "host/uf.h"
#include "host/uf_draw.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_part.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

tag_t model_view(const char* name) {
    tag_t tag = NULL_TAG;
    while (UF_OBJ_cycle_by_name(name, &tag) == 0 && tag != NULL_TAG) {
        int type = 0, subtype = 0;
        UF_OBJ_ask_type_and_subtype(tag, &type, &subtype);
        if (type == UF_view_type && subtype == UF_view_normal_subtype) return tag;
    }
    return NULL_TAG;
}

tag_t place(tag_t drawing, const char* view_name, double x, double y, double scale) {
    UF_DRAW_view_info_t info;
    UF_DRAW_initialize_view_info(&info);
    const double at[2] = {x, y};
    tag_t view = NULL_TAG;
    UF_DRAW_import_view(drawing, model_view(view_name), at, &info, &view);
    UF_DRAW_set_view_scale(view, scale);
    UF_DRAW_set_drawing_ref_pt(drawing, view, at);
    UF_DRAW_view_prefs_t prefs;
    UF_DRAW_ask_view_display(view, &prefs);
    prefs.hidden_edges = 2;
    UF_DRAW_set_view_display(view, &prefs);
    return view;
}

// One sheet: the core with the electrode of `layer`, on the template, drawn.
double make_sheet(int number, int layer, const std::string& templ, cadhost::render::SheetGraphics& out) {
    auto start = Clock::now();
    UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER);
    UF_LAYER_set_status(240, UF_LAYER_ACTIVE_LAYER);
    UF_LAYER_set_status(layer, UF_LAYER_ACTIVE_LAYER);
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size[0] = 210;
    info.size.custom_size[1] = 297;
    info.drawing_scale = 1;
    info.units = UF_PART_METRIC;
    tag_t drawing = NULL_TAG;
    UF_DRAW_create_drawing(("BENCH" + std::to_string(number)).c_str(), &info, &drawing);
    UF_import_part_modes_t modes{};
    const double csys[6] = {1, 0, 0, 0, 1, 0}, origin[3] = {0, 0, 0};
    tag_t group = NULL_TAG;
    UF_PART_import(templ.c_str(), &modes, csys, origin, 1.0, &group);
    tag_t top = place(drawing, "top", 80, 150, 0.5);
    const double below[2] = {0, 88};
    tag_t front = NULL_TAG;
    UF_DRAW_add_orthographic_view(drawing, top, UF_DRAW_project_below, below, &front);
    place(drawing, "tfr-iso", 262, 150, 0.2);
    out = cadhost::drafting::build_sheet(cadhost::Session::instance().display_part()->document, drawing);
    return ms_since(start);
}

}  // namespace

int main() {
    const std::string root = QUILLON_SOURCE_DIR;
    auto part = std::make_unique<cadhost::Part>();
    auto imported = cadhost::import::import_step(root + "/examples/sample_mould.step",
                                                 root + "/examples/sample_mould.attrs.json", part->document);
    if (!imported.ok) {
        std::fprintf(stderr, "%s\n", imported.error.c_str());
        return 2;
    }
    cadhost::Document& doc = part->document;
    cadhost::Session::instance().set_display_part(std::move(part));
    cadhost::Session::instance().ui().set_terminal(nullptr);
    UF_initialize();
    UF_LAYER_set_status(254, UF_LAYER_WORK_LAYER);

    // Twenty electrodes: the sample's first one moved to twenty places, each on a layer of its own (20 to 39).
    tag_t first = doc.next_on_layer(1, NULL_TAG);
    const TopoDS_Shape electrode = doc.find(first)->as<cadhost::BodyData>()->shape;
    for (int i = 0; i < 20; ++i) {
        gp_Trsf shift;
        shift.SetTranslation(gp_Vec(-120 + 12 * (i % 10), -50 + 40 * (i / 10), 0));
        tag_t copy = doc.add_body(electrode.Moved(TopLoc_Location(shift)), false);
        doc.set_layer(copy, 20 + i);
    }
    int core_faces = 0;
    tag_t core = doc.next_on_layer(240, NULL_TAG);
    core_faces = doc.find(core)->as<cadhost::BodyData>()->topology()->faces.Extent();

    const std::string templ = root + "/conf/my_edm_A4_a.prt";
    std::vector<cadhost::render::SheetGraphics> sheets(20);
    std::vector<double> times;
    auto all = Clock::now();
    for (int i = 0; i < 20; ++i) times.push_back(make_sheet(i + 1, 20 + i, templ, sheets[i]));
    const double total = ms_since(all);

    auto start = Clock::now();
    std::ostringstream pdf;
    std::string error;
    cadhost::render::write_pdf(sheets, pdf, error);
    const double pdf_ms = ms_since(start);
    start = Clock::now();
    for (const auto& s : sheets) {
        std::ostringstream svg;
        cadhost::render::write_svg(s, svg);
    }
    const double svg_ms = ms_since(start);
    start = Clock::now();
    for (const auto& s : sheets) {
        std::ostringstream dxf;
        cadhost::render::write_dxf(s, dxf, error);
    }
    const double dxf_ms = ms_since(start);

    std::printf("core faces %d, electrodes 20, views per sheet 3\n", core_faces);
    std::printf("first sheet %.0f ms, twentieth sheet %.0f ms, 20 sheets %.0f ms (%.0f ms per sheet)\n", times[0],
                times[19], total, total / 20);
    std::printf("projections computed: %ld (the iso and front views differ per electrode, so none repeat)\n",
                cadhost::drafting::projections_computed());
    std::printf("export of 20 sheets: PDF %.0f ms (%zu bytes), SVG %.0f ms, DXF %.0f ms\n", pdf_ms, pdf.str().size(),
                svg_ms, dxf_ms);
    UF_terminate();
    return 0;
}
