// A zip series' checksum file: its name, its lines written and read back, the CRC-32 of a file.
#include "archiving/series_checks.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace pkm;

TEST(SeriesChecks, TheChecksumFileIsNamedForTheSeries)
{
    const struct {
        const char* firstZip;
        const char* sfv;
    } rows[] = {
        {"/out/disk01.zip", "disk.sfv"}, {"disk1.zip", "disk.sfv"},         {"/o/cd7.ZIP", "cd.sfv"},
        {"/o/setup.zip", "setup.sfv"},   {"/o/rel2000.z", "rel2000.z.sfv"}, {"/o/01.zip", "01.sfv"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(checksumFileName(row.firstZip), row.sfv) << row.firstZip;
        EXPECT_EQ(seriesOfChecksumFile("/o/" + checksumFileName(row.firstZip)) + ".sfv", row.sfv) << row.firstZip;
    }
}

TEST(SeriesChecks, LinesWrittenAreReadBackAndOthersAreNamed)
{
    const std::vector<ChecksumLine> lines {{"disk01.zip", 0xCBF43926}, {"disk 02.zip", 0x0000000A}};
    const std::string text = checksumFileText("disk", lines);
    EXPECT_NE(text.find("disk01.zip CBF43926\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::size_t bad = 0;
    EXPECT_EQ(parseChecksumFile(text, bad), lines);
    // Another tool's file: lower-case digits, LF only, blank lines.
    EXPECT_EQ(parseChecksumFile("; made elsewhere\n\ndisk01.zip cbf43926\n", bad),
              (std::vector<ChecksumLine> {{"disk01.zip", 0xCBF43926}}));
    for (const char* wrong : {"disk01.zip\n", "disk01.zip CBF4392\n", "disk01.zip CBF43926Z\n", " CBF43926\n"}) {
        bad = 0;
        EXPECT_FALSE(parseChecksumFile(std::string("; ok\n") + wrong, bad)) << wrong;
        EXPECT_EQ(bad, 2u) << wrong;
    }
}

TEST(SeriesChecks, TheCrcOfAFileIsZlibsCrc32)
{
    TempDir dir;
    int error = 0;
    // The check value of CRC-32.
    EXPECT_EQ(fileCrc32(dir.write("check", "123456789"), error), 0xCBF43926u);
    EXPECT_EQ(fileCrc32(dir.write("empty", ""), error), 0u);
    EXPECT_FALSE(fileCrc32(dir.file("missing"), error));
    EXPECT_EQ(error, ENOENT);
}
