// Damaged STEP files, attribute files and answers files end with exit status 2 and a message naming the file and the
// place, never with a signal, a hang or a part written from them.
#include <gtest/gtest.h>

#include "hardening/hardening_fixture.h"
#include "hardening/quillon_process.h"

namespace {

using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

class ImportRefusals : public hardening::ScratchTest {
  protected:
    // Imports the file and expects a refusal whose message holds each of the texts; nothing may be left behind.
    void expect_refused(const std::string& step, const std::vector<std::string>& texts, const std::string& attrs = "",
                        const std::vector<std::string>& environment = {}) {
        std::vector<std::string> args{"import", input(step), "-o", path("part.prt")};
        if (!attrs.empty()) args.insert(args.begin() + 2, {"--attrs", attrs});
        const Outcome outcome = run_quillon(args, environment);
        EXPECT_TRUE(outcome.exited) << describe(outcome);
        EXPECT_EQ(outcome.status, 2) << describe(outcome);
        for (const std::string& text : texts) EXPECT_NE(outcome.err.find(text), std::string::npos) << outcome.err;
        EXPECT_TRUE(listing().empty()) << "the folder holds " << listing().front();
    }
};

TEST_F(ImportRefusals, TheSoundSeedImports) {
    const Outcome outcome = run_quillon({"import", input("small_mould.step"), "-o", path("part.prt")});
    ASSERT_EQ(outcome.status, 0) << describe(outcome);
    EXPECT_NE(outcome.out.find("layer 6: 1 solid body, 1 line (E06)"), std::string::npos) << outcome.out;
}

TEST_F(ImportRefusals, ACrashOfTheTranslatorIsAnErrorNamingTheFile) {
    // A hundred thousand nested parentheses: the translator overflows its stack in the child that runs it.
    expect_refused("deep_nesting.step", {"deep_nesting.step", "crashed"});
}

TEST_F(ImportRefusals, AnEntityOfTheWrongTypeIsNamedWithTheSolidItSpoils) {
    // A vertex that refers to a vector would crash the translator; the solid it belongs to is never handed to it.
    expect_refused("vertex_refers_to_a_vector.step",
                   {"vertex_refers_to_a_vector.step", "solid \"E06\" (entity #7516 MANIFOLD_SOLID_BREP",
                    "entity #7523 (VERTEX_POINT) cannot be read"});
}

TEST_F(ImportRefusals, AnEndlessTranslationIsStoppedAtItsTimeLimit) {
    // A vector magnitude of 1.E400 sends the translator into a loop it never leaves.
    expect_refused("vector_magnitude_1e400.step", {"vector_magnitude_1e400.step", "did not finish within 2 s"}, "",
                   {"QUILLON_STEP_TIME_LIMIT=2"});
}

TEST_F(ImportRefusals, GeometryFarOutsideAnyMouldIsRefusedNamingTheObjectOrLeftOutOnRequest) {
    const std::string place =
        "point \"ORIGIN\" (in entity #3175 GEOMETRIC_CURVE_SET, product \"ORIGIN\", layer \"240\")";
    expect_refused(
        "point_at_minus_1e308.step",
        {"point_at_minus_1e308.step: 1 problem (--keep-going imports the rest):\n  " + place, "reaches beyond"});

    const Outcome outcome =
        run_quillon({"import", input("point_at_minus_1e308.step"), "--keep-going", "-o", path("part.prt")});
    ASSERT_EQ(outcome.status, 0) << describe(outcome);
    EXPECT_NE(outcome.out.find("left out: " + place + ": it reaches beyond"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("layer 6: 1 solid body, 1 line (E06)"), std::string::npos) << outcome.out;
}

TEST_F(ImportRefusals, AttributeFilesOutOfRangeOrNotUtf8AreRefusedWithThePlace) {
    expect_refused("small_mould.step", {"number_out_of_range.attrs.json", "not valid JSON", "1e400"},
                   input("number_out_of_range.attrs.json"));
    expect_refused("small_mould.step", {"title_not_utf8.attrs.json", "line 4", "not valid JSON"},
                   input("title_not_utf8.attrs.json"));
    // 2^64 - 1 read as a signed number would be -1, and then an index of a different meaning.
    expect_refused("small_mould.step", {"unsigned_index.attrs.json", "objects[0].index: number out of range"},
                   input("unsigned_index.attrs.json"));
    expect_refused("small_mould.step", {"attribute file", "is a folder"}, dir_.string());
}

TEST_F(ImportRefusals, AnswersThatAreNotUtf8OrNotAFileAreRefusedBeforeAnythingRuns) {
    ASSERT_EQ(run_quillon({"import", input("small_mould.step"), "-o", path("part.prt")}).status, 0);
    Outcome outcome = run_quillon({"run", path("part.prt"), "--answers", input("text_not_utf8.answers")});
    EXPECT_EQ(outcome.status, 2) << describe(outcome);
    EXPECT_NE(outcome.err.find("text_not_utf8.answers:3: STR_1"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("not UTF-8 (byte 3"), std::string::npos) << outcome.err;

    outcome = run_quillon({"run", path("part.prt"), "--answers", dir_.string()});
    EXPECT_EQ(outcome.status, 2) << describe(outcome);
    EXPECT_NE(outcome.err.find("cannot read answers file '" + dir_.string() + "': is a folder"), std::string::npos)
        << outcome.err;

    outcome = run_quillon({"run", path("part.prt"), "--set", "STR_0=\xff"});
    EXPECT_EQ(outcome.status, 2) << describe(outcome);
    EXPECT_NE(outcome.err.find("--set: STR_0"), std::string::npos) << outcome.err;
    EXPECT_EQ(listing(), std::vector<std::string>{"part.prt"}) << "nothing ran, so no log was written";
}

}  // namespace
