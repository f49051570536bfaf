#include "platform/errors.h"

#include <gtest/gtest.h>

#include <string>

using pkm::exitCodeText;

TEST(ExitCodeText, EndsWithOnePeriod)
{
    EXPECT_EQ(exitCodeText(2), "No such file or directory.");
    EXPECT_EQ(exitCodeText(22), "Invalid argument.");
    EXPECT_EQ(exitCodeText(13), "Permission denied.");
    const std::string unknown = exitCodeText(300);
    EXPECT_EQ(unknown.back(), '.');
    EXPECT_NE(unknown[unknown.size() - 2], '.');
    EXPECT_NE(unknown.find("300"), std::string::npos);
}
