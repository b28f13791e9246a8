// The checks behind the dialog's OK, on parts built for each case.
#include <BRepBuilderAPI_MakeFace.hxx>
#include <gp_Pln.hxx>

#include "cadhost/session/session.h"
#include "host/uf_obj.h"
#include "quillon/validation.h"
#include "support/host_fixture.h"

namespace {

class ValidationTest : public testing_support::HostTest {
  protected:
    // A body on a layer, hidden or shown, named or not.
    tag_t body_on(int layer, bool hidden = false, const char* name = nullptr) {
        tag_t body = add_box(0, 0, 0, 10, 10, 10);
        EXPECT_EQ(UF_OBJ_set_layer(body, layer), 0);
        if (hidden) {
            EXPECT_EQ(UF_OBJ_set_blank_status(body, UF_OBJ_BLANKED), 0);
        }
        if (name) {
            EXPECT_EQ(UF_OBJ_set_name(body, name), 0);
        }
        return body;
    }
    tag_t sheet_on(int layer) {
        tag_t sheet = doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(), 0, 5, 0, 5).Shape(), true);
        EXPECT_EQ(UF_OBJ_set_layer(sheet, layer), 0);
        return sheet;
    }
    std::vector<std::string> messages() { return session().ui().messages(); }
};

TEST_F(ValidationTest, RangeChecksAcceptTheEndsAndNameTheFieldThatIsOut) {
    EXPECT_EQ(check_mr_layer_range(1) + check_mr_layer_range(256) + check_sheet_layer_range(256), 3);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(check_mr_layer_range(257), 0);
    EXPECT_EQ(check_elec_from_range(0), 0);
    EXPECT_EQ(check_elec_to_range(-4), 0);
    EXPECT_EQ(check_elec_range_order(5, 4), 0);
    EXPECT_EQ(check_elec_range_order(4, 4), 1);
    EXPECT_EQ(check_core_outside_elec_range(5, 3, 7), 0);
    EXPECT_EQ(check_core_outside_elec_range(5, 5, 5), 0);
    EXPECT_EQ(check_core_outside_elec_range(8, 3, 7) + check_core_outside_elec_range(2, 3, 7), 2);
    EXPECT_EQ(check_sheet_layer_range(300), 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{
                  "'模仁层' 的范围只能为 1 到 256, 输入错误!", "'铜公层--从' 的范围只能为 1 到 256, 输入错误!",
                  "'铜公层--到' 的范围只能为 1 到 256, 输入错误!", "'铜公层--从' 不能大于 '铜公层--到', 输入错误!",
                  "模仁层不能包含铜公层, 输入错误!", "模仁层不能包含铜公层, 输入错误!",
                  "'存放放电数图纸层' 的范围只能为 1 到 256,输入错误!"}));
}

TEST_F(ValidationTest, CoreLayerNeedsOneVisibleSolidBody) {
    EXPECT_EQ(check_core_layer(240), 0);
    sheet_on(240);
    EXPECT_EQ(check_core_layer(240), 0) << "a sheet body is no solid";
    body_on(240, true);
    EXPECT_EQ(check_core_layer(240), 0);
    body_on(240, false);
    body_on(240, true);
    EXPECT_EQ(check_core_layer(240), 1) << "one visible solid among hidden ones is enough";
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"错误! 你所输入的模仁层中没有实体!", "错误! 你所输入的模仁层中没有实体!",
                                        "错误! 你把模仁层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!"}));
}

TEST_F(ValidationTest, ElectrodeLayersNeedOneVisibleSolidBodyAcrossTheRange) {
    EXPECT_EQ(check_elec_layers(1, 3), 0);
    body_on(2, true);
    EXPECT_EQ(check_elec_layers(1, 3), 0);
    EXPECT_EQ(check_elec_layers(3, 3), 0);
    body_on(2, false);
    EXPECT_EQ(check_elec_layers(1, 3), 1) << "a hidden solid first and a visible one later on the same layer";
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"错误! 你所输入的铜公层中没有实体!",
                                        "错误! 你把铜公层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!",
                                        "错误! 你所输入的铜公层中没有实体!"}));
}

TEST_F(ValidationTest, UnnamedVisibleElectrodeIsReportedWithItsLayer) {
    body_on(10, false, "E10");
    body_on(11, true);  // hidden and unnamed: not looked at
    sheet_on(11);       // no solid: not looked at
    EXPECT_EQ(check_unnamed_elecs(10, 12), 1);
    body_on(12, false);
    EXPECT_EQ(check_unnamed_elecs(10, 12), 0);
    EXPECT_EQ(
        messages(),
        (std::vector<std::string>{"检测到第12层中有铜公未命名,请用铜公命名功能*给未命名的铜公命名后再用此功能!"}));
}

}  // namespace
