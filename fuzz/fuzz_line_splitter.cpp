// The line splitter on arbitrary output cut into arbitrary chunks: the lines must not depend
// on where the chunks are cut. The first byte seeds the chunk sizes; the rest is the output,
// kept free of NUL bytes for the comparison (a NUL ends its chunk's text, so there the chunking
// is allowed to matter), then fed again with NULs kept to look for crashes alone.
#include "archiving/line_splitter.h"
#include "fuzz/fuzz_input.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& output, std::uint32_t seed, bool oneChunk, bool flushMidway)
{
    std::vector<std::string> lines;
    pkm::LineSplitter splitter([&](const std::string& line) { lines.push_back(line); });
    std::size_t at = 0;
    while (at < output.size()) {
        std::size_t n = output.size() - at;
        if (!oneChunk) {
            seed = seed * 1103515245u + 12345u;
            n = std::min<std::size_t>(n, (seed >> 16) % (pkm::LineSplitter::kChunkSize + 1));
            if (n == 0 && (seed & 0x100) == 0)
                n = 1; // empty chunks now and then, but always progress
        }
        splitter.SplitChunk(std::string_view(output).substr(at, n));
        at += n;
    }
    if (flushMidway)
        splitter.FlushPending();
    splitter.FlushPending();
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pkmfuzz::Input in(data, size);
    const std::uint32_t seed = in.u16() | (static_cast<std::uint32_t>(in.byte()) << 16);
    std::string output = in.rest();
    if (output.size() > 64 * 1024)
        return 0;

    // With NUL bytes: no crash, and every line is free of line ends.
    for (const std::string& line : split(output, seed, false, false))
        PKM_FUZZ_CHECK(line.find_first_of("\r\n\b") == std::string::npos);

    std::string clean = output;
    for (char& c : clean) {
        if (c == '\0')
            c = '\x01';
    }
    const std::vector<std::string> whole = split(clean, seed, true, false);
    const std::vector<std::string> cut = split(clean, seed, false, seed & 1);
    PKM_FUZZ_CHECK(whole == cut);

    // Nothing is lost: the lines plus their line ends give back the output's other bytes.
    std::string kept;
    for (char c : clean) {
        if (c != '\r' && c != '\n' && c != '\b')
            kept += c;
    }
    std::string joined;
    for (const std::string& line : whole)
        joined += line;
    PKM_FUZZ_CHECK(joined == kept);
    return 0;
}
