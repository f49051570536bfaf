#pragma once
// LineSplitter cuts a console program's output, arriving in chunks of at most 256 bytes, into lines.
//
// CR, LF, CR LF and LF CR each end one line; a run of backspaces ends one line and vanishes
// (console progress that steps back over itself arrives as one line per state). A NUL byte ends
// the chunk's text. The result does not depend on where the chunks are cut: a CR/LF pair or a
// backspace run split over two chunks acts as it would inside one.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pkm {

class LineSplitter {
public:
    using LineHandler = std::function<void(const std::string& line)>;

    static constexpr std::size_t kChunkSize = 256;

    explicit LineSplitter(LineHandler onLine = {});

    void setLineHandler(LineHandler onLine) { onLine_ = std::move(onLine); }

    // Appends one chunk (its text ends at the first NUL byte) and emits every line it completes.
    void SplitChunk(std::string_view chunk);
    // Emits the unterminated remainder, if any. LastChar stays, so a next run on the same
    // object still completes a pair begun by this one.
    void FlushPending();

    // Output received after the last line end and not yet emitted.
    std::string PendingText;
    // Bytes at the start of PendingText already scanned; they hold no line end.
    std::size_t ScanPos = 0;
    // The line end that closed the previous chunk and may still be half of a pair (CR or LF),
    // or BS when that chunk closed inside a backspace run; held in the high byte, 0 for none.
    std::uint16_t LastChar = 0;

private:
    void deliver(const char* begin, std::size_t length);

    LineHandler onLine_;
    std::string line_; // reused for every emitted line, so short lines cost no allocation
};

} // namespace pkm
