#include "templates/generator.h"

#include "platform/paths.h"
#include "templates/text_lines.h"
#include "templates/word_wrap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace pkm;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

TParam section(std::uint16_t line, std::uint16_t start, std::uint16_t width, std::string value, bool memo = false,
               std::uint8_t alignment = 0, bool caps = false)
{
    TParam p;
    p.Line = line;
    p.Start = start;
    p.Width = width;
    p.Value = std::move(value);
    p.Style = memo;
    p.Alignment = alignment;
    p.Caps = caps;
    return p;
}

std::string crlf(const Lines& lines)
{
    return joinTextLines(lines);
}

// The output lines of a successful run.
Lines generate(const std::string& templateText, const SectionList& sections)
{
    const GenerateResult result = GenerateLines(templateText, sections);
    EXPECT_TRUE(result.ok()) << result.errorMessage();
    const std::string& bytes = result.bytes;
    EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n"));
    return splitTextLines(bytes);
}

// Template lines "L01 ........ |" and so on, numbered so that a moved line shows where it came from.
std::string numberedTemplate(int count)
{
    Lines lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back((i < 10 ? "L0" : "L") + std::to_string(i) + " ........ |");
    return crlf(lines);
}

} // namespace

TEST(Generator, WorkedExampleByteForByte)
{
    const std::string templ = "+-------------------+\r\n"
                              "| Notes: .........  |\r\n"
                              "| Size : .......... |\r\n"
                              "+-------------------+\r\n";
    const SectionList sections {section(2, 10, 9, "one two three four", true, 0),
                                section(3, 10, 10, "3 x 1.44", false, 1)};
    const GenerateResult result = GenerateLines(templ, sections);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.bytes,
              "+-------------------+\r\n"
              "| Notes: one two    |\r\n"
              "| Notes: three      |\r\n"
              "| Notes: four       |\r\n"
              "| Size :   3 x 1.44 |\r\n"
              "+-------------------+\r\n");
}

TEST(Generator, TrimRemovesControlCharactersAndBlanksAtBothEndsOnly)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},
        {"   ", ""},
        {"  a b  ", "a b"},
        {"\t\r\n\x01x\x1F \x7F", "x\x1F \x7F"}, // DEL (127) is kept
        {"\0\0ab\0"s, "ab"},
        {"\xA0\xDB \xFF", "\xA0\xDB \xFF"}, // bytes above 127 are not blanks
    };
    for (const auto& [text, trimmed] : rows)
        EXPECT_EQ(Trim(text), trimmed) << testing::PrintToString(text);
}

TEST(Generator, AlignToWidthPadsCutsAndCapitalizes)
{
    struct Row {
        std::string text;
        std::uint16_t width;
        std::uint8_t alignment;
        bool caps;
        std::string piece;
    };
    const Row rows[] = {
        {"abc", 6, 0, false, "abc   "},
        {"abc", 6, 1, false, "   abc"},
        {"abc", 6, 2, false, "  abc "}, // odd padding: the extra blank goes on the left
        {"abc", 10, 2, false, "    abc   "},
        {"abcd", 10, 2, false, "   abcd   "},
        {"abc", 3, 1, false, "abc"},
        {"", 4, 0, false, "    "},
        {"", 4, 2, false, "    "},
        {"", 0, 0, false, ""},
        // Longer than the field: the first Width characters, whatever the alignment.
        {"abcdefgh", 5, 0, false, "abcde"},
        {"abcdefgh", 5, 1, false, "abcde"},
        {"abcdefgh", 5, 2, false, "abcde"},
        {"abcdefgh", 5, 9, false, "abcde"},
        {"abcdefgh", 0, 1, false, ""},
        // An alignment outside 0 to 2 adds no padding.
        {"abc", 8, 3, false, "abc"},
        {"abc", 8, 255, true, "ABC"},
        // Caps: a to z only, after padding; digits, signs and accented letters stay.
        {"Mixed Case 123-x\xE9\x82", 20, 1, true, "  MIXED CASE 123-X\xE9\x82"},
        {"abcdefgh", 3, 0, true, "ABC"},
        {"`{az}", 5, 0, true, "`{AZ}"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text + " width " + std::to_string(row.width) + " alignment " + std::to_string(row.alignment));
        EXPECT_EQ(AlignToWidth(row.text, row.width, row.alignment, row.caps), row.piece);
    }
}

TEST(Generator, EditStyleFieldsAtEveryStartAndLineLength)
{
    struct Row {
        const char* what;
        std::string line;
        TParam section;
        std::string result;
    };
    const Row rows[] = {
        {"inside the line", "[.....]", section(1, 2, 5, "ab"), "[ab   ]"},
        {"caps and right", "[.....]", section(1, 2, 5, "ab", false, 1, true), "[   AB]"},
        {"value trimmed first", "[.....]", section(1, 2, 5, " \tab\r\n "), "[ab   ]"},
        {"value cut to width", "[.....]", section(1, 2, 5, "abcdefgh"), "[abcde]"},
        {"empty value fills blanks", "[.....]", section(1, 2, 5, ""), "[     ]"},
        {"line ends inside the field", "[...", section(1, 2, 5, "ab"), "[ab   "},
        {"line ends right before the field", "[", section(1, 2, 3, "ab"), "[ab "},
        {"line ends before the field", "[", section(1, 9, 3, "ab"), "[ab "},
        {"empty line", "", section(1, 5, 3, "ab"), "ab "},
        {"start 0 deletes nothing, piece in front", "[...]", section(1, 0, 3, "ab"), "ab [...]"},
        {"alignment outside 0..2: unpadded", "[.....]xy", section(1, 2, 5, "ab", false, 7), "[ab]xy"},
        {"width 0: nothing deleted nor inserted", "[.....]", section(1, 2, 0, "ab"), "[.....]"},
        {"the whole value is one piece", "[.........]", section(1, 2, 9, "a\r\nb"), "[a\r\nb     ]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const GenerateResult result = GenerateLines(row.line + "\r\n", {row.section});
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.bytes, row.result + "\r\n");
    }
}

TEST(Generator, AFileWithNoSectionsIsTheTemplateWithCrLfLineEnds)
{
    EXPECT_EQ(GenerateLines("a\rb\nc\r\n\r\nd", {}).bytes, "a\r\nb\r\nc\r\n\r\nd\r\n");
    EXPECT_EQ(GenerateLines("a\r\nb\r\n", {}).bytes, "a\r\nb\r\n");
    EXPECT_EQ(GenerateLines("a\r\nb\0c\r\nd"s, {}).bytes, "a\r\nb\r\n");
    EXPECT_EQ(GenerateLines("\xDB\xB0\t\r\n", {}).bytes, "\xDB\xB0\t\r\n");
    const GenerateResult empty = GenerateLines("", {});
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.bytes, "");
}

TEST(Generator, MemoStyleRepeatsTheLineOncePerDisplayedLine)
{
    const std::string templ = crlf({"top", "| x: ....... |", "bottom"});
    EXPECT_EQ(generate(templ, {section(2, 6, 7, "alpha beta gamma", true, 1, true)}),
              (Lines {"top", "| x:   ALPHA |", "| x:    BETA |", "| x:   GAMMA |", "bottom"}));
    // Empty hard lines give fields of blanks; a final line break adds no copy.
    EXPECT_EQ(generate(templ, {section(2, 6, 7, "a\r\n\r\nb\r\n", true)}),
              (Lines {"top", "| x: a       |", "| x:         |", "| x: b       |", "bottom"}));
    // Lone CR and LF break lines too, leading blanks are trimmed away, a long word is cut.
    EXPECT_EQ(generate(templ, {section(2, 6, 7, "   a\nb\rabcdefghij", true)}),
              (Lines {"top", "| x: a       |", "| x: b       |", "| x: abcdefg |", "| x: hij     |", "bottom"}));
    // One displayed line: the line is filled as an edit-style one would be.
    EXPECT_EQ(generate(templ, {section(2, 6, 7, "short", true)}), (Lines {"top", "| x: short   |", "bottom"}));
}

TEST(Generator, EmptyMemoValueLeavesTheTemplateLineAsItWas)
{
    const std::string templ = crlf({"top", "| x: ....... |", "bottom"});
    for (const std::string& value : {""s, "\0abc"s}) {
        EXPECT_EQ(generate(templ, {section(2, 6, 7, value, true), section(3, 1, 1, "B")}),
                  (Lines {"top", "| x: ....... |", "Bottom"}));
    }
    // An edit-style section with an empty value, for comparison, blanks its field.
    EXPECT_EQ(generate(templ, {section(2, 6, 7, "", false)}), (Lines {"top", "| x:         |", "bottom"}));
}

TEST(Generator, MemoSectionMovesLaterLinesWhateverTheListOrder)
{
    const std::string templ = numberedTemplate(12);
    const TParam memo = section(5, 5, 8, "one\r\ntwo\r\nthree", true); // three displayed lines
    const TParam later = section(9, 5, 8, "nine");
    const TParam earlier = section(3, 5, 8, "three");

    for (const SectionList& sections : {SectionList {memo, later, earlier}, SectionList {later, earlier, memo}}) {
        const Lines out = generate(templ, sections);
        ASSERT_EQ(out.size(), 14u);
        EXPECT_EQ(out[2], "L03 three    |");
        EXPECT_EQ(out[4], "L05 one      |");
        EXPECT_EQ(out[5], "L05 two      |");
        EXPECT_EQ(out[6], "L05 three    |");
        EXPECT_EQ(out[7], "L06 ........ |");
        EXPECT_EQ(out[10], "L09 nine     |"); // template line 9 is output line 11
        EXPECT_EQ(out[13], "L12 ........ |");
    }
}

TEST(Generator, TwoMemoSectionsAddTheirLinesUp)
{
    const std::string templ = numberedTemplate(10);
    const SectionList sections {section(8, 5, 3, "x", false), section(2, 5, 3, "a\r\nb\r\nc", true),
                                section(6, 5, 3, "d\r\ne", true), section(4, 5, 3, "y", false),
                                section(10, 5, 3, "z", false)};
    const Lines out = generate(templ, sections);
    ASSERT_EQ(out.size(), 13u);
    EXPECT_EQ(out[1], "L02 a  ..... |");
    EXPECT_EQ(out[2], "L02 b  ..... |");
    EXPECT_EQ(out[3], "L02 c  ..... |");
    EXPECT_EQ(out[5], "L04 y  ..... |");
    EXPECT_EQ(out[7], "L06 d  ..... |");
    EXPECT_EQ(out[8], "L06 e  ..... |");
    EXPECT_EQ(out[10], "L08 x  ..... |");
    EXPECT_EQ(out[12], "L10 z  ..... |");
}

TEST(Generator, SectionsSharingAMemoLineShowOnEveryCopyOnlyWhenTheyComeFirst)
{
    const std::string templ = crlf({"[....|....]"});
    const TParam memo = section(1, 2, 4, "aaaa bbbb cccc", true);
    const TParam other = section(1, 7, 4, "zz", false, 1);
    EXPECT_EQ(generate(templ, {other, memo}), (Lines {"[aaaa|  zz]", "[bbbb|  zz]", "[cccc|  zz]"}));
    EXPECT_EQ(generate(templ, {memo, other}), (Lines {"[aaaa|  zz]", "[bbbb|....]", "[cccc|....]"}));
}

TEST(Generator, LineThatNamesNoLineFailsWithItsZeroBasedIndex)
{
    const std::string templ = crlf({"one", "two", "three"});
    struct Row {
        SectionList sections;
        long long index;
    };
    const Row rows[] = {
        {{section(0, 1, 1, "x")}, -1},
        {{section(4, 1, 1, "x")}, 3},
        {{section(1, 1, 1, "x"), section(65535, 1, 1, "x")}, 65534},
        // After a memo section added two lines, line 5 exists, line 6 does not (a section
        // after the memo line moves with it, so the failing index is the moved one).
        {{section(1, 1, 1, "a b c", true), section(4, 1, 1, "x")}, 5},
        {{section(2, 1, 1, "a b c", true), section(1, 1, 1, "x", true), section(6, 1, 1, "y")}, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        const GenerateResult result = GenerateLines(templ, row.sections);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.badLineIndex, row.index);
        EXPECT_EQ(result.bytes, "");
        EXPECT_EQ(result.errorMessage(), "List index out of bounds (" + std::to_string(row.index) + ")");
    }
    // An empty template has no line for any section.
    EXPECT_EQ(GenerateLines("", {section(1, 1, 1, "x")}).badLineIndex, 0);
    EXPECT_EQ(GenerateLines("\0abc"s, {section(1, 1, 1, "x")}).badLineIndex, 0);
    // The last line repeated by a memo section: a later section on that line stays in range.
    const GenerateResult last = GenerateLines(templ, {section(3, 1, 1, "a b c", true), section(3, 1, 1, "x")});
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.bytes, crlf({"one", "two", "xhree", "bhree", "chree"}));
}

TEST(Generator, FilesBeyondTheBoundAreRefusedBeforeTheyAreBuilt)
{
    // A memo-style section of width 1 repeats its line once per character of its value: 64
    // copies of a line of n characters make 64 * (n + 2) bytes.
    const TParam repeat64 = section(1, 1, 1, std::string(64, 'x'), true);
    const auto lineOf = [](std::size_t n) { return crlf({std::string(n, '.')}); };
    const GenerateResult atTheBound = GenerateLines(lineOf(kGeneratedFileLimit / 64 - 2), {repeat64});
    ASSERT_TRUE(atTheBound.ok());
    EXPECT_EQ(atTheBound.bytes.size(), kGeneratedFileLimit);

    struct Row {
        const char* what;
        std::string templ;
        SectionList sections;
    };
    const Row rows[] = {
        {"one byte more", lineOf(kGeneratedFileLimit / 64 - 1), {repeat64}},
        // A 1 MiB line and two memo-style sections of width 1 would make 2 GB.
        {"the long line repeated twice over",
         lineOf(1u << 20),
         {section(1, 1, 1, std::string(1023, 'x'), true), section(1, 2, 1, std::string(1023, 'y'), true)}},
        {"a template already beyond it", std::string(kGeneratedFileLimit - 1, '.'), {}},
        // Each edit of a line of 4 MiB less its CR LF builds it again: eight fit the work bound.
        {"a ninth copy of the longest line", lineOf(kGeneratedFileLimit - 2), SectionList(9, section(1, 1, 1, "x"))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const GenerateResult result = GenerateLines(row.templ, row.sections);
        EXPECT_TRUE(result.tooLarge);
        EXPECT_FALSE(result.ok());
        EXPECT_FALSE(result.badLineIndex.has_value());
        EXPECT_EQ(result.bytes, "");
    }
    EXPECT_TRUE(GenerateLines(lineOf(kGeneratedFileLimit - 2), SectionList(8, section(1, 1, 1, "x"))).ok());
    // A line that names no line fails as such, whatever comes after it.
    EXPECT_EQ(GenerateLines(lineOf(10), {section(2, 1, 1, "x"), repeat64}).badLineIndex, 1);
}

TEST(Generator, TheCallersSectionsAreNeverChanged)
{
    const SectionList sections {section(1, 1, 2, "a b c", true), section(2, 1, 2, "x"),
                                section(9, 1, 2, "out of range")};
    const SectionList before = sections;
    GenerateLines(crlf({"..", ".."}), sections);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        EXPECT_EQ(sections[i].Line, before[i].Line);
        EXPECT_EQ(sections[i].Value, before[i].Value);
    }
}

TEST(Generator, LinesMovedPastSixteenBitsStillNameTheirOwnLine)
{
    Lines lines(65540, ".");
    lines[65534] = "last section's line";
    const SectionList sections {section(1, 1, 1, "a b c d e", true), section(65535, 1, 1, "X")};
    const Lines out = generate(crlf(lines), sections);
    ASSERT_EQ(out.size(), 65544u);
    EXPECT_EQ(out[0], "a");
    EXPECT_EQ(out[4], "e");
    EXPECT_EQ(out[5], ".");                       // line 1 was not overlaid a second time
    EXPECT_EQ(out[65538], "Xast section's line"); // template line 65535, moved down by four
}

TEST(Generator, PathsFollowTheTemplateAndOutputRules)
{
    const std::string sep(1, kPathSeparator);
    const std::string program = sep + "opt" + sep + "pkm" + sep;
    EXPECT_EQ(TemplatePath(program, "clone.nfo"), program + "clone.nfo");
    EXPECT_EQ(TemplatePath(program, "art" + sep + "clone.nfo"), program + "art" + sep + "clone.nfo");
    EXPECT_EQ(TemplatePath(sep + "opt" + sep + "pkm", "c.nfo"), program + "c.nfo");
    EXPECT_EQ(TemplatePath(program, ""), program);

    const std::string out = sep + "out";
    EXPECT_EQ(OutputPath(program, out, "rel.nfo"), out + sep + "rel.nfo");
    EXPECT_EQ(OutputPath(program, out + sep, "rel.nfo"), out + sep + "rel.nfo");
    EXPECT_EQ(OutputPath(program, "", "rel.nfo"), program + "rel.nfo");
    EXPECT_EQ(OutputPath(program, out, ""), out + sep);
}

namespace {

// Generation done the obvious way: a vector of lines, edited in place, all records shifted.
GenerateResult referenceGenerate(const std::string& templ, SectionList sections)
{
    Lines lines = splitTextLines(templ);
    for (TParam& s : sections) {
        if (s.Line == 0 || s.Line > lines.size())
            return GenerateResult {"", static_cast<long long>(s.Line) - 1};
        std::string old = lines[s.Line - 1];
        std::string base = old;
        if (s.Start >= 1 && s.Start <= base.size())
            base.erase(s.Start - 1, s.Width);
        const auto fill = [&](const std::string& piece) {
            std::string line = base;
            if (!piece.empty())
                line.insert(s.Start == 0 ? 0 : std::min<std::size_t>(s.Start - 1, line.size()), piece);
            return line;
        };
        lines.erase(lines.begin() + (s.Line - 1));
        if (!s.Style) {
            lines.insert(lines.begin() + (s.Line - 1), fill(AlignToWidth(Trim(s.Value), s.Width, s.Alignment, s.Caps)));
            continue;
        }
        const Lines shown = wrapDisplayLines(s.Value, s.Width);
        if (shown.empty()) {
            lines.insert(lines.begin() + (s.Line - 1), old);
            continue;
        }
        for (std::size_t j = 0; j < shown.size(); ++j)
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(s.Line - 1 + j),
                         fill(AlignToWidth(Trim(shown[j]), s.Width, s.Alignment, s.Caps)));
        const std::uint16_t line = s.Line;
        for (TParam& other : sections) {
            if (other.Line > line)
                other.Line = static_cast<std::uint16_t>(other.Line + shown.size() - 1);
        }
    }
    return GenerateResult {joinTextLines(lines), std::nullopt};
}

} // namespace

TEST(Generator, AgreesWithAPlainLineVectorOverManyRandomTemplates)
{
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* words[] = {"a", "bb", "ccc", "dddd", "eeeeeee", " ", "  ", "\r\n", "\n"};
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        Lines lines(static_cast<std::size_t>(pick(25)));
        for (std::string& line : lines)
            line = std::string(static_cast<std::size_t>(pick(14)), static_cast<char>('0' + pick(10)));
        const std::string templ = joinTextLines(lines);
        SectionList sections(static_cast<std::size_t>(pick(12)));
        for (TParam& s : sections) {
            // Now and then a line that does not exist (yet), mostly one that does.
            s.Line = static_cast<std::uint16_t>(pick(40) == 0 ? pick(static_cast<int>(lines.size()) + 12)
                                                              : 1 + pick(static_cast<int>(lines.size()) + 1));
            s.Start = static_cast<std::uint16_t>(pick(16));
            s.Width = static_cast<std::uint16_t>(pick(7));
            s.Style = pick(2) == 1;
            s.Alignment = static_cast<std::uint8_t>(pick(4));
            s.Caps = pick(2) == 1;
            for (int w = pick(8); w > 0; --w)
                s.Value += words[pick(std::size(words))];
        }
        SCOPED_TRACE(round);
        const GenerateResult expected = referenceGenerate(templ, sections);
        const GenerateResult actual = GenerateLines(templ, sections);
        ASSERT_EQ(actual.badLineIndex, expected.badLineIndex);
        ASSERT_EQ(actual.bytes, expected.bytes);
        failures += expected.ok() ? 0 : 1;
    }
    // Both outcomes must have been exercised for the comparison to mean anything.
    EXPECT_GT(failures, 100);
    EXPECT_LT(failures, 2000);
}
