// Opening a generated file in the fixed-font window as the preview does (text set, window shown
// at its own size of 70 columns) against the same text in Qt's own plain-text editor of the same
// size and font, at 2,000 and 20,000 lines of 96 characters, each shown as two lines.
#include "bench/window_bench_main.h"
#include "editor/TextWindow.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"

#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace pkm;

namespace {

std::string nfoText(int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i) {
        std::string line = "  \xDB\xDB\xB1\xB1 line ";
        line.append(std::to_string(i)).append(" of the release notes, words to wrap");
        line.resize(96, '.');
        text.append(line).append("\r\n");
    }
    return text;
}

void ReferencePlainTextEdit(benchmark::State& state)
{
    const QString text = toDisplay(nfoText(static_cast<int>(state.range(0))));
    const QSize size = TForm3().size();
    const QFont font = fixedTextFont();
    for (auto _ : state) {
        QPlainTextEdit edit;
        edit.resize(size);
        edit.setFont(font);
        edit.setPlainText(text);
        edit.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(edit.document()->blockCount());
    }
}

void FixedFontWindow(benchmark::State& state)
{
    const std::string text = nfoText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TForm3 window;
        window.setMemoText(text);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.columns());
    }
}

BENCHMARK(ReferencePlainTextEdit)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FixedFontWindow)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints each window time as a multiple of the reference at the same size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const double perIteration = run.GetAdjustedRealTime();
            if (name.rfind("ReferencePlainTextEdit/", 0) == 0)
                reference_[name.substr(name.find('/'))] = perIteration;
            else if (auto ref = reference_.find(name.substr(name.find('/'))); ref != reference_.end())
                std::printf("  %s / reference = %.1f\n", name.c_str(), perIteration / ref->second);
        }
    }

private:
    std::map<std::string, double> reference_;
};

} // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return runWindowBenchmarks(argc, argv, &reporter);
}
