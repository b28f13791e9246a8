// Dialog files, batch values and the lookup of dialog files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cadhost/dialog/batch_values.h"
#include "cadhost/dialog/dialog_file.h"
#include "cadhost/dialog/dialog_lookup.h"

namespace {

using namespace cadhost::dialog;
namespace fs = std::filesystem;

bool parse_text(const std::string& text, DialogDefinition& d, std::string& error) {
    std::istringstream in(text);
    return parse_dialog(in, "t.dlg", d, error);
}

std::string refusal(const std::string& text) {
    DialogDefinition d;
    std::string error;
    EXPECT_FALSE(parse_text(text, d, error)) << text;
    return error;
}

TEST(DialogFileTest, ReadsFieldsKindsLabelsDefaultsAndChoices) {
    DialogDefinition d;
    std::string error;
    ASSERT_TRUE(
        parse_text("# comment\ndialog 出放电图\r\nfield A integer\n  label 模仁层\n  default -240\n"
                   "field B radio\n  choice 0 第一\n  choice 5 第 二\nfield C text\n  default  two  words\n"
                   "field D toggle\nfield E real\n  default 2.5\nfield F radio\n  choice 4 x\n  choice 2 y\n"
                   "  default 2\n",
                   d, error))
        << error;
    EXPECT_EQ(d.title, "出放电图");
    ASSERT_EQ(d.fields.size(), 6u);
    EXPECT_EQ(d.fields[0].label, "模仁层");
    EXPECT_EQ(std::get<int>(d.fields[0].initial), -240);
    EXPECT_EQ(std::get<int>(d.fields[1].initial), 0) << "a radio box without default takes its first choice";
    EXPECT_EQ(d.fields[1].choices[1].text, "第 二");
    EXPECT_EQ(d.fields[2].label, "C") << "a field without label shows its identifier";
    EXPECT_EQ(std::get<std::string>(d.fields[2].initial), "two  words");
    EXPECT_EQ(std::get<int>(d.fields[3].initial), 0);
    EXPECT_DOUBLE_EQ(std::get<double>(d.fields[4].initial), 2.5);
    EXPECT_EQ(std::get<int>(d.fields[5].initial), 2);
}

TEST(DialogFileTest, RefusesWhatItCannotMeanWithTheLine) {
    EXPECT_EQ(refusal("field A integer\nfield A text\n"), "t.dlg:2: field A is defined twice");
    EXPECT_EQ(refusal("field A number\n"),
              "t.dlg:1: field A: kind 'number' is not integer, real, toggle, text or radio");
    EXPECT_EQ(refusal("label x\n"), "t.dlg:1: 'label' outside a field");
    EXPECT_EQ(refusal("field A integer\n default 1.5\n"), "t.dlg:2: field A: default '1.5' is not a whole number");
    EXPECT_EQ(refusal("field A toggle\n default 2\n"), "t.dlg:2: field A: default '2' is not 0 or 1");
    EXPECT_EQ(refusal("field A integer\n choice 1 x\n"), "t.dlg:2: field A is not a radio box");
    EXPECT_EQ(refusal("field R radio\n choice 1 x\n choice 1 y\n"), "t.dlg:3: field R: choice 1 is given twice");
    EXPECT_EQ(refusal("field R radio\n choice 1 x\n default 3\n"),
              "t.dlg:3: field R: default '3' is not one of the choices 1");
    EXPECT_EQ(refusal("field R radio\n"), "t.dlg: radio field R has no choices");
    EXPECT_EQ(refusal("field A-1 integer\n"), "t.dlg:1: a field needs an identifier of letters, digits and '_'");
    EXPECT_EQ(refusal("field A integer\ndialog late\n"), "t.dlg:2: 'dialog' must come before the first field");
    EXPECT_EQ(refusal("fields A integer\n"), "t.dlg:1: unknown statement 'fields'");
    EXPECT_EQ(refusal("field A integer\n name x\nfield B text\n name x\n"), "t.dlg:4: field B: name x is taken");
    EXPECT_EQ(refusal("field A integer\n name B\nfield B text\n"), "t.dlg:3: field B is defined twice");
    EXPECT_EQ(refusal("field A integer\n default 99999999999\n"),
              "t.dlg:2: field A: default '99999999999' is not a whole number");
}

TEST(DialogFileTest, TheShippedDialogHasTheCommandsFields) {
    DialogDefinition d;
    std::string error;
    ASSERT_TRUE(read_dialog_file(std::string(QUILLON_SOURCE_DIR) + "/quillon/quillon_dlg.dlg", d, error)) << error;
    const std::pair<const char*, FieldKind> expected[] = {
        {"INT_0", FieldKind::Integer},    {"INT_1", FieldKind::Integer},    {"INT_2", FieldKind::Integer},
        {"INT_4", FieldKind::Integer},    {"TOGGLE_10", FieldKind::Toggle}, {"TOGGLE_11", FieldKind::Toggle},
        {"TOGGLE_12", FieldKind::Toggle}, {"TOGGLE_14", FieldKind::Toggle}, {"STR_0", FieldKind::Text},
        {"STR_1", FieldKind::Text},       {"STR_2", FieldKind::Text},       {"RADIO_17", FieldKind::Radio},
        {"RADIO_9", FieldKind::Radio}};
    EXPECT_EQ(d.fields.size(), std::size(expected));
    for (const auto& [id, kind] : expected) {
        const Field* field = d.find(id);
        ASSERT_NE(field, nullptr) << id;
        EXPECT_EQ(field->kind, kind) << id;
    }
    ASSERT_EQ(d.find("RADIO_17")->choices.size(), 7u);
    EXPECT_EQ(d.find("RADIO_17")->choices[0].text, "前 模");
    EXPECT_EQ(d.find("RADIO_17")->choices[6].value, 7);
    EXPECT_EQ(d.find("RADIO_9")->choices.size(), 2u);
    EXPECT_EQ(d.find("INT_0")->label, "模仁层");
}

class DialogLookupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("quillon_dlg_lookup_" + std::to_string(::getpid()));
        fs::create_directories(root_ / "lib");
        fs::create_directories(root_ / "conf");
    }
    void TearDown() override { fs::remove_all(root_); }
    void write(const std::string& relative, const std::string& text) { std::ofstream(root_ / relative) << text; }
    std::vector<std::string> dirs() { return dialog_search_dirs((root_ / "lib/libcmd.so").string(), conf()); }
    std::string conf() { return (root_ / "conf").string(); }
    fs::path root_;
};

TEST_F(DialogLookupTest, BesideTheLibraryComesBeforeTheConfigurationDirectory) {
    write("conf/a.dlg", "field X integer\n");
    EXPECT_EQ(find_dialog_file("a.dlg", dirs()), (root_ / "conf/a.dlg").string());
    write("lib/a.dlg", "field X integer\n");
    EXPECT_EQ(find_dialog_file("a.dlg", dirs()), (root_ / "lib/a.dlg").string());
    EXPECT_EQ(find_dialog_file("b.dlg", dirs()), "");
    EXPECT_EQ(find_dialog_file((root_ / "conf/a.dlg").string(), {}), (root_ / "conf/a.dlg").string());
}

TEST_F(DialogLookupTest, BatchValuesAreCheckedAgainstEveryDialogOfTheCommand) {
    write("lib/a.dlg", "field N integer\nfield R radio\n choice 1 x\n choice 3 y\n");
    write("conf/b.dlg", "field T toggle\nfield N text\n");
    write("conf/notes.txt", "field Z integer\n");
    const auto files = dialog_files_in(dirs());
    ASSERT_EQ(files.size(), 2u);
    std::string error;
    EXPECT_TRUE(check_batch_values({{"N", "abc", "--set"}, {"R", "3", "--set"}, {"T", "1", "--set"}}, files, error))
        << "N fits the text field of b.dlg: " << error;
    EXPECT_FALSE(check_batch_values({{"R", "2", "--set"}}, files, error));
    EXPECT_EQ(error, "--set: R is a radio field of a.dlg: '2' is not one of the choices 1, 3");
    EXPECT_FALSE(check_batch_values({{"Z", "1", "x.txt:3"}}, files, error));
    EXPECT_EQ(error, "x.txt:3: no field Z in a.dlg, b.dlg");
    // An English name stands for its field and becomes the identifier the command asks for.
    write("lib/a.dlg", "field N integer\n name count\nfield R radio\n choice 1 x\n");
    std::vector<BatchValue> named{{"count", "7", "--set"}};
    EXPECT_TRUE(check_batch_values(named, files, error)) << error;
    EXPECT_EQ(named[0].field, "N");
    EXPECT_FALSE(check_batch_values({{"count", "x", "--set"}}, files, error)) << "an integer field by its name";
    EXPECT_FALSE(check_batch_values({{"N", "1", "--set"}}, {}, error)) << "nothing to check against";
    EXPECT_TRUE(check_batch_values({}, {}, error));
}

TEST_F(DialogLookupTest, AnswersFileKeepsValuesAsWrittenAndNamesBadLines) {
    write("conf/answers", "\xEF\xBB\xBF# first\nSTR_0= 两 个 \r\n  INT_0 =5\n\nRADIO_9=\n");
    std::vector<BatchValue> values;
    std::vector<PromptAnswer> answers;
    std::string error;
    ASSERT_TRUE(read_answers_file((root_ / "conf/answers").string(), values, answers, error)) << error;
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].value, " 两 个 ");
    EXPECT_EQ(values[1].field, "INT_0");
    EXPECT_EQ(values[1].value, "5");
    EXPECT_EQ(values[1].origin, (root_ / "conf/answers").string() + ":3");
    EXPECT_EQ(values[2].value, "");
    write("conf/bad", "INT_0=1\njust words\n");
    EXPECT_FALSE(read_answers_file((root_ / "conf/bad").string(), values, answers, error));
    EXPECT_EQ(error, (root_ / "conf/bad").string() + ":2: 'just words' is not FIELD=VALUE");
}

TEST_F(DialogLookupTest, AnswersFileKeepsPromptAnswersInOrderBesideTheValues) {
    write("conf/answers",
          "TOGGLE_14=1\nok\n  point: 1.5, -2 ,3\nSTR_0=text: kept as a value\n"
          "text:  深度 零 \nbutton: yes\npoint: 10 20\nback\ncancel\n");
    std::vector<BatchValue> values;
    std::vector<PromptAnswer> answers;
    std::string error;
    ASSERT_TRUE(read_answers_file((root_ / "conf/answers").string(), values, answers, error)) << error;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].value, "text: kept as a value");
    ASSERT_EQ(answers.size(), 7u);
    using Kind = PromptAnswer::Kind;
    EXPECT_EQ(answers[0].kind, Kind::Ok);
    EXPECT_EQ(answers[1].kind, Kind::Point);
    EXPECT_EQ(answers[1].point, (std::vector<double>{1.5, -2, 3}));
    EXPECT_EQ(answers[1].origin, (root_ / "conf/answers").string() + ":3");
    EXPECT_EQ(answers[2].text, "深度 零");
    EXPECT_EQ(answers[3].kind, Kind::Button);
    EXPECT_EQ(answers[4].point, (std::vector<double>{10, 20}));
    EXPECT_EQ(answers[5].kind, Kind::Back);
    EXPECT_EQ(answers[6].kind, Kind::Cancel);

    const std::string bad = (root_ / "conf/bad").string();
    const std::pair<const char*, const char*> refused[] = {
        {"point: 1\n", ":1: '1' is not a point: give x, y (on a sheet) or x, y, z (in the model)"},
        {"point: 1, 2, 3, 4\n", ":1: '1, 2, 3, 4' is not a point"},
        {"point: 1, nan\n", ":1: '1, nan' is not a point"},
        {"\nbutton:\n", ":2: 'button:' needs the label of the button"},
        {"text: a\xFF\n", ":1: the text is not UTF-8"},
    };
    for (const auto& [text, message] : refused) {
        write("conf/bad", text);
        answers.clear();
        EXPECT_FALSE(read_answers_file(bad, values, answers, error)) << text;
        EXPECT_EQ(error.rfind(bad + message, 0), 0u) << error;
    }
    write("conf/bad", "text: " + std::string(133, 'x') + "\n");
    EXPECT_FALSE(read_answers_file(bad, values, answers, error));
    EXPECT_EQ(error, bad + ":1: the text is 133 bytes long; a prompt takes at most 132");
    write("conf/bad", "text: " + std::string(132, 'x') + "\n");
    EXPECT_TRUE(read_answers_file(bad, values, answers, error)) << error;
}

}  // namespace
