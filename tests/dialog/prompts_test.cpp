// The prompts of commands through the host interface: batch answers in order and checked against the prompt, the
// terminal, and a run given up when a prompt goes unanswered.
#include <cstring>
#include <sstream>

#include "cadhost/dialog/prompts.h"
#include "cadhost/session/session.h"
#include "host/uf_draw.h"
#include "host/uf_ui.h"
#include "support/host_fixture.h"

namespace {

using cadhost::dialog::PromptAnswer;

PromptAnswer answer(const std::string& line) {
    PromptAnswer out;
    std::string error;
    EXPECT_TRUE(cadhost::dialog::parse_prompt_answer(line, "t:" + line, out, error)) << error;
    return out;
}

class PromptsTest : public testing_support::HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        run() = cadhost::RunContext{};
    }
    void TearDown() override {
        run() = cadhost::RunContext{};
        HostTest::TearDown();
    }
    static cadhost::RunContext& run() { return session().run(); }
    static void answers(std::initializer_list<const char*> lines) {
        for (const char* line : lines) run().prompt_answers.push_back(answer(line));
    }
    // A question with YES and NO offered and BACK hidden between them.
    static int question(int* response, const char* text = "可以吗?") {
        UF_UI_message_buttons_t buttons{TRUE, FALSE, TRUE, "YES", "BACK", "NO", 1, 2, 3};
        const char* lines[1] = {text};
        return UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, lines, 1, &buttons, response);
    }
    char text_[UF_UI_MAX_STRING_LEN + 1] = "Z深度0位面";
    int length_ = -1;
    int mode_[2] = {1, 0};
    double point_[3] = {7, 8, 9};
};

TEST_F(PromptsTest, BatchAnswersAreTakenInOrderEachByItsPrompt) {
    answers({"ok", "text: 新的 注释", "point: 1.5, -2, 30", "button: no", "button: YES", "back", "cancel"});
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_KEPT);
    EXPECT_STREQ(text_, "Z深度0位面");
    EXPECT_EQ(length_, static_cast<int>(std::strlen("Z深度0位面")));
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_ENTERED);
    EXPECT_STREQ(text_, "新的 注释");
    EXPECT_EQ(length_, static_cast<int>(std::strlen("新的 注释")));

    EXPECT_EQ(uc1616("选点", mode_, 0, point_), UF_UI_PROMPT_ENTERED);
    EXPECT_EQ(std::vector<double>(point_, point_ + 3), (std::vector<double>{1.5, -2, 30}));

    int response = 0;
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(response, 3) << "labels are matched without regard to letter case";
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(response, 1);

    EXPECT_EQ(uc1616("选点", mode_, 0, point_), UF_UI_PROMPT_BACK);
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_CANCEL);
    EXPECT_STREQ(text_, "新的 注释") << "backing out leaves the text";
    EXPECT_EQ(point_[0], 1.5) << "backing out leaves the point";
    EXPECT_FALSE(run().abandoned);
    EXPECT_EQ(session().ui().prompts(),
              (std::vector<std::string>{"改注释", "改注释", "选点", "可以吗?", "可以吗?", "选点", "改注释"}));
}

TEST_F(PromptsTest, PointsAreTypedInTheCoordinatesOfWhatIsDisplayed) {
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_METRIC_SIZE;
    info.size.metric_size_code = 4;
    info.drawing_scale = 1.0;
    tag_t sheet = NULL_TAG;
    ASSERT_EQ(UF_DRAW_create_drawing("SHEET1", &info, &sheet), 0);
    answers({"point: 200, 150", "point: 1, 2, 3"});
    EXPECT_EQ(uc1616("放置点", mode_, 0, point_), UF_UI_PROMPT_ENTERED);
    EXPECT_EQ(std::vector<double>(point_, point_ + 3), (std::vector<double>{200, 150, 0})) << "z of a sheet point is 0";
    ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    EXPECT_EQ(uc1616("模型点", mode_, 0, point_), UF_UI_PROMPT_ENTERED);
    EXPECT_EQ(point_[2], 3.0);

    // Two coordinates for a model point do not fit: the run is given up and says where the answer was.
    run().prompt_answers.push_back(answer("point: 4, 5"));
    EXPECT_EQ(uc1616("模型点", mode_, 0, point_), UF_UI_PROMPT_CANCEL);
    EXPECT_TRUE(run().abandoned);
    EXPECT_EQ(run().stop_status, 2);
    EXPECT_EQ(run().stop_reason,
              "t:point: 4, 5: the answer 'point: 4, 5' does not fit the prompt '模型点' (a point): it asks x, y, z in "
              "the model");
    EXPECT_EQ(point_[0], 1.0);
}

TEST_F(PromptsTest, AnswersOfAnotherKindAndHiddenButtonsGiveTheRunUp) {
    int response = 0;
    answers({"button: BACK"});
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(run().stop_reason,
              "t:button: BACK: the answer 'button: BACK' does not fit the prompt '可以吗?' (a button): the buttons "
              "offered are YES, NO");
    EXPECT_EQ(response, 1) << "a run given up takes the first button offered";

    run() = cadhost::RunContext{};
    answers({"point: 1, 2, 3"});
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_CANCEL);
    EXPECT_EQ(
        run().stop_reason,
        "t:point: 1, 2, 3: the answer 'point: 1, 2, 3' does not fit the prompt '改注释' (a text): it asks a text");

    run() = cadhost::RunContext{};
    answers({"ok"});
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(run().stop_reason,
              "t:ok: the answer 'ok' does not fit the prompt '可以吗?' (a button): it asks a button: one of YES, NO");
}

TEST_F(PromptsTest, AMissingAnswerNamesThePromptAndLaterPromptsBackOutAtOnce) {
    answers({"ok"});
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_KEPT);
    EXPECT_EQ(uc1616("请选择标注点.", mode_, 0, point_), UF_UI_PROMPT_CANCEL);
    EXPECT_TRUE(run().abandoned);
    EXPECT_EQ(run().stop_status, 2);
    EXPECT_EQ(run().stop_reason,
              "no answer for the prompt '请选择标注点.' (a point): give it in the answers file or with --answer");
    EXPECT_EQ(session().ui().last_status(), run().stop_reason);

    // Answers given later are not taken any more: the run is over in the host's eyes.
    answers({"point: 1, 2, 3", "button: NO"});
    EXPECT_EQ(uc1616("请选择标注点.", mode_, 0, point_), UF_UI_PROMPT_CANCEL);
    int response = 0;
    ASSERT_EQ(question(&response, "第一行\n第二行"), 0);
    EXPECT_EQ(response, 1);
    EXPECT_EQ(run().answers_used, 1u);
    EXPECT_EQ(run().stop_reason,
              "no answer for the prompt '请选择标注点.' (a point): give it in the answers file or with --answer")
        << "the first unanswered prompt is the one named";
}

TEST_F(PromptsTest, ArgumentsThePromptsCannotTakeAreRefused) {
    char unterminated[UF_UI_MAX_STRING_LEN + 1];
    std::memset(unterminated, 'x', sizeof unterminated);
    EXPECT_EQ(uc1600("改注释", unterminated, &length_), UF_err_bad_argument);
    EXPECT_EQ(uc1600("改注释", text_, nullptr), UF_err_bad_argument);
    EXPECT_EQ(uc1616("选点", nullptr, 0, point_), UF_err_bad_argument);
    int response = 0;
    UF_UI_message_buttons_t none{FALSE, FALSE, FALSE, "YES", "BACK", "NO", 1, 2, 3};
    const char* lines[1] = {"?"};
    EXPECT_EQ(UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, lines, 1, &none, &response), UF_err_bad_argument);
    UF_UI_message_buttons_t unlabelled{TRUE, FALSE, FALSE, nullptr, nullptr, nullptr, 1, 2, 3};
    EXPECT_EQ(UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, lines, 1, &unlabelled, &response), UF_err_bad_argument);
    UF_UI_message_buttons_t yes{TRUE, FALSE, FALSE, "YES", nullptr, nullptr, 1, 2, 3};
    EXPECT_EQ(UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, lines, 0, &yes, &response), UF_err_bad_argument);
    EXPECT_TRUE(session().ui().prompts().empty()) << "nothing was asked";
}

TEST_F(PromptsTest, TerminalAsksAgainUntilAnAnswerFitsAndItsEndGivesTheRunUp) {
    std::istringstream in("\n"                            // Enter keeps the text
                          + std::string(133, 'x') + "\n"  // too long: asked again
                          + "a\xFF\n"                     // not UTF-8: asked again
                          + "  新 注释  \n"               // a new text, without the blanks around it
                          + ":b\n"                        // Back at a text prompt
                          + "1 2\nabc\n\n1, 2, 3\n"       // a model point needs three numbers
                          + "maybe\n2\n"                  // a button by its number among those offered: NO
                          + "yes\n");                     // or by its label; then the input ends
    std::ostringstream shown;
    run().interactive = true;
    run().form_in = &in;
    run().form_out = &shown;
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_KEPT);
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_ENTERED);
    EXPECT_STREQ(text_, "新 注释");
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_BACK);
    EXPECT_EQ(uc1616("选点", mode_, 0, point_), UF_UI_PROMPT_ENTERED);
    EXPECT_EQ(std::vector<double>(point_, point_ + 3), (std::vector<double>{1, 2, 3}));
    int response = 0;
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(response, 3);
    ASSERT_EQ(question(&response), 0);
    EXPECT_EQ(response, 1);
    EXPECT_FALSE(run().abandoned);
    EXPECT_EQ(uc1600("改注释", text_, &length_), UF_UI_PROMPT_CANCEL);
    EXPECT_TRUE(run().abandoned);
    EXPECT_EQ(run().stop_reason, "the input ended at the prompt '改注释' (a text)");

    const std::string text = shown.str();
    EXPECT_NE(text.find("now \"Z深度0位面\""), std::string::npos) << text;
    EXPECT_NE(text.find("not accepted: longer than 132 bytes"), std::string::npos) << text;
    EXPECT_NE(text.find("not accepted: the text is not UTF-8"), std::string::npos) << text;
    EXPECT_NE(text.find("not accepted: give x, y, z as numbers"), std::string::npos) << text;
    EXPECT_NE(text.find("not accepted: choose one of YES, NO"), std::string::npos) << text;
    EXPECT_EQ(text.find("BACK"), std::string::npos) << "a hidden button is not shown";
    EXPECT_NE(text.find("[question]\n可以吗?\n  1 = YES 2 = NO"), std::string::npos) << text;
}

}  // namespace
