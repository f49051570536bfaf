#include "archiving/zip_set.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace pkm;

namespace {

using Names = std::vector<std::string>;

Names namesOf(const ZipSet& set)
{
    Names names;
    for (const ZipEntry& e : set.entries())
        names.push_back(e.name);
    return names;
}

ZipSet setOf(const Names& names)
{
    ZipSet set;
    for (const std::string& n : names)
        set.AddZip(n);
    return set;
}

// A full path in the native form: path({"a", "x.nfo"}) is "/a/x.nfo" here.
std::string path(const Names& parts)
{
    std::string p;
    for (const std::string& part : parts)
        p += kPathSeparator + part;
    return p;
}

} // namespace

TEST(ZipNaming, SeriesAddNamesAndProposeTheNextOne)
{
    struct Row {
        Names existing;
        std::string typed;
        int count;
        Names list;           // the zip list afterwards, in its order
        std::string proposal; // the name the dialog proposes next
    };
    const Row rows[] = {
        {{}, "disk01", 5, {"disk01", "disk02", "disk03", "disk04", "disk05"}, "disk06"},
        {{}, "cd7", 3, {"cd7", "cd8", "cd9"}, "cd10"},
        {{}, "setup", 3, {"setup"}, ""},
        // Numbers outgrow their field; the list is in character order.
        {{}, "disk9", 3, {"disk10", "disk11", "disk9"}, "disk12"},
        {{}, "7up", 2, {"7up", "8up"}, "9up"},
        {{}, "part1.rar", 2, {"part1.rar", "part2.rar"}, "part3.rar"},
        // Collisions (without regard to case) add only the new names, yet the number advances
        // by the full count.
        {{"disk02", "DISK03"}, "disk01", 4, {"disk01", "disk02", "DISK03", "disk04"}, "disk05"},
        {{"DISK01"}, "disk01", 2, {"DISK01", "disk02"}, "disk03"},
        // A count below 1 (never left the field) adds the typed name alone.
        {{}, "disk01", 0, {"disk01"}, "disk02"},
        {{}, "disk01", -4, {"disk01"}, "disk02"},
        // Two numbers in a name: the last one counts on.
        {{}, "cd1disk2", 3, {"cd1disk2", "cd1disk3", "cd1disk4"}, "cd1disk5"},
        {{}, "r1v9x", 2, {"r1v10x", "r1v9x"}, "r1v11x"},
        // A number too large for 32 bits cannot start a series: the typed name alone.
        {{}, "backup20240101120000", 3, {"backup20240101120000"}, ""},
        {{}, "cd1disk99999999999", 2, {"cd1disk99999999999"}, ""},
        // At the largest number the series stops growing instead of turning negative.
        {{}, "x2147483646", 4, {"x2147483646", "x2147483647"}, "x2147483647"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed + " x " + std::to_string(row.count));
        ZipSet set = setOf(row.existing);
        set.AddSeries(row.typed, row.count);
        EXPECT_EQ(namesOf(set), row.list);
        EXPECT_EQ(set.GenerateZipName(), row.proposal);
    }
}

TEST(ZipNaming, ParsedFieldAndNumberOfAnEnteredName)
{
    struct Row {
        std::string name;
        bool hasNumber;
        ZipNamePattern pattern;
        std::int32_t number;
    };
    const Row rows[] = {
        {"disk01", true, {"disk", 2, ""}, 1},
        {"007", true, {"", 3, ""}, 7},
        {"a0b", true, {"a", 1, "b"}, 0},
        {"cd1disk2", true, {"cd1disk", 1, ""}, 2},
        {"v12.r34.zip", true, {"v12.r", 2, ".zip"}, 34},
        {"x2147483647", true, {"x", 10, ""}, 2147483647},
        {"x0000000000002147483647", true, {"x", 22, ""}, 2147483647},
        {"x2147483648", false, {}, 0},
        {"setup", false, {}, 0},
        {"", false, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parsed = parseZipNameField(row.name);
        ASSERT_EQ(parsed.has_value(), row.hasNumber);
        if (parsed) {
            EXPECT_EQ(parsed->format, row.pattern);
            EXPECT_EQ(parsed->number, row.number);
        }
    }
}

TEST(ZipNaming, GeneratedNamesArePaddedWithZerosToTheFieldWidth)
{
    struct Row {
        ZipNamePattern pattern;
        std::int32_t number;
        std::string name;
    };
    const Row rows[] = {
        {{"disk", 2, ""}, 6, "disk06"},     {{"disk", 2, ""}, 0, "disk00"},          {{"disk", 2, ""}, 123, "disk123"},
        {{"a", 3, ".zip"}, 45, "a045.zip"}, {{"", 1, ""}, 2147483647, "2147483647"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(formatZipName(row.pattern, row.number), row.name);
}

TEST(ZipNaming, NameWithoutDigitsClearsThePatternAndKeepsTheNumber)
{
    ZipSet set;
    set.AddSeries("disk01", 2); // next: disk03
    set.ParseZipName("setup");
    EXPECT_FALSE(set.ZipNameFormat.has_value());
    EXPECT_EQ(set.NextZipNumber, 3);
    EXPECT_EQ(set.GenerateZipName(), "");
}

TEST(ZipNaming, DeletionRestartsTheProposalAtZipsLeftPlusOneWithTheLastPattern)
{
    ZipSet set;
    set.AddSeries("disk01", 5);
    set.DeleteZips({1, 0});
    EXPECT_EQ(namesOf(set), (Names {"disk03", "disk04", "disk05"}));
    // disk04 is still there; the proposal takes it anyway.
    EXPECT_EQ(set.NextZipNumber, 4);
    EXPECT_EQ(set.GenerateZipName(), "disk04");

    // Adding the proposed series skips the existing names but still counts them.
    set.AddSeries(set.GenerateZipName(), 3);
    EXPECT_EQ(namesOf(set), (Names {"disk03", "disk04", "disk05", "disk06"}));
    EXPECT_EQ(set.GenerateZipName(), "disk07");

    set.DeleteZips({0, 1, 2, 3});
    EXPECT_TRUE(set.entries().empty());
    EXPECT_EQ(set.GenerateZipName(), "disk01");

    ZipSet plain;
    plain.AddSeries("setup", 1);
    plain.DeleteZips({0});
    EXPECT_EQ(plain.NextZipNumber, 1);
    EXPECT_EQ(plain.GenerateZipName(), "");
}

TEST(ZipNaming, DeletingTakesTheContentWithTheZip)
{
    ZipSet set = setOf({"a", "b", "c"});
    set.AddFiles({path({"r", "x.r00"}), path({"r", "x.r01"}), path({"r", "x.r02"})}, {0, 1, 2});
    set.DeleteZips({1});
    ASSERT_EQ(namesOf(set), (Names {"a", "c"}));
    EXPECT_EQ(set.entries()[0].content, (Names {path({"r", "x.r00"})}));
    EXPECT_EQ(set.entries()[1].content, (Names {path({"r", "x.r02"})}));
}

TEST(ZipFiles, FilesAreSpreadOverTheSelectedZips)
{
    const std::string nfo = path({"rel", "release.nfo"});
    const std::string v1 = path({"out", "rel.r00"});
    const std::string v2 = path({"out", "rel.r01"});
    const std::string v3 = path({"out", "rel.rar"});
    struct Row {
        const char* what;
        ZipSelection selected;
        Names files;
        std::vector<Names> content; // of the zips a, b, c
    };
    const Row rows[] = {
        {"one file into every selected zip", {0, 1, 2}, {nfo}, {{nfo}, {nfo}, {nfo}}},
        {"one file, one zip", {1}, {nfo}, {{}, {nfo}, {}}},
        {"three volumes, two zips: the third lands nowhere", {0, 2}, {v1, v2, v3}, {{v1}, {}, {v2}}},
        {"selection order does not matter", {2, 0}, {v1, v2, v3}, {{v1}, {}, {v2}}},
        {"two volumes, three zips: the last zip gets nothing", {0, 1, 2}, {v1, v2}, {{v1}, {v2}, {}}},
        {"several files into the one selected zip, sorted", {2}, {v3, v1, v2}, {{}, {}, {v1, v2, v3}}},
        {"nothing selected", {}, {v1, v2}, {{}, {}, {}}},
        {"dialog cancelled", {0, 1}, {}, {{}, {}, {}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZipSet set = setOf({"a", "b", "c"});
        set.AddFiles(row.files, row.selected);
        for (std::size_t z = 0; z < 3; ++z)
            EXPECT_EQ(set.entries()[z].content, row.content[z]) << "zip " << z;
    }
}

TEST(ZipFiles, TheSameFileTwiceKeepsOneCopy)
{
    ZipSet set = setOf({"a"});
    const std::string nfo = path({"rel", "release.nfo"});
    set.AddFiles({nfo}, {0});
    set.AddFiles({nfo}, {0});
    // Paths differing only in case are the same file to the comparison.
    set.AddFiles({path({"REL", "Release.NFO"}), path({"rel", "release.diz"})}, {0});
    EXPECT_EQ(set.entries()[0].content, (Names {path({"rel", "release.diz"}), nfo}));
}

TEST(ZipFiles, RemovingANameTakesEveryPathEndingInItFromTheSelectedZipsOnly)
{
    const std::string a = path({"one", "release.nfo"});
    const std::string b = path({"two", "RELEASE.NFO"});
    const std::string c = path({"one", "release.diz"});
    const std::string d = path({"vol", "rel.r00"});
    ZipSet set = setOf({"x", "y", "z"});
    set.AddFiles({a, b, c, d}, {0});
    set.AddFiles({a, b, c, d}, {1});
    set.AddFiles({a, b, c, d}, {2});

    set.RemoveFiles({"Release.nfo", "rel.r00"}, {0, 2});
    EXPECT_EQ(set.entries()[0].content, (Names {c}));
    EXPECT_EQ(set.entries()[1].content, (Names {c, a, b, d}));
    EXPECT_EQ(set.entries()[2].content, (Names {c}));

    // A name that is only part of a file name removes nothing.
    set.RemoveFiles({"release"}, {1});
    EXPECT_EQ(set.entries()[1].content.size(), 4u);
}

TEST(ZipFiles, ContentViewOfTheSelection)
{
    const std::string nfoA = path({"a", "x.nfo"});
    const std::string nfoB = path({"b", "x.nfo"});
    const std::string diz = path({"a", "x.diz"});
    const std::string vol = path({"v", "x.r00"});
    ZipSet set = setOf({"one", "three", "two", "zempty"});
    set.AddFiles({vol, nfoB, diz, nfoA}, {0});      // one
    set.AddFiles({path({"A", "X.NFO"}), diz}, {2}); // two: the same paths, other case
    set.AddFiles({nfoA, diz, nfoB}, {1});           // three

    struct Row {
        const char* what;
        ZipSelection selected;
        Names shown;
    };
    const Row rows[] = {
        {"one zip: every file name in content order, twice when two paths share it",
         {0},
         {"x.diz", "x.nfo", "x.nfo", "x.r00"}},
        {"one zip without content", {3}, {}},
        {"several zips: the paths all of them hold, compared without regard to case", {0, 2}, {"x.diz", "x.nfo"}},
        {"several zips: the paths all three hold", {0, 1, 2}, {"x.diz", "x.nfo"}},
        {"several zips: one of them has no content", {0, 3}, {}},
        {"no zip selected", {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(set.ContentView(row.selected), row.shown);
    }
}

TEST(ZipFiles, SelectionsFromFlagsAndOutOfRangeIndices)
{
    EXPECT_EQ(selectionFromFlags({false, true, false, true}), (ZipSelection {1, 3}));
    EXPECT_TRUE(selectionFromFlags({}).empty());

    ZipSet set = setOf({"a", "b", "c"});
    try {
        set.DeleteZips({0, 3});
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    // A refused selection changes nothing.
    EXPECT_EQ(namesOf(set), (Names {"a", "b", "c"}));
}

TEST(ZipOrder, TheGivenComparisonOrdersZipsAndContentAndDecidesDuplicates)
{
    // Shorter first, then case-insensitive: disk9 before disk10.
    const TextCompare byLength = [](const std::string& a, const std::string& b) {
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
        return compareAsciiNoCase(a, b);
    };
    ZipSet set(byLength);
    set.AddSeries("disk9", 3);
    set.AddZip("DISK10");
    EXPECT_EQ(namesOf(set), (Names {"disk9", "disk10", "disk11"}));

    set.AddFiles({"/bb", "/a", "/AA", "/ccc", "/BB"}, {0});
    EXPECT_EQ(set.entries()[0].content, (Names {"/a", "/AA", "/bb", "/ccc"}));
}

TEST(ZipOrder, AsciiComparisonFoldsLettersOnly)
{
    struct Row {
        std::string a, b;
        int sign;
    };
    const Row rows[] = {
        {"abc", "ABC", 0},   {"abc", "abd", -1}, {"ab", "abc", -1},
        {"b", "A", 1},       {"_", "a", -1}, // '_' (0x5F) sorts before the folded 'a' (0x61)
        {"\xE9", "\xC9", 1},                 // bytes outside ASCII are taken as they are, unsigned
        {"", "", 0},
    };
    for (const Row& row : rows) {
        const int r = compareAsciiNoCase(row.a, row.b);
        EXPECT_EQ((r > 0) - (r < 0), row.sign) << row.a << " vs " << row.b;
    }
}
