// Outputs appear whole or not at all: an export killed at any moment leaves under the final names only complete
// files, two processes saving one part leave one of the two parts, and the temporaries of killed writes go away.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "cadhost/document/dump_json.h"
#include "cadhost/files/atomic_file.h"
#include "cadhost/files/folder_swap.h"
#include "cadhost/files/staged_files.h"
#include "cadhost/partfile/part_file.h"
#include "hardening/hardening_fixture.h"
#include "hardening/quillon_process.h"

namespace {

namespace fs = std::filesystem;
using hardening::describe;
using hardening::run_quillon;

using hardening::contents;

bool is_temporary(const std::string& name) { return name.find(".tmp-") != std::string::npos; }

using AtomicOutputs = hardening::ScratchTest;

TEST_F(AtomicOutputs, AnExportKilledAtAnyMomentLeavesOnlyCompleteFiles) {
    ASSERT_EQ(run_quillon({"import", sample("sample_mould.step"), "--attrs", sample("sample_mould.attrs.json"), "-o",
                           path("mould.prt")})
                  .status,
              0);
    ASSERT_EQ(
        run_quillon({"run", path("mould.prt"), "--set", "INT_0=240", "--set", "INT_1=1", "--set", "INT_2=7"}).status,
        0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(run_quillon({"export", path("mould.prt"), "-o", path("reference")}).status, 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    std::map<std::string, std::string> reference;
    for (const auto& entry : fs::directory_iterator(path("reference")))
        reference[entry.path().filename()] = contents(entry.path());
    ASSERT_GT(reference.size(), 10u);

    // Watched while it writes, an export changes nothing in the folder it replaces: the new set is made beside it and
    // takes its place whole. Kills land in the short moment of that change too rarely to show it on their own.
    const auto export_svg = [&] {
        fs::remove_all(path("out"));
        ASSERT_EQ(run_quillon({"export", path("mould.prt"), "-o", path("out"), "--svg"}).status, 0);
    };
    export_svg();
    std::map<std::string, std::string> old_set;
    std::set<std::string> old_names;
    for (const auto& entry : fs::directory_iterator(path("out"))) {
        old_set[entry.path().filename()] = contents(entry.path());
        old_names.insert(entry.path().filename());
    }
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, path("out").c_str(), IN_CREATE | IN_MOVED_TO | IN_MODIFY), 0);
    ASSERT_EQ(run_quillon({"export", path("mould.prt"), "-o", path("out")}).status, 0);
    alignas(inotify_event) char events[1 << 16];
    ::fcntl(watch, F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
        for (char* at = events; at < events + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            // The replaced folder's removal ends the watch.
            if (!(event->mask & IN_IGNORED))
                ADD_FAILURE() << (event->len ? event->name : "") << " was changed in the folder being replaced";
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);

    // Kills spread over the time a whole export takes, each of an export of every format over one of the SVG files
    // only: the folder holds the one set or the other, and each file is whole.
    for (int k = 1; k <= 8; ++k) {
        export_svg();
        const int pid = hardening::start_quillon({"export", path("mould.prt"), "-o", path("out")});
        std::this_thread::sleep_for(whole * k / 9);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path("out"))) names.insert(entry.path().filename());
        EXPECT_TRUE(names == old_names || names.size() == reference.size()) << "a mix after a kill at " << k << "/9";
        auto& set = names == old_names ? old_set : reference;
        for (const std::string& name : names) {
            ASSERT_TRUE(set.count(name)) << name;
            const std::string bytes = contents(path("out/" + name));
            const std::string& expected = set[name];
            EXPECT_EQ(bytes.size(), expected.size()) << name << " after a kill at " << k << "/9";
            EXPECT_EQ(bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 64)),
                      expected.substr(expected.size() - std::min<std::size_t>(expected.size(), 64)))
                << name;
        }
    }

    // The next export finishes and clears what the killed ones left beside the folder.
    ASSERT_EQ(run_quillon({"export", path("mould.prt"), "-o", path("out")}).status, 0);
    for (const std::string& name : listing()) EXPECT_NE(name.front(), '.') << name << " was left beside the folder";
    std::size_t finals = 0;
    for (const auto& entry : fs::directory_iterator(path("out"))) {
        EXPECT_FALSE(is_temporary(entry.path().filename())) << entry.path();
        ++finals;
    }
    EXPECT_EQ(finals, reference.size());

    // A commit that cannot be made whole (a folder where the sheet browser goes) changes nothing and says so.
    export_svg();
    fs::create_directory(path("out/index.html"));
    const hardening::Outcome refused = run_quillon({"export", path("mould.prt"), "-o", path("out")});
    EXPECT_EQ(refused.status, 2) << describe(refused);
    EXPECT_NE(refused.err.find("index.html': a folder of that name is in the way"), std::string::npos) << refused.err;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path("out"))) names.insert(entry.path().filename());
    old_names.insert("index.html");
    EXPECT_EQ(names, old_names);
    EXPECT_EQ(contents(path("out/mould.manifest")), old_set["mould.manifest"]);
}

TEST_F(AtomicOutputs, TwoProcessesSavingOnePartLeaveOneOfTheTwoParts) {
    cadhost::Document first, second;
    first.add_point(gp_Pnt(1, 2, 3));
    for (int i = 0; i < 400; ++i) second.add_line(gp_Pnt(i, 0, 0), gp_Pnt(i, 1, 0));
    const std::string one = cadhost::dump_document(first).dump(), two = cadhost::dump_document(second).dump();
    const std::string part = path("shared.prt");
    for (int round = 0; round < 6; ++round) {
        pid_t writers[2];
        for (int w = 0; w < 2; ++w) {
            writers[w] = ::fork();
            if (writers[w] == 0) {
                std::string error;
                bool ok = true;
                for (int i = 0; i < 3; ++i)
                    ok = cadhost::partfile::save(part, w == 0 ? first : second, {}, error) && ok;
                ::_exit(ok ? 0 : 1);
            }
        }
        for (pid_t writer : writers) {
            int status = 0;
            ::waitpid(writer, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "each save succeeds";
        }
        cadhost::partfile::LoadedPart loaded;
        std::string error;
        ASSERT_TRUE(cadhost::partfile::load(part, loaded, error)) << error;
        const std::string found = cadhost::dump_document(loaded.document).dump();
        EXPECT_TRUE(found == one || found == two) << "round " << round;
    }
    EXPECT_EQ(listing(), std::vector<std::string>{"shared.prt"});
}

TEST_F(AtomicOutputs, ASaveRemovesOnlyTheTemporariesOfItsPartWhoseWriterIsGone) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".tmp-" + std::to_string(gone), alive = ".tmp-" + std::to_string(::getppid());
    for (const std::string& name : std::vector<std::string>{"part.prt" + dead, "part.prt" + alive, "part.prt.tmp-12x",
                                                            "other.prt" + dead, "part.prt" + dead + ".bak"})
        std::ofstream(path(name)) << "left behind";
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("part.prt"), cadhost::Document{}, {}, error)) << error;
    std::vector<std::string> expected{"other.prt" + dead, "part.prt", "part.prt" + alive, "part.prt" + dead + ".bak",
                                      "part.prt.tmp-12x"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listing(), expected);

    // An exported file's write clears the same way, and a write that fails leaves no temporary.
    std::ofstream(path("E01.svg" + dead)) << "<svg";
    ASSERT_TRUE(cadhost::files::write_atomically(path("E01.svg"), "<svg/>\n", error)) << error;
    EXPECT_FALSE(fs::exists(path("E01.svg" + dead)));
    EXPECT_EQ(contents(path("E01.svg")), "<svg/>\n");
    EXPECT_FALSE(cadhost::files::write_atomically(path("no/such/folder/E01.svg"), "x", error));
    EXPECT_NE(error.find("no/such/folder/E01.svg"), std::string::npos) << error;
}

// Staged files keep the old files under the final names until all the new ones are written and committed; threads
// stage side by side; what is never committed leaves nothing behind; a commit clears what killed writers left.
TEST_F(AtomicOutputs, StagedFilesReplaceTheOldOnesOnlyWhenCommitted) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".tmp-" + std::to_string(gone);
    std::ofstream(path("S0.svg")) << "old";
    std::ofstream(path("S0.svg" + dead)) << "half";
    std::ofstream(path("keep.svg" + dead)) << "not one of ours";
    std::string error;
    {
        cadhost::files::StagedFiles staged;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                std::string why;
                for (int i = t; i < 40; i += 4)
                    EXPECT_TRUE(staged.stage(path("S" + std::to_string(i) + ".svg"), "new " + std::to_string(i), why))
                        << why;
            });
        for (auto& thread : threads) thread.join();
        EXPECT_EQ(staged.size(), 40u);
        EXPECT_EQ(contents(path("S0.svg")), "old") << "nothing is in place before the commit";
        EXPECT_FALSE(fs::exists(path("S1.svg")));
        EXPECT_FALSE(staged.stage(path("no/such/folder/S.svg"), "x", error));
        EXPECT_NE(error.find("no/such/folder/S.svg"), std::string::npos) << error;
        ASSERT_TRUE(staged.commit(error)) << error;
        EXPECT_EQ(staged.size(), 0u);
    }
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(contents(path("S" + std::to_string(i) + ".svg")), "new " + std::to_string(i));
    EXPECT_FALSE(fs::exists(path("S0.svg" + dead))) << "a killed writer's temporary of a committed name goes";
    EXPECT_TRUE(fs::exists(path("keep.svg" + dead))) << "others' stay";

    // Dropped without a commit: the final name keeps its old file and no temporary is left.
    {
        cadhost::files::StagedFiles staged;
        ASSERT_TRUE(staged.stage(path("S0.svg"), "abandoned", error)) << error;
        ASSERT_TRUE(staged.stage(path("T.svg"), "abandoned", error)) << error;
    }
    EXPECT_EQ(contents(path("S0.svg")), "new 0");
    EXPECT_FALSE(fs::exists(path("T.svg")));
    for (const std::string& name : listing()) EXPECT_TRUE(!is_temporary(name) || name == "keep.svg" + dead) << name;
}

// A swapped folder keeps what else it held (files, links, folders), drops only the old set's files it is told to, and
// changes nothing when a new file would take a folder's place. What a killed swap left beside it is cleared first:
// the set's own files go, anything else goes back into the folder, a file saved there meanwhile over its link too.
TEST_F(AtomicOutputs, AFolderSwapKeepsWhatElseTheFolderHolds) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string out = path("out"), left = path(".out.quillon-swap-" + std::to_string(gone));
    fs::create_directories(out + "/sub");
    fs::create_directories(left);
    for (const auto& [file, text] : std::map<std::string, std::string>{{out + "/a.svg", "old a"},
                                                                       {out + "/gone.svg", "old gone"},
                                                                       {out + "/notes.txt", "mine"},
                                                                       {out + "/sub/f", "in a folder"},
                                                                       {left + "/x.svg", "half"},
                                                                       {left + "/a.svg", "old a"},
                                                                       {left + "/late.txt", "made meanwhile"},
                                                                       {out + "/doc.txt", "as linked"},
                                                                       {left + "/doc.txt", "saved meanwhile"}})
        hardening::write(file, text);
    fs::create_symlink("notes.txt", out + "/link");
    const auto own = [](const std::string&, const std::string& name) { return fs::path(name).extension() == ".svg"; };
    std::string error;
    std::vector<std::string> dropped;
    {
        cadhost::files::FolderSwap swap;
        ASSERT_TRUE(swap.prepare(out, own));
        EXPECT_FALSE(fs::exists(left));
        hardening::write(swap.folder() + "/a.svg", "new a");
        hardening::write(swap.folder() + "/b.svg", "new b");
        EXPECT_EQ(contents(out + "/a.svg"), "old a");
        ASSERT_TRUE(swap.commit({"gone.svg", "notes.txt.none"}, dropped, error)) << error;
    }
    EXPECT_EQ(dropped, (std::vector<std::string>{"gone.svg"}));
    EXPECT_EQ(contents(out + "/a.svg"), "new a");
    EXPECT_EQ(contents(out + "/b.svg"), "new b");
    EXPECT_EQ(contents(out + "/link"), "mine");
    EXPECT_TRUE(fs::is_symlink(out + "/link"));
    EXPECT_EQ(contents(out + "/sub/f"), "in a folder");
    EXPECT_EQ(contents(out + "/late.txt"), "made meanwhile");
    EXPECT_EQ(contents(out + "/doc.txt"), "saved meanwhile");
    EXPECT_FALSE(fs::exists(out + "/gone.svg"));
    EXPECT_FALSE(fs::exists(out + "/x.svg"));
    EXPECT_EQ(listing(), (std::vector<std::string>{"out"}));

    fs::create_directory(out + "/index.html");
    {
        cadhost::files::FolderSwap swap;
        ASSERT_TRUE(swap.prepare(out, own));
        hardening::write(swap.folder() + "/a.svg", "newer a");
        hardening::write(swap.folder() + "/index.html", "page");
        EXPECT_FALSE(swap.commit({}, dropped, error));
        EXPECT_NE(error.find("index.html': a folder of that name is in the way"), std::string::npos) << error;
    }
    EXPECT_EQ(contents(out + "/a.svg"), "new a");
    EXPECT_EQ(listing(), (std::vector<std::string>{"out"}));
}

}  // namespace
