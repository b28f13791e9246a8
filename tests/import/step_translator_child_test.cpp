// A process that reads many STEP files keeps one translating child for them. What one file does to that child (a
// crash, a time-out) must cost that file alone, and a kept child must answer exactly as a fresh one would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "cadhost/import/step_reader.h"

namespace {

using cadhost::import::read_step_file;
using cadhost::import::StepReadOptions;
using cadhost::import::StepReadResult;
using cadhost::import::translator_children_started;

const std::string kInputs = std::string(QUILLON_SOURCE_DIR) + "/tests/hardening/inputs/";

// Everything the caller gets of a model that reads: its objects' names, layers and stored shapes, in order.
std::string fingerprint(const StepReadResult& result) {
    std::string out = result.length_unit + "|" + std::to_string(result.warnings.size()) + "|" +
                      std::to_string(result.problems.size());
    for (const auto& object : result.objects) out += "|" + object.name + "|" + object.layer_name + "|" + object.stored;
    return out;
}

StepReadResult sound() {
    StepReadResult result = read_step_file(kInputs + "small_mould.step");
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.objects.empty());
    return result;
}

TEST(KeptTranslator, AnswersAsAFreshChildDoesAndFollowsTheProcessIntoOtherFolders) {
    const std::string first = fingerprint(sound());
    const int started = translator_children_started();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fingerprint(sound()), first) << "read " << i + 2;
    EXPECT_LE(translator_children_started() - started, 1) << "the later files share one child";

    // A relative name means the folder the process is in now, not the one it was in when the child started.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(kInputs);
    const StepReadResult relative = read_step_file("small_mould.step");
    std::filesystem::current_path(before);
    ASSERT_TRUE(relative.ok) << relative.error;
    EXPECT_EQ(fingerprint(relative), first);
}

TEST(KeptTranslator, ACrashOrATimeOutCostsThatFileAloneAndTheNextOneReadsAsBefore) {
    const std::string first = fingerprint(sound());

    StepReadResult crashed = read_step_file(kInputs + "deep_nesting.step");
    EXPECT_FALSE(crashed.ok);
    EXPECT_NE(crashed.error.find("deep_nesting.step: the STEP translator crashed on this file (Segmentation fault"),
              std::string::npos)
        << crashed.error;
    EXPECT_EQ(fingerprint(sound()), first);

    StepReadOptions short_limit;
    short_limit.time_limit = std::chrono::milliseconds(300);
    StepReadResult endless = read_step_file(kInputs + "vector_magnitude_1e400.step", short_limit);
    EXPECT_FALSE(endless.ok);
    EXPECT_NE(endless.error.find("vector_magnitude_1e400.step: the STEP translator did not finish within 0.3 s"),
              std::string::npos)
        << endless.error;
    EXPECT_EQ(fingerprint(sound()), first);

    // A file the translator refuses is an answer like any other; the child stays.
    const int started = translator_children_started();
    StepReadResult missing = read_step_file(kInputs + "no_such_file.step");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("no_such_file.step"), std::string::npos) << missing.error;
    EXPECT_EQ(fingerprint(sound()), first);
    EXPECT_EQ(translator_children_started(), started);
}

TEST(KeptTranslator, AChildStartedForAThreadThatEndedIsReplacedNotBlamed) {
    const std::string first = fingerprint(sound());
    // A time-out ends the kept child, so the thread below starts the next one; that child ends with its thread.
    StepReadOptions short_limit;
    short_limit.time_limit = std::chrono::milliseconds(100);
    EXPECT_FALSE(read_step_file(kInputs + "vector_magnitude_1e400.step", short_limit).ok);
    std::string in_thread;
    std::thread([&in_thread] { in_thread = fingerprint(sound()); }).join();
    EXPECT_EQ(in_thread, first);
    EXPECT_EQ(fingerprint(sound()), first);
}

TEST(KeptTranslator, IsReplacedAfterItsShareOfFilesSoThatItsLeftoversCannotPileUp) {
    const std::string empty = ::testing::TempDir() + "kept_translator_empty.step";
    { std::ofstream(empty) << ""; }
    read_step_file(empty);
    const int started = translator_children_started();
    for (int i = 0; i < 250; ++i) EXPECT_FALSE(read_step_file(empty).ok);
    const int more = translator_children_started() - started;
    EXPECT_GE(more, 2) << "a child that never ends keeps whatever the kernel left in it";
    EXPECT_LE(more, 3) << "250 files, a new child for every hundred";
    std::filesystem::remove(empty);
}

}  // namespace
