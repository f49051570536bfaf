// Generation of an NFO file from a large template, against plainly copying the same template
// file, at a base size (10,000 lines, 1,000 sections, half of them memo-style with several
// lines each) and at twice that size. The summary at the end gives generation as a multiple
// of the copy, and how each time grows when the size doubles (2 is linear, 4 quadratic).
#include "platform/file_io.h"
#include "templates/generator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>

using namespace pkm;

namespace {

struct Workload {
    std::string templatePath;
    std::string outputPath;
    SectionList sections;
    std::size_t templateBytes = 0;
    std::size_t outputBytes = 0;
};

std::string g_dir;
std::map<int, Workload> g_workloads;

std::string randomWord(std::mt19937& random)
{
    static const char* const words[] = {"release",      "crack",   "keygen", "the",   "of",    "installer",
                                        "supplied",     "archive", "disk",   "and",   "fixed", "a",
                                        "multilingual", "edition", "read",   "notes", "v1.0"};
    return words[random() % std::size(words)];
}

// `scale` 1: 10,000 template lines and 1,000 sections.
const Workload& workload(int scale)
{
    auto found = g_workloads.find(scale);
    if (found != g_workloads.end())
        return found->second;

    std::mt19937 random(1999u + static_cast<unsigned>(scale));
    const int lineCount = 10000 * scale;
    const int sectionCount = 1000 * scale;

    std::string templ;
    for (int i = 0; i < lineCount; ++i) {
        templ += "\xBA ";
        for (int c = 0; c < 74; ++c)
            templ += (c % 9 == 0) ? '\xB0' : static_cast<char>('.' + (i + c) % 3);
        templ += " \xBA\r\n";
    }

    Workload w;
    w.templateBytes = templ.size();
    w.templatePath = g_dir + "/clone" + std::to_string(scale) + ".nfo";
    w.outputPath = g_dir + "/out" + std::to_string(scale) + ".nfo";
    if (replaceFile(w.templatePath, templ) != WriteOutcome::Written) {
        std::fprintf(stderr, "cannot write %s\n", w.templatePath.c_str());
        std::exit(1);
    }

    // Sections in no particular order over the whole template, half of them memo-style with
    // values of several sentences and an occasional line break.
    for (int i = 0; i < sectionCount; ++i) {
        TParam s;
        s.Line = static_cast<std::uint16_t>(1 + random() % static_cast<unsigned>(lineCount));
        s.Start = static_cast<std::uint16_t>(3 + random() % 30);
        s.Width = static_cast<std::uint16_t>(20 + random() % 30);
        s.Alignment = static_cast<std::uint8_t>(random() % 3);
        s.Caps = random() % 4 == 0;
        s.Style = i % 2 == 1;
        const int words = s.Style ? 15 + static_cast<int>(random() % 40) : 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < words; ++k) {
            if (!s.Value.empty())
                s.Value += (s.Style && random() % 20 == 0) ? "\r\n" : " ";
            s.Value += randomWord(random);
        }
        w.sections.push_back(std::move(s));
    }
    return g_workloads.emplace(scale, std::move(w)).first->second;
}

// Reading the template and writing the same bytes: the floor that generation is compared with.
void BM_CopyTemplate(benchmark::State& state)
{
    const Workload& w = workload(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const auto bytes = readFileBytes(w.templatePath);
        if (!bytes || replaceFile(w.outputPath, *bytes) != WriteOutcome::Written)
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(w.templateBytes));
}

// What a press of Preview does apart from the windows: read, generate, write.
void BM_GenerateFile(benchmark::State& state)
{
    Workload& w = const_cast<Workload&>(workload(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const auto bytes = readFileBytes(w.templatePath);
        if (!bytes) {
            state.SkipWithError("read failed");
            break;
        }
        const GenerateResult result = GenerateLines(*bytes, w.sections);
        if (!result.ok() || replaceFile(w.outputPath, result.bytes) != WriteOutcome::Written) {
            state.SkipWithError(result.ok() ? "write failed" : result.errorMessage().c_str());
            break;
        }
        w.outputBytes = result.bytes.size();
    }
    state.counters["sections"] = static_cast<double>(w.sections.size());
    state.counters["output_bytes_per_template_byte"] = static_cast<double>(w.outputBytes)
        / static_cast<double>(w.templateBytes);
}

// Generation alone, in memory.
void BM_GenerateInMemory(benchmark::State& state)
{
    const Workload& w = workload(static_cast<int>(state.range(0)));
    const auto bytes = readFileBytes(w.templatePath);
    for (auto _ : state) {
        GenerateResult result = GenerateLines(*bytes, w.sections);
        benchmark::DoNotOptimize(result.bytes.data());
    }
}

// Medians of several repetitions: the machine is shared, single runs wander.
BENCHMARK(BM_CopyTemplate)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_GenerateFile)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_GenerateInMemory)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Keeps each benchmark's median time per iteration, wall clock and processor, so that the
// summary can compare them. Writing goes to disk and syncs, so the wall clock of the file
// benchmarks varies with the disk; the processor time does not wait for it.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name + "/" + run.run_name.args] = {run.GetAdjustedRealTime(),
                                                                                 run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void summarize() const
    {
        const auto ratio = [&](const std::string& a, const std::string& b, bool cpu) {
            const auto x = medians.find(a);
            const auto y = medians.find(b);
            if (x == medians.end() || y == medians.end())
                return 0.0;
            const double top = cpu ? x->second.second : x->second.first;
            const double bottom = cpu ? y->second.second : y->second.first;
            return bottom > 0 ? top / bottom : 0.0;
        };
        std::printf("\nSummary (ratios of median times per iteration: wall clock / processor)\n");
        for (int scale : {1, 2}) {
            // (Built in two steps: "/" + std::string trips a false -Wrestrict of GCC 12.)
            std::string arg(1, '/');
            arg += std::to_string(scale);
            std::printf("  %5d lines, %4d sections: generate file / copy file = %.2f / %.2f, "
                        "generation in memory / copy file = %.2f / %.2f\n",
                        10000 * scale, 1000 * scale, ratio("BM_GenerateFile" + arg, "BM_CopyTemplate" + arg, false),
                        ratio("BM_GenerateFile" + arg, "BM_CopyTemplate" + arg, true),
                        ratio("BM_GenerateInMemory" + arg, "BM_CopyTemplate" + arg, false),
                        ratio("BM_GenerateInMemory" + arg, "BM_CopyTemplate" + arg, true));
        }
        std::printf("  growth when template and sections double (2 is linear, 4 quadratic):\n");
        for (const char* name : {"BM_CopyTemplate", "BM_GenerateFile", "BM_GenerateInMemory"}) {
            const std::string n = name;
            std::printf("    %-20s %.2f / %.2f\n", name, ratio(n + "/2", n + "/1", false),
                        ratio(n + "/2", n + "/1", true));
        }
    }

    std::map<std::string, std::pair<double, double>> medians;
};

} // namespace

int main(int argc, char** argv)
{
    char dirTemplate[] = "/tmp/pakmaster_bench_XXXXXX";
    if (!::mkdtemp(dirTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    g_dir = dirTemplate;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summarize();
    benchmark::Shutdown();

    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
    return 0;
}
