// The command line's pipe to the stub, against fake archivers written as shell scripts: what the
// window's pipe promises holds without an event loop too.
#include "archiving/stub_pipe.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace pkm;

namespace {

using Lines = std::vector<std::string>;

const std::string kProgramDir = PAKMASTER_BIN_DIR "/";

std::string script(TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.write(name, "#!/bin/bash\n" + body);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return "\"" + path + "\"";
}

} // namespace

TEST(StubPipe, LinesExitStatusesAndStartFailuresAsTheWindowsPipeReportsThem)
{
    TempDir dir;
    const struct {
        std::string body;
        EnvironmentAdditions environment;
        std::int32_t exitCode;
        Lines lines;
    } rows[] = {
        {R"(printf 'a\r\nb\nc\rd\n\re\n\nf\r\rlast')", {}, 0, {"a", "b", "c", "d", "e", "", "f", "", "last"}},
        {R"(printf 'x  5%%\b\b\b\b 50%%\n')", {}, 0, {"x  5%", " 50%"}},
        {"echo bad >&2\nexit 255", {}, 255, {"bad"}},
        {"echo crash\nkill -SEGV $$", {}, 128 + 11, {"crash"}},
        {R"(echo "$PKM_STUB_UNDO")", {{"PKM_STUB_UNDO", "/staged dir"}}, 0, {"/staged dir"}},
        // Standard input is open and silent: read times out (status above 128) rather than ending.
        {"read -t 0.2 x; echo $(( $? > 128 ))", {}, 0, {"1"}},
        // A background process that keeps the output open does not keep the run going.
        {"( sleep 5; echo late ) &\necho done", {}, 0, {"done"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        Lines lines;
        StubPipe pipe(kProgramDir, [&lines](const std::string& line) { lines.push_back(line); });
        const RunOutcome outcome = pipe.run(script(dir, "fake", row.body), row.environment);
        EXPECT_EQ(outcome.result, 0);
        EXPECT_EQ(outcome.exitCode, row.exitCode);
        EXPECT_EQ(outcome.startError, 0);
        EXPECT_EQ(lines, row.lines);
    }

    Lines lines;
    StubPipe pipe(kProgramDir, [&lines](const std::string& line) { lines.push_back(line); });
    const RunOutcome missing = pipe.run("\"" + dir.file("no-such-archiver") + "\"", {});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.startError, ENOENT);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("no-such-archiver"), std::string::npos) << lines[0];

    TempDir empty;
    StubPipe noStub(empty.path() + "/", {});
    EXPECT_EQ(noStub.run(script(dir, "fake", "echo never"), {}).result, 2);
}
