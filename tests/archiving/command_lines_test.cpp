#include "archiving/command_line_split.h"
#include "archiving/command_lines.h"

#include <gtest/gtest.h>

using namespace pkm;

TEST(CommandLines, VolumeArchiversGetTheirExactLines)
{
    EXPECT_EQ(volumeCommandLine("/opt/pkm/", "1440", "/out/", "rel.rar", "/release", false),
              R"("/opt/pkm/rar" a -y -r -m5 -ep1 -v1440 "/out/rel.rar" "/release/*.*")");
    EXPECT_EQ(volumeCommandLine("/opt/pkm/", "1440", "/out/", "rel.rar", "/release", true),
              R"("/opt/pkm/ace32" a -y -r -m5 -v1440 "/out/rel.rar" "/release/*.*")");
    // Empty size and name go in as typed: -v alone, the output directory alone.
    EXPECT_EQ(volumeCommandLine("/p/", "", "/out/", "", "/in", false),
              R"("/p/rar" a -y -r -m5 -ep1 -v "/out/" "/in/*.*")");
    // Blanks inside the pieces stay inside their quotes.
    EXPECT_EQ(volumeCommandLine("/my prog/", "720", "/my out/", "my rel", "/my in", true),
              R"("/my prog/ace32" a -y -r -m5 -v720 "/my out/my rel" "/my in/*.*")");
}

TEST(CommandLines, DirectoryFieldsGetOrLoseOneSeparator)
{
    const struct {
        std::string field, input, output;
    } rows[] = {
        {"/release/", "/release", "/release/"},
        {"/release", "/release", "/release/"},
        {"/", "", "/"},
        {"/a//", "/a/", "/a//"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(inputDirForCommand(row.field), row.input) << row.field;
        EXPECT_EQ(outputDirForCommand(row.field), row.output) << row.field;
    }
    // The root as input directory: "/" loses its separator and the argument is "/*.*".
    EXPECT_EQ(volumeCommandLine("/p/", "1", outputDirForCommand("/out"), "v", inputDirForCommand("/"), false),
              R"("/p/rar" a -y -r -m5 -ep1 -v1 "/out/v" "/*.*")");
}

TEST(CommandLines, ZipLineHasOneBlankAfterEveryQuotedWord)
{
    EXPECT_EQ(zipCommandLine("/p/", "/out/", "rel1.zip", {}), R"("/p/zip" -9 -j "/out/rel1.zip" )");
    EXPECT_EQ(zipCommandLine("/p/", "/out/", "rel1.zip", {"/v/rel.7z.001", "/n/rel.nfo"}),
              R"("/p/zip" -9 -j "/out/rel1.zip" "/v/rel.7z.001" "/n/rel.nfo" )");
}

TEST(CommandLines, DoubleQuotesInAnyInsertedTextAreRefused)
{
    EXPECT_FALSE(containsDoubleQuote({"/p/", "1440", "/out/", "rel.rar", "/in"}));
    EXPECT_FALSE(containsDoubleQuote({}));
    EXPECT_TRUE(containsDoubleQuote({"/p/", "1440", "/out/", "rel\".rar", "/in"}));
    EXPECT_TRUE(containsDoubleQuote({"\"", ""}));
    EXPECT_FALSE(containsDoubleQuote(std::vector<std::string> {"a", "b c"}));
    EXPECT_TRUE(containsDoubleQuote(std::vector<std::string> {"a", "b\"c"}));
    EXPECT_STREQ(kQuoteRefusalText, "Names and paths may not contain double quotes.");
    EXPECT_STREQ(kInputErrorCaption, "Input error");
}

TEST(CommandLines, BackslashesEndingAWordAreDoubledSoTheStubSplitsBackTheTextAsTyped)
{
    struct Row {
        std::string text;
        std::string inLine; // how the text ends its quoted word
    };
    const std::vector<Row> rows = {
        {"rel", "rel\""},
        {"rel\\", "rel\\\\\""},
        {"a\\\\b\\\\", "a\\\\b\\\\\\\\\""},
        {"a\\b", "a\\b\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::string rar = volumeCommandLine("/p/", "1440", "/o/", row.text, "/i", false);
        EXPECT_EQ(rar, "\"/p/rar\" a -y -r -m5 -ep1 -v1440 \"/o/" + row.inLine + " \"/i/*.*\"");
        EXPECT_EQ(splitCommandLine(rar),
                  (std::vector<std::string> {"/p/rar", "a", "-y", "-r", "-m5", "-ep1", "-v1440", "/o/" + row.text,
                                             "/i/*.*"}));
        const std::string zip = zipCommandLine("/p/", "/o/", row.text, {"/f/" + row.text, "/g"});
        EXPECT_EQ(zip, "\"/p/zip\" -9 -j \"/o/" + row.inLine + " \"/f/" + row.inLine + " \"/g\" ");
        EXPECT_EQ(splitCommandLine(zip),
                  (std::vector<std::string> {"/p/zip", "-9", "-j", "/o/" + row.text, "/f/" + row.text, "/g"}));
    }
}

TEST(CommandLines, ZipAddsItsExtensionOnlyToANameWithoutAPeriod)
{
    EXPECT_EQ(pkm::zipFileMade("/o/", "disk01"), "/o/disk01.zip");
    EXPECT_EQ(pkm::zipFileMade("/o.d/", "disk01"), "/o.d/disk01.zip");
    EXPECT_EQ(pkm::zipFileMade("/o/", "disk.01"), "/o/disk.01");
    EXPECT_EQ(pkm::zipFileMade("/o/", "sub.d/x"), "/o/sub.d/x.zip");
    EXPECT_EQ(pkm::zipFileMade("/o/", ".hidden"), "/o/.hidden");
}

TEST(CommandLines, AFailedRunSaysWhatItsArchiversStatusMeans)
{
    const struct {
        ArchiverKind archiver;
        int status;
        int startError;
        const char* text;
    } rows[] = {
        // zip's own statuses, which as errno values would name unrelated faults.
        {ArchiverKind::Zip, 14, 0, "Error writing to a file."},
        {ArchiverKind::Zip, 12, 0, "zip has nothing to do."},
        {ArchiverKind::Zip, 18, 0, "zip could not open a specified file to read."},
        {ArchiverKind::Zip, 2, 0, "Unexpected end of zip file."},
        {ArchiverKind::Zip, 143, 0, "zip was ended by signal 15."},
        {ArchiverKind::Zip, 1, 0, "zip failed with exit status 1."},
        // The stub could not start zip: its status is the system's error.
        {ArchiverKind::Zip, 2, 2, "No such file or directory."},
        {ArchiverKind::Zip, 13, 13, "Permission denied."},
        // The volume archiver exits with errno values.
        {ArchiverKind::Volumes, 28, 0, "No space left on device."},
        {ArchiverKind::Volumes, 2, 0, "No such file or directory."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(failedRunText(row.archiver, row.status, row.startError), row.text) << row.status;
}
