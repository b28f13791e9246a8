// The electrode's name and, for copies on one layer, which place the sheet shows.
#include "notes/notes_fixture.h"
#include "quillon/elec_number_note.h"

namespace {

using notes_test::NotesTest;
using notes_test::Preferences;
using Lines = std::vector<std::string>;

constexpr double kNameX = 205, kNameY = 124, kShareX = 205, kShareY = 117;

class ElecNumberNoteTest : public NotesTest {
  protected:
    void SetUp() override {
        NotesTest::SetUp();
        reset_elec_number_note_positions();
    }
};

TEST_F(ElecNumberNoteTest, ASingleElectrodeIsNamedInTheCurrentLettering) {
    odd_preferences();
    bare_sheet("S");
    ASSERT_EQ(write_elec_number_note(body_with("E01"), 1, 1), 1);
    const auto notes = written("S");
    ASSERT_EQ(notes.size(), 1u) << "no sharing note for one place";
    EXPECT_EQ(notes[0].lines, Lines{"E01"});
    EXPECT_DOUBLE_EQ(notes[0].x, kNameX);
    EXPECT_DOUBLE_EQ(notes[0].y, kNameY);
    EXPECT_DOUBLE_EQ(notes[0].height, testing_support::kOddGeneralSize) << "the lettering the caller left";
}

TEST_F(ElecNumberNoteTest, TheSecondOfThreeSaysSoInItsOwnLetteringAndPutsTheUsersBack) {
    odd_preferences();
    const Preferences before = Preferences::now();
    bare_sheet("S");
    ASSERT_EQ(write_elec_number_note(body_with("E02"), 2, 3), 1);
    EXPECT_TRUE(Preferences::now() == before);
    const auto notes = written("S");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].lines, Lines{"E02"});
    EXPECT_EQ(notes[1].lines, Lines{"这个铜公共放电 3 处, 这是第 2 处."});
    EXPECT_DOUBLE_EQ(notes[1].x, kShareX);
    EXPECT_DOUBLE_EQ(notes[1].y, kShareY);
    EXPECT_DOUBLE_EQ(notes[1].height, 3.175);
    const auto& sharing = std::get<cadhost::AnnotationData>(doc().find(report("S")["annotations"][1]["tag"])->payload);
    EXPECT_DOUBLE_EQ(sharing.style->aspect_ratio, 1.0);
    EXPECT_DOUBLE_EQ(sharing.style->char_space, 1.0);
}

TEST_F(ElecNumberNoteTest, AnUnnamedBodyIsNone) {
    bare_sheet("S");
    ASSERT_EQ(write_elec_number_note(body_with(nullptr), 1, 1), 1);
    const auto notes = written("S");
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].lines, Lines{"无"});
}

TEST_F(ElecNumberNoteTest, PositionsAreReadWhileTheSharingPlaceIsStillZero) {
    const tag_t body = body_with("E03");
    bare_sheet("S1");
    ASSERT_EQ(write_elec_number_note(body, 1, 1), 1);
    configure("elec_no_note_point_x:", "90");
    bare_sheet("S2");
    ASSERT_EQ(write_elec_number_note(body, 1, 1), 1);
    EXPECT_DOUBLE_EQ(written("S2").at(0).x, kNameX) << "kept from the first sheet";

    // A sharing place configured at x 0 cannot tell read from unread: it is read for every sheet.
    reset_elec_number_note_positions();
    configure("share_elec_note_point_x:", "0");
    bare_sheet("S3");
    ASSERT_EQ(write_elec_number_note(body, 1, 1), 1);
    configure("elec_no_note_point_x:", "95");
    bare_sheet("S4");
    ASSERT_EQ(write_elec_number_note(body, 1, 1), 1);
    EXPECT_DOUBLE_EQ(written("S4").at(0).x, 95);

    reset_elec_number_note_positions();
    conf.write_config("share_elec_note_point_x:,1,EOF\n");
    bare_sheet("S5");
    EXPECT_EQ(write_elec_number_note(body, 2, 2), 0);
    EXPECT_TRUE(written("S5").empty());

    // The block's last key missing: every sheet meets it again, with its message, and gets no name at y 0.
    reset_elec_number_note_positions();
    conf.copy_shipped();
    unconfigure("elec_no_note_point_y:");
    session().ui().clear();
    for (const char* sheet : {"S6", "S7"}) {
        bare_sheet(sheet);
        EXPECT_EQ(write_elec_number_note(body, 1, 1), 0) << sheet;
        EXPECT_TRUE(written(sheet).empty()) << sheet;
    }
    EXPECT_EQ(messages().size(), 2u);
}

}  // namespace
