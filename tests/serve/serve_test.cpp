// The server's own rules without a browser: the form a run shows the page and the answers it takes back, names held
// under the served folder, the token and host checks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <future>
#include <thread>

#include "cadhost/dialog/remote_ui.h"
#include "cadhost/serve/access_token.h"
#include "cadhost/serve/import_form.h"
#include "cadhost/serve/path_guard.h"
#include "cadhost/serve/run_jobs.h"

namespace {

namespace fs = std::filesystem;
using namespace cadhost;
using nlohmann::json;

dialog::Form sample_form() {
    std::istringstream text(
        "dialog 出放电图\n"
        "field INT_2 integer\n label 铜公层--到\n name last_layer\n default 1\n"
        "field STR_1 text\n label 模号\n"
        "field RADIO_17 radio\n label 类型\n choice 1 前 模\n choice 3 后 模\n default 3\n"
        "field TOGGLE_14 toggle\n label 深度0位\n");
    dialog::DialogDefinition definition;
    std::string error;
    EXPECT_TRUE(dialog::parse_dialog(text, "t.dlg", definition, error)) << error;
    return dialog::Form(definition);
}

std::vector<json> events_of(const std::string& out) {
    std::vector<json> events;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) events.push_back(json::parse(line));
    return events;
}

TEST(RemoteFormTest, ShowsEveryFieldAsTheDialogFileDefinesIt) {
    const json form = dialog::form_json(sample_form());
    EXPECT_EQ(form["title"], "出放电图");
    ASSERT_EQ(form["fields"].size(), 4u);
    const json& layer = form["fields"][0];
    EXPECT_EQ(layer["id"], "INT_2");
    EXPECT_EQ(layer["label"], "铜公层--到");
    EXPECT_EQ(layer["name"], "last_layer");
    EXPECT_EQ(layer["kind"], "integer");
    EXPECT_EQ(layer["value"], 1);
    const json& radio = form["fields"][2];
    EXPECT_EQ(radio["value"], 3);
    ASSERT_EQ(radio["choices"].size(), 2u);
    EXPECT_EQ(radio["choices"][1]["text"], "后 模");
    EXPECT_FALSE(form["fields"][1].contains("choices"));
}

// The page's entries reach the form before the button; a refused OK keeps them and shows the form again; values of the
// wrong kind and unknown fields are refused by name; the end of the input is Cancel.
TEST(RemoteFormTest, TakesEntriesAndButtonsAsTheTerminalFormDoes) {
    dialog::Form form = sample_form();
    std::istringstream in("set last_layer=seven\nset NOPE=1\nset INT_2=300\nset STR_1=M=1 a\nok\nset INT_2=7\nback\n");
    std::ostringstream out;
    dialog::RemoteUi remote(in, out);
    std::vector<int> layers_pressed;
    const dialog::Button closed = remote.run_form(form, [&](dialog::Button button) {
        layers_pressed.push_back(std::get<int>(form.value(*form.field("INT_2"))));
        return button != dialog::Button::Ok || layers_pressed.back() <= 256;
    });
    EXPECT_EQ(closed, dialog::Button::Back);
    EXPECT_EQ(layers_pressed, (std::vector<int>{300, 7}));
    EXPECT_EQ(std::get<std::string>(form.value(*form.field("STR_1"))), "M=1 a");
    std::vector<std::string> kinds;
    for (const json& e : events_of(out.str())) kinds.push_back(e["event"]);
    EXPECT_EQ(kinds, (std::vector<std::string>{"form", "field_refused", "field_refused", "form_refused", "form",
                                               "form_closed"}));
    EXPECT_EQ(events_of(out.str())[1]["field"], "INT_2");
    EXPECT_EQ(events_of(out.str())[4]["fields"][0]["value"], 300);

    std::istringstream ended("set INT_2=5\n");
    std::ostringstream out2;
    dialog::RemoteUi gone(ended, out2);
    bool cancelled = false;
    EXPECT_EQ(gone.run_form(form, [&](dialog::Button b) { return cancelled = b == dialog::Button::Cancel; }),
              dialog::Button::Cancel);
    EXPECT_TRUE(cancelled);
}

TEST(RemotePromptTest, AsksAgainUntilAnAnswerFitsAndGivesUpAtTheEnd) {
    dialog::Prompt point;
    point.kind = dialog::Prompt::Kind::Point;
    point.cue = "请选择标注放置点.";
    point.coordinates = 2;
    point.space = "sheet E01 (mm)";
    std::istringstream in("text: x\npoint: 1, 2, 3\npoint: 200.5, 150\n");
    std::ostringstream out;
    dialog::RemoteUi remote(in, out);
    dialog::Reply reply;
    ASSERT_TRUE(remote.ask(point, {{"sheet", {{"name", "E01"}}}}, reply));
    EXPECT_EQ(reply.kind, dialog::Reply::Kind::Point);
    EXPECT_DOUBLE_EQ(reply.point[0], 200.5);
    EXPECT_DOUBLE_EQ(reply.point[1], 150);
    const auto events = events_of(out.str());
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0]["sheet"]["name"], "E01");
    EXPECT_EQ(events[0]["coordinates"], 2);
    EXPECT_EQ(events[1]["event"], "not_accepted");
    EXPECT_EQ(events[2]["event"], "not_accepted");

    dialog::Prompt buttons;
    buttons.kind = dialog::Prompt::Kind::Buttons;
    buttons.buttons = {"YES", "NO"};
    std::istringstream yes("button: no\n");
    dialog::RemoteUi answered(yes, out);
    ASSERT_TRUE(answered.ask(buttons, json::object(), reply));
    EXPECT_EQ(reply.button, 1u);
    std::istringstream nothing("");
    dialog::RemoteUi gone(nothing, out);
    EXPECT_FALSE(gone.ask(buttons, json::object(), reply));
}

class PathGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() / ("serve_paths_" + std::to_string(::getpid()));
        fs::remove_all(base_);
        fs::create_directories(base_ / "parts" / "a");
        fs::create_directories(base_ / "parts2");
        fs::create_directory_symlink(base_ / "parts2", base_ / "parts" / "out");
        fs::create_directory_symlink(base_ / "parts" / "a", base_ / "parts" / "in");
        std::string error;
        ASSERT_TRUE(serve::canonical_root((base_ / "parts").string(), root_, error)) << error;
    }
    void TearDown() override { fs::remove_all(base_); }
    bool allowed(const std::string& name) {
        fs::path out;
        std::string error;
        return serve::resolve_under(root_, name, out, error);
    }
    fs::path base_, root_;
};

TEST_F(PathGuardTest, KeepsNamesUnderTheRoot) {
    EXPECT_TRUE(allowed("m.prt"));
    EXPECT_TRUE(allowed("a/new/m.prt"));  // need not exist yet
    EXPECT_TRUE(allowed("in/m.prt"));     // a link that stays inside
    for (const char* name : {"../parts2/m.prt", "a/../../x.prt", "/etc/passwd", "out/m.prt", "out", ".hidden.prt",
                             "a/.quillon-upload-1/x", "a//m.prt", "a\\m.prt", "a/m\n.prt", ""})
        EXPECT_FALSE(allowed(name)) << name;
    fs::path out;
    std::string error;
    EXPECT_FALSE(serve::resolve_under(root_, "../parts2/m.prt", out, error));
    EXPECT_NE(error.find("../parts2/m.prt"), std::string::npos) << error;
}

TEST(ServeAccessTest, TokensHostsAndUploadNames) {
    const std::string token = serve::new_token();
    EXPECT_EQ(token.size(), 32u);
    EXPECT_NE(token, serve::new_token());
    EXPECT_TRUE(serve::same_token(token, token));
    EXPECT_FALSE(serve::same_token(token, token.substr(0, 31) + (token[31] == 'a' ? 'b' : 'a')));
    EXPECT_FALSE(serve::same_token(token, ""));
    EXPECT_FALSE(serve::same_token("", ""));
    EXPECT_TRUE(serve::loopback_host("127.0.0.1:8765", 8765));
    // Listening on a loopback address however named keeps to the loopback names; beyond it, numeric addresses and
    // this machine's name are taken too, never another name.
    for (const char* listen : {"127.0.0.1", "localhost", "::1", "127.0.0.2"}) {
        EXPECT_TRUE(serve::loopback_address(listen)) << listen;
        const serve::HostRule rule = serve::host_rule(listen);
        EXPECT_FALSE(serve::allowed_host(rule, "rebind.example:8765", 8765)) << listen;
        EXPECT_FALSE(serve::allowed_host(rule, "192.168.1.5:8765", 8765)) << listen;
        EXPECT_TRUE(serve::allowed_host(rule, "LOCALHOST:8765", 8765)) << listen;
    }
    EXPECT_TRUE(serve::allowed_host(serve::host_rule("::1"), "[::1]:8765", 8765));
    EXPECT_TRUE(serve::allowed_host(serve::host_rule("127.0.0.2"), "127.0.0.2:8765", 8765));
    EXPECT_FALSE(serve::loopback_address("0.0.0.0"));
    const serve::HostRule lan = serve::host_rule("0.0.0.0");
    EXPECT_TRUE(serve::allowed_host(lan, "192.168.1.5:8765", 8765));
    EXPECT_TRUE(serve::allowed_host(lan, "[fe80::1]:8765", 8765));
    EXPECT_FALSE(serve::allowed_host(lan, "rebind.example:8765", 8765));
    EXPECT_FALSE(serve::allowed_host(lan, "192.168.1.5:8766", 8765));
    EXPECT_TRUE(serve::loopback_host("localhost:8765", 8765));
    EXPECT_FALSE(serve::loopback_host("127.0.0.1:8766", 8765));
    EXPECT_FALSE(serve::loopback_host("evil.example:8765", 8765));
    EXPECT_FALSE(serve::loopback_host("127.0.0.1.evil.example:8765", 8765));
    EXPECT_EQ(serve::safe_file_name("C:\\models\\../模具 1.step"), "模具_1.step");
    EXPECT_EQ(serve::safe_file_name("..."), "");
    std::string why;
    EXPECT_TRUE(serve::fit_input_line("text: 深度 0", why));
    EXPECT_FALSE(serve::fit_input_line("ok\nset INT_0=1", why));
}

}  // namespace

namespace {

// A page that stops asking while the run waits for an answer: the run's input is ended, so it ends too. A second
// run of the part is refused meanwhile.
TEST(RunJobsTest, AnAbandonedRunEndsAndOneRunAPartAtATime) {
    serve::RunJobs runs;
    std::string error;
    const std::vector<std::string> script{
        "-c", "echo '{\"event\":\"prompt\",\"kind\":\"text\"}'; read answer || echo 'input ended'; exit 3"};
    ASSERT_TRUE(runs.start("a.prt", "/bin/sh", script, ".", std::chrono::milliseconds(300), error)) << error;
    EXPECT_FALSE(runs.start("a.prt", "/bin/sh", script, ".", std::chrono::milliseconds(300), error));
    EXPECT_NE(error.find("under way"), std::string::npos);
    auto job = runs.find("a.prt");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!job->finished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(job->finished());
    std::size_t next = 0;
    const auto events = job->events_since(0, std::chrono::milliseconds(0), next);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(json::parse(events[0])["kind"], "text");
    EXPECT_EQ(json::parse(events[1])["text"], "input ended");
    EXPECT_EQ(json::parse(events[2])["status"], 3);
    EXPECT_FALSE(job->send(0, {"ok"}, error));
    EXPECT_TRUE(runs.start("a.prt", "/bin/sh", {"-c", "exit 0"}, ".", std::chrono::milliseconds(300), error));
}

// A long step cancelled from the page ends at once, its end the last event, and another may start.
TEST(RunJobsTest, ACancelledStepEndsAtOnce) {
    serve::RunJobs steps;
    std::string error;
    ASSERT_TRUE(steps.start("c.prt", "/bin/sh", {"-c", "echo 'sheet 1 of 9'; exec sleep 60"}, ".",
                            std::chrono::milliseconds(300), error));
    auto job = steps.find("c.prt");
    std::size_t next = 0;
    ASSERT_EQ(job->events_since(0, std::chrono::seconds(10), next).size(), 1u);
    const auto asked = std::chrono::steady_clock::now();
    job->cancel();
    const auto events = job->events_since(next, std::chrono::seconds(10), next);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(json::parse(events[0])["status"], 128 + 9);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));
    EXPECT_TRUE(steps.start("c.prt", "/bin/sh", {"-c", "exit 0"}, ".", std::chrono::milliseconds(300), error));
}

// A page that keeps asking keeps the run waiting for its answer, and the answer reaches the run.
TEST(RunJobsTest, AnswersReachTheRun) {
    serve::RunJobs runs;
    std::string error;
    ASSERT_TRUE(runs.start("b.prt", "/bin/sh",
                           {"-c", "echo '{\"event\":\"form\"}'; read answer && echo \"got $answer\""}, ".",
                           std::chrono::milliseconds(300), error));
    auto job = runs.find("b.prt");
    std::size_t next = 0;
    auto events = job->events_since(0, std::chrono::seconds(10), next);
    ASSERT_EQ(events.size(), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    job->events_since(next, std::chrono::milliseconds(0), next);  // the page is still there
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(job->send(0, {"ok\nset INT_0=1"}, error));
    EXPECT_FALSE(job->send(0, std::vector<std::string>(40, std::string(4000, 'x')), error));
    EXPECT_NE(error.find("longer than 16384 bytes"), std::string::npos) << error;
    EXPECT_FALSE(job->send(1, {"ok"}, error)) << "no question was asked at event 1";
    ASSERT_TRUE(job->send(0, {"ok"}, error)) << error;
    EXPECT_FALSE(job->send(0, {"ok"}, error)) << "OK pressed twice answers once";
    std::vector<std::string> rest;
    while (rest.size() < 2) {
        auto more = job->events_since(next, std::chrono::seconds(10), next);
        ASSERT_FALSE(more.empty());
        rest.insert(rest.end(), more.begin(), more.end());
    }
    EXPECT_EQ(json::parse(rest[0])["text"], "got ok");
    EXPECT_EQ(json::parse(rest[1])["status"], 0);
}

// A run that asks and asks but reads none of its answers: once its input is full an answer waits for it no longer
// than the server allows, and meanwhile the run's events come as ever.
TEST(RunJobsTest, ARunThatReadsNoAnswersHoldsUpNothing) {
    serve::RunJobs runs;
    runs.set_input_wait(std::chrono::milliseconds(1500));
    std::string error;
    ASSERT_TRUE(runs.start("c.prt", "/bin/sh",
                           {"-c", "for i in $(seq 20); do echo '{\"event\":\"prompt\"}'; sleep 0.1; done; sleep 30"},
                           ".", std::chrono::seconds(60), error));
    auto job = runs.find("c.prt");
    const std::vector<std::string> answer(4, std::string(4000, 'a'));
    std::size_t next = 0;
    bool refused = false;
    while (!refused && next < 20) {
        ASSERT_FALSE(job->events_since(next, std::chrono::seconds(10), next).empty());
        auto sent = std::async(std::launch::async, [&] { return job->send(next - 1, answer, error); });
        if (sent.wait_for(std::chrono::milliseconds(300)) == std::future_status::ready) {
            // Refused only when the run asked again meanwhile.
            if (!sent.get()) {
                ASSERT_NE(error.find("does not ask that question"), std::string::npos) << error;
            }
            continue;
        }
        // The answer waits for the run: the run's events are there all the same.
        std::size_t ignored = 0;
        job->events_since(0, std::chrono::milliseconds(0), ignored);
        EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
        refused = !sent.get();
    }
    EXPECT_TRUE(refused) << "answers of 16 KB to every prompt filled no pipe";
    EXPECT_NE(error.find("does not take answers now"), std::string::npos) << error;
    runs.stop_all();
}

}  // namespace

namespace {

// The window's import form asks for what the command line's options give, and nothing that is not one of them.
TEST(ServeImportFormTest, TheFormsChoicesBecomeTheCommandsOptions) {
    const auto options = [](std::map<std::string, std::string> fields, std::vector<std::string>& args) {
        std::string error;
        const bool ok = serve::import_form_options(
            [&fields](const std::string& name) { return fields.count(name) ? fields[name] : std::string(); }, args,
            error);
        EXPECT_EQ(ok, error.empty()) << error;
        return ok;
    };
    std::vector<std::string> args;
    ASSERT_TRUE(options({{"keep_going", "1"}, {"names", "product"}, {"name_encoding", "GB18030"}}, args));
    EXPECT_EQ(args, (std::vector<std::string>{"--keep-going", "--names", "product", "--name-encoding", "GB18030"}));
    args.clear();
    ASSERT_TRUE(options({{"names", ""}}, args));
    EXPECT_TRUE(args.empty());
    for (const auto& [field, value] :
         std::vector<std::pair<std::string, std::string>>{{"keep_going", "yes"},
                                                          {"names", "item"},
                                                          {"name_encoding", "-o"},
                                                          {"name_encoding", "x y"},
                                                          {"name_encoding", std::string(100, 'A')}}) {
        args.clear();
        EXPECT_FALSE(options({{field, value}}, args)) << field << "=" << value;
        EXPECT_TRUE(args.empty());
    }
}

}  // namespace
