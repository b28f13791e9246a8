// Loading command libraries: ufusr runs against the displayed part, unloading follows the library's answer.
#include "cadhost/loader/command_loader.h"
#include "host/uf_layer.h"
#include "support/host_fixture.h"

namespace {

class LoaderTest : public testing_support::HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        UF_terminate();  // a command opens the interface itself
    }
};

TEST_F(LoaderTest, ACommandThatAsksToBeUnloadedStartsAfreshEachRunAndIsCleanedUp) {
    cadhost::CommandLoader loader;
    std::string error;
    ASSERT_TRUE(loader.run(PROBE_UNLOAD_NOW, "abc", error)) << error;
    EXPECT_FALSE(loader.is_loaded(PROBE_UNLOAD_NOW));
    ASSERT_TRUE(loader.run(PROBE_UNLOAD_NOW, "", error)) << error;
    EXPECT_EQ(session().ui().listing(),
              "probe run 1 param 'abc'\nprobe cleanup\nprobe run 1 param ''\nprobe cleanup\n");
    EXPECT_EQ(doc().count_on_layer(1), 2u) << "each run made its point on the work layer";
    EXPECT_EQ(session().open_count(), 0) << "the command closed what it opened";
    ASSERT_TRUE(session().display_part()->undo_mark.has_value());
    EXPECT_EQ(session().display_part()->undo_mark->count_on_layer(1), 1u) << "the mark holds the part before run 2";
}

TEST_F(LoaderTest, TheCommandsReturnCodeCellIsHandedBackForEachRun) {
    cadhost::CommandLoader loader;
    std::string error;
    ASSERT_TRUE(loader.run(PROBE_STAY, "stop", error)) << error;
    EXPECT_EQ(loader.return_code(), 7);
    ASSERT_TRUE(loader.run(PROBE_STAY, "", error)) << error;
    EXPECT_EQ(loader.return_code(), 0) << "each run starts with a clear cell";
}

TEST_F(LoaderTest, ACommandThatAsksToStayKeepsItsStateUntilTheHostEnds) {
    {
        cadhost::CommandLoader loader;
        std::string error;
        ASSERT_TRUE(loader.run(PROBE_STAY, "", error)) << error;
        ASSERT_TRUE(loader.run(PROBE_STAY, "", error)) << error;
        EXPECT_TRUE(loader.is_loaded(PROBE_STAY));
        EXPECT_EQ(session().ui().listing(), "probe run 1 param ''\nprobe run 2 param ''\n");
    }
    EXPECT_EQ(session().ui().listing(), "probe run 1 param ''\nprobe run 2 param ''\nprobe cleanup\n");
}

TEST_F(LoaderTest, LibrariesThatCannotRunAreRefusedWithAMessage) {
    cadhost::CommandLoader loader;
    std::string error;
    EXPECT_FALSE(loader.run(NO_ENTRY_LIBRARY, "", error));
    EXPECT_EQ(error, std::string("'") + NO_ENTRY_LIBRARY + "' is not a command library: it has no entry point ufusr");
    EXPECT_FALSE(loader.run("/nonexistent/libcommand.so", "", error));
    EXPECT_NE(error.find("cannot load command library '/nonexistent/libcommand.so'"), std::string::npos);
}

}  // namespace
