// A host with a displayed part and the shipped configuration, in which the command's entry runs in-process.
#ifndef TESTS_COMMAND_START_COMMAND_RUN_FIXTURE_H
#define TESTS_COMMAND_START_COMMAND_RUN_FIXTURE_H

#include <sstream>

#include "command_start/conf_dir.h"
#include "host/uf_drf.h"
#include "host/uf_exit.h"
#include "host/uf_curve.h"
#include "host/uf_obj.h"
#include "quillon/run_settings.h"
#include "support/host_fixture.h"

namespace testing_support {

class CommandRunTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        conf.copy_shipped();
        clear_run_settings(&the_run_settings);
        run() = cadhost::RunContext{};
        run().conf_dir = conf.path();
    }
    void TearDown() override {
        run() = cadhost::RunContext{};
        HostTest::TearDown();
    }
    static cadhost::RunContext& run() { return session().run(); }
    static std::vector<std::string> messages() { return session().ui().messages(); }

    // The mould of the tests: a core on layer 240 and a named electrode on layer 3, a plain pin held by its top, with
    // the diagonal line across that side of its box that marks its reference point.
    void build_mould() {
        ASSERT_EQ(UF_OBJ_set_layer(add_box(-50, -50, -30, 100, 100, 30), 240), 0);
        tag_t electrode = add_box(0, 0, 0, 10, 10, 20);
        ASSERT_EQ(UF_OBJ_set_layer(electrode, 3), 0);
        ASSERT_EQ(UF_OBJ_set_name(electrode, "E03"), 0);
        UF_CURVE_line_t diagonal{{0, 0, 20}, {10, 10, 20}};
        tag_t line = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_line(&diagonal, &line), 0);
        ASSERT_EQ(UF_OBJ_set_layer(line, 3), 0);
    }
    // Runs the command as the host does, with the interface closed around it.
    void run_command(const std::string& terminal_input = "") {
        std::istringstream in(terminal_input);
        if (!terminal_input.empty()) {
            run().interactive = true;
            run().form_in = &in;
            run().form_out = &form;
        }
        while (session().open_count() > 0) UF_terminate();
        char param[1] = "";
        retcode = 0;
        ufusr(param, &retcode, 0);
        EXPECT_EQ(session().open_count(), 0) << "the command closes what it opened";
        run().form_in = nullptr;
        UF_initialize();
    }
    ConfDir conf{"command_run"};
    int retcode = 0;  // the return-code cell of the last run
    std::ostringstream form;
};

}  // namespace testing_support

#endif
