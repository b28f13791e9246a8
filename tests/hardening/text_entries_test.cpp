// Texts and files that enter through the program: control characters, noncharacters and NUL bytes are refused where
// they enter with the place named, and a dialog file whose field kinds differ from the command's ends the run
// instead of letting the host read the wrong member of a value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "hardening/hardening_fixture.h"
#include "hardening/quillon_process.h"

namespace {

namespace fs = std::filesystem;
using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

using hardening::write;

using hardening::contents;

void replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

class TextEntries : public hardening::ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        ASSERT_EQ(run_quillon({"import", input("small_mould.step"), "-o", path("part.prt")}).status, 0);
    }
    // The command library with a dialog file of our own beside it, which the run then uses.
    std::string command_with_dialog(const std::string& dialog) {
        const fs::path built = fs::path(QUILLON_PROGRAM).parent_path();
        fs::create_directories(path("cmd"));
        fs::copy_file(built / "libquillon_command.so", path("cmd/libquillon_command.so"));
        write(path("cmd/quillon_dlg.dlg"), dialog);
        return path("cmd/libquillon_command.so");
    }
    static std::string shipped_dialog() {
        return contents((fs::path(QUILLON_PROGRAM).parent_path() / "quillon_dlg.dlg").string());
    }
    // Expects exit status 2 with each text in the message.
    static void expect_refused(const Outcome& outcome, const std::vector<std::string>& texts) {
        EXPECT_TRUE(outcome.exited && outcome.status == 2) << describe(outcome) << outcome.err;
        for (const std::string& text : texts) EXPECT_NE(outcome.err.find(text), std::string::npos) << outcome.err;
    }
};

TEST_F(TextEntries, AFieldDeclaredOfAnotherKindThanTheCommandSetsEndsTheRunWithItsLine) {
    const std::string part_bytes = contents(path("part.prt"));
    // The command sets INT_0 (an integer) and TOGGLE_10 (a toggle) in its constructor; declared text, the host would
    // take the integer for a text's address.
    for (const std::string field : {"INT_0 integer", "TOGGLE_10 toggle"}) {
        std::string dialog = shipped_dialog();
        const std::string id = field.substr(0, field.find(' '));
        replace(dialog, "field " + field, "field " + id + " text");
        const std::size_t line = 1 + std::count(dialog.begin(), dialog.begin() + dialog.find("field " + id), '\n');
        const std::string library = command_with_dialog(dialog);
        const Outcome outcome =
            run_quillon({"run", path("part.prt"), "--command", library, "--set", "INT_1=6", "--set", "INT_2=6"});
        expect_refused(outcome, {"quillon_dlg.dlg:" + std::to_string(line) + ": field " + id +
                                     " is declared text, but the command sets it as an integer",
                                 "the part was left as it was"});
        EXPECT_EQ(contents(path("part.prt")), part_bytes);
        fs::remove_all(path("cmd"));
    }
}

TEST_F(TextEntries, ControlCharactersAndNoncharactersAreRefusedWhereTheyEnter) {
    // A dialog text from the command line and from an answers file, and a prompt's text answer.
    expect_refused(run_quillon({"run", path("part.prt"), "--set", "STR_1=M\a15"}),
                   {"--set: STR_1", "the text holds the control character U+0007 (character 2)"});
    write(path("a.answers"), "INT_1=6\nSTR_0=客户\xEF\xBF\xBE\n");
    expect_refused(run_quillon({"run", path("part.prt"), "--answers", path("a.answers")}),
                   {"a.answers:2: STR_0", "the noncharacter U+FFFE (character 3)"});
    write(path("b.answers"), "text: a\x1b[31m\n");
    expect_refused(run_quillon({"run", path("part.prt"), "--answers", path("b.answers")}),
                   {"b.answers:1: the text holds the control character U+001B (character 2)"});
    expect_refused(run_quillon({"run", path("part.prt"), "--answer", "text: \xEF\xB7\x90"}),
                   {"the noncharacter U+FDD0"});

    // An attribute value (JSON escapes give any character) and a name in the STEP file.
    write(path("note.attrs.json"),
          R"({"quillon_attrs": 1, "objects": [{"layer": 6, "index": 1,
              "attributes": {"ELEC_NOTE": {"string": "先粗\u0008后精"}}}]})");
    expect_refused(
        run_quillon({"import", input("small_mould.step"), "--attrs", path("note.attrs.json"), "-o", path("n.prt")}),
        {"objects[0].attributes.ELEC_NOTE.string: the text holds the control character U+0008 "
         "(character 3)"});
    std::string step = contents(input("small_mould.step"));
    replace(step, "PRODUCT('E06','E06'", "PRODUCT('E06\x7f','E06\x7f'");
    write(path("named.step"), step);
    expect_refused(run_quillon({"import", path("named.step"), "-o", path("s.prt")}),
                   {"named.step: object", "its name cannot be taken: character 4 is the control character U+007F"});

    // A text of a dialog file.
    std::string dialog = shipped_dialog();
    replace(dialog, "field STR_0 text", "field STR_0 text\n  default \xC2\x85");
    const Outcome outcome =
        run_quillon({"run", path("part.prt"), "--command", command_with_dialog(dialog), "--set", "INT_1=6"});
    expect_refused(outcome, {"quillon_dlg.dlg:", "the control character U+0085"});
    EXPECT_FALSE(fs::exists(path("n.prt")) || fs::exists(path("s.prt")));
}

TEST_F(TextEntries, NulBytesFoldersAndTrailingBytesAreRefusedWithThePlace) {
    // A reader that stops at the NUL would run with INT_2=7.
    write(path("nul.answers"), std::string("INT_1=6\nINT_2=7\0junk\n", 21));
    expect_refused(run_quillon({"run", path("part.prt"), "--answers", path("nul.answers")}),
                   {"answers file '" + path("nul.answers") + "', line 2, column 8: a NUL byte"});

    // The JSON parser takes a NUL for the end of its input and would pass over the garbage after it.
    const std::string attrs = R"({"quillon_attrs": 1, "objects": []})";
    write(path("nul.attrs.json"), attrs + std::string("\0{garbage", 9));
    expect_refused(
        run_quillon({"import", input("small_mould.step"), "--attrs", path("nul.attrs.json"), "-o", path("n.prt")}),
        {"attribute file '" + path("nul.attrs.json") + "', line 1, column 36: a NUL byte"});
    write(path("tail.attrs.json"), attrs + " {}");
    expect_refused(
        run_quillon({"import", input("small_mould.step"), "--attrs", path("tail.attrs.json"), "-o", path("n.prt")}),
        {"tail.attrs.json', line 1, column 37: not valid JSON"});

    expect_refused(
        run_quillon({"import", input("small_mould.step"), "--layer-map", dir_.string(), "-o", path("n.prt")}),
        {"layer map '" + dir_.string() + "': is a folder"});
    write(path("nul.map"), std::string("CORE 240\n\0", 10));
    expect_refused(
        run_quillon({"import", input("small_mould.step"), "--layer-map", path("nul.map"), "-o", path("n.prt")}),
        {"line 2, column 1: a NUL byte"});
    EXPECT_FALSE(fs::exists(path("n.prt")));

    std::string dialog = shipped_dialog();
    replace(dialog, "field INT_0 integer", std::string("field INT_0 integer\0 text", 25));
    expect_refused(run_quillon({"run", path("part.prt"), "--command", command_with_dialog(dialog), "--set", "INT_1=6"}),
                   {"quillon_dlg.dlg:", "the control character U+0000"});

    // config.def is the command's to read: it says so in its own words and nothing runs.
    fs::copy(std::string(QUILLON_SOURCE_DIR) + "/conf", path("conf"), fs::copy_options::recursive);
    std::string config = contents(path("conf/config.def"));
    replace(config, "elec_rough_space:", std::string("elec_rough_space:\0", 18));
    write(path("conf/config.def"), config);
    const Outcome outcome = run_quillon({"run", path("part.prt"), "--conf", path("conf"), "--set", "INT_1=6", "--set",
                                         "INT_2=6", "--set", "INT_0=240"});
    EXPECT_TRUE(outcome.exited && outcome.status == 1) << describe(outcome) << outcome.err;
    EXPECT_NE(outcome.out.find("config.def 文件第"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find("the part was left as it was"), std::string::npos) << outcome.err;
}

}  // namespace
