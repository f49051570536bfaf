// Reading and replacing the files the user keeps, as real disks hold them: links, other
// owners, directories the user may not add to, saves killed halfway, FIFOs and devices, and a
// second Pakmaster saving the same Release.ini at the same time.
#include "platform/file_io.h"

#include "platform/errors.h"
#include "platform/profile_file.h"
#include "support/faulty_file_writer.h"
#include "support/temp_dir.h"
#include "templates/template_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace pkm;
namespace fs = std::filesystem;

namespace {

// nobody and nogroup on Debian: a user other than the one running the tests.
constexpr uid_t kSecondUser = 65534;
constexpr gid_t kSecondGroup = 65534;

std::vector<std::string> entriesOf(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat statOf(const std::string& path)
{
    struct stat st { };
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

SectionList oneRecord(const std::string& name)
{
    TParam r;
    r.Name = name;
    return {r};
}

TemplateSettings settingsNaming(const std::string& nfoClone)
{
    TemplateSettings s;
    s.NfoClone = nfoClone;
    return s;
}

// Runs `body` in a child process, as the second user when the tests run as root (so that file
// permissions apply), and returns its exit status; -1 when it did not exit normally.
int runAsSecondUser(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(kSecondGroup) != 0 || ::setuid(kSecondUser) != 0))
            ::_exit(100);
        int status = 101;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// 0 when the save went through, 1 when it failed with "Unable to write to <path>".
int saveStore(const std::string& path, const std::string& nfoClone)
{
    try {
        SaveTemplateStore(path, oneRecord("Title"), settingsNaming(nfoClone));
        return 0;
    } catch (const Error& e) {
        return std::string(e.what()) == "Unable to write to " + path ? 1 : 2;
    }
}

// Runs `work` on a thread of its own and gives its result, or nothing when it has not ended
// after ten seconds (a read that would wait for ever; the thread is then left behind).
template <typename T> std::optional<T> unlessItHangs(std::function<T()> work)
{
    struct State {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> result;
    };
    auto state = std::make_shared<State>();
    std::thread([state, work] {
        T value = work();
        const std::lock_guard<std::mutex> lock(state->mutex);
        state->result = std::move(value);
        state->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(state->mutex);
    state->done.wait_for(lock, std::chrono::seconds(10), [&] { return state->result.has_value(); });
    return state->result;
}

} // namespace

TEST(FileSaves, ASymbolicLinkIsFollowedToTheFileItNames)
{
    TempDir dir;
    const std::string target = dir.write("store/real.ini", "old");
    fs::create_symlink("store/real.ini", dir.file("Release.ini"));
    fs::create_symlink("Release.ini", dir.file("chain.ini"));

    FaultyFileWriter steps;
    EXPECT_EQ(replaceFile(dir.file("chain.ini"), "new"), WriteOutcome::Written);
    EXPECT_EQ(dir.read("store/real.ini"), "new");
    EXPECT_TRUE(fs::is_symlink(dir.file("Release.ini")));
    EXPECT_EQ(fs::read_symlink(dir.file("Release.ini")), "store/real.ini");
    EXPECT_EQ(fs::read_symlink(dir.file("chain.ini")), "Release.ini");
    ASSERT_FALSE(steps.steps.empty());
    EXPECT_EQ(steps.steps.front().rfind("create " + target + ".pkm-", 0), 0u) << steps.steps.front();

    // A link to a file not there yet creates that file.
    fs::create_symlink("store/new.ini", dir.file("New.ini"));
    EXPECT_EQ(replaceFile(dir.file("New.ini"), "made"), WriteOutcome::Written);
    EXPECT_TRUE(fs::is_symlink(dir.file("New.ini")));
    EXPECT_EQ(dir.read("store/new.ini"), "made");
    EXPECT_EQ(entriesOf(dir.path()), (std::vector<std::string> {"New.ini", "Release.ini", "chain.ini", "store"}));
    EXPECT_EQ(entriesOf(dir.file("store")), (std::vector<std::string> {"new.ini", "real.ini"}));
}

TEST(FileSaves, EveryHardLinkOfTheFileSeesTheNewContent)
{
    // Written in place, so both names stay one file; longer and shorter content alike.
    TempDir dir;
    const std::string a = dir.write("Release.ini", "the old content");
    const std::string b = dir.file("backup.ini");
    fs::create_hard_link(a, b);
    for (const std::string bytes : {"short", "a content longer than the old one"}) {
        SCOPED_TRACE(bytes);
        FaultyFileWriter steps;
        EXPECT_EQ(replaceFile(a, bytes), WriteOutcome::Written);
        EXPECT_EQ(dir.read("backup.ini"), bytes);
        EXPECT_EQ(statOf(a).st_ino, statOf(b).st_ino);
        EXPECT_EQ(statOf(a).st_nlink, 2u);
        EXPECT_EQ(steps.steps, (std::vector<std::string> {"open " + a, "write", "sync file"}));
    }
}

TEST(FileSaves, TheNewFileIsSyncedBeforeTheRenameAndTheDirectoryAfterIt)
{
    TempDir dir;
    const std::string path = dir.write("Release.ini", "old");
    FaultyFileWriter steps;
    EXPECT_EQ(replaceFile(path, "new"), WriteOutcome::Written);
    ASSERT_EQ(steps.steps.size(), 5u);
    // "create <temporary> cloexec=1": the name that the rename then takes.
    const std::string& created = steps.steps[0];
    const std::string prefix = "create " + path + ".pkm-";
    ASSERT_EQ(created.rfind(prefix, 0), 0u) << created;
    ASSERT_TRUE(created.ends_with(" cloexec=1")) << "an archiver started meanwhile would inherit it";
    const std::string temporary = created.substr(7, created.size() - 7 - 10);
    EXPECT_EQ(steps.steps[1], "write");
    EXPECT_EQ(steps.steps[2], "sync file");
    EXPECT_EQ(steps.steps[3], "rename " + temporary + " " + path);
    EXPECT_EQ(steps.steps[4], "sync directory " + dir.path());
    EXPECT_EQ(dir.read("Release.ini"), "new");

    // An output made again at any time is renamed into place without waiting for the disk.
    steps.steps.clear();
    EXPECT_EQ(replaceFile(path, "newer", Flush::Atomic), WriteOutcome::Written);
    ASSERT_EQ(steps.steps.size(), 3u);
    EXPECT_EQ(steps.steps[1], "write");
    EXPECT_EQ(steps.steps[2].rfind("rename ", 0), 0u) << steps.steps[2];
    EXPECT_EQ(dir.read("Release.ini"), "newer");
}

TEST(FileSaves, ModeOwnerAndGroupOfTheReplacedFileAreKept)
{
    TempDir dir;
    const std::string path = dir.write("Release.ini", "old");
    ::chmod(path.c_str(), 0604); // no umask makes a new file so
    EXPECT_EQ(replaceFile(path, "new"), WriteOutcome::Written);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0604u);

    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the file to another user needs root; the owner cases did not run";
    // Root saving another user's file gives the new file to that user.
    ASSERT_EQ(::chown(path.c_str(), kSecondUser, kSecondGroup), 0);
    EXPECT_EQ(replaceFile(path, "root's save"), WriteOutcome::Written);
    EXPECT_EQ(statOf(path).st_uid, kSecondUser);
    EXPECT_EQ(statOf(path).st_gid, kSecondGroup);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0604u);
    EXPECT_EQ(dir.read("Release.ini"), "root's save");

    // The second user saving a third user's file, group-writable, in a directory open to all:
    // a new file could not be given to that user, so the file is written in place.
    ::chmod(dir.path().c_str(), 0777);
    ASSERT_EQ(::chown(path.c_str(), kSecondUser - 1, kSecondGroup), 0);
    ::chmod(path.c_str(), 0664);
    EXPECT_EQ(runAsSecondUser([&] { return saveStore(path, "second user's save"); }), 0);
    EXPECT_EQ(statOf(path).st_uid, kSecondUser - 1);
    EXPECT_EQ(statOf(path).st_gid, kSecondGroup);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0664u);
    EXPECT_EQ(LoadTemplateStore(path).settings.NfoClone, "second user's save");
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string> {"Release.ini"});
}

TEST(FileSaves, AWritableFileInADirectoryThatRefusesNewFilesIsWrittenInPlace)
{
    TempDir dir;
    const std::string path = dir.write("Release.ini", BuildTemplateStore("", {}, settingsNaming("old.nfo")));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), kSecondUser, kSecondGroup), 0);
    }
    ::chmod(path.c_str(), 0644);
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(runAsSecondUser([&] { return saveStore(path, "new.nfo"); }), 0);
    EXPECT_EQ(dir.read("Release.ini"), BuildTemplateStore("", oneRecord("Title"), settingsNaming("new.nfo")));
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string> {"Release.ini"});

    // A file that refuses writing too: the usual error, and the file as it was.
    ::chmod(path.c_str(), 0444);
    const std::string before = dir.read("Release.ini");
    EXPECT_EQ(runAsSecondUser([&] { return saveStore(path, "refused.nfo"); }), 1);
    EXPECT_EQ(dir.read("Release.ini"), before);
}

TEST(FileSaves, TemporaryFilesOfAKilledSaveAreRemovedByTheNextSave)
{
    TempDir dir;
    const std::string path = dir.write("Release.ini", "old");
    ::chmod(dir.path().c_str(), 0755);

    // A save killed while it writes its temporary file.
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        struct Stuck : FaultyFileWriter {
            int signal = -1;
            ssize_t write(int, const char*, std::size_t) override
            {
                const char c = 1;
                static_cast<void>(::write(signal, &c, 1));
                ::pause();
                return -1;
            }
        } stuck;
        stuck.signal = started[1];
        replaceFile(path, "never finished");
        ::_exit(0);
    }
    ASSERT_GT(pid, 0);
    char c = 0;
    ASSERT_EQ(::read(started[0], &c, 1), 1);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(started[0]);
    ::close(started[1]);
    const std::vector<std::string> left = entriesOf(dir.path());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1].rfind("Release.ini.pkm-", 0), 0u);

    // Names that only look alike, and what is not a plain file, stay.
    const std::vector<std::string> keep = {"Release.ini.pkm-AbC12",  "Release.ini.pkm-AbC1234",
                                           "Release.ini.pkm-AbC_12", "release.ini.pkm-AbC123",
                                           "Other.ini.pkm-AbC123",   "Release.ini.bak"};
    for (const std::string& name : keep)
        dir.write(name, "keep");
    fs::create_directory(dir.file("Release.ini.pkm-Dir123"));
    fs::create_symlink("Release.ini.bak", dir.file("Release.ini.pkm-Lnk123"));
    dir.write("Release.ini.pkm-zZ9yY8", "stale");

    EXPECT_EQ(replaceFile(path, "new"), WriteOutcome::Written);
    std::vector<std::string> expected = keep;
    expected.push_back("Release.ini");
    expected.push_back("Release.ini.pkm-Dir123");
    expected.push_back("Release.ini.pkm-Lnk123");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entriesOf(dir.path()), expected);
    EXPECT_EQ(dir.read("Release.ini"), "new");
}

TEST(FileReads, OnlyRegularFilesWithinTheBoundAreReadAndARefusalSaysWhy)
{
    // None of these may wait or fill the memory: each reads as an unreadable file, the store
    // as one without sections, and a save of the store is refused with the usual error. The
    // check of an archiver's input says the same, but takes a file of any size.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.ini").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir.file("zero.ini"));
    fs::create_symlink("/dev/null", dir.file("null.ini"));
    fs::create_directory(dir.file("directory.ini"));
    fs::create_symlink("absent.ini", dir.file("dangling.ini"));
    {
        std::ofstream(dir.file("oversized.ini"));
        fs::resize_file(dir.file("oversized.ini"), kInputFileLimit + 1);
        std::ofstream(dir.file("at_the_bound.ini"));
        fs::resize_file(dir.file("at_the_bound.ini"), kInputFileLimit);
    }
    struct Case {
        const char* name;
        bool save; // the devices are not written to, whatever happens
        const char* why;
        const char* whyAsInput;
    };
    for (const Case& c : {Case {"fifo.ini", true, "Not a regular file.", "Not a regular file."},
                          Case {"zero.ini", false, "Not a regular file.", "Not a regular file."},
                          Case {"null.ini", false, "Not a regular file.", "Not a regular file."},
                          Case {"directory.ini", true, "Not a regular file.", "Not a regular file."},
                          Case {"oversized.ini", true, "Larger than 4 MB.", ""},
                          Case {"absent.ini", false, "No such file or directory.", "No such file or directory."},
                          Case {"dangling.ini", false, "No such file or directory.", "No such file or directory."}}) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        const std::optional<bool> unread = unlessItHangs<bool>(
            [path] { return !readFileBytes(path) && LoadTemplateStore(path).records.empty(); });
        ASSERT_TRUE(unread.has_value()) << "the read still waits";
        EXPECT_TRUE(*unread);
        EXPECT_EQ(unlessItHangs<std::string>([path] { return readInputFile(path).failure; }).value_or("waits"), c.why);
        EXPECT_EQ(unlessItHangs<std::string>([path] { return inputFileProblem(path); }).value_or("waits"),
                  c.whyAsInput);
        if (c.save) {
            const std::optional<int> saved = unlessItHangs<int>([path] { return saveStore(path, "x"); });
            ASSERT_TRUE(saved.has_value()) << "the save still waits";
            EXPECT_EQ(*saved, 1);
        }
    }
    EXPECT_EQ(fs::status(dir.file("fifo.ini")).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::file_size(dir.file("oversized.ini")), kInputFileLimit + 1);
    const FileRead atTheBound = readInputFile(dir.file("at_the_bound.ini"));
    EXPECT_EQ(atTheBound.bytes.value_or("").size(), kInputFileLimit);
    EXPECT_EQ(atTheBound.failure, "");

    // A file the user may not read, as a user other than root.
    const std::string locked = dir.write("locked.ini", "secret");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_EQ(runAsSecondUser([locked] {
                  return readInputFile(locked).failure == "Permission denied."
                          && inputFileProblem(locked) == "Permission denied."
                      ? 0
                      : 1;
              }),
              0);
}

TEST(ConcurrentSaves, ASaveWaitsForALockHeldElsewhereThenAsksAboutTheChange)
{
    TempDir dir;
    const std::string original = BuildTemplateStore("", oneRecord("First"), settingsNaming("a.nfo"));
    const std::string path = dir.write("Release.ini", original);
    const std::string theirs = BuildTemplateStore("", oneRecord("Theirs"), settingsNaming("b.nfo"));

    // Another process locks the file, and changes it once told to go on.
    int locked[2];
    int goOn[2];
    ASSERT_EQ(::pipe(locked), 0);
    ASSERT_EQ(::pipe(goOn), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(path.c_str(), O_RDWR);
        char c = 1;
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(locked[1], &c, 1) != 1 || ::read(goOn[0], &c, 1) != 1)
            ::_exit(2);
        ::_exit(::pwrite(fd, theirs.data(), theirs.size(), 0) == static_cast<ssize_t>(theirs.size())
                        && ::ftruncate(fd, static_cast<off_t>(theirs.size())) == 0
                    ? 0
                    : 3);
    }
    ASSERT_GT(pid, 0);
    char c = 0;
    ASSERT_EQ(::read(locked[0], &c, 1), 1);

    std::string expected = original;
    bool saved = true;
    std::thread save(
        [&] { saved = SaveTemplateStoreIfUnchanged(path, oneRecord("Mine"), settingsNaming("c.nfo"), expected); });
    // The save is seen waiting for the lock (a blocked request in /proc/locks) before the other
    // process goes on.
    const std::string inode = ":" + std::to_string(statOf(path).st_ino) + " ";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool waiting = false;
    while (!waiting && std::chrono::steady_clock::now() < deadline) {
        std::ifstream locks("/proc/locks");
        for (std::string line; std::getline(locks, line);)
            waiting = waiting || (line.find("->") != std::string::npos && line.find(inode) != std::string::npos);
        std::this_thread::yield();
    }
    EXPECT_TRUE(waiting) << "the save did not wait for the lock";
    EXPECT_EQ(dir.read("Release.ini"), original);
    ASSERT_EQ(::write(goOn[1], &c, 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    save.join();
    for (const int fd : {locked[0], locked[1], goOn[0], goOn[1]})
        ::close(fd);

    // The other change is not replaced unasked; once it has been shown, it may be.
    EXPECT_FALSE(saved);
    EXPECT_EQ(expected, theirs);
    EXPECT_EQ(dir.read("Release.ini"), theirs);
    EXPECT_TRUE(SaveTemplateStoreIfUnchanged(path, oneRecord("Mine"), settingsNaming("c.nfo"), expected));
    EXPECT_EQ(LoadTemplateStore(path).settings.NfoClone, "c.nfo");
}

TEST(ConcurrentSaves, SavesStartedTogetherNeverInterleaveAndOnlyOneGoesUnasked)
{
    // Four processes read the same file and save at one instant. Without the lock each would
    // find the file as it read it, and all but the last would be lost unasked.
    constexpr int kSavers = 4;
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        TempDir dir;
        const std::string original = BuildTemplateStore("", oneRecord("Original"), settingsNaming("o.nfo"));
        const std::string path = dir.write("Release.ini", original);
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<pid_t> savers;
        for (int i = 0; i < kSavers; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(go[1]);
                char c = 0;
                static_cast<void>(::read(go[0], &c, 1)); // returns once the parent closes its end
                std::string expected = original;
                int status = 2;
                try {
                    status = SaveTemplateStoreIfUnchanged(path, oneRecord("Saver " + std::to_string(i)),
                                                          settingsNaming(std::to_string(i) + ".nfo"), expected)
                        ? 0
                        : 1;
                } catch (...) {
                }
                ::_exit(status);
            }
            ASSERT_GT(pid, 0);
            savers.push_back(pid);
        }
        ::close(go[0]);
        ::close(go[1]);
        std::vector<int> unasked;
        int asked = 0;
        for (int i = 0; i < kSavers; ++i) {
            int status = 0;
            ::waitpid(savers[static_cast<std::size_t>(i)], &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            if (WEXITSTATUS(status) == 0)
                unasked.push_back(i);
            else
                asked += WEXITSTATUS(status) == 1 ? 1 : 0;
        }
        ASSERT_EQ(unasked.size(), 1u);
        EXPECT_EQ(asked, kSavers - 1);
        const int winner = unasked.front();
        EXPECT_EQ(dir.read("Release.ini"),
                  BuildTemplateStore(original, oneRecord("Saver " + std::to_string(winner)),
                                     settingsNaming(std::to_string(winner) + ".nfo")));
        EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string> {"Release.ini"});
    }
}
