// LineSplitter: console output cut into lines across chunk boundaries.
#include "archiving/line_splitter.h"

#include <cstring>

namespace pkm {

namespace {
constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr char BS = '\b';

inline std::uint16_t remembered(char c)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(c) << 8);
}

// CR, LF and BS are all below 16: one compare rejects almost every other byte.
inline bool isLineBreak(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 16 && ((1u << u) & ((1u << 8) | (1u << 10) | (1u << 13))) != 0;
}
} // namespace

LineSplitter::LineSplitter(LineHandler onLine)
    : onLine_(std::move(onLine))
{
}

void LineSplitter::deliver(const char* begin, std::size_t length)
{
    if (PendingText.empty()) {
        line_.assign(begin, length);
    } else {
        line_.swap(PendingText);
        line_.append(begin, length);
        PendingText.clear();
    }
    if (onLine_)
        onLine_(line_);
}

void LineSplitter::SplitChunk(std::string_view chunk)
{
    if (chunk.empty())
        return; // nothing arrived: a pair or backspace run under way is still under way
    const char* const data = chunk.data();
    const void* nul = std::memchr(data, 0, chunk.size());
    const std::size_t n = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : chunk.size();

    std::size_t i = 0;
    if (n > 0) {
        const std::uint16_t pair = static_cast<std::uint16_t>(LastChar | static_cast<unsigned char>(data[0]));
        if (pair == 0x0D0A || pair == 0x0A0D)
            i = 1; // that line end was already acted on with the previous chunk
        else if (LastChar == remembered(BS))
            while (i < n && data[i] == BS)
                ++i; // the backspace run goes on: it already ended its line
    }
    if (i == n) {
        // Nothing appended: nothing is remembered, except a backspace run that goes on.
        if (n == 0 || LastChar != remembered(BS))
            LastChar = 0;
        return;
    }

    std::uint16_t last = 0;
    std::size_t lineStart = i;
    for (; i < n; ++i) {
        const char c = data[i];
        if (!isLineBreak(c))
            continue;
        const std::size_t lineEnd = i;
        if (c == BS) {
            while (i + 1 < n && data[i + 1] == BS)
                ++i;
            if (i + 1 == n)
                last = remembered(BS);
        } else if (i + 1 < n) {
            const char next = data[i + 1];
            if ((c == CR && next == LF) || (c == LF && next == CR))
                ++i;
        } else {
            last = remembered(c);
        }
        deliver(data + lineStart, lineEnd - lineStart);
        lineStart = i + 1;
    }

    PendingText.append(data + lineStart, n - lineStart);
    ScanPos = PendingText.size();
    LastChar = last;
}

void LineSplitter::FlushPending()
{
    if (PendingText.empty())
        return;
    line_.swap(PendingText);
    PendingText.clear();
    ScanPos = 0;
    if (onLine_)
        onLine_(line_);
}

} // namespace pkm
