// A whole Rar-page volume run (the page, the stub, TPiper, the 7-Zip adapter and the log box
// until it is completely drawn) against 7zz run directly from a shell with the same options
// (making the volumes and testing them, as the run does),
// on the same release-like input of about 110 MB, in the same run. The input (source text,
// shared libraries, incompressible data standing for already compressed files) is made once
// and kept under the build directory.
#include "archiving/LogBox.h"
#include "archiving/PageContext.h"
#include "archiving/RarPage.h"
#include "bench/window_bench_main.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/FolderPicker.h"

#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

using namespace pkm;

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMiB = 1024 * 1024;

class SilentDialogs : public DialogService {
public:
    void showMessage(QWidget*, const QString& caption, const QString& text, MessageIcon) override
    {
        fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
        failed = true;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return false; }
    int execDialog(QDialog*) override { return 0; }
    std::optional<QString> browseForFolder(QWidget*, const FolderRequest&) override { return std::nullopt; }
    QStringList openFileNames(QWidget*, const OpenFilesRequest&) override { return {}; }
    bool failed = false;
};

// Copies the regular files under `from` (sorted, each at most maxFile) into `to` until `budget`
// bytes are copied; returns the bytes copied.
std::uintmax_t copyUpTo(const fs::path& from, const fs::path& to, std::uintmax_t budget, std::uintmax_t maxFile,
                        const std::string& nameContains)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(from, fs::directory_options::skip_permission_denied, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error)
            break;
        if (it->is_regular_file(error) && !it->is_symlink(error) && it->file_size(error) <= maxFile
            && it->path().filename().string().find(nameContains) != std::string::npos)
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    std::uintmax_t copied = 0;
    for (const fs::path& file : files) {
        if (copied >= budget)
            break;
        const fs::path target = to / fs::relative(file, from);
        fs::create_directories(target.parent_path());
        if (fs::copy_file(file, target, fs::copy_options::overwrite_existing, error))
            copied += fs::file_size(target);
    }
    return copied;
}

// The release to pack, made on the first run.
fs::path releaseInput()
{
    const fs::path data = fs::path(PAKMASTER_BENCH_DATA) / "release";
    if (fs::exists(data / ".complete"))
        return data;
    fs::remove_all(data);
    fs::create_directories(data);
    std::uintmax_t total = copyUpTo("/usr/include", data / "src", 45 * kMiB, kMiB, "");
    total += copyUpTo("/usr/lib/x86_64-linux-gnu", data / "lib", 40 * kMiB, 8 * kMiB, ".so");
    std::mt19937_64 random(1);
    for (int n = 1; total < 110 * kMiB; ++n) {
        std::string bytes(5 * kMiB, '\0');
        for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
            const std::uint64_t r = random();
            std::memcpy(bytes.data() + i, &r, 8);
        }
        fs::create_directories(data / "data");
        std::ofstream(data / "data" / ("setup" + std::to_string(n) + ".cab"), std::ios::binary) << bytes;
        total += bytes.size();
    }
    std::ofstream(data / ".complete") << total << "\n";
    return data;
}

std::uintmax_t treeBytes(const fs::path& root)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            bytes += entry.file_size();
    return bytes;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void VolumeRunAgainstSevenZipAlone(benchmark::State& state)
{
    const fs::path input = releaseInput();
    const double megabytes = static_cast<double>(treeBytes(input)) / 1e6;
    std::string pattern = (fs::temp_directory_path() / "pkm-volume-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    const fs::path out = root / "out";
    fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", root / "PKM.DLL");
    fs::create_symlink(PAKMASTER_BIN_DIR "/rar", root / "rar");
    std::ofstream(root / "Release.ini");
    const auto clearOut = [&] {
        fs::remove_all(out);
        fs::create_directories(out);
    };

    SilentDialogs dialogs;
    setDialogs(&dialogs);
    TBrowseDirectoryDlg picker;
    RarPage page(PageContext {pkm::ProgramPaths::beside(root.string()), &picker}, nullptr);
    page.findChild<QLineEdit*>(QStringLiteral("InDirEdit"))->setText(QString::fromStdString(input.string()));
    page.findChild<QLineEdit*>(QStringLiteral("OutDirEdit"))->setText(QString::fromStdString(out.string()));
    page.findChild<QLineEdit*>(QStringLiteral("NameEdit"))->setText(QStringLiteral("rel"));
    TLogBox& log = *page.findChild<TLogBox*>(QStringLiteral("Memo1"));
    // What the adapter asks of 7zz for the page's "-v1440" (volumes of 1,440,000 bytes), typed in
    // a shell: the volumes, then their test, which every run makes before it replaces a set.
    const std::string direct = "cd '" + input.string() + "' && 7zz a -t7z -mx9 -mmt=on -v1440000b -y -bsp1 -r -- '"
        + (out / "rel.7z").string() + "' '*' > /dev/null && 7zz t -bsp1 -y -- '" + (out / "rel.7z.001").string()
        + "' > /dev/null";

    double pageTotal = 0;
    double directTotal = 0;
    std::size_t volumes = 0;
    int round = 0;
    for (auto _ : state) {
        // Alternate which goes first, so that neither always finds warm caches.
        for (int turn = 0; turn < 2; ++turn) {
            clearOut();
            const auto start = std::chrono::steady_clock::now();
            if ((turn == 0) == (round % 2 == 0)) {
                if (std::system(direct.c_str()) != 0)
                    state.SkipWithError("7zz failed");
                directTotal += secondsSince(start);
            } else {
                page.Button5Click();
                log.flush();
                pageTotal += secondsSince(start);
                if (dialogs.failed)
                    state.SkipWithError("the page's run failed");
                volumes = static_cast<std::size_t>(
                    std::distance(fs::directory_iterator(out), fs::directory_iterator()));
            }
        }
        ++round;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["input_MB"] = megabytes;
    state.counters["volumes"] = static_cast<double>(volumes);
    state.counters["direct_s"] = directTotal / n;
    state.counters["page_s"] = pageTotal / n;
    state.counters["page_MB_per_s"] = megabytes * n / pageTotal;
    state.counters["direct_MB_per_s"] = megabytes * n / directTotal;
    state.counters["page_to_direct"] = pageTotal / directTotal;
    setDialogs(nullptr);
    fs::remove_all(root);
}
BENCHMARK(VolumeRunAgainstSevenZipAlone)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return runWindowBenchmarks(argc, argv);
}
