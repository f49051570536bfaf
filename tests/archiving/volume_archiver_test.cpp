// The volume archiver of the program's directory, run directly as the stub would start it,
// checked against an independent extractor.
#include "archiving/line_splitter.h"
#include "archiving/volume_files.h"
#include "platform/log_buffer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const std::string kBinDir = PAKMASTER_BIN_DIR;

bool haveSevenZip()
{
    return std::system("command -v 7zz >/dev/null 2>&1") == 0;
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

// A release-like tree: compressible text, incompressible bytes, nesting, empty file and folder.
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
    dir.write(root + "/docs/readme.txt", text);
    dir.write(root + "/docs/deep/er/small.dat", "x");
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

} // namespace

TEST(VolumeArchiver, VolumesExtractToTheSameTreeByteForByte)
{
    if (!haveSevenZip())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    makeTree(dir, "in");
    fs::create_directories(dir.file("out"));
    const std::string archive = dir.file("out/rel.rar");

    ASSERT_EQ(runTo(rarLine("rar", "100", archive, dir.file("in")), dir.file("log")), 0) << dir.read("log");

    const std::vector<std::string> volumes = volumesIn(dir.file("out"), "rel.rar.7z.");
    ASSERT_GE(volumes.size(), 10u);
    for (std::size_t i = 0; i + 1 < volumes.size(); ++i)
        EXPECT_EQ(fs::file_size(volumes[i]), 100u * 1024) << volumes[i];
    EXPECT_LE(fs::file_size(volumes.back()), 100u * 1024);
    EXPECT_EQ(pkm::countVolumeFiles(dir.file("out"), "rel.rar"), volumes.size());

    fs::create_directories(dir.file("x"));
    ASSERT_EQ(runTo("cd \"" + dir.file("x") + "\" && 7zz x -bd -y \"" + volumes.front() + "\"", dir.file("7zlog")), 0)
        << dir.read("7zlog");
    EXPECT_EQ(snapshot(dir.file("x")), snapshot(dir.file("in")));
}

TEST(VolumeArchiver, PrintsALinePerFileWithProgressTheLogShowsAsOneLine)
{
    TempDir dir;
    makeTree(dir, "in");
    ASSERT_EQ(runTo(rarLine("ace32", "1440", dir.file("rel"), dir.file("in")), dir.file("log")), 0) << dir.read("log");

    // The log box's view of the output: split into lines, progress states folded in.
    std::vector<std::string> log;
    pkm::LineSplitter splitter([&](const std::string& line) { pkm::addLogLine(log, line); });
    const std::string output = dir.read("log");
    for (std::size_t pos = 0; pos < output.size(); pos += pkm::LineSplitter::kChunkSize)
        splitter.SplitChunk(std::string_view(output).substr(pos, pkm::LineSplitter::kChunkSize));
    splitter.FlushPending();

    for (const char* file : {"setup.bin", "docs/readme.txt", "docs/deep/er/small.dat", "empty.txt"}) {
        const std::string start = std::string("Adding    ") + file;
        const auto line = std::find_if(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
        ASSERT_NE(line, log.end()) << file << " in\n" << output;
        EXPECT_EQ(line->size(), start.size() + 5) << *line;
        EXPECT_EQ(line->back(), '%') << *line;
    }
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("100%") != std::string::npos; }), 1)
        << "only the last file reaches 100%";
    EXPECT_EQ(pkm::countVolumeFiles(dir.path(), "rel"), volumesIn(dir.path(), "rel.7z.").size());
}

TEST(VolumeArchiver, NeverPacksItsOwnVolumesWhenTheOutputLiesInsideTheInput)
{
    if (!haveSevenZip())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    dir.write("in/a.txt", std::string(300000, 'a'));
    fs::create_directories(dir.file("in/out"));
    // A loop back to the input's own directory must not be followed.
    fs::create_directory_symlink("..", dir.file("in/out/up"));
    const std::string line = rarLine("rar", "20", dir.file("in/out/rel"), dir.file("in"));
    ASSERT_EQ(runTo(line, dir.file("log1")), 0) << dir.read("log1");
    const std::size_t first = volumesIn(dir.file("in/out"), "rel.7z.").size();
    // The second run finds the first run's volumes in its input.
    ASSERT_EQ(runTo(line, dir.file("log2")), 0) << dir.read("log2");
    EXPECT_EQ(volumesIn(dir.file("in/out"), "rel.7z.").size(), first);

    fs::create_directories(dir.file("x"));
    ASSERT_EQ(runTo("cd \"" + dir.file("x") + "\" && 7zz x -bd -y \"" + dir.file("in/out/rel.7z.001") + "\"", dir.file("7zlog")), 0)
        << dir.read("7zlog");
    const auto extracted = snapshot(dir.file("x"));
    EXPECT_EQ(extracted, (std::map<std::string, std::string>{{"a.txt", std::string(300000, 'a')}, {"out", "<dir>"}}));
}

TEST(VolumeArchiver, StaleVolumesOfAnEarlierLongerRunAreRemoved)
{
    TempDir dir;
    dir.write("in/a.txt", "small");
    for (const char* stale : {"rel.7z.001", "rel.7z.002", "rel.7z.003"})
        dir.write(std::string("out/") + stale, std::string(5000, 's'));
    ASSERT_EQ(runTo(rarLine("rar", "1440", dir.file("out/rel"), dir.file("in")), dir.file("log")), 0) << dir.read("log");
    EXPECT_EQ(volumesIn(dir.file("out"), "rel.7z.").size(), 1u);
}

TEST(VolumeArchiver, FailsWithAOneLineReasonAndAnErrnoCode)
{
    TempDir dir;
    dir.write("in/a.txt", "a");
    dir.write("file", "not a directory");
    const std::string bin = "\"" + kBinDir + "/rar\"";
    const std::string in = " \"" + dir.file("in") + "/*.*\"";
    const std::string out = " \"" + dir.file("rel") + "\"";
    const struct {
        const char* what;
        std::string args;
        int code;
    } rows[] = {
        {"empty -v", " a -y -r -m5 -ep1 -v" + out + in, 22},
        {"size not a number", " a -y -r -m5 -ep1 -v1x" + out + in, 22},
        {"size zero", " a -y -r -m5 -ep1 -v0" + out + in, 22},
        {"unknown switch", " a -y -r -m3 -ep1 -v10" + out + in, 22},
        {"no wildcard", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("in") + "\"", 22},
        {"extra word", " a -y -r -m5 -ep1 -v10" + out + in + " more", 22},
        {"missing input", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("none") + "/*.*\"", 2},
        {"input is a file", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("file") + "/*.*\"", 20},
        {"output directory missing", " a -y -r -m5 -ep1 -v10 \"" + dir.file("none/rel") + "\"" + in, 2},
        {"output directory is a file", " a -y -r -m5 -ep1 -v10 \"" + dir.file("file/rel") + "\"" + in, 20},
        {"empty input", " a -y -r -m5 -ep1 -v10" + out + " \"" + dir.file("in/../in2") + "/*.*\"", 2},
    };
    fs::create_directories(dir.file("in2"));
    for (const auto& row : rows) {
        EXPECT_EQ(runTo(bin + row.args, dir.file("log")), row.code) << row.what;
        const std::string output = dir.read("log");
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << row.what << ": " << output;
        EXPECT_EQ(output.rfind("Error: ", 0), 0u) << row.what << ": " << output;
    }
    EXPECT_TRUE(volumesIn(dir.path(), "rel.").empty());
}
