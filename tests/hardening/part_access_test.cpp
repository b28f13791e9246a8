// A part other processes use: one whose writer was killed mid-write opens as it was before that write, one that is
// busy is waited for and then named as in use, and commands that change it take turns so that no run's work is lost.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <future>
#include <regex>
#include <sstream>
#include <thread>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/partfile/part_lock.h"
#include "hardening/hardening_fixture.h"
#include "hardening/one_sheet_part.h"
#include "hardening/quillon_process.h"

namespace {

namespace fs = std::filesystem;
using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

using hardening::contents;

// A process in the middle of writing projections into the part, as an export does: its write has spilled into the
// file itself and its journal holds the pages it replaced. It stays there until told to commit, or is killed.
class Writer {
  public:
    explicit Writer(const std::string& part) {
        int ready[2], go[2];
        if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]), ::close(go[1]);
            sqlite3* db = nullptr;
            sqlite3_open(part.c_str(), &db);
            std::string sql =
                "PRAGMA cache_size = 2; BEGIN EXCLUSIVE;"
                "CREATE TABLE IF NOT EXISTS projections(key TEXT PRIMARY KEY, edges BLOB NOT NULL);"
                "UPDATE objects SET name = 'CHANGED';";
            for (int i = 0; i < 40; ++i)
                sql += "INSERT INTO projections VALUES('k" + std::to_string(i) + "', zeroblob(65536));";
            const bool wrote = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
            char byte = wrote ? 'w' : 'x';
            if (::write(ready[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) ::_exit(1);
            ::_exit(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK ? 0 : 1);
        }
        ::close(ready[1]), ::close(go[0]);
        char byte = 0;
        writing_ = ::read(ready[0], &byte, 1) == 1 && byte == 'w';
        ::close(ready[0]);
        go_ = go[1];
    }
    ~Writer() {
        if (pid_ > 0) kill();
        if (go_ >= 0) ::close(go_);
    }
    bool writing() const { return writing_; }
    void kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    bool commit() {
        int status = 0;
        const bool told = ::write(go_, "c", 1) == 1 && ::waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return told && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

  private:
    pid_t pid_ = -1;
    int go_ = -1;
    bool writing_ = false;
};

class PartAccess : public hardening::ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        const Outcome imported = run_quillon({"import", input("small_mould.step"), "-o", part()});
        ASSERT_EQ(imported.status, 0) << describe(imported);
        cadhost::partfile::LoadedPart loaded;
        std::string error;
        ASSERT_TRUE(cadhost::partfile::load(part(), loaded, error)) << error;
        hardening::add_sheet_with_top_view(loaded.document);
        ASSERT_TRUE(cadhost::partfile::save(part(), loaded.document, std::nullopt, error)) << error;
    }
    std::string part() const { return path("part.prt"); }
    std::string journal() const { return part() + "-journal"; }
};

TEST_F(PartAccess, APartWhoseWriterWasKilledMidWriteOpensAsItWasBefore) {
    const std::string before = contents(part());
    {
        Writer writer(part());
        ASSERT_TRUE(writer.writing());
        ASSERT_TRUE(fs::exists(journal()));
        writer.kill();
    }
    ASSERT_NE(contents(part()), before) << "the killed write reached the file itself";
    const Outcome dump = run_quillon({"dump", part()});
    EXPECT_EQ(dump.status, 0) << describe(dump);
    EXPECT_EQ(dump.out.find("CHANGED"), std::string::npos);
    EXPECT_FALSE(fs::exists(journal()));
    EXPECT_EQ(contents(part()), before) << "the part is back byte for byte";

    // The same for a command that writes the part itself, and for one that replaces it.
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"export", part(), "-o", path("out"), "--svg"},
          std::vector<std::string>{"import", input("small_mould.step"), "-o", part()}}) {
        Writer writer(part());
        ASSERT_TRUE(writer.writing());
        writer.kill();
        const Outcome outcome = run_quillon(command);
        EXPECT_EQ(outcome.status, 0) << command[0] << ": " << describe(outcome);
        EXPECT_FALSE(fs::exists(journal())) << command[0];
        cadhost::partfile::LoadedPart loaded;
        std::string error;
        EXPECT_TRUE(cadhost::partfile::load(part(), loaded, error)) << command[0] << ": " << error;
    }
}

TEST_F(PartAccess, ABusyPartIsWaitedForThenNamedAsInUse) {
    Writer writer(part());
    ASSERT_TRUE(writer.writing());
    const Outcome refused = run_quillon({"dump", part()}, {"QUILLON_PART_WAIT=1"});
    EXPECT_EQ(refused.status, 2) << describe(refused);
    EXPECT_NE(refused.err.find("part file '" + part() + "' is in use by another process"), std::string::npos)
        << refused.err;

    auto waiting = std::async(std::launch::async, [&] { return run_quillon({"dump", part()}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_TRUE(writer.commit());
    const Outcome waited = waiting.get();
    EXPECT_EQ(waited.status, 0) << describe(waited);
    EXPECT_NE(waited.out.find("CHANGED"), std::string::npos) << "the dump read the finished write";
}

TEST_F(PartAccess, CommandsThatChangeAPartWaitForItsLockThenGiveUpWithAMessage) {
    const std::string before = contents(part());
    cadhost::partfile::PartLock held;
    std::string message;
    ASSERT_EQ(held.acquire(part(), message), cadhost::partfile::PartLock::Outcome::Held) << message;
    const std::string holder = "is being changed by another process (" + std::to_string(::getpid()) + "); waited 1 s";
    const std::vector<std::string> wait{"QUILLON_PART_WAIT=1"};
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"run", part(), "--set", "INT_0=240", "--set", "INT_1=1", "--set", "INT_2=7"},
          std::vector<std::string>{"undo", part()},
          std::vector<std::string>{"import", input("small_mould.step"), "-o", part()}}) {
        const Outcome outcome = run_quillon(command, wait);
        EXPECT_EQ(outcome.status, 2) << command[0] << ": " << describe(outcome);
        EXPECT_NE(outcome.err.find("quillon " + command[0] + ": part file '" + part() + "' " + holder),
                  std::string::npos)
            << outcome.err;
    }
    // An export still draws the part, and leaves it alone.
    const Outcome exported = run_quillon({"export", part(), "-o", path("out"), "--svg"}, wait);
    EXPECT_EQ(exported.status, 0) << describe(exported);
    EXPECT_NE(exported.err.find("its projections are not kept"), std::string::npos) << exported.err;
    EXPECT_EQ(contents(part()), before);

    // A command that finds the part held waits for it.
    auto undo = std::async(std::launch::async, [&] { return run_quillon({"undo", part()}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    held.release();
    const Outcome waited = undo.get();
    EXPECT_EQ(waited.status, 1) << describe(waited);  // the imported part has no undo mark
    EXPECT_NE(waited.err.find("waiting up to 20 s"), std::string::npos) << waited.err;
    EXPECT_EQ(listing(), (std::vector<std::string>{"out", "part.prt"})) << "no lock file is left";
}

// Whatever else has the lock file's name, the part is refused rather than changed without a lock; a lock file a
// killed run left is taken over.
TEST_F(PartAccess, ALockFileNameTakenByAnythingElseRefusesTheChange) {
    const std::string before = contents(part()), lock = part() + ".lock";
    const auto blockers = std::vector<std::function<void()>>{
        [&] { fs::create_directory(lock); }, [&] { fs::create_symlink(path("nowhere"), lock); },
        [&] { fs::create_symlink(input("small_mould.step"), lock); }};
    for (std::size_t i = 0; i < blockers.size(); ++i) {
        blockers[i]();
        const Outcome refused = run_quillon({"undo", part()}, {"QUILLON_PART_WAIT=1"});
        EXPECT_EQ(refused.status, 2) << i << ": " << describe(refused);
        EXPECT_NE(refused.err.find("cannot be locked: '" + lock + "' is a "), std::string::npos) << refused.err;
        EXPECT_EQ(contents(part()), before);
        fs::remove(lock);
    }
    hardening::write(lock, "4194303\n");
    const Outcome taken = run_quillon({"undo", part()}, {"QUILLON_PART_WAIT=1"});
    EXPECT_EQ(taken.status, 1) << describe(taken);  // the lock was taken; the part has no undo mark
    EXPECT_FALSE(fs::exists(lock));
}

// A part named through a symbolic link: import, run and undo change the file it points to and leave the link, and
// both names take one lock.
TEST_F(PartAccess, APartReachedThroughALinkIsChangedWhereItLiesAndLockedOnce) {
    const std::string link = path("link.prt");
    fs::create_symlink("part.prt", link);
    const auto sheets = [&] {
        cadhost::partfile::LoadedPart loaded;
        std::string error;
        EXPECT_TRUE(cadhost::partfile::load(part(), loaded, error)) << error;
        return cadhost::drafting::drawings_of(loaded.document).size();
    };
    const Outcome imported =
        run_quillon({"import", sample("sample_mould.step"), "--attrs", sample("sample_mould.attrs.json"), "-o", link});
    EXPECT_EQ(imported.status, 0) << describe(imported);
    EXPECT_EQ(sheets(), 0u);
    const Outcome run = run_quillon({"run", link, "--set", "INT_0=240", "--set", "INT_1=6", "--set", "INT_2=6"});
    EXPECT_EQ(run.status, 0) << describe(run);
    EXPECT_GT(sheets(), 0u);
    const Outcome undone = run_quillon({"undo", link});
    EXPECT_EQ(undone.status, 0) << describe(undone);
    EXPECT_EQ(sheets(), 0u);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(part())));

    cadhost::partfile::PartLock held;
    std::string message;
    ASSERT_EQ(held.acquire(link, message), cadhost::partfile::PartLock::Outcome::Held) << message;
    const Outcome busy = run_quillon({"undo", part()}, {"QUILLON_PART_WAIT=1"});
    EXPECT_EQ(busy.status, 2) << describe(busy);
    EXPECT_NE(busy.err.find("is being changed by another process"), std::string::npos) << busy.err;
}

// Each run loads what the other saved: the sheets of both are in the part.
TEST_F(PartAccess, TwoRunsOfOnePartAtOnceKeepTheSheetsOfBoth) {
    ASSERT_EQ(
        run_quillon({"import", sample("sample_mould.step"), "--attrs", sample("sample_mould.attrs.json"), "-o", part()})
            .status,
        0);
    auto run = [&] {
        return run_quillon({"run", part(), "--set", "INT_0=240", "--set", "INT_1=1", "--set", "INT_2=7"},
                           {"QUILLON_PART_WAIT=600"});
    };
    auto first = std::async(std::launch::async, run), second = std::async(std::launch::async, run);
    std::size_t made = 0;
    for (const Outcome& outcome : {first.get(), second.get()}) {
        EXPECT_EQ(outcome.status, 0) << describe(outcome);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(outcome.out, match, std::regex("made (\\d+) sheets"))) << outcome.out;
        made += std::stoul(match[1]);
    }
    cadhost::partfile::LoadedPart loaded;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(part(), loaded, error)) << error;
    EXPECT_GT(made, 2u);
    EXPECT_EQ(cadhost::drafting::drawings_of(loaded.document).size(), made);
}

}  // namespace
