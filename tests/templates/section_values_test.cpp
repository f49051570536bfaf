// Values given by name to the sections they fill: a one-line section refuses a line break and
// cuts a value longer than its field, as the generator would show it.
#include "templates/section_values.h"

#include "templates/generator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pkm;

namespace {

TParam section(const std::string& name, std::uint16_t width, bool memo)
{
    TParam s;
    s.Name = name;
    s.Line = 1;
    s.Start = 1;
    s.Width = width;
    s.Style = memo;
    return s;
}

} // namespace

TEST(SectionValues, AOneLineSectionRefusesALineBreakAndNamesACutValue)
{
    // "Version" is one line of 5 on the NFO and of 3 on the DIZ; "Notes" wraps.
    const SectionList sections = {section("Version", 5, false), section("Notes", 4, true), section("Version", 3, false),
                                  section("Title", 10, false)};
    const auto value = [](const char* name, const char* utf8) {
        const std::string text = std::string(name) + "=" + utf8;
        return *ParseNamedValue(text);
    };
    struct Case {
        const char* what;
        std::vector<NamedValue> values;
        std::vector<ValueNotice> notices;
    };
    const Case cases[] = {
        {"fits", {value("Version", "1.0"), value("Title", "Pakmaster")}, {}},
        {"a line break, LF or CR",
         {value("Version", "1\n2"), value("Title", "a\rb")},
         {{0, ValueProblem::LineBreak, 5}, {1, ValueProblem::LineBreak, 10}}},
        {"line ends the generator trims away", {value("Version", "\n1.0\n")}, {}},
        {"longer than the narrower field", {value("Version", "2.10")}, {{0, ValueProblem::TooLong, 3}}},
        {"longer than both", {value("Version", "2.1.10")}, {{0, ValueProblem::TooLong, 3}}},
        {"blanks the generator trims away", {value("Version", "  1.0  ")}, {}},
        {"a memo-style section wraps", {value("Notes", "one two three\nfour")}, {}},
        {"a later value wins", {value("Version", "1\n2"), value("Version", "1")}, {}},
        {"an earlier value is overridden",
         {value("Version", "1"), value("Version", "1\n2")},
         {{1, ValueProblem::LineBreak, 5}}},
        {"no section of that name", {value("Other", "1\n2")}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckSectionValues(sections, c.values), c.notices);
    }

    // What the notice says is what the generator does with the value.
    const SectionList diz = {section("Version", 3, false)};
    SectionList nfo;
    SectionList set = diz;
    ASSERT_FALSE(SetSectionValues(nfo, set, {value("Version", "2.10")}));
    const GenerateResult generated = GenerateLines("...\r\n", set);
    EXPECT_EQ(generated.bytes, "2.1\r\n");
}
