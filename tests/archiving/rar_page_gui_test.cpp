#include "archiving/RarPage.h"

#include "app/MainWindow.h"
#include "platform/widgets/LogBox.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace fs = std::filesystem;

namespace {

// A main window on the Rar page, in a program directory holding the real stub and whatever
// archiver a test puts there.
class RarPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.writeIni();
        fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL"));
        fs::create_directories(dir.file("in/sub"));
        dir.write("in/a.txt", "alpha");
        dir.write("in/sub/b.txt", "beta");
        fs::create_directories(dir.file("out"));
        form = std::make_unique<TForm1>(dir.paths());
        find<QCheckBox>(form, "CheckBox3")->setChecked(true);
        form->ShowRarPage();
        form->show();
        page = find<RarPage>(form, "Rar");
    }

    // A fake archiver: a shell script named `name` in the program directory.
    void archiver(const std::string& name, const std::string& body)
    {
        const std::string path = dir.write(name, "#!/bin/sh\n" + body);
        fs::permissions(path, fs::perms::owner_all);
    }

    void fill(const std::string& in, const std::string& out, const QString& name, const QString& size = "1440")
    {
        page->InDirEdit->setText(QString::fromStdString(in));
        page->OutDirEdit->setText(QString::fromStdString(out));
        page->NameEdit->setText(name);
        page->VolumeEdit->setText(size);
    }

    QStringList log() { return page->Memo1->lines(); }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
    RarPage* page = nullptr;
};

} // namespace

TEST_F(RarPageTest, RunsTheArchiverWithTheExactCommandLineAndClosesTheLog)
{
    // The fake prints each argument on a line of its own, then makes two volumes.
    archiver("rar", "for a in \"$@\"; do echo \"[$a]\"; done\n"
                    "touch \"$7.7z.001\" \"$7.7z.002\"\n");
    fill(dir.file("in") + "/", dir.file("out"), "rel.rar", "720");
    QTest::mouseClick(page->Button5, Qt::LeftButton);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(page->InDirEdit->text().toStdString(), dir.file("in"));
    EXPECT_EQ(page->OutDirEdit->text().toStdString(), dir.file("out") + "/");
    const QString out = QString::fromStdString(dir.file("out") + "/");
    const QString in = QString::fromStdString(dir.file("in"));
    EXPECT_EQ(log(), (QStringList {"[a]", "[-y]", "[-r]", "[-m5]", "[-ep1]", "[-v720]", "[" + out + "rel.rar]",
                                   "[" + in + "/*.*]", "-------------------------", "File(s) created: 2"}));
    EXPECT_TRUE(page->Button5->isEnabled());
    EXPECT_EQ(page->Button5->text(), QStringLiteral("&Start"));
}

TEST_F(RarPageTest, TheFocusComesBackToStartAfterTheRun)
{
    archiver("rar", "echo done\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QApplication::setActiveWindow(form.get());
    page->Button5->setFocus();
    ASSERT_TRUE(page->Button5->hasFocus());
    QTest::keyClick(page->Button5, Qt::Key_Space);
    EXPECT_EQ(log().value(0), QStringLiteral("done"));
    EXPECT_TRUE(page->Button5->hasFocus()) << "Enter would now press " << QApplication::focusWidget()->objectName().toStdString();
}

TEST_F(RarPageTest, UseAceRunsAce32WithoutEp1)
{
    archiver("ace32", "echo \"$0 $*\"\n");
    fill(dir.file("in"), dir.file("out") + "/", "rel");
    page->CheckBox6->setChecked(true);
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    const QStringList lines = log();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toStdString(), dir.file("ace32") + " a -y -r -m5 -v1440 " + dir.file("out") + "/rel "
                                          + dir.file("in") + "/*.*");
    EXPECT_EQ(lines[2], QStringLiteral("File(s) created: 0"));
}

TEST_F(RarPageTest, TheRootAsInputStaysInTheBoxAndIsCompressedWhole)
{
    archiver("rar", "echo \"$8\"\n");
    fill("/", dir.file("out"), "rel");
    for (int run = 0; run < 2; ++run) {
        QTest::mouseClick(page->Button5, Qt::LeftButton);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(page->InDirEdit->text(), QStringLiteral("/"));
        EXPECT_EQ(log().value(0), QStringLiteral("/*.*"));
    }
}

TEST_F(RarPageTest, NamesInTheLogReadAsTheFileSystemWritesThem)
{
    archiver("rar", "printf 'Adding caf\\303\\251.nfo\\nAdding cl\\351.nfo\\n'\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("Adding caf\xC3\xA9.nfo"));
    EXPECT_EQ(pathFromQString(lines[1]), "Adding cl\xE9.nfo");
}

TEST_F(RarPageTest, ProgressLinesOverwriteTheEndOfTheLastLine)
{
    archiver("rar", "printf 'Adding a.txt    \\b\\b\\b\\b 10%%\\b\\b\\b\\b100%%\\nok\\n'\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    QTest::mouseClick(page->Button5, Qt::LeftButton);
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
        {dir.file("in"), dir.file("out"), "x\" -df \"", "Input error", "Names and paths may not contain double quotes."},
    };
    for (const Case& c : cases) {
        fill(c.in, c.out, c.name);
        QTest::mouseClick(page->Button5, Qt::LeftButton);
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
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Compression error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("No space left on device."));
    EXPECT_EQ(log(), (QStringList {"failing", "-------------------------", "File(s) created: 0"}));

    fs::remove(dir.file("rar"));
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("No such file or directory."));
    EXPECT_EQ(log().last(), QStringLiteral("File(s) created: 0"));

    archiver("rar", "kill -9 $$\n");
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].caption, QStringLiteral("Compression error"));
    EXPECT_TRUE(page->Button5->isEnabled());

    // Without the stub nothing can start.
    fs::remove(dir.file("PKM.DLL"));
    QTest::mouseClick(page->Button5, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(dialogs.messages[3].text, QStringLiteral("Error while trying to start compression."));
}

TEST_F(RarPageTest, TheWindowRefusesToCloseWhileTheRunIsUnderWayAndStaysResponsive)
{
    archiver("rar", "echo started\nwhile [ ! -e \"" + dir.file("go") + "\" ]; do sleep 0.05; done\necho done\n");
    fill(dir.file("in"), dir.file("out"), "rel");
    bool triedToClose = false;
    bool closed = true;
    QTimer::singleShot(0, [&] {
        // Inside the run: the page shows it is working, and closing is refused.
        EXPECT_FALSE(page->Button5->isEnabled());
        EXPECT_EQ(page->Button5->text(), QStringLiteral("Working..."));
        closed = form->close();
        triedToClose = true;
        std::ofstream(dir.file("go")).put('x');
    });
    QTest::mouseClick(page->Button5, Qt::LeftButton);
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
    QApplication::setActiveWindow(form.get());
    QLineEdit* size = page->VolumeEdit;
    size->clear();
    size->setFocus();
    QTest::keyClicks(size, QStringLiteral("a-$1x2"));
    EXPECT_EQ(size->text(), QStringLiteral("12"));
    QTest::keyClick(size, Qt::Key_Backspace);
    EXPECT_EQ(size->text(), QStringLiteral("1"));
    QTest::keyClicks(size, QStringLiteral("23456"));
    EXPECT_EQ(size->text(), QStringLiteral("12345"));

    size->setText(QStringLiteral("0"));
    page->NameEdit->setFocus();
    EXPECT_EQ(size->text(), QStringLiteral("1"));

    size->setFocus();
    size->clear();
    page->NameEdit->setFocus();
    EXPECT_EQ(size->text(), QString());

    size->setFocus();
    size->setText(QStringLiteral("9x"));
    // The window losing activation, or a popup menu, does not leave the field.
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(size, &out);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.messages.empty());
    page->NameEdit->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.empty(); }));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Numeric values only!"));
    EXPECT_EQ(size->text(), QStringLiteral("9x"));
}

TEST_F(RarPageTest, BrowseButtonsStartAtTheFieldAndTakeTheChosenFolder)
{
    page->InDirEdit->setText(QString::fromStdString(dir.file("in") + "/"));
    dialogs.folderAnswers.push_back(QString::fromStdString(dir.file("in/sub")));
    QTest::mouseClick(page->BitBtn6, Qt::LeftButton);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection.toStdString(), dir.file("in"));
    EXPECT_EQ(dialogs.folderRequests[0].title, QStringLiteral("Pakmaster."));
    EXPECT_EQ(page->InDirEdit->text().toStdString(), dir.file("in/sub"));

    // A cancel leaves the field as it was.
    page->OutDirEdit->setText(QStringLiteral("keep"));
    QTest::mouseClick(page->BitBtn7, Qt::LeftButton);
    EXPECT_EQ(page->OutDirEdit->text(), QStringLiteral("keep"));
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
    QTest::mouseClick(page->Button5, Qt::LeftButton);
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
    const int rc = QProcess::execute(QStringLiteral("7zz"), {QStringLiteral("x"), QStringLiteral("-y"),
                                                             QString::fromStdString("-o" + dir.file("x")),
                                                             QString::fromStdString(first)});
    ASSERT_EQ(rc, 0) << first;
    EXPECT_TRUE(first.ends_with(".001")) << first;
    EXPECT_TRUE(dir.read("x/noise.bin") == noise);
    EXPECT_EQ(dir.read("x/a.txt"), "alpha");
    EXPECT_EQ(dir.read("x/sub/b.txt"), "beta");
}
