// Files the user keeps (Release.ini, the generated NFO/DIZ file, the preview's save) under
// write faults: a directory that refuses new files, a path below a regular file, a disk that
// fills up. The old file must stay whole and the user gets the message of that failure. And
// what a disk may hold where the program reads (a FIFO, a byte-order mark) or what it would
// write (a file too large to build): the usual message, and the window goes on.
#include "app/MainWindow.h"
#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"

#include "editor/SectionCreatorDialog.h"
#include "editor/TextWindow.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/widgets/TextCodec.h"
#include "support/faulty_file_writer.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/template_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace pkm;

namespace {

std::vector<std::string> entriesOf(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

pkm::SectionList oneSection()
{
    pkm::TParam title;
    title.Name = "Title";
    title.Value = "Pakmaster";
    title.Line = 1;
    title.Start = 3;
    title.Width = 9;
    return {title};
}

pkm::TemplateSettings settingsFor(const std::string& outputDir = std::string())
{
    pkm::TemplateSettings s;
    s.NfoClone = "clone.nfo";
    s.NfoOutput = "release.nfo";
    s.DizClone = "clone.diz";
    s.DizOutput = "file_id.diz";
    s.OutputDir = outputDir;
    return s;
}

} // namespace

TEST(WriteFaults, SavingTheStoreKeepsTheOldFileAndNamesIt)
{
    // The core save, for each fault: the message, the old file byte for byte, no stray file.
    struct Case {
        const char* what;
        std::function<void(FaultyFileWriter&)> inject;
    };
    const std::vector<Case> cases = {
        {"directory refuses new files, file refuses writing in place",
         [](FaultyFileWriter& f) { f.refuseNewFiles = f.refuseExisting = true; }},
        {"disk full at once", [](FaultyFileWriter& f) { f.failAfterBytes = 0; }},
        {"disk full midway", [](FaultyFileWriter& f) { f.failAfterBytes = 25; }},
        // Written in place: the old bytes are put back.
        {"directory refuses new files, disk full midway in place",
         [](FaultyFileWriter& f) {
             f.refuseNewFiles = true;
             f.failAfterBytes = 120;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string original = pkm::BuildTemplateStore("", oneSection(), settingsFor());
        const std::string path = dir.write("Release.ini", original);
        {
            FaultyFileWriter faults;
            c.inject(faults);
            try {
                pkm::SaveTemplateStore(path, {}, settingsFor("/elsewhere"));
                ADD_FAILURE() << "the save should have failed";
            } catch (const pkm::Error& e) {
                EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
            }
        }
        EXPECT_EQ(dir.read("Release.ini"), original);
        EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string> {"Release.ini"});
    }

    // A store path below a regular file (ENOTDIR).
    TempDir dir;
    dir.write("plain", "x");
    const std::string below = dir.file("plain") + "/Release.ini";
    try {
        pkm::SaveTemplateStore(below, oneSection(), settingsFor());
        ADD_FAILURE() << "the save should have failed";
    } catch (const pkm::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + below);
    }
    EXPECT_EQ(dir.read("plain"), "x");
}

TEST(WriteFaults, SectionCreatorOkInARefusingDirectoryReportsAndKeepsReleaseIni)
{
    ProgramDir dir;
    ScriptedDialogs dialogs;
    const std::string original = pkm::BuildTemplateStore("", oneSection(), settingsFor());
    dir.writeIni(original);
    auto form = std::make_unique<TForm2>(dir.paths());
    FaultyFileWriter faults;
    faults.refuseNewFiles = faults.refuseExisting = true;
    QTest::mouseClick(find<QPushButton>(form, "Button1"), Qt::LeftButton);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Unable to write to " + dir.iniPath()));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dir.read("Release.ini"), original);
}

class GeneratedFileFaults : public ::testing::Test {
protected:
    void start(const pkm::TemplateSettings& settings, const pkm::SectionList& sections = oneSection(),
               const std::string& templ = "| ......... |\r\n")
    {
        dir.writeIni(pkm::BuildTemplateStore("", sections, settings));
        dir.write("clone.nfo", templ);
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        QApplication::setActiveWindow(form.get());
        QTest::mouseClick(find<QCheckBox>(form, "CheckBox1"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
        ASSERT_TRUE(find<QPushButton>(form, "Button4")->isVisible());
    }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

TEST_F(GeneratedFileFaults, RefusedOutputKeepsTheEarlierFileAndNamesIt)
{
    const std::string earlier = "earlier output\r\n";
    dir.write("release.nfo", earlier);
    start(settingsFor());
    FaultyFileWriter faults;
    faults.refuseNewFiles = faults.refuseExisting = true;
    QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Cannot create file %1").arg(pathToQString(dir.file("release.nfo"))));
    EXPECT_TRUE(dialogs.dialogTitles.empty()) << "no preview after a failure";
    EXPECT_EQ(dir.read("release.nfo"), earlier);
}

TEST_F(GeneratedFileFaults, OutputDirectoryBelowARegularFileIsReported)
{
    dir.write("plain", "x");
    start(settingsFor(dir.file("plain")));
    QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Cannot create file %1").arg(pathToQString(dir.file("plain") + "/release.nfo")));
    EXPECT_EQ(dir.read("plain"), "x");
}

TEST_F(GeneratedFileFaults, PreviewSaveIntoARefusingDirectoryKeepsTheGeneratedFile)
{
    start(settingsFor());
    FaultyFileWriter faults;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        find<QTextEdit>(qobject_cast<TForm3*>(d), "Memo1")->setPlainText(QStringLiteral("edited, never saved"));
        faults.refuseNewFiles = faults.refuseExisting = true;
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Cannot create file %1").arg(pathToQString(dir.file("release.nfo"))));
    EXPECT_EQ(dir.read("release.nfo"), "| Pakmaster |\r\n");
}

TEST_F(GeneratedFileFaults, AFifoTemplateIsTheUsualInputErrorAndAnOversizedFileIsRefused)
{
    // The FIFO is never opened, so Preview does not wait for a writer.
    const std::string earlier = "earlier output\r\n";
    dir.write("release.nfo", earlier);
    start(settingsFor());
    ::unlink(dir.file("clone.nfo").c_str());
    ASSERT_EQ(::mkfifo(dir.file("clone.nfo").c_str(), 0644), 0);
    QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Input error"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Error while reading input file...\r") + pathToQString(dir.file("clone.nfo"))
                  + QStringLiteral("\rNot a regular file."));

    // A 64 KiB line repeated once per character of a 100-character memo-style value of width 1
    // would make 6.4 MB: refused before it is built, with a message of its own.
    ::unlink(dir.file("clone.nfo").c_str());
    pkm::SectionList memo = oneSection();
    memo[0].Style = true;
    memo[0].Width = 1;
    memo[0].Value = std::string(100, 'x');
    form.reset();
    dialogs.messages.clear();
    start(settingsFor(), memo, std::string(64 * 1024, '.') + "\r\n");
    QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Output error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The generated file would be larger than 4 MB."));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(dialogs.dialogTitles.empty()) << "no preview after a failure";
    EXPECT_EQ(dir.read("release.nfo"), earlier);
    EXPECT_TRUE(find<QPushButton>(form, "Button4")->isEnabled());
}

TEST(ReadHazards, AFifoForReleaseIniStartsWithoutSectionsAndRefusesTheSave)
{
    ProgramDir dir;
    ScriptedDialogs dialogs;
    ASSERT_EQ(::mkfifo(dir.iniPath().c_str(), 0644), 0);
    auto form = std::make_unique<TForm1>(dir.paths());
    EXPECT_TRUE(dialogs.messages.empty()) << "the file is there: no first-run message";
    EXPECT_TRUE(form->nfoSections().empty());
    EXPECT_TRUE(form->dizSections().empty());

    // The section creator opens empty, and its OK is refused without touching the FIFO.
    dialogs.dialogHandlers.push_back([](QDialog* d) {
        EXPECT_EQ(find<QListWidget>(d, "ListBox1")->count(), 0);
        QTest::mouseClick(find<QPushButton>(d, "Button1"), Qt::LeftButton);
        return d->result();
    });
    QTest::mouseClick(find<QToolButton>(form, "BitBtn3"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString("Unable to write to " + dir.iniPath()));
    EXPECT_EQ(std::filesystem::status(dir.iniPath()).type(), std::filesystem::file_type::fifo);
}

TEST(ReadHazards, AByteOrderMarkedReleaseIniStartsWithItsSectionsAndOutputDirectory)
{
    ProgramDir dir;
    ScriptedDialogs dialogs;
    dir.writeIni("\xEF\xBB\xBF" + pkm::BuildTemplateStore("", oneSection(), settingsFor("/srv/out")));
    auto form = std::make_unique<TForm1>(dir.paths());
    ASSERT_EQ(form->nfoSections().size(), 1u);
    EXPECT_EQ(form->nfoSections()[0].Name, "Title");
    EXPECT_EQ(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text(), QStringLiteral("/srv/out"));
    EXPECT_EQ(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text(), QStringLiteral("/srv/out"));
    EXPECT_TRUE(dialogs.messages.empty());
}
