// The Rar page's command lines, as the stub hands them to the 7-Zip adapter, read as a volume
// request and turned into 7zz's arguments.
#include "archiving/command_line_split.h"
#include "archiving/command_lines.h"
#include "archiving/sevenzip/sevenzip_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

namespace {

// The words the adapter gets: the page's line split as the stub splits it, without the program.
Words adapterWords(const std::string& commandLine)
{
    Words words = pkm::splitCommandLine(commandLine);
    words.erase(words.begin());
    return words;
}

} // namespace

TEST(SevenZipArguments, BothCommandLinesAsThePageBuildsThem)
{
    const struct {
        const char* what;
        std::string size, outField, name, inField;
        bool useAce;
        std::string outputDir, volumeName, inputDir;
    } rows[] = {
        {"plain rar", "1440", "/out", "rel", "/in", false, "/out", "rel", "/in"},
        {"ace32", "200", "/out", "rel", "/in", true, "/out", "rel", "/in"},
        {"trailing separators", "10", "/out/", "rel", "/in/", false, "/out", "rel", "/in"},
        {"root input", "10", "/", "rel", "/", false, "/", "rel", "/"},
        {"blanks", "10", "/my out/", "my rel", "/my in", false, "/my out", "my rel", "/my in"},
        {"non-ASCII", "10", "/\xc3\xa9t\xc3\xa9", "r\xe9l", "/d\xc3\xa9p\xc3\xb4t", true, "/\xc3\xa9t\xc3\xa9",
         "r\xe9l", "/d\xc3\xa9p\xc3\xb4t"},
        {"leading dashes", "10", "-o", "-rel", "-in", false, "-o", "-rel", "-in"},
        {"name with an extension", "10", "/out", "rel.rar", "/in", false, "/out", "rel.rar", "/in"},
        {"empty name", "10", "/out", "", "/in", false, "/out", "", "/in"},
        {"name with a folder", "10", "/out", "sub/rel", "/in", false, "/out/sub", "rel", "/in"},
        {"trailing backslash kept", "10", "/out", "rel\\", "/in", false, "/out", "rel\\", "/in"},
    };
    for (const auto& row : rows) {
        const std::string line = pkm::volumeCommandLine("/opt/pak master/", row.size,
                                                        pkm::outputDirForCommand(row.outField), row.name,
                                                        pkm::inputDirForCommand(row.inField), row.useAce);
        const pkm::VolumeRequestParse parsed = pkm::parseVolumeCommand(adapterWords(line));
        ASSERT_TRUE(parsed.request) << row.what << ": " << parsed.error;
        EXPECT_EQ(parsed.request->volumeThousands, std::stoull(row.size)) << row.what;
        EXPECT_EQ(parsed.request->outputDir, row.outputDir) << row.what;
        EXPECT_EQ(parsed.request->volumeName, row.volumeName) << row.what;
        EXPECT_EQ(parsed.request->inputDir, row.inputDir) << row.what;

        // Whatever the names, they reach 7zz only after "--" (the archive in the staging
        // directory and the excluded paths behind "-xr-!"), and every file is taken.
        const std::string archive = parsed.request->outputDir + "/.pkm-staging-x/" + row.volumeName + ".7z";
        const std::string excluded = row.volumeName + ".7z.001";
        EXPECT_EQ(pkm::sevenZipArguments(parsed.request->volumeThousands, archive, {excluded}),
                  (Words {"a", "-t7z", "-mx9", "-mmt=on", "-v" + row.size + "000b", "-y", "-bsp1", "-r",
                          "-xr!.pkm-staging-*", "-xr!.pkm-aside-*", "-xr-!" + excluded, "--", archive, "*"}))
            << row.what;
    }
}

TEST(SevenZipArguments, OtherWordsAreRefusedWithAReason)
{
    const std::string in = "/in/*.*";
    const struct {
        const char* what;
        Words words;
    } rows[] = {
        {"empty -v", {"a", "-y", "-r", "-m5", "-ep1", "-v", "/o/rel", in}},
        {"size not a number", {"a", "-y", "-r", "-m5", "-ep1", "-v1x", "/o/rel", in}},
        {"size zero", {"a", "-y", "-r", "-m5", "-ep1", "-v0", "/o/rel", in}},
        {"size too large", {"a", "-y", "-r", "-m5", "-ep1", "-v99999999999999", "/o/rel", in}},
        {"other switch", {"a", "-y", "-r", "-m3", "-ep1", "-v10", "/o/rel", in}},
        {"other command", {"x", "-y", "-r", "-m5", "-ep1", "-v10", "/o/rel", in}},
        {"no wildcard", {"a", "-y", "-r", "-m5", "-ep1", "-v10", "/o/rel", "/in"}},
        {"*.* alone", {"a", "-y", "-r", "-m5", "-ep1", "-v10", "/o/rel", "*.*"}},
        {"extra word", {"a", "-y", "-r", "-m5", "-ep1", "-v10", "/o/rel", in, "more"}},
        {"empty archive", {"a", "-y", "-r", "-m5", "-ep1", "-v10", "", in}},
        {"nothing", {}},
    };
    for (const auto& row : rows) {
        const pkm::VolumeRequestParse parsed = pkm::parseVolumeCommand(row.words);
        EXPECT_FALSE(parsed.request) << row.what;
        EXPECT_FALSE(parsed.error.empty()) << row.what;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << row.what;
    }
}

TEST(SevenZipArguments, VolumeNumbersAreReadOnlyFromThisNamesVolumes)
{
    EXPECT_EQ(pkm::volumeFileName("rel", 7), "rel.7z.007");
    EXPECT_EQ(pkm::volumeFileName("", 12), ".7z.012");
    const struct {
        const char* file;
        const char* name;
        unsigned number;
    } rows[] = {
        {"rel.7z.001", "rel", 1},  {"rel.7z.1000", "rel", 1000}, {".7z.003", "", 3},
        {"rel.7z.01", "rel", 0},   {"rel.7z.0a1", "rel", 0},     {"rel.7z.001", "re", 0},
        {"rel2.7z.001", "rel", 0}, {"rel.zip.001", "rel", 0},    {"rel.7z.001.tmp", "rel", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(pkm::volumeNumber(row.file, row.name), row.number) << row.file << " / " << row.name;
}
