// The 7-Zip adapter of the program's directory (rar, ace32), run as the stub starts it: real
// volumes checked with 7zz x, and failures that leave an earlier set of volumes as it was.
#include "archiving/volume_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const std::string kBinDir = PAKMASTER_BIN_DIR;

std::string sevenZip()
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / "7zz";
        if (end > start && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        start = end + 1;
    }
    return {};
}

// Runs a command line through the shell (fine for a test: paths come from mkdtemp) with its
// output into a file, returning the exit status.
int runTo(const std::string& command, const std::string& outputFile)
{
    const int status = std::system((command + " >\"" + outputFile + "\" 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string rarLine(const std::string& program, const std::string& volumeSize, const std::string& archive,
                    const std::string& inDir)
{
    return "\"" + kBinDir + "/" + program + "\" a -y -r -m5 -ep1 -v" + volumeSize + " \"" + archive + "\" \"" + inDir
        + "/*.*\"";
}

// A release-like tree with the names that trip archivers up: blanks, no period, a leading dash
// or "@", non-ASCII, an empty file and folder, nesting.
void makeTree(const TempDir& dir, const std::string& root)
{
    std::mt19937 random(42);
    std::string noise(1500 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.write(root + "/setup.bin", noise);
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "line " + std::to_string(i) + " of the release notes\r\n";
    dir.write(root + "/docs/read me.txt", text);
    dir.write(root + "/docs/deep/er/README", "no period");
    dir.write(root + "/-rf", "dash");
    dir.write(root + "/@list", "at");
    dir.write(root + "/caf\xc3\xa9 \xe9", "non-ASCII");
    dir.write(root + "/empty.txt", "");
    fs::create_directories(dir.file(root + "/nothing/here"));
}

// Every entry under root by relative path: file contents, or "<dir>" for directories.
std::map<std::string, std::string> snapshot(const std::string& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        if (entry.is_directory()) {
            entries[relative] = "<dir>";
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            entries[relative] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return entries;
}

std::vector<std::string> volumesIn(const std::string& dir, const std::string& prefix)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::string> extracted(const TempDir& dir, const std::string& firstVolume)
{
    fs::remove_all(dir.file("x"));
    fs::create_directories(dir.file("x"));
    EXPECT_EQ(runTo("cd \"" + dir.file("x") + "\" && 7zz x -bd -y \"" + firstVolume + "\"", dir.file("7zlog")), 0)
        << dir.read("7zlog");
    return snapshot(dir.file("x"));
}

std::string lastLine(const std::string& output)
{
    std::string text = output;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

// An earlier set of two volumes in out/, and what the output directory holds with it.
std::map<std::string, std::string> earlierSet(const TempDir& dir)
{
    dir.write("out/rel.7z.001", "earlier 1");
    dir.write("out/rel.7z.002", "earlier 2");
    return snapshot(dir.file("out"));
}

} // namespace

TEST(VolumeAdapter, VolumesExtractToTheSameTreeAndASecondRunReplacesTheSet)
{
    if (sevenZip().empty())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    makeTree(dir, "in");
    fs::create_directories(dir.file("out"));

    ASSERT_EQ(runTo(rarLine("rar", "100", dir.file("out/rel"), dir.file("in")), dir.file("log")), 0) << dir.read("log");
    const std::vector<std::string> volumes = volumesIn(dir.file("out"), "rel.7z.");
    ASSERT_GE(volumes.size(), 10u);
    for (std::size_t i = 0; i + 1 < volumes.size(); ++i)
        EXPECT_EQ(fs::file_size(volumes[i]), 100u * 1000) << volumes[i];
    EXPECT_EQ(pkm::countVolumeFiles(dir.file("out"), "rel"), volumes.size());
    EXPECT_EQ(extracted(dir, volumes.front()), snapshot(dir.file("in")));

    // Fewer, larger volumes: the earlier set's remaining volumes go, nothing else stays behind.
    dir.write("in/added", "new");
    ASSERT_EQ(runTo(rarLine("ace32", "1000", dir.file("out/rel"), dir.file("in")), dir.file("log")), 0)
        << dir.read("log");
    const std::vector<std::string> second = volumesIn(dir.file("out"), "rel.7z.");
    EXPECT_EQ(second.size(), 2u);
    EXPECT_EQ(volumesIn(dir.file("out"), "").size(), second.size());
    EXPECT_EQ(extracted(dir, second.front()), snapshot(dir.file("in")));
}

TEST(VolumeAdapter, NeverPacksItsOwnVolumesWhenTheOutputLiesInsideTheInput)
{
    if (sevenZip().empty())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    dir.write("in/a.txt", std::string(300000, 'a'));
    fs::create_directories(dir.file("in/out"));
    const std::string line = rarLine("rar", "20", dir.file("in/out/rel"), dir.file("in"));
    ASSERT_EQ(runTo(line, dir.file("log1")), 0) << dir.read("log1");
    const std::size_t first = volumesIn(dir.file("in/out"), "rel.7z.").size();
    // The second run finds the first run's volumes in its input.
    ASSERT_EQ(runTo(line, dir.file("log2")), 0) << dir.read("log2");
    EXPECT_EQ(volumesIn(dir.file("in/out"), "rel.7z.").size(), first);
    EXPECT_EQ(extracted(dir, dir.file("in/out/rel.7z.001")),
              (std::map<std::string, std::string> {{"a.txt", std::string(300000, 'a')}, {"out", "<dir>"}}));
}

TEST(VolumeAdapter, AFailedOrStoppedRunLeavesTheEarlierSetAsItWas)
{
    // Fake 7zz programs that write a part of a volume into the staging directory first.
    const std::string partVolume = "for a; do [ \"$prev\" = -- ] && arc=$a; prev=$a; done\necho part >\"$arc.001\"\n";
    const struct {
        const char* what;
        std::string body;
        int code;
    } rows[] = {
        {"7-Zip fails", "exit 2", EIO},
        {"the disk is full", "echo 'errno=28 : No space left on device' >&2\nexit 2", ENOSPC},
        {"the adapter is stopped", "kill -TERM $PPID\nexit 0", 128 + SIGTERM},
        // 7-Zip made the set, but the set does not pass its test.
        {"the new set does not test OK", "[ \"$1\" = t ] && exit 2\nexit 0", EIO},
    };
    for (const auto& row : rows) {
        TempDir dir;
        dir.write("in/a.txt", "a");
        const auto before = earlierSet(dir);
        const std::string fake = dir.write("fake/7zz", "#!/bin/sh\n" + partVolume + row.body + "\n");
        fs::permissions(fake, fs::perms::owner_all);
        const std::string line = rarLine("rar", "10", dir.file("out/rel"), dir.file("in"));
        EXPECT_EQ(runTo("PATH=\"" + dir.file("fake") + ":$PATH\" " + line, dir.file("log")), row.code) << row.what;
        EXPECT_EQ(lastLine(dir.read("log")).rfind("Error: ", 0), 0u) << row.what << ": " << dir.read("log");
        EXPECT_EQ(snapshot(dir.file("out")), before) << row.what;
    }
}

TEST(VolumeAdapter, AFileTruncatedWhileItIsPackedFailsTheRun)
{
    const std::string real = sevenZip();
    if (real.empty())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    const std::string victim = dir.write("in/sub/big.bin", std::string(200000, 'b'));
    dir.write("in/other.txt", "other");
    const auto before = earlierSet(dir);
    // 7zz starts once the adapter has looked at the input; the file shrinks before it is read.
    const std::string fake = dir.write("fake/7zz", "#!/bin/sh\n: >'" + victim + "'\nexec '" + real + "' \"$@\"\n");
    fs::permissions(fake, fs::perms::owner_all);

    const std::string line = rarLine("rar", "10", dir.file("out/rel"), dir.file("in"));
    EXPECT_EQ(runTo("PATH=\"" + dir.file("fake") + ":$PATH\" " + line, dir.file("log")), EAGAIN);
    EXPECT_EQ(lastLine(dir.read("log")), "Error: File changed while it was packed: " + victim);
    EXPECT_EQ(snapshot(dir.file("out")), before);
}

TEST(VolumeAdapter, AFullDiskLeavesTheEarlierSetAsItWas)
{
    if (sevenZip().empty())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    fs::create_directories(dir.file("out"));
    // A 1 MiB file system for the output; tests that may not mount one skip.
    if (std::system(("mount -t tmpfs -o size=1m tmpfs \"" + dir.file("out") + "\" 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("umount \"" + path + "\"").c_str()); }
    } unmount {dir.file("out")};
    std::mt19937 random(7);
    std::string noise(3 * 1024 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.write("in/noise.bin", noise);
    const auto before = earlierSet(dir);

    EXPECT_EQ(runTo(rarLine("rar", "200", dir.file("out/rel"), dir.file("in")), dir.file("log")), ENOSPC)
        << dir.read("log");
    EXPECT_EQ(snapshot(dir.file("out")), before);
}

TEST(VolumeAdapter, WrongWordsOrDirectoriesFailWithAOneLineReasonAndAnErrnoCode)
{
    TempDir dir;
    dir.write("in/a.txt", "a");
    dir.write("file", "not a directory");
    fs::create_directories(dir.file("in2"));
    const std::string bin = "\"" + kBinDir + "/rar\"";
    const std::string in = " \"" + dir.file("in") + "/*.*\"";
    const std::string out = " \"" + dir.file("rel") + "\"";
    const struct {
        const char* what;
        std::string args;
        int code;
    } rows[] = {
        {"size not a number", " a -y -r -m5 -ep1 -v1x" + out + in, EINVAL},
        {"missing input", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("none") + "/*.*\"", ENOENT},
        {"input is a file", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("file") + "/*.*\"", ENOTDIR},
        {"output directory missing", " a -y -r -m5 -ep1 -v10 \"" + dir.file("none/rel") + "\"" + in, ENOENT},
        {"output directory is a file", " a -y -r -m5 -ep1 -v10 \"" + dir.file("file/rel") + "\"" + in, ENOTDIR},
        {"empty input", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("in2") + "/*.*\"", ENOENT},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(runTo(bin + row.args, dir.file("log")), row.code) << row.what;
        const std::string output = dir.read("log");
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << row.what << ": " << output;
        EXPECT_EQ(output.rfind("Error: ", 0), 0u) << row.what << ": " << output;
    }
    EXPECT_EQ(volumesIn(dir.path(), "").size(), 4u) << "nothing but in, in2, file and log";
}

TEST(VolumeAdapter, TheInputIsWhatLiesInsideItsDirectoryAndTheSetIsReplacedOnlyWhole)
{
    if (sevenZip().empty())
        GTEST_SKIP() << "7zz is not installed";
    const struct {
        const char* what;
        std::function<void(const TempDir&)> prepare;
        int code;
        std::string reason; // the start of the log's last line after "Error: "
    } rows[] = {
        {"a dead run's staging folder inside the input",
         [](const TempDir& dir) { dir.write("in/out/.pkm-staging-dead01/new/rel.7z.001", "piece of a deleted file"); },
         0, ""},
        {"a link inside the input", [](const TempDir& dir) { fs::create_symlink("docs/readme", dir.file("in/again")); },
         0, ""},
        {"a link leading out of the input",
         [](const TempDir& dir) { fs::create_symlink(dir.write("private", "secret"), dir.file("in/docs/key")); }, EPERM,
         "The link "},
        {"links fanning out inside the input",
         [](const TempDir& dir) {
             for (int i = 0; i < 32; ++i) {
                 fs::create_directories(dir.file("in/d" + std::to_string(i + 1)));
                 for (const char* name : {"/a", "/b"})
                     fs::create_directory_symlink("../d" + std::to_string(i + 1),
                                                  dir.file("in/d" + std::to_string(i) + name));
             }
         },
         ELOOP, "Links lead into "},
        {"a folder named like a volume", [](const TempDir& dir) { dir.write("in/out/rel.7z.004/inside", "x"); }, EISDIR,
         "Cannot replace "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        dir.write("in/docs/readme", "read me");
        fs::create_directories(dir.file("in/d0"));
        dir.write("in/out/rel.7z.001", "earlier 1");
        row.prepare(dir);
        const auto before = snapshot(dir.file("in/out"));
        const int code = runTo(rarLine("rar", "10", dir.file("in/out/rel"), dir.file("in")), dir.file("log"));
        EXPECT_EQ(code, row.code) << dir.read("log");
        if (row.code != 0) {
            EXPECT_EQ(lastLine(dir.read("log")).rfind("Error: " + row.reason, 0), 0u) << dir.read("log");
            EXPECT_EQ(snapshot(dir.file("in/out")), before);
            continue;
        }
        // Neither the dead run's folder nor anything in it is packed, and the folder is gone.
        EXPECT_EQ(volumesIn(dir.file("in/out"), ""), (std::vector<std::string> {dir.file("in/out/rel.7z.001")}));
        const auto restored = extracted(dir, dir.file("in/out/rel.7z.001"));
        for (const auto& [path, bytes] : restored)
            EXPECT_EQ(path.find(".pkm-"), std::string::npos) << path;
        EXPECT_EQ(restored.at("docs/readme"), "read me");
    }
}
