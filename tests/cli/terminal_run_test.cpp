// The quillon program on a terminal: a pseudo-terminal plays the user, who fills the dialog and answers the
// depth-zero label's prompts by typing, and the sheets carry the label that was typed.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/session/session.h"

namespace {

namespace fs = std::filesystem;

// The program on the other side of a pseudo-terminal: what it wrote so far, and typing into it.
class Terminal {
  public:
    explicit Terminal(const std::vector<std::string>& args) {
        pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Terminal() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }
    bool started() const { return pid_ > 0; }
    // Reads until the text has appeared after what an earlier wait consumed; false after a minute without it.
    bool wait_for(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            const std::size_t at = seen_.find(text, consumed_);
            if (at != std::string::npos) {
                consumed_ = at + text.size();
                return true;
            }
            if (std::chrono::steady_clock::now() > deadline || !read_some()) return false;
        }
    }
    void type(const std::string& line) {
        const std::string text = line + "\n";
        EXPECT_EQ(::write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Reads what is left and gives the exit status.
    int finish() {
        while (read_some()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& seen() const { return seen_; }

  private:
    bool read_some() {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 60000) <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) return false;  // the program has closed the terminal
        seen_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    int master_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    std::string seen_;
    std::size_t consumed_ = 0;
};

int quillon(std::vector<std::string> args, std::string* out_text = nullptr) {
    std::ostringstream out, err;
    cadhost::Session::instance().ui().set_terminal(nullptr);
    const int status = cadhost::cli::dispatch(args, out, err);
    if (out_text) *out_text = out.str() + err.str();
    return status;
}

TEST(TerminalRunTest, TheUserFillsTheDialogAndPlacesTheDepthZeroLabelByTyping) {
    const fs::path dir = fs::temp_directory_path() / ("quillon_terminal_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string part = (dir / "mould.prt").string();
    const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
    std::string said;
    ASSERT_EQ(
        quillon({"import", examples + "sample_mould.step", "--attrs", examples + "sample_mould.attrs.json", "-o", part},
                &said),
        0)
        << said;

    ::setenv("QUILLON_CONF", (std::string(QUILLON_SOURCE_DIR) + "/conf").c_str(), 1);
    Terminal user({QUILLON_PROGRAM, "run", part, "--command", COMMAND_LIBRARY});
    ASSERT_TRUE(user.started());
    const char* const ask_field = "field number to edit, o = OK, b = Back, c = Cancel: ";
    ASSERT_TRUE(user.wait_for(ask_field)) << user.seen();
    user.type("3");  // the last electrode layer
    ASSERT_TRUE(user.wait_for("[INT_2] (integer, now 1): ")) << user.seen();
    user.type("7");
    ASSERT_TRUE(user.wait_for(ask_field)) << user.seen();
    user.type("13");  // the depth-zero label
    ASSERT_TRUE(user.wait_for("[TOGGLE_14] (toggle, now 0 (off)): ")) << user.seen();
    user.type("1");
    ASSERT_TRUE(user.wait_for(ask_field)) << user.seen();
    user.type("o");

    ASSERT_TRUE(user.wait_for("请修改注释或用默认的注释.\r\n  now \"Z深度0位面\"")) << user.seen();
    ASSERT_TRUE(user.wait_for("text: ")) << user.seen();
    user.type("深度零位");
    ASSERT_TRUE(user.wait_for("请选择标注点.\r\n  a point in the model: x, y, z")) << user.seen();
    ASSERT_TRUE(user.wait_for("point: ")) << user.seen();
    user.type("60 40");
    ASSERT_TRUE(user.wait_for("not accepted: give x, y, z as numbers")) << user.seen();
    user.type("60 40 0");
    ASSERT_TRUE(user.wait_for("请选择标注放置点.\r\n  a point on sheet E01 (mm): x, y")) << user.seen();
    ASSERT_TRUE(user.wait_for("point: ")) << user.seen();
    user.type("200, 150");
    ASSERT_TRUE(user.wait_for("1 = YES 2 = NO\r\nbutton: ")) << user.seen();
    user.type("yes");
    ASSERT_TRUE(user.wait_for("完成!")) << user.seen();
    EXPECT_EQ(user.finish(), 0) << user.seen();
    EXPECT_EQ(user.seen().find("请修改注释", user.seen().find("请选择标注放置点.")), std::string::npos)
        << "later sheets ask nothing";

    ASSERT_EQ(quillon({"export", part, "-o", (dir / "out").string(), "--json"}, &said), 0) << said;
    std::ifstream in(dir / "out" / "mould.json");
    const nlohmann::json sheets = nlohmann::json::parse(in)["sheets"];
    ASSERT_FALSE(sheets.empty());
    for (const auto& sheet : sheets) {
        int labels = 0;
        for (const auto& a : sheet["annotations"]) {
            if (a["kind"] != "label" || a["text"][0] != "深度零位") continue;
            ++labels;
            EXPECT_EQ(a["position"], nlohmann::json::array({200.0, 150.0})) << sheet["name"];
        }
        EXPECT_EQ(labels, 1) << sheet["name"];
    }
    fs::remove_all(dir);
}

}  // namespace
