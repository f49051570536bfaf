// A whole Zip-page run (the page, TPiper, the stub, zip and its test, the checksum file, the log
// box until it is drawn) of 30 zips, each a volume of 1,440,000 bytes with an NFO and a DIZ,
// against a loop running zip and zip's test with the run's own command lines, alternating.
//   pakmaster_zip_page_bench [ROUNDS]          (default 21)
#include "archiving/LogBox.h"
#include "archiving/PageContext.h"
#include "archiving/ZipPage.h"
#include "archiving/ZipSeriesDialog.h"
#include "archiving/command_line_split.h"
#include "archiving/run_plan.h"
#include "bench/processes.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/TextCodec.h"

#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace pkm;

namespace fs = std::filesystem;
using pkm::bench::median;
using pkm::bench::runProcess;

namespace {

// The series dialog is answered with its first name and count; the open-file dialog with the
// files queued for it.
class ScriptedDialogs : public DialogService {
public:
    QStringList nextFiles;
    bool failed = false;
    void showMessage(QWidget*, const QString& caption, const QString& text, MessageIcon) override
    {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
        failed = true;
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    int execDialog(QDialog* dialog) override
    {
        auto* series = qobject_cast<TForm4*>(dialog);
        if (series == nullptr)
            return QDialog::Rejected;
        series->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("disk01"));
        series->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("30"));
        return QDialog::Accepted;
    }
    std::optional<QString> browseForFolder(QWidget*, const FolderRequest&) override { return std::nullopt; }
    QStringList openFileNames(QWidget*, const OpenFilesRequest&) override { return std::exchange(nextFiles, {}); }
};

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 21;

    std::string pattern = (fs::temp_directory_path() / "pkm-zip-bench-XXXXXX").string();
    const fs::path root = ::mkdtemp(pattern.data());
    fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", root / "PKM.DLL");
    fs::create_symlink(PAKMASTER_BIN_DIR "/zip", root / "zip");
    std::ofstream(root / "Release.ini");
    fs::create_directories(root / "in");
    std::ofstream(root / "in" / "release.nfo") << std::string(12'000, 'n');
    std::ofstream(root / "in" / "file_id.diz") << std::string(400, 'd');
    QStringList volumes;
    std::mt19937 random(1);
    for (int i = 1; i <= 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "rel.7z.%03d", i);
        std::string bytes(1'440'000, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random());
        std::ofstream(root / "in" / name, std::ios::binary) << bytes;
        volumes << pathToQString((root / "in" / name).string());
    }
    const auto clearOut = [&] {
        fs::remove_all(root / "out");
        fs::create_directories(root / "out");
    };
    clearOut();

    ScriptedDialogs dialogs;
    setDialogs(&dialogs);
    TBrowseDirectoryDlg picker;
    ZipPage page(PageContext {ProgramPaths::beside(root.string()), &picker}, nullptr);
    page.findChild<QLineEdit*>(QStringLiteral("OutDirEdit2"))->setText(pathToQString((root / "out").string()));
    page.BitBtn1Click();
    auto* zipList = page.findChild<QListWidget*>(QStringLiteral("ListBox1"));
    const auto selectAll = [&] {
        for (int row = 0; row < zipList->count(); ++row)
            zipList->item(row)->setSelected(true);
    };
    selectAll();
    dialogs.nextFiles = volumes;
    page.BitBtn4Click();
    for (const char* file : {"release.nfo", "file_id.diz"}) {
        selectAll();
        dialogs.nextFiles = {pathToQString((root / "in" / file).string())};
        page.BitBtn4Click();
    }
    TLogBox& log = *page.findChild<TLogBox*>(QStringLiteral("Memo2"));

    // The run's own command lines, for the loop: the same series by the same rules.
    std::vector<std::string> spread;
    for (const QString& volume : volumes)
        spread.push_back(pathFromQString(volume));
    const ZipSeriesPlan series = PlanZipSeries(
        "disk01", 30, spread, {(root / "in" / "release.nfo").string(), (root / "in" / "file_id.diz").string()});
    const std::vector<ZipEntry> entries = series.zips.entries();
    const ZipPlan plan = PlanZipRun(root.string() + "/", (root / "out").string(), entries);
    if (plan.refusal) {
        std::fprintf(stderr, "plan refused: %s\n", plan.refusal->text.c_str());
        return 1;
    }

    std::vector<double> pageTimes;
    std::vector<double> loopTimes;
    for (int round = -1; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            clearOut();
            const auto start = std::chrono::steady_clock::now();
            const bool pageFirst = (round % 2 == 0);
            if ((turn == 0) == pageFirst) {
                page.Button6Click();
                log.flush();
                if (dialogs.failed || !fs::exists(root / "out" / "disk30.zip"))
                    return 1;
            } else {
                for (std::size_t i = 0; i < plan.commandLines.size(); ++i) {
                    if (!runProcess(splitCommandLine(plan.commandLines[i]))
                        || !runProcess(splitCommandLine(plan.testCommandLines[i])))
                        return 1;
                }
            }
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (round >= 0)
                ((turn == 0) == pageFirst ? pageTimes : loopTimes).push_back(ms);
        }
    }
    std::printf("zip page run (30 zips)  median %.0f ms (%.0f-%.0f)   loop: zip, zip -T  median %.0f ms (%.0f-%.0f)   "
                "ratio %.3f\n",
                median(pageTimes), *std::min_element(pageTimes.begin(), pageTimes.end()),
                *std::max_element(pageTimes.begin(), pageTimes.end()), median(loopTimes),
                *std::min_element(loopTimes.begin(), loopTimes.end()),
                *std::max_element(loopTimes.begin(), loopTimes.end()), median(pageTimes) / median(loopTimes));
    setDialogs(nullptr);
    fs::remove_all(root);
    return 0;
}
