#include <BRepBuilderAPI_MakeVertex.hxx>
#include <TopoDS_Vertex.hxx>

#include "model.h"

namespace sample {
namespace {

// The core is 200 x 150 x 60 with its top face at z = 0; every electrode burns one pocket of it.
std::vector<ElectrodeDesign> sample_designs() {
    std::vector<ElectrodeDesign> designs;

    ElectrodeDesign e01;  // from the top, chamfered base, every attribute the drawing reads
    e01.name = "E01";
    e01.layer = 1;
    e01.direction = 1;
    e01.reference = gp_Pnt(45, 35, 0);
    e01.base_x = 50, e01.base_y = 40, e01.base_height = 20;
    e01.chamfer_x = 1, e01.chamfer_y = -1, e01.chamfer_size = 5;
    e01.tip_x0 = -15, e01.tip_x1 = 15, e01.tip_y0 = -10, e01.tip_y1 = 10, e01.tip_depth = 15, e01.tip_fillet = 3;
    e01.attributes = {{"ELEC_ROUGH_SPACE", 0.25},
                      {"ELEC_FINISH_SPACE", 0.08},
                      {"elec_rough_number", 2},
                      {"elec_finish_number", 1},
                      {"T_ELEC_ROUGH_SPACE", 0.35},
                      {"t_elec_rough_number", 1},
                      {"ELEC_NOTE", std::string("顶面清角, 注意 R3")}};
    designs.push_back(e01);

    ElectrodeDesign e02;  // two copies from the top, the second turned a quarter turn; tip off the base's centre
    e02.name = "E02";
    e02.layer = 2;
    e02.direction = 1;
    e02.reference = gp_Pnt(-55, 40, 0);
    e02.base_x = 40, e02.base_y = 30, e02.base_height = 18;
    e02.tip_x0 = -14, e02.tip_x1 = 6, e02.tip_y0 = -5, e02.tip_y1 = 5, e02.tip_depth = 10;
    designs.push_back(e02);
    e02.reference = gp_Pnt(-55, -30, 0);
    e02.turn_deg = 90;
    designs.push_back(e02);

    ElectrodeDesign e03;  // from below, round tip
    e03.name = "E03";
    e03.layer = 3;
    e03.direction = -1;
    e03.reference = gp_Pnt(0, 0, -60);
    e03.base_x = 60, e03.base_y = 40, e03.base_height = 15;
    e03.round_tip = true;
    e03.tip_x0 = -12, e03.tip_x1 = 12, e03.tip_y0 = -12, e03.tip_y1 = 12, e03.tip_depth = 15;
    e03.attributes = {{"ELEC_ROUGH_SPACE", 0.3}, {"elec_rough_number", 1}};
    designs.push_back(e03);

    ElectrodeDesign e04;  // from the front face (minimum y)
    e04.name = "E04";
    e04.layer = 4;
    e04.direction = 2;
    e04.reference = gp_Pnt(20, -75, -30);
    e04.base_x = 40, e04.base_y = 30, e04.base_height = 20;
    e04.tip_x0 = -12, e04.tip_x1 = 12, e04.tip_y0 = -7, e04.tip_y1 = 7, e04.tip_depth = 12;
    designs.push_back(e04);

    ElectrodeDesign e05;  // from the side at maximum x, set up by a single-side touch
    e05.name = "E05";
    e05.layer = 5;
    e05.direction = 3;
    e05.reference = gp_Pnt(100, -10, -30);
    e05.base_x = 30, e05.base_y = 30, e05.base_height = 20;
    e05.tip_x0 = -8, e05.tip_x1 = 8, e05.tip_y0 = -8, e05.tip_y1 = 8, e05.tip_depth = 10;
    e05.touch_point = frame_to_model(e05, gp_Pnt(0, e05.base_y / 2, e05.base_height / 2));
    e05.attributes = {{"s_x", e05.touch_point->X()},
                      {"s_y", e05.touch_point->Y()},
                      {"s_z", e05.touch_point->Z()},
                      {"ELEC_FINISH_SPACE", 0.1},
                      {"elec_finish_number", 2}};
    designs.push_back(e05);

    ElectrodeDesign e06;  // a plain round pin without base, held by its top
    e06.name = "E06";
    e06.layer = 6;
    e06.direction = 1;
    e06.has_base = false;
    e06.reference = gp_Pnt(10, -40, 23);
    e06.round_tip = true;
    e06.tip_x0 = -6, e06.tip_x1 = 6, e06.tip_y0 = -6, e06.tip_y1 = 6, e06.tip_depth = 35;
    e06.attributes = {
        {"ELEC_ROUGH_SPACE", 0.15}, {"ELEC_FINISH_SPACE", 0.05}, {"elec_rough_number", 1}, {"elec_finish_number", 1}};
    designs.push_back(e06);

    ElectrodeDesign e07;  // from the side at minimum x
    e07.name = "E07";
    e07.layer = 7;
    e07.direction = -3;
    e07.reference = gp_Pnt(-100, 30, -35);
    e07.base_x = 24, e07.base_y = 32, e07.base_height = 16;
    e07.tip_x0 = -6, e07.tip_x1 = 6, e07.tip_y0 = -10, e07.tip_y1 = 10, e07.tip_depth = 8;
    designs.push_back(e07);
    return designs;
}

}  // namespace

Model build_sample() {
    Model model;
    model.core_name = "CORE";
    // The electrodes in copper and the core in grey, so an electrode stands out on the core's sheets.
    model.core_colour = "grey";
    model.electrode_colour = "copper";
    const CoreDesign core{200, 150, 60, 8};
    model.core_box = {gp_Pnt(-100, -75, -60), gp_Pnt(100, 75, 0)};
    std::vector<TopoDS_Shape> tools;
    for (const ElectrodeDesign& design : sample_designs()) {
        model.electrodes.push_back(build_electrode(design));
        tools.push_back(model.electrodes.back().burn_tool);
    }
    tools.push_back(round_hole(gp_Pnt(-88, 0, 0), gp::DZ(), 4, 61));  // an ejector hole through the core
    const TopoDS_Shape origin = BRepBuilderAPI_MakeVertex(gp::Origin()).Vertex();
    model.extra_core_curves.push_back({origin, "ORIGIN", "240"});
    assemble(model, build_core(core, tools));
    return model;
}

}  // namespace sample
