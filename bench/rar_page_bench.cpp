// Whole Rar-page runs: the stub, TPiper and the log box against the same archiver run
// directly from a shell, and a run that prints a million lines: the window's longest stall,
// the time the log needs after the archiver's exit, and the peak memory against idle.
#include "archiving/LogBox.h"
#include "archiving/PageContext.h"
#include "archiving/RarPage.h"
#include "bench/window_bench_main.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/TextCodec.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

using namespace pkm;

namespace fs = std::filesystem;

namespace {

class SilentDialogs : public DialogService {
public:
    void showMessage(QWidget*, const QString& caption, const QString& text, MessageIcon) override
    {
        fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    int execDialog(QDialog*) override { return 0; }
    std::optional<QString> browseForFolder(QWidget*, const FolderRequest&) override { return std::nullopt; }
    QStringList openFileNames(QWidget*, const OpenFilesRequest&) override { return {}; }
};

struct Workspace {
    fs::path root;
    TBrowseDirectoryDlg picker;
    Workspace()
    {
        std::string pattern = (fs::temp_directory_path() / "pkm-bench-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", root / "PKM.DLL");
        std::ofstream(root / "Release.ini");
        fs::create_directories(root / "in");
        fs::create_directories(root / "out");
        // About 4 MB: half incompressible, half text, in a few files.
        std::mt19937 random(1);
        for (int f = 0; f < 8; ++f) {
            std::ofstream out(root / "in" / ("file" + std::to_string(f) + ".bin"), std::ios::binary);
            std::string data(512 * 1024, '\0');
            for (std::size_t i = 0; i < data.size(); ++i)
                data[i] = f % 2 ? static_cast<char>(random()) : "pakmaster release notes "[i % 24];
            out << data;
        }
    }
    ~Workspace() { fs::remove_all(root); }
    PageContext context() { return {pkm::ProgramPaths::beside(root.string()), &picker}; }
    void setArchiver(const fs::path& target)
    {
        fs::remove(root / "rar");
        fs::create_symlink(target, root / "rar");
    }
    void clearOut()
    {
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
    }
};

// The boxes of a run from the workspace's in/ to its out/, as the user fills them.
void fillBoxes(RarPage& page, const Workspace& ws)
{
    const auto box = [&page](const char* name) { return page.findChild<QLineEdit*>(QString::fromLatin1(name)); };
    box("InDirEdit")->setText(QString::fromStdString((ws.root / "in").string()));
    box("OutDirEdit")->setText(QString::fromStdString((ws.root / "out").string()));
    box("NameEdit")->setText(QStringLiteral("rel"));
}

TLogBox& logBox(RarPage& page)
{
    return *page.findChild<TLogBox*>(QStringLiteral("Memo1"));
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void PageRunAgainstDirectRun(benchmark::State& state)
{
    Workspace ws;
    ws.setArchiver(PAKMASTER_BIN_DIR "/rar");
    SilentDialogs dialogs;
    setDialogs(&dialogs);
    RarPage page(ws.context(), nullptr);
    fillBoxes(page, ws);
    const std::string direct = "cd '" + ws.root.string()
        + "' && ./rar a -y -r -m5 -ep1 -v1440 out/rel 'in/*.*' > /dev/null";

    double pageTotal = 0;
    double directTotal = 0;
    for (auto _ : state) {
        ws.clearOut();
        auto t0 = std::chrono::steady_clock::now();
        if (std::system(direct.c_str()) != 0)
            state.SkipWithError("direct run failed");
        directTotal += seconds(std::chrono::steady_clock::now() - t0);

        ws.clearOut();
        t0 = std::chrono::steady_clock::now();
        page.Button5Click();
        logBox(page).flush();
        pageTotal += seconds(std::chrono::steady_clock::now() - t0);
    }
    state.counters["direct_s"] = directTotal / static_cast<double>(state.iterations());
    state.counters["page_s"] = pageTotal / static_cast<double>(state.iterations());
    state.counters["page_to_direct"] = pageTotal / directTotal;
    setDialogs(nullptr);
}
BENCHMARK(PageRunAgainstDirectRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Resident memory in kB: the current figure, or the peak since the last reset.
long memoryKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

// A run whose archiver prints a million lines, timed from Start until the log is completely
// drawn: how long after the archiver's exit the log is complete, the longest stall of the
// window meanwhile, and the peak memory against the memory of the idle page before Start.
void MillionLineRun(benchmark::State& state)
{
    Workspace ws;
    const fs::path fake = ws.root / "million.sh";
    const fs::path exited = ws.root / "exited";
    std::ofstream(fake) << "#!/bin/sh\nseq 1 1000000 | sed 's/^/Adding file number /'\n"
                        << "date +%s.%N > '" << exited.string() << "'\n";
    fs::permissions(fake, fs::perms::owner_all);
    ws.setArchiver(fake);
    SilentDialogs dialogs;
    setDialogs(&dialogs);
    RarPage page(ws.context(), nullptr);
    page.show();
    fillBoxes(page, ws);
    QCoreApplication::processEvents();

    double worst = 0;
    double afterExit = 0;
    double peakRatio = 0;
    double total = 0;
    // The idle figure is the page's before its first run.
    const long idle = memoryKb("VmRSS:");
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5"; // resets the peak
        // A timer that should fire every millisecond: the longest gap between two firings
        // is the longest time the window could not react.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (last != 0)
                longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        tick.start();
        page.Button5Click();
        TLogBox& log = logBox(page);
        while (!log.isDrawn())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double complete =
            std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
        tick.stop();
        total += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        worst = std::max(worst, static_cast<double>(longest) / 1e6);
        double exitTime = 0;
        std::ifstream(exited) >> exitTime;
        afterExit = std::max(afterExit, complete - exitTime);
        peakRatio = std::max(peakRatio, static_cast<double>(memoryKb("VmHWM:")) / static_cast<double>(idle));
        state.counters["idle_MB"] = static_cast<double>(idle) / 1024;
        state.counters["peak_MB"] = static_cast<double>(memoryKb("VmHWM:")) / 1024;
        state.counters["log_lines"] = static_cast<double>(log.buffer().leftOut() + log.buffer().size());
    }
    state.counters["longest_stall_ms"] = worst;
    state.counters["complete_after_exit_s"] = afterExit;
    state.counters["peak_to_idle"] = peakRatio;
    state.counters["run_s"] = total / static_cast<double>(state.iterations());
    setDialogs(nullptr);
}
BENCHMARK(MillionLineRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return runWindowBenchmarks(argc, argv);
}
