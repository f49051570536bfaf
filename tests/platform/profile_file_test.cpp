#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <random>

#include <optional>
#include <string>
#include <vector>

#include "tests/platform/profile_fixtures.h"

using namespace pkm;
using namespace std::string_literals;

namespace {

std::string alphabetRun(std::size_t n)
{
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<char>('a' + i % 26);
    return s;
}

} // namespace

TEST(ProfileReader, ReadingRulesHoldForEveryLineEnd)
{
    struct Row {
        const char* section;
        const char* key;
        std::optional<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"Rules", "Plain", "value"},
        {"rules", "PLAIN", "value"}, // names match without regard to case; the first [Rules] counts
        {"Rules", "Spaced", "padded value"},
        {"Rules", "Tabbed", "tab and vt"},
        {"Rules", "case", "upper key"},
        {"Rules", "DoubleQuoted", "  keeps inner blanks  "},
        {"Rules", "SingleQuoted", "single"},
        {"Rules", "Mixed", "\"not stripped'"},
        {"Rules", "LoneQuote", "\""},
        {"Rules", "TwoQuotes", ""},
        {"Rules", "Equals", "a=b=c"},
        {"Rules", "Empty", ""},
        {"Rules", "Dup", "first"},
        {"Rules", "NoEqualsLine", std::nullopt},
        {"Rules", ";Commented", std::nullopt},
        {"Rules", "Commented", std::nullopt},
        {"Rules", "; IndentedComment", std::nullopt},
        {"Rules", "Extra", std::nullopt}, // only in the second [rules]
        {"Rules", "orphan", std::nullopt},
        {"", "orphan", std::nullopt},
        {"Spaced Name", "Key", "in spaced name"},
        {"Brackets]]x", "Key", "in brackets"},
        {"Brackets", "Key", std::nullopt},
        {"Brackets]]x", "[Open", "key of Brackets"},
        {"Unclosed", "[Open", std::nullopt},
        {"Long", "Value", alphabetRun(1023)},
        {"Long", "Exact", std::string(1023, 'e')},
        {"Long", "Quoted", std::string(1023, 'q')},
        {"Missing", "Plain", std::nullopt},
    };
    for (const LineEndVariant& variant : lineEndVariants(readProfileFixture("reading_rules.ini"))) {
        SCOPED_TRACE(variant.name);
        const ProfileFile file = ProfileFile::parse(variant.bytes);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.section) + " / " + row.key);
            EXPECT_EQ(file.findString(row.section, row.key), row.expected);
        }
        EXPECT_EQ(file.sectionNames(),
                  (std::vector<std::string> {"Rules", "Spaced Name", "Brackets]]x", "rules", "Long"}));
        EXPECT_EQ(file.listedSectionNames(), file.sectionNames());
        EXPECT_FALSE(file.hasSection("Unclosed"));
        EXPECT_EQ(file.readString("Rules", "NoEqualsLine", "fallback"), "fallback");
        EXPECT_EQ(file.readString("Rules", "Empty", "fallback"), "");
        // Serialized again, the file is the CR LF fixture.
        EXPECT_EQ(file.serialize(), readProfileFixture("reading_rules.ini"));
    }
}

TEST(ProfileReader, RunsOfLineEndsAndMissingFinalLineEnd)
{
    const ProfileFile file = ProfileFile::parse("\n\r\r\n[A]\n\r\nk=1\r\r[B]\rk=2");
    EXPECT_EQ(file.findString("A", "k"), "1");
    EXPECT_EQ(file.findString("B", "k"), "2");
    EXPECT_TRUE(ProfileFile::parse("").sectionNames().empty());
    EXPECT_EQ(ProfileFile::parse("").serialize(), "");
}

TEST(ProfileWriter, EditsKeepTheRestOfTheFile)
{
    struct Row {
        const char* what;
        std::string before;
        std::string section, key, value; // key empty: erase the section
        std::string after;
    };
    const std::vector<Row> rows = {
        {"replace in place, key keeps its spelling", "[A]\r\n  Key = 1 \r\nOther=2\r\n", "a", "KEY", "9",
         "[A]\r\nKey=9\r\nOther=2\r\n"},
        {"first of duplicate keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "3", "[A]\r\nk=3\r\nk=2\r\n"},
        {"append after the section's last non-blank line", "[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\n", "A", "y", "2",
         "[A]\r\nx=1\r\n; note\r\ny=2\r\n\r\n[B]\r\n"},
        {"append to an empty section", "[A]\r\n[B]\r\n", "A", "y", "", "[A]\r\ny=\r\n[B]\r\n"},
        {"first of duplicate sections", "[A]\r\n[a]\r\nk=1\r\n", "A", "k", "2", "[A]\r\nk=2\r\n[a]\r\nk=1\r\n"},
        {"new section at the end, LF file", "x=0\n[A]\nk=1", "New", "k", "v", "x=0\r\n[A]\r\nk=1\r\n[New]\r\nk=v\r\n"},
        {"lines before the first section are no section", "k=1\r\n", "", "k", "2", "k=1\r\n[]\r\nk=2\r\n"},
        {"line breaks in a value cannot start lines", "", "A", "k", "a\r\n[Evil]\nb=c", "[A]\r\nk=a  [Evil] b=c\r\n"},
        {"a value ends at NUL", "", "A", "k", "ab\0cd"s, "[A]\r\nk=ab\r\n"},
        {"erase up to the next header", "pre=1\r\n[A]\r\nk=1\r\n; c\r\n\r\n[B]\r\nk=2\r\n", "a", "", "",
         "pre=1\r\n[B]\r\nk=2\r\n"},
        {"erase the first of duplicates", "[A]\r\nk=1\r\n[B]\r\n[A]\r\nk=3\r\n", "A", "", "", "[B]\r\n[A]\r\nk=3\r\n"},
        {"erase the last section", "[A]\r\nk=1\r\n[B]\r\nk=2", "B", "", "", "[A]\r\nk=1\r\n"},
        {"erase a missing section", "[A]\n", "B", "", "", "[A]\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ProfileFile file = ProfileFile::parse(row.before);
        if (row.key.empty())
            file.eraseSection(row.section);
        else
            file.writeString(row.section, row.key, row.value);
        EXPECT_EQ(file.serialize(), row.after);
    }
}

TEST(ProfileWriter, WrittenValuesReadBackAfterLaterEdits)
{
    ProfileFile file;
    file.writeString("A", "one", "1");
    file.writeString("B", "two", "2");
    file.writeString("A", "three", "3"); // shifts section B down
    file.eraseSection("A");
    file.writeString("A", "four", "4");
    EXPECT_EQ(file.findString("B", "two"), "2");
    EXPECT_EQ(file.findString("A", "one"), std::nullopt);
    EXPECT_EQ(file.findString("A", "four"), "4");
    EXPECT_EQ(file.serialize(), "[B]\r\ntwo=2\r\n[A]\r\nfour=4\r\n");
}

TEST(ProfileSectionNames, BufferIsFilledWhileNamesFitThenCutToEndWithTwoNuls)
{
    const std::vector<std::string> names = {"abc", "de", "fghij"};
    struct Row {
        std::size_t size;
        std::string buffer;
        std::vector<std::string> listed;
    };
    const std::vector<Row> rows = {
        {100, "abc\0de\0fghij\0\0"s, {"abc", "de", "fghij"}},
        {15, "abc\0de\0fghij\0\0"s, {"abc", "de", "fghij"}},
        {14, "abc\0de\0fghij\0\0"s, {"abc", "de", "fghij"}}, // exactly full: the last name whole
        {13, "abc\0de\0fghi\0\0"s, {"abc", "de", "fghi"}},
        {10, "abc\0de\0f\0\0"s, {"abc", "de", "f"}},
        {9, "abc\0de\0\0\0"s, {"abc", "de"}}, // cut to nothing: not seen
        {8, "abc\0de\0\0"s, {"abc", "de"}},
        {7, "abc\0d\0\0"s, {"abc", "d"}},
        {2, "\0\0"s, {}},
        {1, "\0"s, {}},
        {0, ""s, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        const std::string buffer = sectionNamesBuffer(names, row.size);
        EXPECT_EQ(buffer, row.buffer);
        EXPECT_LE(buffer.size(), row.size);
        EXPECT_EQ(namesFromBuffer(buffer), row.listed);
    }
    EXPECT_EQ(sectionNamesBuffer({}, 10), "\0"s);
    EXPECT_EQ(sectionNamesBuffer({"a", "", "b"}, 10), "a\0b\0\0"s);
}

TEST(ProfileSectionNames, LongFileListsOnlyWhatFitsInEightKilobytes)
{
    // 100 names of 99 characters: each takes 100 bytes, so 81 fit whole in 8191 bytes and the
    // 82nd is cut to the 90 characters that leave room for the two final NULs.
    std::string text;
    std::vector<std::string> names;
    for (int i = 1; i <= 100; ++i) {
        std::string name = "Section " + std::to_string(i) + " ";
        name.resize(99, '-');
        names.push_back(name);
        text += "[" + name + "]\nName=n" + std::to_string(i) + "\n";
    }
    const ProfileFile file = ProfileFile::parse(text);
    EXPECT_EQ(file.sectionNames(), names);
    const std::vector<std::string> listed = file.listedSectionNames();
    ASSERT_EQ(listed.size(), 82u);
    EXPECT_EQ(std::vector<std::string>(listed.begin(), listed.begin() + 81),
              std::vector<std::string>(names.begin(), names.begin() + 81));
    EXPECT_EQ(listed[81], names[81].substr(0, 90));
    EXPECT_EQ(sectionNamesBuffer(names, kSectionNamesBufferSize).size(), kSectionNamesBufferSize);
    // Lookups by name are not limited by the list.
    EXPECT_EQ(file.findString(names[99], "name"), "n100");
}

TEST(ProfileWriter, SectionsAppendedOneAfterAnotherStayFindable)
{
    // A save appends every record as a new section at the end; the header lookup must see each
    // one, and a written key whose text reads as a header must count as a header too.
    ProfileFile file = ProfileFile::parse("[Main]\r\nx=1\r\n");
    EXPECT_EQ(file.findString("Main", "x"), "1"); // the lookup index is built here
    for (int i = 1; i <= 50; ++i) {
        const std::string section = "Section " + std::to_string(i);
        file.writeString(section, "Name", "n" + std::to_string(i));
        file.writeString(section, "Line", std::to_string(i));
    }
    file.writeString("Tail", "[Hidden]", "v"); // the line "[Hidden]=v" opens a section
    file.writeString("Main", "y", "2");        // inserted before every appended header
    for (int i = 1; i <= 50; ++i) {
        const std::string section = "section " + std::to_string(i);
        EXPECT_EQ(file.findString(section, "Name"), "n" + std::to_string(i)) << section;
        EXPECT_EQ(file.findString(section, "Line"), std::to_string(i)) << section;
    }
    EXPECT_TRUE(file.hasSection("Hidden"));
    EXPECT_EQ(file.findString("Main", "y"), "2");
    EXPECT_EQ(ProfileFile::parse(file.serialize()).sectionNames(), file.sectionNames());
}

TEST(ProfileWriter, ErasingSeveralSectionsAtOnceMatchesErasingThemOneByOne)
{
    std::mt19937 random(11);
    const std::vector<std::string> names {"Main", "main", "Section 1", "SECTION 1", "Section 2", "Options", "x"};
    for (int round = 0; round < 300; ++round) {
        std::string text = "orphan=1\r\n";
        const int sections = static_cast<int>(random() % 8);
        for (int i = 0; i < sections; ++i) {
            text += "[" + names[random() % names.size()] + "]\r\n";
            for (int k = static_cast<int>(random() % 3); k > 0; --k)
                text += "key" + std::to_string(k) + "=v" + std::to_string(i) + "\r\n";
        }
        std::vector<std::string> erase;
        for (int i = static_cast<int>(random() % 6); i > 0; --i)
            erase.push_back(names[random() % names.size()]);

        pkm::ProfileFile oneByOne = pkm::ProfileFile::parse(text);
        for (const std::string& name : erase)
            oneByOne.eraseSection(name);
        pkm::ProfileFile atOnce = pkm::ProfileFile::parse(text);
        atOnce.eraseSections(erase);
        ASSERT_EQ(atOnce.serialize(), oneByOne.serialize()) << text;
        // The index still finds what is left.
        for (const std::string& name : names)
            EXPECT_EQ(atOnce.hasSection(name), oneByOne.hasSection(name));
    }
}
