// The spark-gap and count notes: values from the body's attributes in their cells, the special electrodes' block,
// the defaults only for a body that says nothing, the free-text note, and the preferences left as they were.
#include "my_func1/elec_attr_texts.h"
#include "notes/notes_fixture.h"
#include "quillon/spark_gap_notes.h"

namespace {

using notes_test::NotesTest;
using notes_test::Preferences;
using notes_test::Written;
using Lines = std::vector<std::string>;

// The cells of the shipped config.def.
constexpr double kRoughX = 182, kFinishX = 222, kSpaceY = 102, kCountY = 95;
constexpr double kBlockX = 182, kBlockY = 86, kFreeX = 165, kFreeY = 60;

class SparkGapNotesTest : public NotesTest {
  protected:
    void SetUp() override {
        NotesTest::SetUp();
        reset_spark_gap_note_positions();
    }
    // Writes the body's notes on a sheet of their own and gives what the sheet then holds.
    std::vector<Written> notes_of(tag_t body, const char* sheet = "S") {
        bare_sheet(sheet);
        EXPECT_EQ(write_spark_gap_notes(body), 1);
        return written(sheet);
    }
};

void expect_note(const Written& w, const std::string& text, double x, double y, int alignment = 5) {
    EXPECT_EQ(w.kind, "note");
    EXPECT_EQ(w.lines, Lines{text});
    EXPECT_DOUBLE_EQ(w.x, x) << text;
    EXPECT_DOUBLE_EQ(w.y, y) << text;
    EXPECT_EQ(w.alignment, alignment) << text;
    EXPECT_DOUBLE_EQ(w.height, 3.175) << text;
}

TEST_F(SparkGapNotesTest, OrdinaryValuesGoInTheirCellsWithoutDefaults) {
    const tag_t body = body_with("E01");
    set_real(body, "ELEC_ROUGH_SPACE", 0.15);
    set_real(body, "ELEC_FINISH_SPACE", 0.2);
    set_integer(body, "elec_rough_number", 1);
    set_integer(body, "elec_finish_number", 2);
    const auto notes = notes_of(body);
    ASSERT_EQ(notes.size(), 4u);
    expect_note(notes[0], "0.15/s", kRoughX, kSpaceY);
    expect_note(notes[1], "0.20/s", kFinishX, kSpaceY);
    expect_note(notes[2], "1", kRoughX, kCountY);
    expect_note(notes[3], "2", kFinishX, kCountY);
}

TEST_F(SparkGapNotesTest, SpecialValuesStackFromTheBlocksFirstLineAndKeepTheirBlanks) {
    const tag_t only_finish = body_with("E02");
    set_real(only_finish, "T_ELEC_FINISH_SPACE", 0.05);
    set_integer(only_finish, "t_elec_finish_number", 1);
    auto notes = notes_of(only_finish, "S1");
    ASSERT_EQ(notes.size(), 2u) << "one special value is enough to leave the defaults out";
    expect_note(notes[0], "特精公火花位:0.05/s", kBlockX, kBlockY);
    expect_note(notes[1], " 特精公数量:  1    ", kBlockX, kBlockY - 5);

    const tag_t all = body_with("E03");
    set_real(all, "T_ELEC_ROUGH_SPACE", 0.4);
    set_real(all, "T_ELEC_FINISH_SPACE", 0.125);
    set_integer(all, "t_elec_rough_number", 3);
    set_integer(all, "t_elec_finish_number", 12);
    set_real(all, "ELEC_ROUGH_SPACE", 1.0);
    notes = notes_of(all, "S2");
    ASSERT_EQ(notes.size(), 5u);
    expect_note(notes[0], "1.00/s", kRoughX, kSpaceY);
    expect_note(notes[1], "特粗公火花位:0.40/s", kBlockX, kBlockY);
    expect_note(notes[2], "特精公火花位:0.13/s", kBlockX, kBlockY - 5);
    expect_note(notes[3], " 特粗公数量:  3    ", kBlockX, kBlockY - 10);
    expect_note(notes[4], " 特精公数量:  12    ", kBlockX, kBlockY - 15);
}

TEST_F(SparkGapNotesTest, ABodyWithoutValuesGetsTheConfiguredDefaults) {
    configure("elec_rough_space:", "0.3");
    configure("elec_finish_space:", "0.12");
    configure("elec_rough_number:", "3");
    configure("elec_finish_number:", "4");
    ASSERT_EQ(read_elec_defaults(&the_elec_defaults), 1);
    const tag_t body = body_with("E04");
    // Values of another type than their slot's are not the slot's value.
    for (const char* gap : {"ELEC_ROUGH_SPACE", "ELEC_FINISH_SPACE", "T_ELEC_ROUGH_SPACE", "T_ELEC_FINISH_SPACE"})
        set_integer(body, gap, 2);
    for (const char* count : {"elec_rough_number", "elec_finish_number", "t_elec_rough_number", "t_elec_finish_number"})
        set_real(body, count, 2.0);
    set_string(body, "ELEC_ROUGH_SPACE", "0.2");
    const auto notes = notes_of(body);
    ASSERT_EQ(notes.size(), 4u);
    expect_note(notes[0], "0.3/s", kRoughX, kSpaceY);
    expect_note(notes[1], "0.12/s", kFinishX, kSpaceY);
    expect_note(notes[2], "3", kRoughX, kCountY);
    expect_note(notes[3], "4", kFinishX, kCountY);
}

TEST_F(SparkGapNotesTest, FreeTextIsLeftAlignedWhileTheValuesStayCentred) {
    const tag_t body = body_with("E05");
    set_integer(body, "elec_rough_number", 2);
    set_string(body, "ELEC_NOTE", "顶面清角\n注意 R3");
    const auto notes = notes_of(body);
    ASSERT_EQ(notes.size(), 2u);
    expect_note(notes[0], "2", kRoughX, kCountY, 5);
    EXPECT_EQ(notes[1].lines, (Lines{"顶面清角", "注意 R3"})) << "line feeds make lines";
    EXPECT_DOUBLE_EQ(notes[1].x, kFreeX);
    EXPECT_DOUBLE_EQ(notes[1].y, kFreeY);
    EXPECT_EQ(notes[1].alignment, 4);
}

TEST_F(SparkGapNotesTest, LongFreeTextIsCutAtACharacterWithinItsRoom) {
    std::string text = "a";
    for (int i = 0; i < 100; ++i) text += "角";  // 301 bytes
    const tag_t body = body_with("E06");
    set_string(body, "ELEC_NOTE", text);
    const auto notes = notes_of(body);
    ASSERT_EQ(notes.size(), 5u);
    const std::string kept = notes[4].lines.at(0);
    EXPECT_EQ(kept.size(), 1u + 84 * 3) << "the last whole character within 255 bytes";
    EXPECT_EQ(kept, text.substr(0, kept.size()));
}

TEST_F(SparkGapNotesTest, PreferencesAreTheUsersAgainAfterwardsAndTheNotesUsedTheirOwn) {
    odd_preferences();
    const Preferences before = Preferences::now();
    const tag_t body = body_with("E07");
    set_real(body, "ELEC_ROUGH_SPACE", 0.1);
    set_string(body, "ELEC_NOTE", "x");
    const auto notes = notes_of(body);
    EXPECT_TRUE(Preferences::now() == before);
    ASSERT_EQ(notes.size(), 2u);
    expect_note(notes[0], "0.10/s", kRoughX, kSpaceY);
    EXPECT_EQ(notes[1].alignment, 4);
    EXPECT_DOUBLE_EQ(notes[1].height, 3.175);
}

TEST_F(SparkGapNotesTest, PositionsAreReadOncePerRunAndAMissingOneWritesNothing) {
    const tag_t body = body_with("E08");
    set_integer(body, "elec_rough_number", 5);
    ASSERT_EQ(notes_of(body, "S1").size(), 1u);
    configure("elec_r_count_note_point_x:", "100");
    auto notes = notes_of(body, "S2");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_DOUBLE_EQ(notes[0].x, kRoughX) << "kept from the first sheet";

    reset_spark_gap_note_positions();
    notes = notes_of(body, "S3");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_DOUBLE_EQ(notes[0].x, 100);

    reset_spark_gap_note_positions();
    conf.write_config("elec_r_space_note_point_x:,1,EOF\n");
    odd_preferences();
    const Preferences before = Preferences::now();
    bare_sheet("S4");
    EXPECT_EQ(write_spark_gap_notes(body), 0);
    EXPECT_TRUE(written("S4").empty());
    EXPECT_TRUE(Preferences::now() == before);
    EXPECT_EQ(messages().size(), 1u) << "the reader's message about the missing key";

    // A later key of the block missing: every sheet meets it again, with its message, and no note goes to 0.
    reset_spark_gap_note_positions();
    conf.copy_shipped();
    unconfigure("elec_f_space_note_point_y:");
    session().ui().clear();
    for (const char* sheet : {"S5", "S6"}) {
        bare_sheet(sheet);
        EXPECT_EQ(write_spark_gap_notes(body), 0) << sheet;
        EXPECT_TRUE(written(sheet).empty()) << sheet;
    }
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(SparkGapNotesTest, EverySlotTakesItsOwnTitleAndType) {
    const tag_t body = body_with("E09");
    const char* const reals[] = {"ELEC_ROUGH_SPACE", "ELEC_FINISH_SPACE", "T_ELEC_ROUGH_SPACE", "T_ELEC_FINISH_SPACE"};
    const char* const integers[] = {"elec_rough_number", "elec_finish_number", "t_elec_rough_number",
                                    "t_elec_finish_number"};
    for (int i = 0; i < 4; ++i) {
        set_real(body, reals[i], 0.011 + i);
        set_integer(body, integers[i], -7 - i);
    }
    elec_attr_texts texts;
    std::memset(&texts, 'x', sizeof texts);
    ASSERT_EQ(read_elec_attr_texts(body, &texts), 1);
    const Lines want = {"0.01", "1.01", "-7", "-8", "2.01", "3.01", "-9", "-10"};
    for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot) EXPECT_EQ(texts.text[slot], want[slot]) << slot;

    ASSERT_EQ(read_elec_attr_texts(body_with("E10"), &texts), 1);
    for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot) EXPECT_STREQ(texts.text[slot], "") << slot;
}

}  // namespace
