#include "app/sauce_record.h"

#include <cstddef>

namespace pkm {

namespace {

constexpr std::size_t kRecordSize = 128;
constexpr std::size_t kCommentsField = 104; // the number of comment lines, one byte
constexpr std::size_t kCommentLineSize = 64;
constexpr std::string_view kCommentId = "COMNT";
constexpr char kEndOfFile = '\x1A';

} // namespace

std::string_view WithoutSauce(std::string_view bytes)
{
    if (bytes.size() < kRecordSize + 1)
        return bytes;
    std::size_t start = bytes.size() - kRecordSize;
    const std::string_view record = bytes.substr(start);
    if (!record.starts_with("SAUCE00"))
        return bytes;
    // A comment count that does not lead to "COMNT" is taken as no comment block: the record
    // alone is cut, never more than the file's own end-of-file byte says.
    const auto comments = static_cast<unsigned char>(record[kCommentsField]);
    const std::size_t block = kCommentId.size() + comments * kCommentLineSize;
    if (comments > 0 && start >= block + 1 && bytes.substr(start - block, kCommentId.size()) == kCommentId)
        start -= block;
    // Without the end-of-file byte, "SAUCE00" is only text that happens to end the file.
    if (bytes[start - 1] != kEndOfFile)
        return bytes;
    return bytes.substr(0, start - 1);
}

} // namespace pkm
