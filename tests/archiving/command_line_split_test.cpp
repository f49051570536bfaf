#include "archiving/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pkm::splitCommandLine;
using Words = std::vector<std::string>;

TEST(CommandLineSplit, FollowsTheWindowsRules)
{
    const struct {
        std::string line;
        Words expected;
    } rows[] = {
        {R"("/opt/pak master/rar" a -y -r -m5 -ep1 -v1440 "/out dir/rel.rar" "/in/*.*")",
         {"/opt/pak master/rar", "a", "-y", "-r", "-m5", "-ep1", "-v1440", "/out dir/rel.rar", "/in/*.*"}},
        {R"("/bin/zip" -9 -j "/o/z1.zip" "/v/a.001" )", {"/bin/zip", "-9", "-j", "/o/z1.zip", "/v/a.001"}},
        {"", {}},
        {"  \t ", {}},
        {"  p \t a\tb  ", {"p", "a", "b"}},
        {R"(p a\"b)", {"p", R"(a"b)"}},
        {R"(p a\\"b c")", {"p", R"(a\b c)"}},
        {R"(p a\\\"b)", {"p", R"(a\"b)"}},
        {R"(p a\\b c\)", {"p", R"(a\\b)", R"(c\)"}},
        {R"(p "c:\dir\\" x)", {"p", R"(c:\dir\)", "x"}},
        {R"(p "a""b" c)", {"p", R"(a"b)", "c"}},
        {R"(p "" x)", {"p", "", "x"}},
        {R"(p "")", {"p", ""}},
        {R"(p a"b c"d)", {"p", "ab cd"}},
        {R"(p "open to the end)", {"p", "open to the end"}},
        // The program's name takes no escapes: a backslash before its closing quote stays.
        {R"("C:\dir\"x y)", {R"(C:\dir\x)", "y"}},
        {R"(pro"g ram" arg)", {"prog ram", "arg"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(splitCommandLine(row.line), row.expected) << row.line;
}
