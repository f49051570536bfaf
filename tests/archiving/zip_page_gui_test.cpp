// ZipPage driven through its controls and the "Zip files" dialog: series, content, the runs of
// zip over the list, refusals and failures, and closing the main window during a run.
#include "archiving/ZipPage.h"

#include "archiving/LogBox.h"
#include "archiving/ZipSeriesDialog.h"
#include "platform/widgets/StopSignals.h"
#include "support/gui/drops.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "support/gui/shown_page.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace pkm;

namespace {

namespace fs = std::filesystem;

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

QStringList rows(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// A fresh Zip page alone whose program directory is a temporary one: the tests put the stub
// and the archiver there, real (linked from the build) or fake (scripts).
class ZipPageTest : public ::testing::Test {
protected:
    void SetUp() override { openPage(); }

    void openPage() { use(shown.openAlone(dir.paths())); }

    void use(ZipPage* opened)
    {
        page = opened;
        zipList = find<QListWidget>(page, "ListBox1");
        contentList = find<QListWidget>(page, "ListBox2");
        addZip = find<QToolButton>(page, "BitBtn1");
        deleteZip = find<QToolButton>(page, "BitBtn2");
        addFile = find<QToolButton>(page, "BitBtn4");
        deleteFile = find<QToolButton>(page, "BitBtn5");
        browse = find<QToolButton>(page, "BitBtn8");
        outDir = find<QLineEdit>(page, "OutDirEdit2");
        startButton = find<QPushButton>(page, "Button6");
        memo = find<TLogBox>(page, "Memo2");
    }

    void linkRealStub() { fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL")); }
    void linkRealZip() { fs::create_symlink(PAKMASTER_BIN_DIR "/zip", dir.file("zip")); }

    // An executable shell script in the program directory.
    // A fake zip passes the test of what it made ("zip -T <zip>") without a word.
    std::string script(const std::string& name, const std::string& body)
    {
        const std::string passesTest = name == "zip" ? "[ \"$1\" = -T ] && exit 0\n" : "";
        const std::string path = dir.write(name, "#!/bin/sh\n" + passesTest + body + "\n");
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    // A stub that runs nothing and leaves a mark, for runs that must not start any command.
    std::string markingStub()
    {
        const std::string mark = work.file("stub-ran");
        script("PKM.DLL", "touch '" + mark + "'");
        return mark;
    }

    // Adds a series through the "Zip files" dialog; returns the name it proposed.
    QString addSeries(const QString& name, const QString& count)
    {
        QString proposed;
        dialogs.dialogHandlers.push_back([&](QDialog* d) {
            auto* f = qobject_cast<TForm4*>(d);
            EXPECT_NE(f, nullptr);
            proposed = f->firstName();
            find<QLineEdit>(f, "Edit1")->setText(name);
            find<QLineEdit>(f, "Edit2")->setText(count);
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(addZip, Qt::LeftButton);
        return proposed;
    }

    // Selects exactly these rows of the zip list.
    void selectZips(std::initializer_list<int> which)
    {
        zipList->clearSelection();
        for (int row : which)
            zipList->item(row)->setSelected(true);
    }

    // Answers the open-file dialog with these files and presses "Add file to zip".
    void addFiles(const std::vector<std::string>& files)
    {
        QStringList answer;
        for (const std::string& f : files)
            answer << q(f);
        dialogs.fileAnswers.push_back(answer);
        QTest::mouseClick(addFile, Qt::LeftButton);
    }

    QStringList contentOf(int zipRow)
    {
        selectZips({zipRow});
        return rows(contentList);
    }

    void clickRow(QListWidget* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        ASSERT_TRUE(list->viewport()->rect().contains(rect.center())) << row;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, rect.center());
    }

    QStringList log() { return memo->lines(); }

    void start() { QTest::mouseClick(startButton, Qt::LeftButton); }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    TempDir work;
    ShownPage<ZipPage> shown;
    ZipPage* page = nullptr;
    QListWidget* zipList = nullptr;
    QListWidget* contentList = nullptr;
    QToolButton* addZip = nullptr;
    QToolButton* deleteZip = nullptr;
    QToolButton* addFile = nullptr;
    QToolButton* deleteFile = nullptr;
    QToolButton* browse = nullptr;
    QLineEdit* outDir = nullptr;
    QPushButton* startButton = nullptr;
    TLogBox* memo = nullptr;
};

const QString kSeparator = QStringLiteral("-------------------------");

} // namespace

TEST_F(ZipPageTest, DialogAddsANumberedSeriesAndProposesTheNextName)
{
    QString proposed;
    bool okEnabled = true;
    QObject* owner = nullptr;
    QPointer<QDialog> dialogShown;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* f = qobject_cast<TForm4*>(d);
        dialogShown = d;
        owner = d->parent();
        proposed = f->firstName();
        okEnabled = find<QPushButton>(f, "Button1")->isEnabled();
        find<QLineEdit>(f, "Edit1")->setText(QStringLiteral("disk01"));
        find<QLineEdit>(f, "Edit2")->setText(QStringLiteral("5"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(addZip, Qt::LeftButton);
    EXPECT_EQ(dialogs.dialogTitles, (std::vector<QString> {QStringLiteral("Zip files")}));
    EXPECT_TRUE(proposed.isEmpty());
    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(owner, page);
    EXPECT_TRUE(dialogShown.isNull());
    EXPECT_EQ(rows(zipList), (QStringList {"disk01", "disk02", "disk03", "disk04", "disk05"}));
    EXPECT_TRUE(zipList->selectedItems().isEmpty());

    // Cancel: the proposal was the next number, and nothing changes.
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* f = qobject_cast<TForm4*>(d);
        dialogShown = d;
        proposed = f->firstName();
        okEnabled = find<QPushButton>(f, "Button1")->isEnabled();
        find<QLineEdit>(f, "Edit1")->setText(QStringLiteral("other"));
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(addZip, Qt::LeftButton);
    EXPECT_EQ(proposed, QStringLiteral("disk06"));
    EXPECT_TRUE(okEnabled);
    EXPECT_TRUE(dialogShown.isNull());
    EXPECT_EQ(zipList->count(), 5);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, SeriesAreListedSortedWithoutRegardToCaseAndNamedAsTyped)
{
    struct Row {
        std::vector<std::pair<QString, QString>> series; // name, count
        QStringList expected;
        QString nextProposal;
    };
    const std::vector<Row> table = {
        {{{"cd7", "3"}}, {"cd7", "cd8", "cd9"}, "cd10"},
        // Character order, not numeric order.
        {{{"disk9", "3"}}, {"disk10", "disk11", "disk9"}, "disk12"},
        {{{"setup", "3"}}, {"setup"}, ""},
        // A name equal to one present but for case is not added again; the number still advances.
        {{{"disk01", "2"}, {"DISK02", "2"}}, {"disk01", "disk02", "DISK03"}, "DISK04"},
        // Case does not decide the order: a2 comes before B1.
        {{{"B1", "1"}, {"a2", "1"}}, {"a2", "B1"}, "a3"},
        // A count that is not a number makes one zip.
        {{{"vol1", "x"}}, {"vol1"}, "vol2"},
    };
    for (const Row& row : table) {
        openPage();
        for (const auto& [name, count] : row.series)
            addSeries(name, count);
        EXPECT_EQ(rows(zipList), row.expected) << row.expected.join(' ').toStdString();
        QString proposed = QStringLiteral("(not shown)");
        dialogs.dialogHandlers.push_back([&](QDialog* d) {
            proposed = qobject_cast<TForm4*>(d)->firstName();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(addZip, Qt::LeftButton);
        EXPECT_EQ(proposed, row.nextProposal) << row.expected.join(' ').toStdString();
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, FilesAreSpreadOverTheSelectedZips)
{
    const std::string nfo = work.write("rel/readme.nfo", "n");
    const std::string rar = work.write("rel/rel.rar", "0");
    const std::string r00 = work.write("rel/rel.r00", "1");
    const std::string r01 = work.write("rel/rel.r01", "2");
    addSeries("disk1", "3");

    // One file goes into every selected zip.
    selectZips({0, 1, 2});
    addFiles({nfo});
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const OpenFilesRequest& request = dialogs.fileRequests[0];
    EXPECT_EQ(request.filters,
              (QStringList {"All files (*)", "Nfo files (*.nfo)", "Diz files (*.diz)", "Rar files (*.r*)",
                            "Ace files (*.ace *.c*)"}));
    EXPECT_EQ(request.filterIndex, 0);
    EXPECT_TRUE(request.multiple);
    EXPECT_TRUE(request.mustExist);
    EXPECT_TRUE(request.hideReadOnly);
    // The content list is refreshed at once: the file is common to all three.
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo"}));

    // Three volumes, two selected zips: one each, in order; the third goes nowhere.
    selectZips({0, 1});
    addFiles({rar, r00, r01});
    EXPECT_EQ(contentOf(0), (QStringList {"readme.nfo", "rel.rar"}));
    EXPECT_EQ(contentOf(1), (QStringList {"readme.nfo", "rel.r00"}));
    EXPECT_EQ(contentOf(2), (QStringList {"readme.nfo"}));

    // Several files into the one selected zip, kept sorted; a file already there stays once.
    selectZips({2});
    addFiles({r01, r00, nfo});
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo", "rel.r00", "rel.r01"}));
    EXPECT_EQ(page->zips().entries()[2].content, (std::vector<std::string> {nfo, r00, r01}));

    // A cancelled dialog adds nothing.
    addFiles({});
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo", "rel.r00", "rel.r01"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, FilesDroppedOnTheContentListGoWhereTheOpenFileDialogPutsThem)
{
    const std::string nfo = work.write("rel/readme.nfo", "n");
    const std::string r00 = work.write("rel/rel.r00", "1");
    const std::string r01 = work.write("rel/rel.r01", "2");
    addSeries("disk1", "3");
    QWidget* target = contentList->viewport();

    // Nothing selected: the files have nowhere to go.
    zipList->clearSelection();
    EXPECT_FALSE(dropOn(target, *fileUrls({nfo})).entered);

    // Several files, several zips: one each, in order.
    selectZips({0, 1});
    const DropAnswer spread = dropOn(target, *fileUrls({r00, r01}));
    EXPECT_TRUE(spread.entered);
    EXPECT_TRUE(spread.dropped);
    EXPECT_EQ(spread.action, Qt::CopyAction);
    EXPECT_TRUE(rows(contentList).isEmpty()); // the two zips share nothing yet
    EXPECT_EQ(contentOf(0), (QStringList {"rel.r00"}));
    EXPECT_EQ(contentOf(1), (QStringList {"rel.r01"}));

    // One file, several zips: into every one, the content list refreshed at once.
    selectZips({0, 1, 2});
    EXPECT_TRUE(dropOn(target, *fileUrls({nfo})).dropped);
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo"}));

    // Several files into the one selected zip.
    selectZips({2});
    EXPECT_TRUE(dropOn(target, *fileUrls({r01, r00})).dropped);
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo", "rel.r00", "rel.r01"}));

    // A folder among the files refuses the whole drop.
    selectZips({0});
    EXPECT_FALSE(dropOn(target, *fileUrls({nfo, work.file("rel")})).entered);
    EXPECT_EQ(contentOf(0), (QStringList {"readme.nfo", "rel.r00"}));
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessageText().toStdString();

    // The output directory box takes a folder.
    EXPECT_TRUE(dropOn(outDir, *fileUrls({work.file("rel")})).dropped);
    EXPECT_EQ(outDir->text(), q(work.file("rel")));
}

TEST_F(ZipPageTest, ContentFollowsClicksAndArrowKeysInTheZipList)
{
    addSeries("disk1", "3");
    selectZips({0, 1});
    addFiles({work.write("a.nfo", "a")});
    selectZips({0});
    addFiles({work.write("x.r00", "0")});
    selectZips({1});
    addFiles({work.write("x.r01", "1")});
    selectZips({});
    EXPECT_TRUE(rows(contentList).isEmpty());

    struct Step {
        const char* what;
        std::function<void()> act;
        QStringList expected;
    };
    QListWidget* list = zipList;
    const std::vector<Step> steps = {
        {"click disk1", [&] { clickRow(list, 0); }, {"a.nfo", "x.r00"}},
        {"arrow down to disk2", [&] { QTest::keyClick(list, Qt::Key_Down); }, {"a.nfo", "x.r01"}},
        {"arrow down to disk3 (empty)", [&] { QTest::keyClick(list, Qt::Key_Down); }, {}},
        {"arrow up to disk2", [&] { QTest::keyClick(list, Qt::Key_Up); }, {"a.nfo", "x.r01"}},
        {"ctrl-click disk1 as well", [&] { clickRow(list, 0, Qt::ControlModifier); }, {"a.nfo"}},
        {"ctrl-click the empty disk3 as well", [&] { clickRow(list, 2, Qt::ControlModifier); }, {}},
        {"ctrl-click disk3 off again", [&] { clickRow(list, 2, Qt::ControlModifier); }, {"a.nfo"}},
        {"ctrl-click disk1 off", [&] { clickRow(list, 0, Qt::ControlModifier); }, {"a.nfo", "x.r01"}},
        {"ctrl-click disk2 off: nothing selected", [&] { clickRow(list, 1, Qt::ControlModifier); }, {}},
        {"shift-arrow from disk2 to disk3",
         [&] {
             clickRow(list, 1);
             QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
         },
         {}},
        {"shift-arrow back to disk2 alone",
         [&] { QTest::keyClick(list, Qt::Key_Up, Qt::ShiftModifier); },
         {"a.nfo", "x.r01"}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(rows(contentList), step.expected) << step.what;
    }
}

TEST_F(ZipPageTest, RemovingAFileNameRemovesEveryPathEndingInItFromTheSelectedZips)
{
    const std::string a = work.write("a/readme.nfo", "a");
    const std::string b = work.write("b/README.NFO", "b");
    const std::string vol = work.write("a/rel.r00", "0");
    addSeries("disk1", "3");
    selectZips({0, 1, 2});
    addFiles({a});
    selectZips({0});
    addFiles({b, vol});
    EXPECT_EQ(rows(contentList), (QStringList {"readme.nfo", "rel.r00", "README.NFO"}));

    // disk1 and disk2 show the one file they share; removing it takes both paths from disk1.
    selectZips({0, 1});
    ASSERT_EQ(rows(contentList), (QStringList {"readme.nfo"}));
    contentList->item(0)->setSelected(true);
    QTest::mouseClick(deleteFile, Qt::LeftButton);
    EXPECT_TRUE(rows(contentList).isEmpty());
    EXPECT_EQ(page->zips().entries()[0].content, (std::vector<std::string> {vol}));
    EXPECT_TRUE(page->zips().entries()[1].content.empty());
    EXPECT_EQ(page->zips().entries()[2].content, (std::vector<std::string> {a}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, ButtonsThatNeedASelectionSayWhatToSelectFirst)
{
    addSeries("disk1", "2");
    selectZips({});
    QTest::mouseClick(deleteZip, Qt::LeftButton);
    QTest::mouseClick(addFile, Qt::LeftButton);
    QTest::mouseClick(deleteFile, Qt::LeftButton);
    selectZips({0});
    QTest::mouseClick(deleteFile, Qt::LeftButton);

    const QString zipFirst = QStringLiteral("Please select first at least one zip file.");
    const std::vector<QString> expected = {zipFirst, zipFirst, zipFirst,
                                           QStringLiteral("Please select first at least one file to delete.")};
    ASSERT_EQ(dialogs.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(dialogs.messages[i].caption, QStringLiteral("Zip error")) << i;
        EXPECT_EQ(dialogs.messages[i].text, expected[i]) << i;
        EXPECT_EQ(dialogs.messages[i].icon, MessageIcon::Error) << i;
    }
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_EQ(zipList->count(), 2);
}

TEST_F(ZipPageTest, DeletingZipsRestartsTheProposalAtTheNumberLeftPlusOne)
{
    addSeries("disk1", "4");
    selectZips({1, 3});
    QTest::mouseClick(deleteZip, Qt::LeftButton);
    EXPECT_EQ(rows(zipList), (QStringList {"disk1", "disk3"}));
    EXPECT_TRUE(zipList->selectedItems().isEmpty());
    EXPECT_TRUE(rows(contentList).isEmpty());
    // Two left: the proposal is disk3, although that name is already there.
    QString proposed;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        proposed = qobject_cast<TForm4*>(d)->firstName();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(addZip, Qt::LeftButton);
    EXPECT_EQ(proposed, QStringLiteral("disk3"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, BrowseButtonFillsTheOutputField)
{
    const std::string out = work.write("out/x", "x");
    outDir->setText(q(work.path()));
    dialogs.folderAnswers.push_back(q(work.file("out")));
    QTest::mouseClick(browse, Qt::LeftButton);
    ASSERT_EQ(dialogs.folderRequests.size(), 1u);
    EXPECT_EQ(dialogs.folderRequests[0].selection, q(work.path()));
    EXPECT_EQ(outDir->text(), q(work.file("out")));
    // Cancel keeps the field.
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(outDir->text(), q(work.file("out")));
}

TEST_F(ZipPageTest, MissingOutputDirectoryStopsBeforeTheRun)
{
    const std::string mark = markingStub();
    addSeries("disk1", "1");
    work.write("plain-file", "x");
    for (const std::string& field : {std::string(), work.file("missing"), work.file("plain-file")}) {
        dialogs.messages.clear();
        memo->clearLog();
        memo->appendLine("earlier run");
        outDir->setText(q(field));
        start();
        ASSERT_EQ(dialogs.messages.size(), 1u) << field;
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Output error"));
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Output directory not found."));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(outDir->text(), q(field));
        EXPECT_EQ(log(), (QStringList {"earlier run"}));
        EXPECT_TRUE(startButton->isEnabled());
    }
    EXPECT_FALSE(fs::exists(mark));
}

TEST_F(ZipPageTest, EachZipGetsItsOwnCommandLineInListOrder)
{
    // A stub that shows the exact text it was given, trailing blank included.
    script("PKM.DLL", R"(printf '<%s>\n' "$1")");
    const std::string f1 = work.write("in/f1.r00", "1");
    const std::string f2 = work.write("in/F2.nfo", "2");
    fs::create_directory(work.file("out"));
    addSeries("b2", "1");
    addSeries("a1", "1");
    selectZips({1});
    addFiles({f2, f1});
    outDir->setText(q(work.file("out")));
    start();

    const std::string d = dir.path() + "/";
    const std::string o = work.file("out") + "/";
    EXPECT_EQ(log(),
              (QStringList {
                  q("<?\"" + d + "zip\" -9 -j \"" + o + "a1\" >"),
                  // Each zip is tested before anything is replaced.
                  q("<?\"" + d + "zip\" -T \"" + o + "a1.zip\">"),
                  q("<?\"" + d + "zip\" -9 -j \"" + o + "b2\" \"" + f1 + "\" \"" + f2 + "\" >"),
                  q("<?\"" + d + "zip\" -T \"" + o + "b2.zip\">"),
                  kSeparator,
                  QStringLiteral("File(s) created: 2"),
              }));
    EXPECT_EQ(outDir->text(), q(o));
    EXPECT_TRUE(startButton->isEnabled());
    EXPECT_EQ(startButton->text(), QStringLiteral("&Start"));
    EXPECT_TRUE(dialogs.messages.empty());

    // A second run with the separator already there leaves the field as it is.
    start();
    EXPECT_EQ(outDir->text(), q(o));
    EXPECT_EQ(log().size(), 6);
}

TEST_F(ZipPageTest, RealZipPacksEachZipWithItsFiles)
{
    linkRealStub();
    linkRealZip();
    const std::string a = work.write("in/a.txt", std::string(2000, 'a'));
    const std::string b = work.write("in/b.nfo", "nfo text\r\n");
    const std::string c = work.write("in/c.txt", "c");
    fs::create_directory(work.file("out"));
    addSeries("disk1", "2");
    selectZips({0, 1});
    addFiles({b});
    selectZips({0, 1});
    addFiles({a, c});
    outDir->setText(q(work.file("out")));
    start();

    EXPECT_TRUE(dialogs.messages.empty());
    const QStringList lines = log();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList {kSeparator, "File(s) created: 2"}));
    EXPECT_EQ(lines.filter("  adding: b.nfo").size(), 2) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.filter("adding: a.txt").size(), 1);
    EXPECT_EQ(lines.filter("adding: c.txt").size(), 1);

    const auto listing = [&](const std::string& zip) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), q(work.file("out/" + zip))});
        EXPECT_TRUE(unzip.waitForFinished(-1));
        EXPECT_EQ(unzip.exitCode(), 0) << zip;
        QStringList names = QString::fromLocal8Bit(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        names.sort();
        return names;
    };
    EXPECT_EQ(listing("disk1.zip"), (QStringList {"a.txt", "b.nfo"}));
    EXPECT_EQ(listing("disk2.zip"), (QStringList {"b.nfo", "c.txt"}));

    QProcess test;
    test.start(QStringLiteral("unzip"), {QStringLiteral("-p"), q(work.file("out/disk1.zip")), QStringLiteral("b.nfo")});
    ASSERT_TRUE(test.waitForFinished(-1));
    EXPECT_EQ(test.readAllStandardOutput(), QByteArray("nfo text\r\n"));

    // Start again after taking c.txt out of disk2: the zip is made afresh and holds the list.
    selectZips({1});
    contentList->item(1)->setSelected(true);
    QTest::mouseClick(deleteFile, Qt::LeftButton);
    ASSERT_EQ(rows(contentList), (QStringList {"b.nfo"}));
    start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(listing("disk1.zip"), (QStringList {"a.txt", "b.nfo"}));
    EXPECT_EQ(listing("disk2.zip"), (QStringList {"b.nfo"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(work.file("out")), fs::directory_iterator()), 3)
        << "only the two zips and their checksum file";
}

TEST_F(ZipPageTest, AFailingZipStopsTheSeries)
{
    linkRealStub();
    // The zip argument is the third; zip2 fails as zip does when it has nothing to do.
    script("zip", R"(case "$3" in
  */zip2) echo partial >"$3.zip"; echo "zip error: Nothing to do!"; exit 12;;
esac
echo "made $3"
echo "  50%")");
    addSeries("zip1", "3");
    outDir->setText(q(work.path()));
    // An earlier zip2 comes back whole after the failure.
    work.write("zip2.zip", "earlier zip2");
    start();

    const std::string o = work.path() + "/";
    EXPECT_EQ(log(),
              (QStringList {q("made " + o + "zip1"), "  50%", "zip error: Nothing to do!", kSeparator,
                            "File(s) created: 3"}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Compression error"));
    // zip's own word for its status 12, which as an errno value would read "Cannot allocate memory".
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("zip has nothing to do."));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(startButton->isEnabled());
    EXPECT_EQ(startButton->text(), QStringLiteral("&Start"));
    EXPECT_EQ(zipList->count(), 3);
    EXPECT_EQ(work.read("zip2.zip"), "earlier zip2");
    EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1) << "nothing set aside";
}

TEST_F(ZipPageTest, AStubThatCannotStartIsReportedOnceForTheSeries)
{
    // No PKM.DLL in the program directory.
    addSeries("zip1", "2");
    outDir->setText(q(work.path()));
    start();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Compression error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Error while trying to start compression."));
    EXPECT_EQ(log(), (QStringList {kSeparator, "File(s) created: 2"}));
    EXPECT_TRUE(startButton->isEnabled());
}

TEST_F(ZipPageTest, AnEmptyListRunsNothing)
{
    const std::string mark = markingStub();
    outDir->setText(q(work.path()));
    memo->appendLine("earlier run");
    start();
    EXPECT_FALSE(fs::exists(mark));
    EXPECT_EQ(log(), (QStringList {kSeparator, "File(s) created: 0"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ZipPageTest, DoubleQuotesInNamesOrPathsAreRefusedBeforeAnythingRuns)
{
    const std::string mark = markingStub();
    fs::create_directory(work.file("out\"dir"));
    const std::string quoted = work.write("in/say\"hi\".nfo", "x");
    const std::string plain = work.write("in/plain.nfo", "x");
    struct Row {
        const char* what;
        QString zipName;
        std::string file;
        std::string outDir;
    };
    const std::vector<Row> table = {
        {"output directory", "disk1", plain, work.file("out\"dir")},
        {"zip name", "a\"b1", plain, work.path()},
        {"content path", "disk1", quoted, work.path()},
    };
    for (const Row& row : table) {
        openPage();
        dialogs.messages.clear();
        addSeries(row.zipName, "2");
        selectZips({0});
        addFiles({row.file});
        outDir->setText(q(row.outDir));
        memo->appendLine("earlier run");
        start();
        ASSERT_EQ(dialogs.messages.size(), 1u) << row.what;
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Input error")) << row.what;
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Names and paths may not contain double quotes."));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(log(), (QStringList {"earlier run"})) << row.what;
        EXPECT_TRUE(startButton->isEnabled());
        EXPECT_EQ(startButton->text(), QStringLiteral("&Start"));
    }
    EXPECT_FALSE(fs::exists(mark));
}

TEST_F(ZipPageTest, CloseIsRefusedDuringARunWhichKeepsTheZipsItStartedWith)
{
    use(shown.openInMainWindow(dir, "Zip"));
    TForm1* form = shown.mainWindow();
    linkRealStub();
    // Each zip waits until the test lets it go; it gives up after a while so that a failing
    // test ends instead of hanging.
    const std::string flag = work.file("go");
    script("zip",
           "i=0\nwhile [ ! -e '" + flag
               + "' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done\n"
                 "[ -e '"
               + flag + "' ] || exit 1\necho \"made $3\"");
    addSeries("z1", "2");
    outDir->setText(q(work.path()));

    bool closed = true;
    bool buttonEnabled = true;
    QString buttonText;
    std::size_t messagesDuringRun = 0;
    QTimer::singleShot(0, [&] {
        buttonEnabled = startButton->isEnabled();
        buttonText = startButton->text();
        closed = form->close();
        messagesDuringRun = dialogs.messages.size();
        // The list stays usable: deleting every zip does not touch the run under way.
        selectZips({0, 1});
        QTest::mouseClick(deleteZip, Qt::LeftButton);
        std::ofstream(flag) << "go";
    });
    start();

    EXPECT_FALSE(buttonEnabled);
    EXPECT_EQ(buttonText, QStringLiteral("Working..."));
    EXPECT_FALSE(closed);
    ASSERT_EQ(messagesDuringRun, 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Close error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Compression in progress...\rCan't close the application."));
    EXPECT_TRUE(form->isVisible());

    const std::string o = work.path() + "/";
    EXPECT_EQ(log(), (QStringList {q("made " + o + "z1"), q("made " + o + "z2"), kSeparator, "File(s) created: 2"}));
    EXPECT_EQ(zipList->count(), 0);
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // Once the run is over the window closes.
    EXPECT_TRUE(form->close());
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(ZipPageTest, TheOpenFileDialogStartsWhereTheVolumesAreAndOffersThem)
{
    const std::string file = work.write("rel/readme.nfo", "n");
    const QString zips = q(work.file("zips"));
    const QString volumes = q(work.file("rel") + "/");
    fs::create_directories(work.file("zips"));
    addSeries("disk1", "1");
    struct Row {
        const char* what;
        QString volumesDir;
        QString baseName;
        QString outDir;
        QString directory;
        QString volumesFilter; // after the five; empty: none
    };
    const Row rows[] = {
        {"nothing known yet", "", "", "", "", ""},
        {"the zips' folder", "", "", zips, zips, ""},
        {"the volumes' folder", volumes, "my release", zips, volumes, "Volumes (my?release.*)"},
        {"volumes whose folder is gone", q(work.file("gone") + "/"), "rel", zips, zips, "Volumes (rel.*)"},
    };
    const QStringList five {"All files (*)", "Nfo files (*.nfo)", "Diz files (*.diz)", "Rar files (*.r*)",
                            "Ace files (*.ace *.c*)"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        page->offerVolumes(row.volumesDir, row.baseName);
        outDir->setText(row.outDir);
        selectZips({0});
        addFiles({file});
        const OpenFilesRequest& request = dialogs.fileRequests.back();
        EXPECT_EQ(request.directory, row.directory);
        EXPECT_EQ(request.filters, row.volumesFilter.isEmpty() ? five : five + QStringList {row.volumesFilter});
        EXPECT_EQ(request.filterIndex, 0);
    }
}

// A stop signal (the terminal closed, a shutdown) during a run: zip is ended through the stub,
// the earlier zip is back, and no message waits for a click. The signal's mark stays with the
// process, so the run happens in a child process of its own.
TEST_F(ZipPageTest, AStopSignalDuringARunEndsZipAndPutsTheEarlierZipBack)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    linkRealStub();
    // zip makes its file in place and works until it is told to stop; then it cleans up.
    script("zip",
           "trap 'rm -f \"$3.zip\"; exit 9' TERM\necho partial >\"$3.zip\"\n"
           "i=0\nwhile [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done");
    addSeries("disk01", "1");
    outDir->setText(q(work.path()));
    work.write("disk01.zip", "earlier");
    EXPECT_EXIT(
        {
            StopSignals::install();
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (fs::exists(work.file("disk01.zip")) && work.read("disk01.zip") == "partial\n") {
                    poll.stop();
                    std::raise(SIGTERM);
                }
            });
            poll.start(10);
            start();
            const bool whole = work.read("disk01.zip") == "earlier"
                && std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()) == 1;
            std::_Exit(whole && dialogs.messages.empty() && startButton->isEnabled() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(work.read("disk01.zip"), "earlier");
}

TEST_F(ZipPageTest, RecoveryDisksGoWithTheSeriesTheyRebuild)
{
    linkRealStub();
    linkRealZip();
    fs::create_symlink(PAKMASTER_BIN_DIR "/par2", dir.file("par2"));
    const std::string a = work.write("in/a.bin", std::string(3000, 'a'));
    const std::string b = work.write("in/b.bin", std::string(1000, 'b'));
    fs::create_directory(work.file("out"));
    addSeries("disk1", "2");
    selectZips({0, 1});
    addFiles({a, b});
    outDir->setText(q(work.file("out")));
    QLineEdit* recovery = find<QLineEdit>(page, "RecoveryEdit");
    recovery->selectAll();
    QTest::keyClicks(recovery, "1x");
    EXPECT_EQ(recovery->text(), QStringLiteral("1")) << "digits only";
    start();

    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work.file("out")))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string> {"disk.par2", "disk.sfv", "disk.vol0+1.par2", "disk1.zip", "disk2.zip"}));
    // Either zip, lost, comes back from the recovery disk.
    const std::string first = work.read("out/disk1.zip");
    fs::remove(work.file("out/disk1.zip"));
    QProcess repair;
    repair.setWorkingDirectory(q(work.file("out")));
    repair.start(QStringLiteral("par2"), {QStringLiteral("repair"), QStringLiteral("-q"), QStringLiteral("disk.par2")});
    ASSERT_TRUE(repair.waitForFinished(-1));
    EXPECT_EQ(repair.exitCode(), 0);
    EXPECT_EQ(work.read("out/disk1.zip"), first);
}

TEST_F(ZipPageTest, AZipThatFailsItsTestNeverReplacesTheEarlierOne)
{
    linkRealStub();
    // zip makes its file, and its test of it fails as zip -T does on a damaged zip.
    const std::string fake = dir.write("zip",
                                       "#!/bin/sh\n[ \"$1\" = -T ] && { echo 'test of $2 FAILED'; exit 8; }\n"
                                       "echo made >\"$3.zip\"\n");
    fs::permissions(fake, fs::perms::owner_all);
    addSeries("disk01", "1");
    outDir->setText(q(work.path()));
    work.write("disk01.zip", "earlier");
    start();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("zip -T failed or out of memory."));
    EXPECT_EQ(work.read("disk01.zip"), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1)
        << "no checksum file, no staging folder";
}
