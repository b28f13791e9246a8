// The depth-zero label through scripted answers: every way through the questions on the first sheet, what later sheets
// repeat without asking, and the annotation preferences as they were after every call.

#include "cadhost/dialog/prompt_answers.h"
#include "host/uf_draw.h"
#include "host/uf_layer.h"
#include "host/uf_view.h"
#include "quillon/depth_zero_label.h"
#include "run_driver/run_fixture.h"
#include "support/odd_preferences.h"

namespace {

using Strings = std::vector<std::string>;

const char* const kEdit = "请修改注释或用默认的注释.";
const char* const kPoint = "请选择标注点.";
const char* const kSite = "请选择标注放置点.";
const char* const kConfirm =
    "后面图纸的注释都是以这样的位置标'z深度0位面'了,\n可以吗? 如果你觉得位置不好可以选择 NO 再重新选位置.";
const char* const kCancel = "真的需要取消'z深度0位面'的注释吗?";

struct Label {
    tag_t tag;
    std::string text;
    double x, y, leader_x, leader_y;
    int leader_side;
    double height;
    int alignment;
};

class DepthZeroLabelTest : public run_driver_test::RunTest {
  protected:
    void SetUp() override {
        RunTest::SetUp();
        session().run() = cadhost::RunContext{};
        electrode(1, -50, 0, "E01");
        // Sticking out of the core, the second electrode widens its sheet's views: the two top views differ.
        electrode(2, 110, 0, "E02");
    }
    void TearDown() override {
        session().run() = cadhost::RunContext{};
        RunTest::TearDown();
    }
    static void answers(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            cadhost::dialog::PromptAnswer answer;
            std::string error;
            ASSERT_TRUE(cadhost::dialog::parse_prompt_answer(line, line, answer, error)) << error;
            session().run().prompt_answers.push_back(answer);
        }
    }
    static tag_t top_view(const std::string& sheet) { return report(sheet)["views"][0]["tag"].get<tag_t>(); }

    // The sheets made by the run without the label, then the label on each in turn as the run's last step would
    // make it; the preferences are checked around every call.
    void label_every_sheet() {
        ASSERT_EQ(run(), 1);
        sheets_ = sheet_names();
        ASSERT_EQ(sheets_.size(), 2u);
        for (const std::string& sheet : sheets_) {
            ASSERT_EQ(UF_DRAW_open_drawing(doc().find_drawing(sheet)), 0);
            // Preferences unlike the label's in every member, so that a restore from anything but the saved copy
            // shows.
            const cadhost::DraftingPreferences odd = testing_support::odd_drafting_preferences();
            doc().set_drafting_preferences(odd);
            write_depth_zero_label(top_view(sheet), 240);
            EXPECT_EQ(testing_support::preference_changes(odd, doc().drafting_preferences()), "")
                << "preferences changed by the label on " << sheet;
            prompts_after_.push_back(session().ui().prompts().size());
        }
        EXPECT_FALSE(session().run().abandoned) << session().run().stop_reason;
        EXPECT_EQ(session().ui().listing(), "") << "no host call failed";
        EXPECT_EQ(session().run().answers_used, session().run().prompt_answers.size()) << "every answer was asked for";
    }
    static std::vector<Label> labels(const std::string& sheet) {
        std::vector<Label> out;
        const auto r = report(sheet);
        for (const auto& a : r["annotations"]) {
            if (a["kind"] != "label") continue;
            const auto* data = doc().find(a["tag"].get<tag_t>())->as<cadhost::AnnotationData>();
            out.push_back({a["tag"], a["text"][0], a["position"][0], a["position"][1], a["leader_point"][0],
                           a["leader_point"][1], data->style->leader_side, data->style->height,
                           data->style->alignment});
        }
        return out;
    }
    // Where a model point lands in the sheet's top view.
    static std::pair<double, double> in_top_view(const std::string& sheet, const double model[3]) {
        double at[2] = {0, 0};
        EXPECT_EQ(UF_VIEW_map_model_to_drawing(top_view(sheet), model, at), 0);
        return {at[0], at[1]};
    }
    static Strings prompts() { return session().ui().prompts(); }

    Strings sheets_;
    std::vector<std::size_t> prompts_after_;
};

TEST_F(DepthZeroLabelTest, KeptTextPickedAndConfirmedIsRepeatedOnLaterSheetsWithoutAsking) {
    answers({"ok", "point: 60, 40, 0", "point: 200, 150", "button: YES"});
    label_every_sheet();
    EXPECT_EQ(prompts(), (Strings{kEdit, kPoint, kSite, kConfirm}));
    EXPECT_EQ(prompts_after_, (std::vector<std::size_t>{4, 4})) << "the second sheet asks nothing";
    const double picked[3] = {60, 40, 0};
    std::vector<std::pair<double, double>> leaders;
    for (const std::string& sheet : sheets_) {
        const std::vector<Label> found = labels(sheet);
        ASSERT_EQ(found.size(), 1u) << sheet;
        const Label& label = found[0];
        EXPECT_EQ(label.text, "Z深度0位面");
        EXPECT_DOUBLE_EQ(label.x, 200);
        EXPECT_DOUBLE_EQ(label.y, 150);
        const auto expected = in_top_view(sheet, picked);
        EXPECT_NEAR(label.leader_x, expected.first, 1e-4) << sheet;
        EXPECT_NEAR(label.leader_y, expected.second, 1e-4) << sheet;
        leaders.emplace_back(label.leader_x, label.leader_y);
        EXPECT_EQ(label.leader_side, 1) << "the point lies left of the text";
        EXPECT_DOUBLE_EQ(label.height, 4.0);
        EXPECT_EQ(label.alignment, 5);
    }
    EXPECT_NE(leaders[0], leaders[1]) << "each sheet's own top view places the point";
    // Picking showed the core layer alone beside the work layer, and the layers stay so.
    int status = -1;
    ASSERT_EQ(UF_LAYER_ask_status(240, &status), 0);
    EXPECT_EQ(status, UF_LAYER_ACTIVE_LAYER);
    ASSERT_EQ(UF_LAYER_ask_status(1, &status), 0);
    EXPECT_EQ(status, UF_LAYER_INACTIVE_LAYER);
}

TEST_F(DepthZeroLabelTest, CancelAtTheTextThenNoStartsThePromptingAgain) {
    answers({"cancel", "button: NO", "ok", "point: 60, 40, 0", "point: 200, 150", "button: YES"});
    label_every_sheet();
    EXPECT_EQ(prompts(), (Strings{kEdit, kCancel, kEdit, kPoint, kSite, kConfirm}));
    for (const std::string& sheet : sheets_) EXPECT_EQ(labels(sheet).size(), 1u) << sheet;
}

TEST_F(DepthZeroLabelTest, ConfirmedCancellingLeavesEverySheetWithoutLabelOrQuestion) {
    answers({"cancel", "button: YES"});
    label_every_sheet();
    EXPECT_EQ(prompts(), (Strings{kEdit, kCancel}));
    for (const std::string& sheet : sheets_) EXPECT_TRUE(labels(sheet).empty()) << sheet;
}

TEST_F(DepthZeroLabelTest, NoAfterPlacementDeletesThatLabelAndAsksAgain) {
    answers({"ok", "point: 60, 40, 0", "point: 200, 150", "button: NO", "text: 深度 零", "point: -60, -40, 0",
             "point: 20, 150", "button: YES"});
    label_every_sheet();
    EXPECT_EQ(prompts(), (Strings{kEdit, kPoint, kSite, kConfirm, kEdit, kPoint, kSite, kConfirm}));
    const double picked[3] = {-60, -40, 0};
    for (const std::string& sheet : sheets_) {
        const std::vector<Label> found = labels(sheet);
        ASSERT_EQ(found.size(), 1u) << sheet << ": the rejected label is gone";
        EXPECT_EQ(found[0].text, "深度 零");
        EXPECT_DOUBLE_EQ(found[0].x, 20);
        EXPECT_NEAR(found[0].leader_x, in_top_view(sheet, picked).first, 1e-4);
        EXPECT_EQ(found[0].leader_side, 2) << "the point lies right of the text";
    }
}

TEST_F(DepthZeroLabelTest, AnEditedTextStaysWhenThePickIsAbandonedAndThePromptingStartsAgain) {
    answers({"text: 基准面", "back", "button: NO", "ok", "point: 60, 40, 0", "cancel", "button: NO", "ok",
             "point: 60, 40, 0", "point: 200, 150", "button: YES"});
    label_every_sheet();
    EXPECT_EQ(prompts(),
              (Strings{kEdit, kPoint, kCancel, kEdit, kPoint, kSite, kCancel, kEdit, kPoint, kSite, kConfirm}));
    for (const std::string& sheet : sheets_) {
        ASSERT_EQ(labels(sheet).size(), 1u) << sheet;
        EXPECT_EQ(labels(sheet)[0].text, "基准面");
    }
}

TEST_F(DepthZeroLabelTest, TheRunAsksOnlyWhenTheSwitchIsOnAndEachRunAsksAfresh) {
    ASSERT_EQ(run(), 1);
    EXPECT_TRUE(prompts().empty());
    for (const std::string& sheet : sheet_names()) EXPECT_TRUE(labels(sheet).empty());

    the_run_settings.manual_note = 1;
    answers({"ok", "point: 60, 40, 0", "point: 200, 150", "button: YES", "cancel", "button: YES"});
    ASSERT_EQ(run(), 1);
    ASSERT_EQ(run(), 1);
    EXPECT_EQ(prompts(), (Strings{kEdit, kPoint, kSite, kConfirm, kEdit, kCancel}))
        << "the second run starts with the question again";
    const Strings sheets = sheet_names();
    ASSERT_EQ(sheets.size(), 6u);
    for (int i = 2; i < 4; ++i) EXPECT_EQ(labels(sheets[i]).size(), 1u) << sheets[i];
    for (int i = 4; i < 6; ++i) EXPECT_TRUE(labels(sheets[i]).empty()) << sheets[i];
}

}  // namespace
