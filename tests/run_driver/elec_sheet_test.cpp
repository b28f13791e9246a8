// The sheet and its title block: the record the sheet is made with, the notes' texts and places, the lettering put
// back.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "host/uf_drf.h"
#include "quillon/elec_sheet.h"
#include "run_driver/run_fixture.h"
#include "support/source_lines.h"

namespace {

using run_driver_test::RunTest;

// 5 December 2026 at noon, local time.
time_t fifth_of_december(time_t* out) {
    struct tm day = {};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 5;
    day.tm_hour = 12;
    day.tm_isdst = -1;
    const time_t when = mktime(&day);
    if (out) *out = when;
    return when;
}

class ElecSheetTest : public RunTest {
  protected:
    void SetUp() override {
        RunTest::SetUp();
        reset_elec_sheet_positions();
        elec_sheet_clock = fifth_of_december;
    }
    void TearDown() override {
        elec_sheet_clock = time;
        RunTest::TearDown();
    }
    // config.def with one entry's value replaced.
    void configure(const std::string& key, const std::string& value) {
        std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text = std::regex_replace(text, std::regex(key + ",[^,]*,EOF"), key + "," + value + ",EOF");
        conf.write_config(text);
    }
    tag_t sheet(const char* name, int count = 7, int number = 3) {
        tag_t drawing = NULL_TAG;
        EXPECT_EQ(create_elec_sheet(name, "M-07", "", &drawing, count, number), 1);
        return drawing;
    }
    // The note written at a place, by its origin.
    static nlohmann::ordered_json note_at(const std::string& sheet, double x, double y) {
        const auto r = report(sheet);
        for (const auto& a : r["annotations"])
            if (a["kind"] == "note" && a["position"][0] == x && a["position"][1] == y) return a;
        return nullptr;
    }
};

TEST_F(ElecSheetTest, TitleBlockNotesCarryTheirTextsAtTheirCells) {
    the_run_settings.part_type = 4;
    std::strcpy(the_run_settings.client, "客户甲");
    const tag_t drawing = sheet("S1");
    ASSERT_NE(drawing, NULL_TAG);
    const auto r = report("S1");
    EXPECT_EQ(r["size"], nlohmann::ordered_json::array({297.0, 210.0})) << "A4 landscape";
    struct Cell {
        double x, y;
        std::string text;
        double height;
    };
    // The places are the shipped config.def's.
    const Cell cells[] = {{155, 23.5, "2026.12.5", 3.175},
                          {248.5, 23.5, "第 3/7 页", 3.175},
                          {65, 32.5, "M-07", 3.175},
                          {155, 32.5, "", 3.175},
                          {248.5, 32.5, "客户甲", 3.2},
                          {65, 23.5, "后模镶件", 3.2},
                          {32, 14.5, "/PARTS/TEST_PART.PRT", 3.175}};
    for (const Cell& c : cells) {
        const auto note = note_at("S1", c.x, c.y);
        ASSERT_FALSE(note.is_null()) << c.text;
        EXPECT_EQ(note["text"][0], c.text);
        EXPECT_DOUBLE_EQ(note["text_height"].get<double>(), c.height) << c.text;
    }
    EXPECT_EQ(note_at("S1", 32, 14.5)["alignment"], 4) << "the path starts at the left of its row";
    EXPECT_EQ(note_at("S1", 155, 23.5)["alignment"], 5);
    // The template's border and labels came in.
    EXPECT_GT(r["sheet_curves"].get<int>(), 0);
}

TEST_F(ElecSheetTest, TitleBlockLetteringHasItsSizeWidthAndSpacingWhateverTheUserSet) {
    UF_DRF_lettering_preferences_t user;
    ASSERT_EQ(UF_DRF_ask_lettering_preferences(&user), 0);
    user.general_text.size = 7.0;
    user.general_text.aspect_ratio = 0.5;
    user.general_text.char_space_factor = 2.0;
    ASSERT_EQ(UF_DRF_set_lettering_preferences(&user), 0);
    the_run_settings.part_type = 4;
    std::strcpy(the_run_settings.client, "客户甲");
    const tag_t drawing = sheet("S1");
    struct Want {
        const char* text;
        double size, aspect;
    };
    // Narrow lettering in the small cells, full width for the client and the part type.
    const Want wants[] = {{"2026.12.5", 3.175, 0.8}, {"第 3/7 页", 3.175, 0.8}, {"M-07", 3.175, 0.8},
                          {"客户甲", 3.2, 1.0},      {"后模镶件", 3.2, 1.0},    {"/PARTS/TEST_PART.PRT", 3.175, 0.8}};
    int found = 0;
    for (tag_t member : doc().drawing_members(drawing)) {
        const auto* note = doc().find(member)->as<cadhost::AnnotationData>();
        if (!note || note->kind != cadhost::AnnotationData::Kind::Note || note->lines.empty()) continue;
        for (const Want& w : wants) {
            if (note->lines[0] != w.text) continue;
            ++found;
            EXPECT_DOUBLE_EQ(note->style->height, w.size) << w.text;
            EXPECT_DOUBLE_EQ(note->style->aspect_ratio, w.aspect) << w.text;
            EXPECT_DOUBLE_EQ(note->style->char_space, 1.0) << w.text << ": the font's own spacing";
        }
    }
    EXPECT_EQ(found, 6);
}

TEST_F(ElecSheetTest, EachTitleBlockNoteIsListedUnderItsOwnCall) {
    // Texts the host refuses: the two notes fail and the listing tells which.
    std::strcpy(the_run_settings.client, "\xff\xfe");
    tag_t drawing = NULL_TAG;
    ASSERT_EQ(create_elec_sheet("S1", "\xc0", "", &drawing, 1, 1), 1) << "a note that fails costs only its text";
    const std::string listing = session().ui().listing();
    for (const char* call : {"UF_DRF_create_note(1, mold_no, mold_no_point, 0, &note_tag)",
                             "UF_DRF_create_note(1, the_run_settings.client, client_point, 0, &note_tag)"}) {
        const int line = testing_support::source_line("quillon/elec_sheet.cpp", call);
        ASSERT_GT(line, 0) << call;
        EXPECT_NE(listing.find("quillon/elec_sheet.cpp, line " + std::to_string(line) + ":  " + call + "\n"),
                  std::string::npos)
            << listing;
    }
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 4) << listing;
}

TEST_F(ElecSheetTest, LongConfigurationPathStillBringsTheTemplate) {
    // A folder path longer than a part name may be: the template must be found where config.def is.
    const std::filesystem::path dir =
        std::filesystem::path(conf.path()) / std::string(200, 'c') / std::string(120, 'd');
    std::filesystem::create_directories(dir);
    for (const char* name : {"config.def", "my_edm_A4_a.prt"})
        std::filesystem::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/" + name, dir / name);
    ASSERT_GT(dir.string().size(), 300u);
    ::setenv("QUILLON_CONF", dir.c_str(), 1);
    sheet("LONG");
    ::setenv("QUILLON_CONF", conf.path().c_str(), 1);
    EXPECT_GT(report("LONG")["sheet_curves"].get<int>(), 0) << "the border and title block came in";
    EXPECT_EQ(session().ui().listing(), "");
}

TEST_F(ElecSheetTest, PartTypesOutsideTheDialogsChoicesWriteAnEmptyNote) {
    EXPECT_STREQ(part_type_text(1), "前 模");
    EXPECT_STREQ(part_type_text(7), "斜 顶");
    for (int type : {0, 8}) {
        the_run_settings.part_type = type;
        const std::string name = "T" + std::to_string(type);
        sheet(name.c_str());
        const auto note = note_at(name, 65, 23.5);
        ASSERT_FALSE(note.is_null()) << type;
        EXPECT_EQ(note["text"][0], "") << type;
    }
}

TEST_F(ElecSheetTest, DateHasNoLeadingZeros) {
    char text[32];
    format_sheet_date(fifth_of_december(nullptr), text, sizeof text);
    EXPECT_STREQ(text, "2026.12.5");
    format_sheet_date(fifth_of_december(nullptr), text, 5);
    EXPECT_STREQ(text, "2026") << "cut to the buffer";
}

TEST_F(ElecSheetTest, PartPathIsUpperCasedAndWrittenOnlyWhenSwitchedOn) {
    session().display_part()->path = "d:\\parts\\ab12.prt";
    sheet("ON");
    EXPECT_TRUE(has_note("ON", "D:\\PARTS\\AB12.PRT"));

    configure("part_path_true:", "0.5");
    reset_elec_sheet_positions();
    sheet("HALF");
    EXPECT_FALSE(has_note("HALF", "D:\\PARTS\\AB12.PRT"));
    EXPECT_EQ(notes("HALF").size() + 1, notes("ON").size()) << "no path note";

    char text[] = "d:\\模具\\ab.prt";
    upper_case_ascii(text);
    EXPECT_STREQ(text, "D:\\模具\\AB.PRT") << "only ASCII letters change";
}

TEST_F(ElecSheetTest, PositionsAreReadOnceUnlessTheFirstIsMinusOne) {
    sheet("FIRST");
    configure("mold_no_note_point_x:", "70");
    sheet("SECOND");
    EXPECT_FALSE(note_at("SECOND", 65, 32.5).is_null()) << "kept from the first sheet";
    reset_elec_sheet_positions();
    sheet("THIRD");
    EXPECT_FALSE(note_at("THIRD", 70, 32.5).is_null());

    configure("mold_no_note_point_x:", "-1");
    reset_elec_sheet_positions();
    sheet("FOURTH");
    configure("mold_no_note_point_x:", "-1");
    configure("time_note_point_x:", "150");
    sheet("FIFTH");
    EXPECT_FALSE(note_at("FIFTH", 150, 23.5).is_null()) << "read again for every sheet";
}

TEST_F(ElecSheetTest, RefusalsMakeNoSheetAndSayWhy) {
    sheet("TAKEN");
    tag_t drawing = NULL_TAG;
    EXPECT_EQ(create_elec_sheet("TAKEN", "", "", &drawing, 1, 1), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{"构建TAKEN图纸失败这可能是已经有了这个图纸名称!"});

    session().ui().clear();
    doc().set_application_module(3);
    EXPECT_EQ(create_elec_sheet("OTHER", "", "", &drawing, 1, 1), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{"此功能必需在MODELING或在DRAFTING模块下运行!"});
    doc().set_application_module(UF_APP_DRAFTING);

    session().ui().clear();
    reset_elec_sheet_positions();
    conf.write_config("mold_no_note_point_x:,1,EOF\n");
    EXPECT_EQ(create_elec_sheet("OTHER", "", "", &drawing, 1, 1), 0);
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(doc().find_drawing("OTHER"), NULL_TAG);
}

TEST_F(ElecSheetTest, LetteringIsPutBackAndAMissingTemplateOnlyReports) {
    UF_DRF_lettering_preferences_t before, after;
    ASSERT_EQ(UF_DRF_ask_lettering_preferences(&before), 0);
    std::filesystem::remove(std::filesystem::path(conf.path()) / "my_edm_A4_a.prt");
    sheet("BARE");
    ASSERT_EQ(UF_DRF_ask_lettering_preferences(&after), 0);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(notes("BARE").size(), 7u) << "the notes are written all the same";
    EXPECT_EQ(report("BARE")["sheet_curves"], 0);
    EXPECT_NE(session().ui().listing().find("UF_PART_import( \"D:\\\\tarn_conf\\\\my_edm_A4_a.prt\""),
              std::string::npos)
        << session().ui().listing();
}

}  // namespace
