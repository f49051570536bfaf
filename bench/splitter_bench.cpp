// Line splitting of archiver output against copying the same bytes: the splitter is fed
// 100 MB in the 256-byte chunks the pipe delivers; the copy moves the same chunks with memcpy.
// The counter "vs_memcpy" of the splitter run is its time divided by the copy's time.
#include "archiving/line_splitter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using namespace pkm;

namespace {

constexpr std::size_t kTotal = 100u * 1024 * 1024;

// Lines a volume archiver prints: file lines with backspace progress, volume lines, CR LF ends.
const std::string& archiverOutput()
{
    static const std::string output = [] {
        std::string text;
        text.reserve(kTotal + 512);
        unsigned n = 0;
        while (text.size() < kTotal) {
            ++n;
            text += "Adding    release/disk" + std::to_string(n % 97) + "/file" + std::to_string(n) + ".dat    ";
            for (int percent = 0; percent <= 100; percent += 7) {
                char counter[16];
                std::snprintf(counter, sizeof counter, "\b\b\b\b%3d%%", percent);
                text += counter;
            }
            text += "\r\n";
            if (n % 50 == 0)
                text += "Creating  /out/rel.7z." + std::to_string(n / 50) + "\n";
        }
        text.resize(kTotal);
        return text;
    }();
    return output;
}

double splitSeconds(const std::string& output, std::size_t& lines)
{
    lines = 0;
    std::size_t bytes = 0;
    pkm::LineSplitter splitter([&](const std::string& line) {
        ++lines;
        bytes += line.size();
    });
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t pos = 0; pos < output.size(); pos += pkm::LineSplitter::kChunkSize)
        splitter.SplitChunk(std::string_view(output).substr(pos, pkm::LineSplitter::kChunkSize));
    splitter.FlushPending();
    benchmark::DoNotOptimize(bytes);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double copySeconds(const std::string& output)
{
    std::vector<char> target(output.size());
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t pos = 0; pos < output.size(); pos += pkm::LineSplitter::kChunkSize)
        std::memcpy(target.data() + pos, output.data() + pos,
                    std::min(pkm::LineSplitter::kChunkSize, output.size() - pos));
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SplitArchiverOutput(benchmark::State& state)
{
    const std::string& output = archiverOutput();
    double split = 0;
    double copy = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        const double s = splitSeconds(output, lines);
        state.SetIterationTime(s);
        split += s;
        copy += copySeconds(output);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(output.size()));
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["vs_memcpy"] = split / copy;
}
BENCHMARK(BM_SplitArchiverOutput)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MemcpySameChunks(benchmark::State& state)
{
    const std::string& output = archiverOutput();
    for (auto _ : state)
        state.SetIterationTime(copySeconds(output));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(output.size()));
}
BENCHMARK(BM_MemcpySameChunks)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
