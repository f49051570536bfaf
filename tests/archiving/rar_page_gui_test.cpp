// RarPage driven through its controls: the volume archiver's command line and log, the size
// field, the browse buttons, failures, and closing the main window during a run; the run's
// progress, Stop and Escape, and the one run the pages allow at a time.
#include "archiving/RarPage.h"

#include "archiving/LogBox.h"
#include "archiving/ZipPage.h"
#include "archiving/command_lines.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/drops.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "support/gui/shown_page.h"
#include "support/process_tree.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

using namespace pkm;

namespace fs = std::filesystem;

namespace {

// The Rar page alone, in a program directory holding the real stub and whatever archiver a
// test puts there.
class RarPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL"));
        fs::create_directories(dir.file("in/sub"));
        dir.write("in/a.txt", "alpha");
        dir.write("in/sub/b.txt", "beta");
        fs::create_directories(dir.file("out"));
        use(shown.openAlone(dir.paths()));
    }

    void use(RarPage* opened)
    {
        page = opened;
        inDir = find<QLineEdit>(page, "InDirEdit");
        outDir = find<QLineEdit>(page, "OutDirEdit");
        volumeName = find<QLineEdit>(page, "NameEdit");
        volumeSize = find<QLineEdit>(page, "VolumeEdit");
        useAce = find<QCheckBox>(page, "CheckBox6");
        start = find<QPushButton>(page, "Button5");
        memo = find<TLogBox>(page, "Memo1");
    }

    // A fake archiver: a shell script named `name` in the program directory.
    void archiver(const std::string& name, const std::string& body)
    {
        const std::string path = dir.write(name, "#!/bin/sh\n" + body);
        fs::permissions(path, fs::perms::owner_all);
    }

    void fill(const std::string& in, const std::string& out, const QString& name, const QString& size = "1440")
    {
        inDir->setText(QString::fromStdString(in));
        outDir->setText(QString::fromStdString(out));
        volumeName->setText(name);
        volumeSize->setText(size);
    }

    QStringList log() { return memo->lines(); }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    ShownPage<RarPage> shown;
    RarPage* page = nullptr;
    QLineEdit* inDir = nullptr;
    QLineEdit* outDir = nullptr;
    QLineEdit* volumeName = nullptr;
    QLineEdit* volumeSize = nullptr;
    QCheckBox* useAce = nullptr;
    QPushButton* start = nullptr;
    TLogBox* memo = nullptr;
};

} // namespace

TEST_F(RarPageTest, RunsTheArchiverWithTheExactCommandLineAndClosesTheLog)
{
    // The fake prints each argument on a line of its own, then makes two volumes.
    archiver("rar",
             "for a in \"$@\"; do echo \"[$a]\"; done\n"
             "touch \"$7.7z.001\" \"$7.7z.002\"\n");
    fill(dir.file("in") + "/", dir.file("out"), "rel.rar", "720");
    QTest::mouseClick(start, Qt::LeftButton);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(inDir->text().toStdString(), dir.file("in"));
    EXPECT_EQ(outDir->text().toStdString(), dir.file("out") + "/");
    const QString out = QString::fromStdString(dir.file("out") + "/");
    const QString in = QString::fromStdString(dir.file("in"));
    EXPECT_EQ(log(),
              (QStringList {"[a]", "[-y]", "[-r]", "[-m5]", "[-ep1]", "[-v720]", "[" + out + "rel.rar]",
                            "[" + in + "/*.*]", "-------------------------", "File(s) created: 2"}));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(start->text(), QStringLiteral("&Start"));
}

TEST_F(RarPageTest, TheFocusComesBackToStartAfterTheRun)
{
    archiver("rar", "echo done\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QApplication::setActiveWindow(page);
    start->setFocus();
    ASSERT_TRUE(start->hasFocus());
    QTest::keyClick(start, Qt::Key_Space);
    EXPECT_EQ(log().value(0), QStringLiteral("done"));
    EXPECT_TRUE(start->hasFocus()) << "Enter would now press "
                                   << QApplication::focusWidget()->objectName().toStdString();
}

TEST_F(RarPageTest, UseAceRunsAce32WithoutEp1)
{
    archiver("ace32", "echo \"$0 $*\"\n");
    fill(dir.file("in"), dir.file("out") + "/", "rel");
    useAce->setChecked(true);
    QTest::mouseClick(start, Qt::LeftButton);
    const QStringList lines = log();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(),
              dir.file("ace32") + " a -y -r -m5 -v1440 " + dir.file("out") + "/rel " + dir.file("in") + "/*.*");
    EXPECT_EQ(lines[2], QStringLiteral("File(s) created: 0"));
}

TEST_F(RarPageTest, TheRootAsInputStaysInTheBoxAndIsCompressedWhole)
{
    archiver("rar", "echo \"$8\"\n");
    fill("/", dir.file("out"), "rel");
    for (int run = 0; run < 2; ++run) {
        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(inDir->text(), QStringLiteral("/"));
        EXPECT_EQ(log().value(0), QStringLiteral("/*.*"));
    }
}

TEST_F(RarPageTest, NamesInTheLogReadAsTheFileSystemWritesThem)
{
    archiver("rar", "printf 'Adding caf\\303\\251.nfo\\nAdding cl\\351.nfo\\n'\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QTest::mouseClick(start, Qt::LeftButton);
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("Adding caf\xC3\xA9.nfo"));
    EXPECT_EQ(pathFromQString(lines[1]), "Adding cl\xE9.nfo");
}

TEST_F(RarPageTest, ProgressLinesOverwriteTheEndOfTheLastLine)
{
    archiver("rar", "printf 'Adding a.txt    \\b\\b\\b\\b 10%%\\b\\b\\b\\b100%%\\nok\\n'\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(log(), (QStringList {"Adding a.txt100%", "ok", "-------------------------", "File(s) created: 0"}));
}

TEST_F(RarPageTest, MissingDirectoriesAndQuotesAreRefusedBeforeAnythingRuns)
{
    archiver("rar", "touch ran\n");
    struct Case {
        std::string in, out;
        QString name;
        QString caption, text;
    } cases[] = {
        {dir.file("nowhere"), dir.file("out"), "rel", "Input error", "Input directory not found."},
        {dir.file("in/a.txt"), dir.file("out"), "rel", "Input error", "Input directory not found."},
        {dir.file("in"), dir.file("nowhere"), "rel", "Output error", "Output directory not found."},
        {dir.file("in"), dir.file("out"), "x\" -df \"", "Input error",
         "Names and paths may not contain double quotes."},
    };
    for (const Case& c : cases) {
        fill(c.in, c.out, c.name);
        QTest::mouseClick(start, Qt::LeftButton);
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().caption, c.caption);
        EXPECT_EQ(dialogs.messages.back().text, c.text);
        EXPECT_TRUE(log().isEmpty());
        EXPECT_FALSE(fs::exists(dir.file("ran")));
    }
}

TEST_F(RarPageTest, FailuresShowTheExitCodeTextAndStillCloseTheLog)
{
    // An archiver that fails with code 28 (no space left), one that is missing, one killed.
    archiver("rar", "echo failing; exit 28\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Compression error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("No space left on device."));
    EXPECT_EQ(log(), (QStringList {"failing", "-------------------------", "File(s) created: 0"}));

    fs::remove(dir.file("rar"));
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("No such file or directory."));
    EXPECT_EQ(log().last(), QStringLiteral("File(s) created: 0"));

    archiver("rar", "kill -9 $$\n");
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].caption, QStringLiteral("Compression error"));
    EXPECT_TRUE(start->isEnabled());

    // Without the stub nothing can start.
    fs::remove(dir.file("PKM.DLL"));
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(dialogs.messages[3].text, QStringLiteral("Error while trying to start compression."));
}

TEST_F(RarPageTest, TheWindowRefusesToCloseWhileTheRunIsUnderWayAndStaysResponsive)
{
    use(shown.openInMainWindow(dir, "Rar"));
    TForm1* form = shown.mainWindow();
    archiver("rar", "echo started\nwhile [ ! -e \"" + dir.file("go") + "\" ]; do sleep 0.05; done\necho done\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    bool triedToClose = false;
    bool closed = true;
    QTimer::singleShot(0, [&] {
        // Inside the run: the page shows it is working, and closing is refused.
        EXPECT_FALSE(start->isEnabled());
        EXPECT_EQ(start->text(), QStringLiteral("Working..."));
        closed = form->close();
        triedToClose = true;
        std::ofstream(dir.file("go")).put('x');
    });
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(triedToClose);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form->isVisible());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Close error"));
    EXPECT_EQ(log().first(), QStringLiteral("started"));
    EXPECT_TRUE(form->close());
}

TEST_F(RarPageTest, VolumeSizeFieldTakesDigitsOnlyAndRepairsZero)
{
    QApplication::setActiveWindow(page);
    volumeSize->clear();
    volumeSize->setFocus();
    QTest::keyClicks(volumeSize, QStringLiteral("a-$1x2"));
    EXPECT_EQ(volumeSize->text(), QStringLiteral("12"));
    QTest::keyClick(volumeSize, Qt::Key_Backspace);
    EXPECT_EQ(volumeSize->text(), QStringLiteral("1"));
    QTest::keyClicks(volumeSize, QStringLiteral("23456"));
    EXPECT_EQ(volumeSize->text(), QStringLiteral("12345"));

    volumeSize->setText(QStringLiteral("0"));
    volumeName->setFocus();
    EXPECT_EQ(volumeSize->text(), QStringLiteral("1"));

    volumeSize->setFocus();
    volumeSize->clear();
    volumeName->setFocus();
    EXPECT_EQ(volumeSize->text(), QString());

    volumeSize->setFocus();
    volumeSize->setText(QStringLiteral("9x"));
    // The window losing activation, or a popup menu, does not leave the field.
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(volumeSize, &out);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.empty());
    volumeName->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Numeric values only!"));
    EXPECT_EQ(volumeSize->text(), QStringLiteral("9x"));
}

TEST_F(RarPageTest, BrowseButtonsStartAtTheFieldAndTakeTheChosenFolder)
{
    inDir->setText(QString::fromStdString(dir.file("in") + "/"));
    dialogs.folderAnswers.push_back(QString::fromStdString(dir.file("in/sub")));
    QTest::mouseClick(find<QToolButton>(page, "BitBtn6"), Qt::LeftButton);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection.toStdString(), dir.file("in"));
    EXPECT_EQ(dialogs.folderRequests[0].title, QStringLiteral("Pakmaster."));
    EXPECT_EQ(inDir->text().toStdString(), dir.file("in/sub"));

    // A cancel leaves the field as it was.
    outDir->setText(QStringLiteral("keep"));
    QTest::mouseClick(find<QToolButton>(page, "BitBtn7"), Qt::LeftButton);
    EXPECT_EQ(outDir->text(), QStringLiteral("keep"));
}

TEST_F(RarPageTest, FoldersDroppedFromTheFileManagerAreTheDirectoriesOfTheRun)
{
    archiver("rar", "touch \"$7.7z.001\"\n");
    fill("", "", "rel");
    EXPECT_TRUE(dropOn(inDir, *fileUrls({dir.file("in")})).dropped);
    EXPECT_TRUE(dropOn(outDir, *fileUrls({dir.file("out")})).dropped);
    // A file is no directory: refused, the box keeps its folder.
    EXPECT_FALSE(dropOn(inDir, *fileUrls({dir.file("in/a.txt")})).entered);
    EXPECT_EQ(inDir->text().toStdString(), dir.file("in"));
    EXPECT_EQ(outDir->text().toStdString(), dir.file("out"));
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessageText().toStdString();
    EXPECT_TRUE(fs::exists(dir.file("out/rel.7z.001")));
}

TEST_F(RarPageTest, TheBuiltInArchiverMakesVolumesThatSevenZipRestores)
{
    if (QStandardPaths::findExecutable(QStringLiteral("7zz")).isEmpty())
        GTEST_SKIP() << "7zz is not installed";
    fs::create_symlink(PAKMASTER_BIN_DIR "/rar", dir.file("rar"));
    std::mt19937 random(7);
    std::string noise(600 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.write("in/noise.bin", noise);
    fill(dir.file("in"), dir.file("out"), "rel.rar", "100");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessageText().toStdString();

    std::size_t volumes = 0;
    std::string first;
    for (const auto& entry : fs::directory_iterator(dir.file("out"))) {
        ++volumes;
        if (first.empty() || entry.path().string() < first)
            first = entry.path().string();
        EXPECT_LE(entry.file_size(), 100u * 1024u);
    }
    EXPECT_GE(volumes, 6u);
    EXPECT_EQ(log().last(), QStringLiteral("File(s) created: %1").arg(volumes));

    fs::create_directories(dir.file("x"));
    const int rc = QProcess::execute(QStringLiteral("7zz"),
                                     {QStringLiteral("x"), QStringLiteral("-y"),
                                      QString::fromStdString("-o" + dir.file("x")), QString::fromStdString(first)});
    ASSERT_EQ(rc, 0) << first;
    EXPECT_TRUE(first.ends_with(".001")) << first;
    EXPECT_TRUE(dir.read("x/noise.bin") == noise);
    EXPECT_EQ(dir.read("x/a.txt"), "alpha");
    EXPECT_EQ(dir.read("x/sub/b.txt"), "beta");
}

TEST_F(RarPageTest, ARunThatLeavesVolumesTellsWhereTheyLie)
{
    // The volume name carries a folder of its own inside the output directory.
    archiver("rar", "touch \"$7.7z.001\" \"$7.7z.002\"\n");
    fs::create_directories(dir.file("out/sub"));
    QSignalSpy made(page, &RarPage::volumesMade);
    fill(dir.file("in"), dir.file("out"), "sub/rel.rar");
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_EQ(made.count(), 1);
    EXPECT_EQ(made[0][0].toString().toStdString(), dir.file("out/sub/"));
    EXPECT_EQ(made[0][1].toString(), QStringLiteral("rel"));

    // A run that leaves none says nothing.
    archiver("rar", "exit 0\n");
    fill(dir.file("in"), dir.file("out"), "none");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(log().last(), QStringLiteral("File(s) created: 0"));
    EXPECT_EQ(made.count(), 1);
}

TEST_F(RarPageTest, TheBarFollowsTheArchiversCounterAndEveryStartBeginsAtNothing)
{
    // Packing to 50%, then the test of the set to 50%: nine tenths of the bar are the packing.
    archiver("rar",
             "printf 'Add new data to archive: 1 file\\n 10%%\\b\\b\\b\\b 50%%\\b\\b\\b\\b"
             "Testing archive: x\\n 50%%\\n'\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    auto* bar = find<QProgressBar>(page, "RunProgressBar");
    QSignalSpy values(bar, &QProgressBar::valueChanged);
    QTest::mouseClick(start, Qt::LeftButton);
    QTest::mouseClick(start, Qt::LeftButton);
    QList<int> seen;
    for (const QList<QVariant>& value : values)
        seen << value.at(0).toInt();
    EXPECT_EQ(seen, (QList<int> {9, 45, 90, 95, 100, 0, 9, 45, 90, 95, 100}));
    // The log shows what the archiver printed, as ever.
    EXPECT_EQ(log(),
              (QStringList {"Add new data to archive: 1  50%", "Testing archiv 50%", "-------------------------",
                            "File(s) created: 0"}));

    // A run that fails keeps its bar where it came to.
    archiver("rar", "printf ' 50%%\\n'; exit 5\n");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(bar->value(), 45);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(RarPageTest, StopAndEscapeEndTheArchiverAndLeaveTheEarlierVolumesWhole)
{
    if (QStandardPaths::findExecutable(QStringLiteral("7zz")).isEmpty())
        GTEST_SKIP() << "7zz is not installed";
    fs::create_symlink(PAKMASTER_BIN_DIR "/rar", dir.file("rar"));
    // Incompressible, so that 7zz is still at work when the stop comes.
    dir.write("in/big.bin", noise(24u << 20, 3));
    dir.write("out/rel.7z.001", "earlier 1");
    dir.write("out/rel.7z.002", "earlier 2");
    const Tree before = contents(dir.file("out"));
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape in the main window" : "Stop");
        if (escape)
            use(shown.openInMainWindow(dir, "Rar"));
        fill(dir.file("in"), dir.file("out"), "rel");
        auto* stop = find<QPushButton>(page, "StopButton");
        EXPECT_FALSE(stop->isVisible());
        bool stopped = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(stop->isVisible());
            if (!QTest::qWaitFor([&] { return anyProcessStarting(dir.path(), "7zz"); }, 20000))
                return;
            if (escape) {
                QApplication::setActiveWindow(shown.mainWindow());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            } else {
                QTest::mouseClick(stop, Qt::LeftButton);
            }
            stopped = true;
        });
        QTest::mouseClick(start, Qt::LeftButton);
        ASSERT_TRUE(stopped) << "7zz never started";
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessageText().toStdString();
        EXPECT_EQ(log().last().toStdString(), pkm::kRunStoppedText);
        EXPECT_EQ(survivors(dir.path()), std::vector<std::string> {});
        // No staging folder, no new volume: the earlier set byte for byte.
        const Tree after = contents(dir.file("out"));
        EXPECT_TRUE(after == before) << [&after] {
            std::string names;
            for (const auto& [name, bytes] : after)
                names += name + " (" + std::to_string(bytes.size()) + " bytes) ";
            return names;
        }();
        EXPECT_FALSE(stop->isVisible());
        EXPECT_TRUE(start->isEnabled());
    }
}

TEST_F(RarPageTest, WhileVolumesAreMadeTheZipPageWaitsAndNavigationGoesOn)
{
    use(shown.openInMainWindow(dir, "Rar"));
    TForm1* form = shown.mainWindow();
    for (const char* option : {"CheckBox3", "CheckBox4"})
        QTest::mouseClick(find<QCheckBox>(form, option), Qt::LeftButton);
    form->ShowRarPage();
    auto* zipPage = form->zipPage();
    auto* zipStart = find<QPushButton>(zipPage, "Button6");
    auto* zipLog = find<TLogBox>(zipPage, "Memo2");
    archiver("rar", "echo started\nwhile [ ! -e \"" + dir.file("go") + "\" ]; do sleep 0.05; done\n");
    archiver("zip", "touch \"" + dir.file("zip ran") + "\"\n");
    zipPage->setOutputDirectory(QString::fromStdString(dir.file("out")));
    fill(dir.file("in"), dir.file("out"), "rel");
    bool checked = false;
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(zipStart->isEnabled());
        EXPECT_EQ(zipStart->toolTip(), QStringLiteral("The volumes are being made: one run at a time."));
        QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
        EXPECT_EQ(form->currentPage(), 3);
        // Pressed all the same: no second run starts inside this one.
        zipPage->Button6Click();
        EXPECT_TRUE(zipLog->lines().isEmpty());
        // Escape belongs to the page that runs.
        QApplication::setActiveWindow(form);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::mouseClick(find<QPushButton>(form, "Button1"), Qt::LeftButton);
        EXPECT_EQ(form->currentPage(), 2);
        checked = true;
        std::ofstream(dir.file("go")).put('x');
    });
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_EQ(log().last(), QStringLiteral("File(s) created: 0"));
    EXPECT_FALSE(fs::exists(dir.file("zip ran")));
    EXPECT_TRUE(zipStart->isEnabled());
    EXPECT_TRUE(zipStart->toolTip().isEmpty());
}

TEST(ArchiverPages, APageMadeWhileARunGoesWaitsForIt)
{
    ProgramDir dir;
    TBrowseDirectoryDlg picker;
    const PageContext context {dir.paths(), &picker};
    QObject other;
    context.runs->begin(&other, QStringLiteral("The zips are being made: one run at a time."));
    RarPage late(context, nullptr);
    auto* start = find<QPushButton>(&late, "Button5");
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(start->toolTip(), QStringLiteral("The zips are being made: one run at a time."));
    context.runs->end(&other);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(start->toolTip().isEmpty());
}
