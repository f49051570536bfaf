#include "archiving/Piper.h"

#include "archiving/command_lines.h"
#include "archiving/log_buffer.h"
#include "archiving/volume_files.h"

#include "platform/widgets/TextCodec.h"
#include "support/temp_dir.h"

#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace pkm;

namespace {

using Lines = std::vector<std::string>;

// The build's program directory, with the real stub.
const std::string kProgramDir = PAKMASTER_BIN_DIR "/";

// Runs commands through the real stub of the build's program directory against fake
// archivers written as shell scripts into a temporary directory.
class PiperTest : public ::testing::Test {
protected:
    std::string script(const std::string& name, const std::string& body)
    {
        const std::string path = dir.write(name, "#!/bin/sh\n" + body);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    TPiper* piper(const std::string& programDir = kProgramDir)
    {
        auto* p = new TPiper(programDir, &owner);
        p->OnNewLine = [this](TPiper* sender, const std::string& line) {
            senders.push_back(sender);
            lines.push_back(line);
        };
        return p;
    }

    // Runs "<path>" plus arguments and returns RunCommand's result.
    int run(TPiper* p, const std::string& path, const std::string& args = "")
    {
        p->ImageName = "\"" + path + "\"" + args;
        return p->RunCommand();
    }

    TempDir dir;
    QObject owner;
    Lines lines;
    std::vector<TPiper*> senders;
};

} // namespace

TEST_F(PiperTest, DeliversEveryKindOfLineEndAndTheLastUnterminatedLine)
{
    TPiper* p = piper();
    const std::string fake = script("fake", R"(printf 'a\r\nb\nc\rd\n\re\n\nf\r\rlast')");
    EXPECT_EQ(run(p, fake), 0);
    EXPECT_EQ(p->ExitCode, 0);
    EXPECT_EQ(lines, (Lines {"a", "b", "c", "d", "e", "", "f", "", "last"}));
    for (TPiper* sender : senders)
        EXPECT_EQ(sender, p);
    EXPECT_EQ(p->parent(), &owner);
}

TEST_F(PiperTest, BackspaceProgressArrivesAsOneLinePerState)
{
    TPiper* p = piper();
    const std::string fake = script("fake", R"(printf 'Adding rel.bin    \b\b\b\b  5%%\b\b\b\b 50%%\b\b\b\b100%%\n'
printf 'x\b\b\b\by\n')");
    EXPECT_EQ(run(p, fake), 0);
    EXPECT_EQ(lines, (Lines {"Adding rel.bin    ", "  5%", " 50%", "100%", "x", "y"}));
}

TEST_F(PiperTest, NulByteEndsTheTextOfItsChunk)
{
    TPiper* p = piper();
    // One write well under the pipe's atomic size arrives as one chunk.
    const std::string fake = script("fake", R"(printf 'ab\000cd\nef\n')");
    EXPECT_EQ(run(p, fake), 0);
    EXPECT_EQ(lines, (Lines {"ab"}));
}

TEST_F(PiperTest, ArgumentsReachTheProgramAsWordsWithoutAShell)
{
    TPiper* p = piper();
    const std::string fake = script("fake", R"(for a in "$@"; do printf '[%s]\n' "$a"; done)");
    EXPECT_EQ(run(p, fake, R"( a -y -v1440 "/out dir/rel.rar" "/in/*.*" $HOME;echo)"), 0);
    EXPECT_EQ(lines, (Lines {"[a]", "[-y]", "[-v1440]", "[/out dir/rel.rar]", "[/in/*.*]", "[$HOME;echo]"}));
}

TEST_F(PiperTest, ExitCodesArePassedOn)
{
    const struct {
        const char* body;
        int exitCode;
        Lines lines;
    } rows[] = {
        {"echo fine\nexit 0", 0, {"fine"}},       {"echo warn\nexit 3", 3, {"warn"}},
        {"echo bad >&2\nexit 255", 255, {"bad"}}, {"echo crash\nkill -SEGV $$", 128 + 11, {"crash"}},
        {"kill -KILL $$", 128 + 9, {}},
    };
    for (const auto& row : rows) {
        lines.clear();
        TPiper* p = piper();
        EXPECT_EQ(run(p, script("fake", row.body)), 0) << row.body;
        EXPECT_EQ(p->ExitCode, row.exitCode) << row.body;
        EXPECT_EQ(lines, row.lines) << row.body;
        delete p;
    }
}

TEST_F(PiperTest, ProgramThatDoesNotExistGivesErrnoAndAReason)
{
    TPiper* p = piper();
    EXPECT_EQ(run(p, dir.file("no-such-archiver")), 0);
    EXPECT_EQ(p->ExitCode, 2);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no-such-archiver"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("No such file or directory"), std::string::npos) << lines[0];
}

TEST_F(PiperTest, MissingStubCannotBeStarted)
{
    TempDir empty;
    TPiper* p = piper(empty.path() + "/");
    p->ExitCode = 7;
    EXPECT_EQ(run(p, script("fake", "echo never")), 2);
    EXPECT_EQ(p->ExitCode, 0);
    EXPECT_TRUE(lines.empty());
}

TEST_F(PiperTest, NextRunOnTheSameObjectDropsTheSecondHalfOfAPair)
{
    TPiper* p = piper();
    EXPECT_EQ(run(p, script("first", R"(printf 'a\n')")), 0);
    EXPECT_EQ(run(p, script("second", R"(printf '\rb')")), 0);
    EXPECT_EQ(lines, (Lines {"a", "b"}));
}

TEST_F(PiperTest, StandardInputStaysOpenWithoutData)
{
    TPiper* p = piper();
    // read -t ends with a status above 128 on time-out, 1 at end of input, 0 with data.
    const std::string path = dir.write("fake", "#!/bin/bash\nread -t 0.2 x\necho \"read $?\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_EQ(run(p, path), 0);
    ASSERT_EQ(lines.size(), 1u);
    const int status = std::stoi(lines[0].substr(5));
    EXPECT_GT(status, 128) << lines[0];
}

TEST_F(PiperTest, WindowIsServicedWhileTheProgramIsSilent)
{
    // The fake waits, silent, for a file that only a timer of this thread creates; it gives up
    // after a while so that a frozen loop fails instead of hanging.
    const std::string flag = dir.file("flag");
    const std::string fake = script("fake", R"(i=0
while [ ! -e "$1" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done
if [ -e "$1" ]; then echo seen; else echo timeout; exit 1; fi)");
    QTimer::singleShot(0, [&] { std::ofstream(flag) << "x"; });
    TPiper* p = piper();
    EXPECT_EQ(run(p, fake, " \"" + flag + "\""), 0);
    EXPECT_EQ(p->ExitCode, 0);
    EXPECT_EQ(lines, (Lines {"seen"}));
}

TEST_F(PiperTest, RunEndsWhenTheStubEndsEvenIfABackgroundProcessHoldsTheOutput)
{
    const std::string flag = dir.file("flag");
    const std::string fake = script("fake", R"(( i=0
  while [ ! -e "$1" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
  echo late ) &
echo done)");
    TPiper* p = piper();
    EXPECT_EQ(run(p, fake, " \"" + flag + "\""), 0);
    std::ofstream(flag) << "x"; // lets the background process end
    EXPECT_EQ(p->ExitCode, 0);
    EXPECT_EQ(lines, (Lines {"done"}));
}

TEST_F(PiperTest, UnsetHandlerDropsLines)
{
    auto* p = new TPiper(kProgramDir, &owner);
    p->ImageName = "\"" + script("fake", "echo one\necho two") + "\"";
    EXPECT_EQ(p->RunCommand(), 0);
    EXPECT_EQ(p->ExitCode, 0);
    EXPECT_TRUE(p->PendingText().empty());
}

TEST_F(PiperTest, VolumeRunThroughTheStubAndTheProgramDirectorysRar)
{
    dir.write("in/a.txt", std::string(5000, 'a'));
    dir.write("in/sub/b.txt", "b");
    std::filesystem::create_directories(dir.file("out"));
    TPiper* p = new TPiper(kProgramDir, &owner);
    std::vector<std::string> log;
    p->OnNewLine = [&](TPiper*, const std::string& line) { pkm::addLogLine(log, line); };
    p->ImageName = pkm::volumeCommandLine(kProgramDir, "1", pkm::outputDirForCommand(dir.file("out")), "rel.rar",
                                          pkm::inputDirForCommand(dir.file("in") + "/"), false);
    EXPECT_EQ(p->RunCommand(), 0);
    EXPECT_EQ(p->ExitCode, 0);
    const std::string joined = [&] {
        std::string all;
        for (const std::string& line : log)
            all += line + "\n";
        return all;
    }();
    // 7-Zip's own report, its progress counter folded into lines.
    EXPECT_NE(joined.find("\nEverything is Ok\n"), std::string::npos) << joined;
    EXPECT_NE(joined.find("%"), std::string::npos) << joined;
    EXPECT_EQ(joined.find('\b'), std::string::npos) << joined;
    EXPECT_GE(pkm::countVolumeFiles(dir.file("out"), "rel.rar"), 1u);

    // A failing archiver: its reason reaches the log and its code the caller.
    log.clear();
    p->ImageName = pkm::volumeCommandLine(kProgramDir, "", dir.file("out") + "/", "rel.rar", dir.file("in"), true);
    EXPECT_EQ(p->RunCommand(), 0);
    EXPECT_EQ(p->ExitCode, 22);
    EXPECT_EQ(log, (Lines {"Error: Volume size missing after -v"}));
}
