// The drawing run in-process: sheet names in both naming modes, page numbering, stopping, and what each sheet holds.
#include "run_driver/run_fixture.h"

#include <BRepAlgoAPI_Fuse.hxx>

#include "cadhost/setup/edm_table.h"
#include "host/uf_curve.h"
#include "host/uf_obj.h"
#include "quillon/center_lines.h"

namespace {

using run_driver_test::RunTest;

const char* const kPassedOver = "构建下一张图纸时,已经有了一个相同的图纸名称. 图纸名称将不相连!";
const char* const kGroupsFull = "图纸组群已满!最多只能构建26组图纸";
const char* const kUnnamed = "有铜公未命名,请检查未命名的铜公!";

using Names = std::vector<std::string>;

TEST_F(RunTest, GroupModeRunsTakeTheNextLetterAndKeepEarlierSheets) {
    electrode(1, -50, 0, "E01");
    electrode(2, 50, 0, "E02");
    ASSERT_EQ(run(), 1);
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(sheet_names(), (Names{"MY_ELEC_SHEETA1", "MY_ELEC_SHEETA2", "MY_ELEC_SHEETB1", "MY_ELEC_SHEETB2"}));
    EXPECT_TRUE(messages().empty());
    EXPECT_TRUE(has_note("MY_ELEC_SHEETB2", "第 2/2 页"));
}

TEST_F(RunTest, TakenGroupNumbersAreSkippedWithOneMessageEach) {
    electrode(1, -50, 0, "E01");
    electrode(2, 50, 0, "E02");
    const double at[3] = {0, 0, 0};
    tag_t point = NULL_TAG;
    for (const char* taken : {"MY_ELEC_SHEETA2", "MY_ELEC_SHEETA3"}) {
        ASSERT_EQ(UF_CURVE_create_point(at, &point), 0);
        ASSERT_EQ(UF_OBJ_set_name(point, taken), 0);
    }
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(sheet_names(), (Names{"MY_ELEC_SHEETA1", "MY_ELEC_SHEETA4"}));
    EXPECT_EQ(messages(), (Names{kPassedOver, kPassedOver}));
}

TEST_F(RunTest, ElectrodeNameModeCountsPastEveryDrawingOfTheName) {
    the_run_settings.sheet_name_fs = 0;
    electrode(1, 0, 0, "E01");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(run(), 1);
    EXPECT_EQ(sheet_names(), (Names{"E01", "E01_1", "E01_2"}));
    EXPECT_TRUE(messages().empty()) << "the body's own name is no clash";
}

TEST_F(RunTest, UnnamedBodyInNameModeStopsTheRunAndKeepsTheSheetsBefore) {
    the_run_settings.sheet_name_fs = 0;
    electrode(1, -50, 0, "E01");
    electrode(2, 50, 0, nullptr);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(sheet_names(), Names{"E01"});
    EXPECT_EQ(messages(), Names{kUnnamed});
}

TEST_F(RunTest, CopiesOnOneLayerGetOneSheetEachNumberedInListOrder) {
    electrode(4, -60, 0, "E04");
    electrode(4, 0, 0, "E04");
    electrode(4, 60, 0, "E04");
    ASSERT_EQ(run(), 1);
    const Names sheets = sheet_names();
    ASSERT_EQ(sheets.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(has_note(sheets[i], "第 " + std::to_string(i + 1) + "/3 页")) << i;
}

// A stepped electrode burns as deep as its deepest step goes past the core's top, whatever the height of its EDM
// point; the sheet's coordinate table says so, and so does the record the setup list is written from.
TEST_F(RunTest, SteppedElectrodeBurnsAsDeepAsItsDeepestStep) {
    using electrodes_test::Corners;
    const Corners base = base_corners();  // its depth face at z = 0, level with the core's top
    const TopoDS_Shape steps =
        electrodes_test::only_solid(BRepAlgoAPI_Fuse(electrodes_test::block({gp_Pnt(-10, -10, -6), gp_Pnt(10, 10, 1)}),
                                                     electrodes_test::block({gp_Pnt(-4, -4, -17.5), gp_Pnt(4, 4, -5)}))
                                        .Shape());
    gp_Trsf move;
    move.SetTranslation(gp_Vec(30, -20, 0));
    body_on(electrodes_test::placed(
                electrodes_test::only_solid(BRepAlgoAPI_Fuse(electrodes_test::block(base), steps).Shape()), move),
            3, "E03");
    line_on(gp_Pnt(10, -35, 0), gp_Pnt(50, -5, 0), 3);
    ASSERT_EQ(run(), 1);
    const auto setup = cadhost::setup::sheet_setup(doc(), doc().find_drawing(sheet_names().at(0)));
    ASSERT_TRUE(setup && setup->depth && setup->edm_point);
    EXPECT_NEAR(*setup->depth, 17.5, 1e-9);
    EXPECT_NEAR((*setup->edm_point)[2], 0.0, 1e-9);
    const auto rows = cadhost::setup::edm_table_rows(*setup);
    using Row = std::pair<std::string, std::string>;
    EXPECT_EQ(rows, (std::vector<Row>{{"X", "+30.000"},
                                      {"Y", "-20.000"},
                                      {"Z", "0.000"},
                                      {"转角", "0°"},
                                      {"放电方向", "-Z"},
                                      {"深度", "17.500"},
                                      {"定位点", "基准点"}}));
}

TEST_F(RunTest, EmptyRangeStillChoosesAGroupLetter) {
    the_run_settings.elec_layer_from = 30;
    the_run_settings.elec_layer_to = 31;
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(sheet_names().empty());

    // With every letter taken the same empty run stops at the letter.
    const double at[3] = {0, 0, 0};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        tag_t point = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_point(at, &point), 0);
        ASSERT_EQ(UF_OBJ_set_name(point, (std::string("MY_ELEC_SHEET") + letter + "1").c_str()), 0);
    }
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(messages(), Names{kGroupsFull});
}

TEST_F(RunTest, TheLastFreeLetterIsZ) {
    electrode(1, 0, 0, "E01");
    const double at[3] = {0, 0, 0};
    for (char letter = 'A'; letter <= 'Y'; ++letter) {
        tag_t point = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_point(at, &point), 0);
        ASSERT_EQ(UF_OBJ_set_name(point, (std::string("MY_ELEC_SHEET") + letter + "1").c_str()), 0);
    }
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(sheet_names(), Names{"MY_ELEC_SHEETZ1"});
    EXPECT_TRUE(messages().empty());
}

TEST_F(RunTest, FullGroupsStopTheRunInEitherNamingMode) {
    the_run_settings.sheet_name_fs = 0;
    electrode(1, 0, 0, "E01");
    const double at[3] = {0, 0, 0};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        tag_t point = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_point(at, &point), 0);
        ASSERT_EQ(UF_OBJ_set_name(point, (std::string("MY_ELEC_SHEET") + letter + "1").c_str()), 0);
    }
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(sheet_names().empty());
    EXPECT_EQ(messages(), Names{kGroupsFull});
}

TEST_F(RunTest, CentreLinesAreMadeOncePerRunOnTheCoreLayer) {
    electrode(1, -50, 0, "E01");
    electrode(2, 50, 0, "E02");
    const auto lines_on_core = [] { return objects_of_type(240, UF_line_type); };
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(lines_on_core(), 3) << "one set for both sheets";
    EXPECT_EQ(objects_of_type(240, UF_point_type), 1);
    for (tag_t line : {top_center_line_x, top_center_line_y, top_center_line_z}) {
        EXPECT_EQ(doc().find(line)->font, UF_OBJ_FONT_CENTERLINE);
        EXPECT_EQ(doc().find(line)->layer, 240);
    }
    // Both sheets show the same lines.
    for (const char* sheet : {"MY_ELEC_SHEETA1", "MY_ELEC_SHEETA2"}) {
        const auto shows = report(sheet)["views"][0]["shows"];
        EXPECT_NE(std::find(shows.begin(), shows.end(), top_center_line_x), shows.end()) << sheet;
    }
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(lines_on_core(), 6) << "a new run makes its own";
}

TEST_F(RunTest, NumberingSharesSheetsAndCountsTheLast) {
    // Four copies on one layer and one electrode on the next: five records.
    std::vector<elec_entry> entries(5);
    for (std::size_t i = 0; i + 1 < entries.size(); ++i) entries[i].next = &entries[i + 1];
    entries.back().next = nullptr;
    ASSERT_EQ(number_sheets(entries.data(), 1), 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(entries[i].sheet_no, i + 1);
        EXPECT_EQ(entries[i].sheet_count, 5);
    }
    ASSERT_EQ(number_sheets(entries.data(), 2), 1);
    EXPECT_EQ(entries[1].sheet_no, 1);
    EXPECT_EQ(entries[4].sheet_no, 3);
    EXPECT_EQ(entries[0].sheet_count, 3);
    ASSERT_EQ(number_sheets(entries.data(), 0), 1) << "a record per sheet at the least";
    EXPECT_EQ(entries[4].sheet_no, 5);
    EXPECT_EQ(number_sheets(nullptr, 1), 1);
}

TEST_F(RunTest, FourAndOneElectrodesMakeFiveSheetsOfFive) {
    for (int i = 0; i < 4; ++i) electrode(10, -75 + 50 * i, 30, "E10");
    electrode(11, 0, -40, "E11");
    ASSERT_EQ(run(), 1);
    const Names sheets = sheet_names();
    ASSERT_EQ(sheets.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(has_note(sheets[i], "第 " + std::to_string(i + 1) + "/5 页")) << i;
}

}  // namespace
