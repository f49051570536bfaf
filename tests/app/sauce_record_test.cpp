// The SAUCE record at the end of an NFO: left out with its comment block and end-of-file byte,
// and only when it is one.
#include "app/sauce_record.h"

#include <gtest/gtest.h>

#include <string>

using namespace pkm;

namespace {

std::string record(unsigned char comments)
{
    std::string r = "SAUCE00Title";
    r.resize(128, ' ');
    r[104] = static_cast<char>(comments);
    return r;
}

} // namespace

TEST(SauceRecord, TheRecordItsCommentsAndTheEndOfFileByteAreLeftOut)
{
    const std::string art = "\xDB\xDB art\r\n";
    const std::string comments = "COMNT" + std::string(64, 'a') + std::string(64, 'b');
    const struct {
        std::string file;
        std::string text;
    } cases[] = {
        {art + '\x1A' + record(0), art},
        {art + '\x1A' + comments + record(2), art},
        {'\x1A' + record(0), ""},
        // A comment count that does not lead to "COMNT": the record alone goes.
        {art + comments + '\x1A' + record(1), art + comments},
        // No end-of-file byte, or not at the end, or shorter than a record: text as it is.
        {art + record(0), art + record(0)},
        {art + '\x1A' + record(0) + "x", art + '\x1A' + record(0) + "x"},
        {art + '\x1A' + record(0).substr(0, 127), art + '\x1A' + record(0).substr(0, 127)},
        {"SAUCE00", "SAUCE00"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(WithoutSauce(c.file), c.text);
    }
}
