#include "platform/file_name_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using pkm::fileNameDecode;
using pkm::fileNameEncode;

TEST(FileNameCodec, ValidUtf8ReadsAsItsCharacters)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } rows[] = {
        {"release/disk01.zip", u"release/disk01.zip"}, {"caf\xC3\xA9", u"caf\u00E9"},
        {"\xE2\x95\x94\xE2\x95\x90", u"\u2554\u2550"}, {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"\xF0\x90\x82\x80", u"\U00010080"}, // its second half lies among the escapes
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},           {"", u""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fileNameDecode(row.bytes), row.text) << row.bytes;
        EXPECT_EQ(fileNameEncode(row.text), row.bytes) << row.bytes;
    }
}

TEST(FileNameCodec, BytesThatAreNotUtf8AreKeptOneByOne)
{
    const struct {
        std::string bytes;
        std::u16string text;
    } rows[] = {
        {"cl\xE9.nfo", u"cl\xDCE9.nfo"},                   // Latin-1
        {"\x80", u"\xDC80"},                               // a lone continuation byte
        {"\xC3", u"\xDCC3"},                               // cut short at the end
        {"\xC3(", u"\xDCC3("},                             // cut short by another character
        {"\xC0\x80", u"\xDCC0\xDC80"},                     // overlong NUL
        {"\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},           // overlong '/'
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},           // an encoded surrogate
        {"\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},           // ... one that looks like an escape
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"}, // beyond U+10FFFF
        {"\xFF\xFE", u"\xDCFF\xDCFE"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fileNameDecode(row.bytes), row.text);
        EXPECT_EQ(fileNameEncode(row.text), row.bytes);
    }
}

TEST(FileNameCodec, EveryByteStringComesBackWhole)
{
    std::mt19937 random(7);
    // Bytes drawn mostly from the ranges where UTF-8 sequences begin and continue.
    const std::string alphabet = "a/\x80\x9F\xA0\xBF\xC2\xC3\xDF\xE0\xED\xEF\xF0\xF4\xF5\xFF";
    for (int n = 0; n < 20000; ++n) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes)
            c = random() % 4 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
        ASSERT_EQ(fileNameEncode(fileNameDecode(bytes)), bytes);
    }
}

TEST(FileNameCodec, TypedLoneSurrogatesBecomeQuestionMarks)
{
    EXPECT_EQ(fileNameEncode(u"a\xD800"), "a?");
    EXPECT_EQ(fileNameEncode(u"\xD800"
                             u"b"),
              "?b");
    EXPECT_EQ(fileNameEncode(u"\xDC41"), "?"); // a low surrogate outside the escapes
    EXPECT_EQ(fileNameEncode(u"\xDD00"), "?");
}
