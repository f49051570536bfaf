// The example templates and Release.ini of examples/ generate the NFO and DIZ files a newcomer
// expects: every value at its place, the frame art untouched around it.
#include "platform/file_io.h"
#include "templates/generator.h"
#include "templates/template_store.h"
#include "templates/text_lines.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const std::string kExamples = std::string(PAKMASTER_SOURCE_DIR) + "/examples/";

struct Field {
    int templateLine; // line of the template the field is on
    int start;        // 1-based column
    std::string text; // what the output holds there
};

struct Generated {
    std::vector<std::string> templateLines;
    std::vector<std::string> outputLines;
};

Generated generate(const std::string& cloneKey, bool nfo)
{
    const std::string ini = kExamples + "Release.ini";
    pkm::SectionList nfoSections;
    pkm::SectionList dizSections;
    pkm::LoadSectionLists(ini, nfoSections, dizSections);
    const std::string clone = pkm::ReadMainSetting(ini, cloneKey);
    const auto bytes = pkm::readFileBytes(kExamples + clone);
    EXPECT_TRUE(bytes.has_value()) << clone;
    const pkm::GenerateResult result = pkm::GenerateLines(bytes.value_or(""), nfo ? nfoSections : dizSections);
    EXPECT_TRUE(result.ok()) << result.errorMessage();
    return {pkm::splitTextLines(bytes.value_or("")), pkm::splitTextLines(result.bytes)};
}

// Checks that output line `out` is template line `tmpl` with only the given fields changed.
void expectLineWithFields(const std::string& tmpl, const std::string& out, const std::vector<const Field*>& fields)
{
    ASSERT_EQ(out.size(), tmpl.size()) << out;
    std::set<std::size_t> changed;
    for (const Field* f : fields) {
        EXPECT_EQ(out.substr(static_cast<std::size_t>(f->start - 1), f->text.size()), f->text) << out;
        for (std::size_t i = 0; i < f->text.size(); ++i)
            changed.insert(static_cast<std::size_t>(f->start - 1) + i);
    }
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        if (!changed.count(i)) {
            EXPECT_EQ(out[i], tmpl[i]) << "column " << i + 1 << " of " << out;
        }
    }
}

// Output line of template line n when the memo on `memoLine` took `memoLines` lines.
int outputLineOf(int n, int memoLine, int memoLines)
{
    return n <= memoLine ? n : n + memoLines - 1;
}

} // namespace

TEST(Examples, ReleaseIniNamesTheExampleFiles)
{
    const std::string ini = kExamples + "Release.ini";
    EXPECT_EQ(pkm::ReadMainSetting(ini, "NFO clone"), "clone.nfo");
    EXPECT_EQ(pkm::ReadMainSetting(ini, "NFO output"), "release.nfo");
    EXPECT_EQ(pkm::ReadMainSetting(ini, "DIZ clone"), "clone.diz");
    EXPECT_EQ(pkm::ReadMainSetting(ini, "DIZ output"), "file_id.diz");
    EXPECT_EQ(pkm::ReadMainSetting(ini, "Output dir"), "");
    pkm::SectionList nfo;
    pkm::SectionList diz;
    pkm::LoadSectionLists(ini, nfo, diz);
    EXPECT_EQ(nfo.size(), 8u);
    EXPECT_EQ(diz.size(), 6u);
}

TEST(Examples, TheNfoLogoLettersEachStandInColumnsOfTheirOwn)
{
    // A block-art row shifted against the others joins letters or splits one: the columns
    // blank in all five rows of "PKMASTER" must part exactly eight letters.
    const auto bytes = pkm::readFileBytes(kExamples + "clone.nfo");
    ASSERT_TRUE(bytes.has_value());
    const std::vector<std::string> lines = pkm::splitTextLines(*bytes);
    ASSERT_GE(lines.size(), 7u);
    const std::vector<std::string> logo(lines.begin() + 2, lines.begin() + 7);
    int letters = 0;
    bool inLetter = false;
    for (std::size_t column = 1; column + 1 < logo[0].size(); ++column) {
        bool inked = false;
        for (const std::string& row : logo)
            inked = inked || (column < row.size() && row[column] != ' ');
        letters += inked && !inLetter;
        inLetter = inked;
    }
    EXPECT_EQ(letters, 8);
}

TEST(Examples, NfoKeepsItsFrameAndPutsEveryValueInPlace)
{
    const Generated g = generate("NFO clone", true);
    ASSERT_EQ(g.templateLines.size(), 24u);
    // The notes wrap into three lines at template line 19; the greetings, listed before the
    // notes, still land on the template's line 22.
    const std::vector<Field> fields = {
        {12, 16, "PAKMASTER EXAMPLE RELEASE" + std::string(52 - 25, ' ')},
        {13, 16, "1.0       "},
        {13, 46, "1998-07-14"},
        {14, 16, "  3 x 1.44"},
        {14, 46, "3   "},
        {15, 16, "The Example Crew" + std::string(14, ' ')},
        {22, 11, "    Greetings to everyone who reads the readme    "},
    };
    const std::vector<std::string> notes = {"Unpack the zips into one directory, then extract the",
                                            "first volume with 7-Zip: 7zz x release.7z.001. Read",
                                            "the readme.hlp file before you start. Have fun!"};
    ASSERT_EQ(g.outputLines.size(), g.templateLines.size() + notes.size() - 1);

    for (int n = 1; n <= static_cast<int>(g.templateLines.size()); ++n) {
        SCOPED_TRACE("template line " + std::to_string(n));
        const std::string& tmpl = g.templateLines[static_cast<std::size_t>(n - 1)];
        if (n == 19) {
            for (std::size_t j = 0; j < notes.size(); ++j) {
                const Field memo {19, 8, notes[j] + std::string(54 - notes[j].size(), ' ')};
                expectLineWithFields(tmpl, g.outputLines[18 + j], {&memo});
            }
            continue;
        }
        std::vector<const Field*> onLine;
        for (const Field& f : fields) {
            if (f.templateLine == n)
                onLine.push_back(&f);
        }
        const std::string& out = g.outputLines[static_cast<std::size_t>(outputLineOf(n, 19, 3) - 1)];
        expectLineWithFields(tmpl, out, onLine);
        if (n <= 23) {
            // The double frame: 70 columns, so the preview shows it whole.
            ASSERT_EQ(out.size(), 70u);
            EXPECT_TRUE(std::string("\xC9\xBA\xCC\xC8").find(out.front()) != std::string::npos) << out;
            EXPECT_TRUE(std::string("\xBB\xBA\xB9\xBC").find(out.back()) != std::string::npos) << out;
        }
    }
}

TEST(Examples, DizFitsItsFortyFourColumnBox)
{
    const Generated g = generate("DIZ clone", false);
    ASSERT_EQ(g.templateLines.size(), 7u);
    const std::vector<Field> fields = {
        {2, 3, "        PAKMASTER EXAMPLE RELEASE       "}, // the odd blank on the left
        {4, 7, "1.0       "},
        {4, 30, "1998-07-14"},
        {5, 8, "  3 x 1.44"},
        {5, 29, "3   "},
    };
    const std::vector<std::string> description = {"A short description of the release,",
                                                  "word-wrapped to the forty columns of the", "box."};
    ASSERT_EQ(g.outputLines.size(), 9u);
    for (const std::string& line : g.outputLines)
        EXPECT_EQ(line.size(), 44u) << line;
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE("template line " + std::to_string(n));
        const std::string& tmpl = g.templateLines[static_cast<std::size_t>(n - 1)];
        if (n == 6) {
            for (std::size_t j = 0; j < description.size(); ++j) {
                const Field memo {6, 3, description[j] + std::string(40 - description[j].size(), ' ')};
                expectLineWithFields(tmpl, g.outputLines[5 + j], {&memo});
            }
            continue;
        }
        std::vector<const Field*> onLine;
        for (const Field& f : fields) {
            if (f.templateLine == n)
                onLine.push_back(&f);
        }
        expectLineWithFields(tmpl, g.outputLines[static_cast<std::size_t>(outputLineOf(n, 6, 3) - 1)], onLine);
    }
}
