// Editing a section list: where new sections go, what is selected after a deletion, moves, and
// the first line of a value shown and typed over.
#include "templates/section_list.h"

#include <gtest/gtest.h>

using namespace pkm;

namespace {

SectionList named(std::initializer_list<const char*> names)
{
    SectionList list;
    for (const char* name : names) {
        list.emplace_back();
        list.back().Name = name;
    }
    return list;
}

std::string names(const SectionList& list)
{
    std::string out;
    for (const TParam& s : list)
        out += s.Name + ";";
    return out;
}

} // namespace

TEST(SectionList, NewSectionsGoAfterTheSelectionInTheCreatorAndBeforeItOnThePage)
{
    EXPECT_EQ(creatorInsertPosition(-1), 0u);
    EXPECT_EQ(creatorInsertPosition(1), 2u);
    EXPECT_EQ(pageInsertPosition(-1, 3), 3u);
    EXPECT_EQ(pageInsertPosition(1, 3), 1u);
    SectionList list = named({"a", "b"});
    list[0].Value = "kept";
    insertNewSection(list, 1);
    EXPECT_EQ(names(list), "a;Default name;b;");
    EXPECT_EQ(list[1].Width, 1);
    EXPECT_EQ(list[0].Value, "kept");
    EXPECT_EQ(sectionNameOrDefault(""), "Default name");
    EXPECT_EQ(sectionNameOrDefault("Title"), "Title");
}

TEST(SectionList, ADeletionSelectsTheNextSectionOrTheNewLastOne)
{
    const struct {
        std::size_t index;
        int selected;
        const char* left;
    } rows[] = {{0, 0, "b;c;"}, {1, 1, "a;c;"}, {2, 1, "a;b;"}};
    for (const auto& row : rows) {
        SectionList list = named({"a", "b", "c"});
        EXPECT_EQ(removeSection(list, row.index), row.selected) << row.index;
        EXPECT_EQ(names(list), row.left) << row.index;
    }
    SectionList one = named({"a"});
    EXPECT_EQ(removeSection(one, 0), -1);
    EXPECT_TRUE(one.empty());

    SectionList list = named({"a", "b", "c", "d"});
    moveSection(list, 0, 2);
    EXPECT_EQ(names(list), "b;c;a;d;");
    moveSection(list, 3, 0);
    EXPECT_EQ(names(list), "d;b;c;a;");
}

TEST(SectionList, TheValueBoxShowsTheFirstLineAndTypingKeepsTheRest)
{
    EXPECT_EQ(firstValueLine("one\r\ntwo\r\nthree"), "one");
    EXPECT_EQ(firstValueLine("single"), "single");
    EXPECT_EQ(withFirstValueLine("one\r\ntwo", "ONE"), "ONE\r\ntwo");
    EXPECT_EQ(withFirstValueLine("one", "typed"), "typed");
    EXPECT_EQ(withFirstValueLine("\r\nsecond", ""), "\r\nsecond");
}
