#include "app/MainWindow.h"

#include "archiving/LogBox.h"
#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"
#include "archiving/ZipSeriesDialog.h"
#include "platform/scope_guard.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "support/read_only.h"
#include "support/temp_dir.h"
#include "templates/NfoDizPage.h"
#include "templates/template_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

using namespace pkm;

namespace {

class MainWindow : public ::testing::Test {
protected:
    std::unique_ptr<TForm1> start(const pkm::ProgramPaths& paths)
    {
        auto form = std::make_unique<TForm1>(paths);
        form->show();
        return form;
    }
    std::unique_ptr<TForm1> start()
    {
        auto form = std::make_unique<TForm1>(dir.paths());
        form->show();
        return form;
    }

    ProgramDir dir;
    ScriptedDialogs dialogs;
};

// Every entry under a directory with its size and modification time.
std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> listing(const std::string& dir)
{
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        entries[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0, entry.last_write_time()};
    return entries;
}

const QString kFirstRunText = QStringLiteral("It's the first time you run PKM.\rI *strongly* suggest you read the "
                                             "readme.hlp file before trying to use it.\rIt takes only 5 minutes. "
                                             "Thank you :)");

pkm::TParam section(const std::string& name, const std::string& value = std::string())
{
    pkm::TParam p;
    p.Name = name;
    p.Value = value;
    return p;
}

// What a page entry left on screen.
struct Stop {
    int page;
    bool nfoMode;
    bool nextEnabled;
    QString cancelCaption;
    bool previousEnabled;
    bool previewVisible;
};

Stop stopOf(TForm1& f)
{
    return {find<QStackedWidget>(&f, "Notebook1")->currentIndex(), f.nfoMode(),
            find<QPushButton>(&f, "Button2")->isEnabled(),         find<QPushButton>(&f, "Button3")->text(),
            find<QPushButton>(&f, "Button1")->isEnabled(),         find<QPushButton>(&f, "Button4")->isVisible()};
}

} // namespace

TEST_F(MainWindow, FirstStartShowsTheMessageOnceAndCreatesAnEmptyReleaseIni)
{
    {
        auto form = start();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Pakmaster v1.0"));
        EXPECT_EQ(dialogs.messages[0].text,
                  QStringLiteral("It's the first time you run PKM.\rI *strongly* suggest you read the readme.hlp "
                                 "file before trying to use it.\rIt takes only 5 minutes. Thank you :)"));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
        ASSERT_TRUE(std::filesystem::exists(dir.iniPath()));
        EXPECT_EQ(std::filesystem::file_size(dir.iniPath()), 0u);
        EXPECT_TRUE(form->nfoSections().empty());
        EXPECT_TRUE(form->dizSections().empty());
        EXPECT_TRUE(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text().isEmpty());
        EXPECT_TRUE(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text().isEmpty());
    }
    auto again = start();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainWindow, AStoreThatCannotBeCreatedIsExplainedAndTheWindowStillWorks)
{
    // The store's folder lies under a regular file: creation fails even for root, as it does
    // for a user in an installation directory, or a home folder, that is not theirs.
    dir.write("plainfile", "x");
    struct Row {
        pkm::ProgramPaths paths;
        QString hint;
    };
    const Row rows[] = {
        {pkm::ProgramPaths::beside(dir.file("plainfile/pakmaster")),
         QStringLiteral("Pakmaster keeps its templates and settings in Release.ini beside the program. Install "
                        "Pakmaster into a directory you can write to, or run it from the build directory.")},
        {pkm::ProgramPaths::perUser(dir.path(), dir.file("plainfile/pakmaster")),
         QStringLiteral("An installed Pakmaster keeps its templates and settings in your own folder %1. Make that "
                        "folder writable, or set XDG_CONFIG_HOME to a folder you can write to.")
             .arg(pathToQString(dir.file("plainfile/pakmaster/")))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.paths.dataDir);
        dialogs.messages.clear();
        auto form = start(row.paths);
        ASSERT_EQ(dialogs.messages.size(), 2u);
        const std::string ini = row.paths.iniPath();
        EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Pakmaster v1.0"));
        EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Error);
        EXPECT_EQ(dialogs.messages[1].text,
                  QStringLiteral("Cannot create file ") + QString::fromLocal8Bit(ini.c_str()) + "\r\r" + row.hint);
        EXPECT_FALSE(std::filesystem::exists(ini));

        // The window goes on without sections: page 0 answers its options.
        EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 0);
        EXPECT_FALSE(find<QPushButton>(form, "Button2")->isEnabled());
        find<QCheckBox>(form, "CheckBox3")->click();
        EXPECT_TRUE(find<QPushButton>(form, "Button2")->isEnabled());
        QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
        EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 2);
        EXPECT_EQ(dialogs.messages.size(), 2u);
    }
}

TEST_F(MainWindow, FrameGeometryAndStartState)
{
    dir.writeIni();
    auto form = start();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Pakmaster v1.0"));
    EXPECT_EQ(form->size(), QSize(447, 325));
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->geometry(), QRect(140, 10, 297, 227));
    EXPECT_EQ(find<QPushButton>(form, "Button2")->geometry(), QRect(278, 293, 75, 23));
    EXPECT_TRUE(find<QPushButton>(form, "Button2")->isDefault());
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 0);
    EXPECT_FALSE(find<QPushButton>(form, "Button1")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(form, "Button2")->isEnabled());
    EXPECT_FALSE(find<QPushButton>(form, "Button4")->isVisible());
    EXPECT_EQ(find<QPushButton>(form, "Button3")->text(), QStringLiteral("Cancel"));
    EXPECT_FALSE(find<QLabel>(form, "Image1")->pixmap().isNull());
    EXPECT_EQ(find<QLabel>(form, "Image1")->pixmap().size(), QSize(120, 227));
}

TEST_F(MainWindow, TickingAnyOptionEnablesNextAndUntickingTheLastDisablesIt)
{
    dir.writeIni();
    auto form = start();
    QCheckBox* zip = find<QCheckBox>(form.get(), "CheckBox4");
    QTest::mouseClick(zip, Qt::LeftButton);
    EXPECT_TRUE(find<QPushButton>(form, "Button2")->isEnabled());
    QTest::mouseClick(find<QCheckBox>(form.get(), "CheckBox2"), Qt::LeftButton);
    QTest::mouseClick(zip, Qt::LeftButton);
    EXPECT_TRUE(find<QPushButton>(form, "Button2")->isEnabled());
    QTest::mouseClick(find<QCheckBox>(form.get(), "CheckBox2"), Qt::LeftButton);
    EXPECT_FALSE(find<QPushButton>(form, "Button2")->isEnabled());
}

TEST_F(MainWindow, NextAndPreviousWalkTheChainForEveryCombinationOfOptions)
{
    dir.writeIni();
    for (int bits = 1; bits < 16; ++bits) {
        SCOPED_TRACE(bits);
        auto form = start();
        QCheckBox* boxes[] = {find<QCheckBox>(form, "CheckBox1"), find<QCheckBox>(form, "CheckBox2"),
                              find<QCheckBox>(form, "CheckBox3"), find<QCheckBox>(form, "CheckBox4")};
        for (int i = 0; i < 4; ++i) {
            if (bits & (1 << i))
                QTest::mouseClick(boxes[i], Qt::LeftButton);
        }
        // Expected stops: page 0, then the pages of the ticked options in chain order.
        std::vector<std::pair<int, bool>> chain {{0, false}};
        if (bits & 1)
            chain.push_back({1, true});
        if (bits & 2)
            chain.push_back({1, false});
        if (bits & 4)
            chain.push_back({2, false});
        if (bits & 8)
            chain.push_back({3, false});

        std::vector<Stop> forward {stopOf(*form)};
        while (find<QPushButton>(form, "Button2")->isEnabled()) {
            QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
            forward.push_back(stopOf(*form));
            ASSERT_LE(forward.size(), 5u);
        }
        ASSERT_EQ(forward.size(), chain.size());
        for (std::size_t i = 0; i < chain.size(); ++i) {
            EXPECT_EQ(forward[i].page, chain[i].first);
            if (forward[i].page == 1) {
                EXPECT_EQ(forward[i].nfoMode, chain[i].second);
            }
            const bool last = i + 1 == chain.size();
            EXPECT_EQ(forward[i].nextEnabled, !last);
            EXPECT_EQ(forward[i].cancelCaption, last && i > 0 ? QStringLiteral("Finish") : QStringLiteral("Cancel"));
            EXPECT_EQ(forward[i].previousEnabled, i > 0);
            EXPECT_EQ(forward[i].previewVisible, forward[i].page == 1);
        }

        for (std::size_t i = chain.size() - 1; i > 0; --i) {
            QTest::mouseClick(find<QPushButton>(form, "Button1"), Qt::LeftButton);
            const Stop s = stopOf(*form);
            EXPECT_EQ(s.page, chain[i - 1].first);
            if (s.page == 1) {
                EXPECT_EQ(s.nfoMode, chain[i - 1].second);
            }
        }
        EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 0);
        EXPECT_EQ(find<QPushButton>(form, "Button3")->text(), QStringLiteral("Cancel"));
        EXPECT_FALSE(find<QPushButton>(form, "Button4")->isVisible());
        EXPECT_FALSE(find<QPushButton>(form, "Button1")->isEnabled());
    }
}

TEST_F(MainWindow, LogBoxesNeverTakeTheFocus)
{
    dir.writeIni();
    auto form = start();
    find<QCheckBox>(form, "CheckBox3")->setChecked(true);
    form->ShowRarPage();
    QApplication::setActiveWindow(form.get());
    find<QLineEdit>(form, "NameEdit")->setFocus();
    find<TLogBox>(form, "Memo1")->setFocus();
    QTest::mouseClick(find<TLogBox>(form, "Memo1")->viewport(), Qt::LeftButton);
    EXPECT_NE(QApplication::focusWidget(), find<TLogBox>(form, "Memo1"));
    EXPECT_FALSE(find<TLogBox>(form, "Memo1")->hasFocus());
}

TEST_F(MainWindow, EnterAcceptsAnEditedTreeLabelWithoutPressingNext)
{
    dir.writeIni(pkm::BuildTemplateStore("", {section("Title")}, pkm::TemplateSettings {}));
    auto form = start();
    find<QCheckBox>(form, "CheckBox1")->setChecked(true);
    find<QCheckBox>(form, "CheckBox3")->setChecked(true);
    form->ShowNfoPage();
    QApplication::setActiveWindow(form.get());
    QTreeWidget* tree = find<QTreeWidget>(form, "TreeView1");
    QTreeWidgetItem* node = tree->topLevelItem(0)->child(0);
    tree->setCurrentItem(node);
    tree->editItem(node);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(tree->isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("Renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return node->text(0) == QStringLiteral("Renamed"); }));
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 1) << "Enter went on to the default button";

    // Without an open editor Enter presses Next as usual.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 2);
}

TEST_F(MainWindow, EnterPressesTheFocusedButtonAndOtherwiseNext)
{
    dir.writeIni();
    auto form = start();
    QApplication::setActiveWindow(form.get());
    QTest::mouseClick(find<QCheckBox>(form, "CheckBox1"), Qt::LeftButton);
    QTest::mouseClick(find<QCheckBox>(form, "CheckBox3"), Qt::LeftButton);

    // The glyph button opens the section creator, and the page stays.
    QString opened;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        opened = d->windowTitle();
        return int(QDialog::Rejected);
    });
    find<QToolButton>(form, "BitBtn3")->setFocus();
    QTest::keyClick(find<QToolButton>(form, "BitBtn3"), Qt::Key_Return);
    EXPECT_EQ(opened, QStringLiteral("NDO/DIZ section creator"));
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 0);

    // A check box does not take Enter: the default button does.
    find<QCheckBox>(form, "CheckBox1")->setFocus();
    QTest::keyClick(find<QCheckBox>(form, "CheckBox1"), Qt::Key_Return);
    ASSERT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 1);

    find<QPushButton>(form, "Button1")->setFocus(); // < Previous
    QTest::keyClick(find<QPushButton>(form, "Button1"), Qt::Key_Enter);
    EXPECT_EQ(find<QStackedWidget>(form, "Notebook1")->currentIndex(), 0);

    // Cancel with the focus closes the window.
    find<QPushButton>(form, "Button3")->setFocus();
    QTest::keyClick(find<QPushButton>(form, "Button3"), Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
}

namespace {

// A sound that plays until the test lets it end.
class FakeSound : public Sound {
public:
    FakeSound(int& plays, bool& playing)
        : plays_(plays)
        , playing_(playing)
    {
    }
    bool isPlaying() const override { return playing_; }
    bool isLoaded() const override { return true; }
    void play() override
    {
        ++plays_;
        playing_ = true;
    }

private:
    int& plays_;
    bool& playing_;
};

} // namespace

TEST_F(MainWindow, OnlyALeftClickOnZapzapPlaysTheSoundAndNeverRestartsIt)
{
    int loads = 0;
    int plays = 0;
    bool playing = false;
    setSoundLoader([&](const std::string&, const QString& source) -> std::unique_ptr<Sound> {
        ++loads;
        EXPECT_EQ(source, QStringLiteral("qrc:/wave1.wav"));
        return std::make_unique<FakeSound>(plays, playing);
    });
    const pkm::ScopeGuard restore([] { setSoundLoader({}); });
    dir.writeIni();
    auto form = start();
    QLabel* zap = find<QLabel>(form.get(), "Label3");
    ASSERT_NE(zap, nullptr);
    QTest::mouseClick(zap, Qt::RightButton);
    // Pressed on the label, let go beside it.
    QTest::mousePress(zap, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(zap, Qt::LeftButton, {}, QPoint(zap->width() + 20, 2));
    EXPECT_EQ(loads, 0);
    QTest::mouseClick(zap, Qt::LeftButton);
    EXPECT_EQ(plays, 1);
    QTest::mouseClick(zap, Qt::LeftButton);
    EXPECT_EQ(plays, 1);
    playing = false;
    QTest::mouseClick(zap, Qt::LeftButton);
    EXPECT_EQ(plays, 2);
    EXPECT_EQ(loads, 1);
}

TEST(SoundLibrary, IsFoundInTheProgramDirectoryOnlyAndLoadsTheWave)
{
    const std::unique_ptr<Sound> sound = loadSound(PAKMASTER_BIN_DIR "/", QStringLiteral("qrc:/wave1.wav"));
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sound->isLoaded(); }));
    TempDir elsewhere;
    EXPECT_EQ(loadSound(elsewhere.path() + "/", QStringLiteral("qrc:/wave1.wav")), nullptr);
}

TEST_F(MainWindow, ClosingIsRefusedWhileAStartButtonIsDisabled)
{
    dir.writeIni();
    auto form = start();
    for (QPushButton* start :
         {find<QPushButton>(form->rarPage(), "Button5"), find<QPushButton>(form->zipPage(), "Button6")}) {
        start->setEnabled(false);
        EXPECT_FALSE(form->close());
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(dialogs.messages.back().caption, QStringLiteral("Close error"));
        EXPECT_EQ(dialogs.messages.back().text,
                  QStringLiteral("Compression in progress...\rCan't close the application."));
        start->setEnabled(true);
    }
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    QTest::mouseClick(find<QPushButton>(form, "Button3"), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, StartUpReadsTheSectionListsAndTheOutputDirectory)
{
    dir.writeIni("[Main]\r\nOutput dir=/srv/release\r\n"
                 "[Section 1]\r\nName=Title\r\nDiz=0\r\n"
                 "[Section 2]\r\nName=Short\r\nDiz=1\r\n"
                 "[Section 3]\r\nName=Notes\r\n");
    auto form = start();
    ASSERT_EQ(form->nfoSections().size(), 2u);
    EXPECT_EQ(form->nfoSections()[0].Name, "Title");
    EXPECT_EQ(form->nfoSections()[1].Name, "Notes");
    ASSERT_EQ(form->dizSections().size(), 1u);
    EXPECT_EQ(form->dizSections()[0].Name, "Short");
    EXPECT_EQ(find<QLineEdit>(form->rarPage(), "OutDirEdit")->text(), QStringLiteral("/srv/release"));
    EXPECT_EQ(find<QLineEdit>(form->zipPage(), "OutDirEdit2")->text(), QStringLiteral("/srv/release"));
    EXPECT_EQ(form->nfoDizPage()->editedSectionIndex(), -1);
}

TEST_F(MainWindow, AnInstalledCopyKeepsEverythingInTheUsersFolder)
{
    struct Row {
        const char* what;
        bool marker;
        bool readOnly;
    };
    const Row rows[] = {
        {"installed: the directory has the marker, and root could write there", true, false},
        {"a read-only program directory", false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir program;
        TempDir home;
        std::filesystem::copy(PAKMASTER_SOURCE_DIR "/examples", program.file("examples"));
        if (row.marker)
            program.write(pkm::kInstalledMarker, "");
        std::optional<ReadOnly> readOnly;
        if (row.readOnly) {
            readOnly.emplace(program.path());
            if (!readOnly->ok())
                GTEST_SKIP() << "this process cannot make a directory read-only for itself";
        }
        const auto before = listing(program.path());
        // XDG_CONFIG_HOME names a folder that does not exist yet.
        const pkm::ProgramPaths paths = pkm::ProgramPaths::forProgram(program.path(),
                                                                      {home.file("config"), home.path()});
        ASSERT_EQ(paths.mode, pkm::StoreMode::PerUser);
        ASSERT_EQ(paths.dataDir, home.file("config/pakmaster/"));
        dialogs.messages.clear();
        {
            auto form = start(paths);
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, kFirstRunText);
            // The wizard starts with the example set.
            EXPECT_EQ(home.read("config/pakmaster/Release.ini"), program.read("examples/Release.ini"));
            EXPECT_EQ(form->nfoSections().size(), 8u);
            EXPECT_EQ(form->dizSections().size(), 6u);

            QTest::mouseClick(find<QCheckBox>(form, "CheckBox1"), Qt::LeftButton);
            QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
            dialogs.dialogHandlers.push_back([](QDialog*) { return int(QDialog::Accepted); });
            QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
            EXPECT_EQ(dialogs.messages.size(), 1u) << dialogs.lastMessageText().toStdString();
            EXPECT_NE(home.read("config/pakmaster/release.nfo").find("PAKMASTER EXAMPLE RELEASE"), std::string::npos);
        }
        auto again = start(paths);
        EXPECT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(listing(program.path()), before);
    }
}

TEST_F(MainWindow, TheZipPageStartsFromWhereTheRarPageLeftItsVolumes)
{
    dir.writeIni();
    std::filesystem::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL"));
    const std::string rar = dir.write("rar", "#!/bin/sh\ntouch \"$7.7z.001\" \"$7.7z.002\"\n");
    std::filesystem::permissions(rar, std::filesystem::perms::owner_all);
    std::filesystem::create_directories(dir.file("in"));
    std::filesystem::create_directories(dir.file("volumes"));
    auto form = start();
    QTest::mouseClick(find<QCheckBox>(form, "CheckBox3"), Qt::LeftButton);
    QTest::mouseClick(find<QCheckBox>(form, "CheckBox4"), Qt::LeftButton);
    QPushButton* next = find<QPushButton>(form, "Button2");
    QTest::mouseClick(next, Qt::LeftButton);
    ASSERT_EQ(form->currentPage(), 2);
    find<QLineEdit>(form, "InDirEdit")->setText(pathToQString(dir.file("in")));
    find<QLineEdit>(form, "OutDirEdit")->setText(pathToQString(dir.file("volumes")));
    find<QLineEdit>(form, "NameEdit")->setText(QStringLiteral("rel"));
    QTest::mouseClick(find<QPushButton>(form, "Button5"), Qt::LeftButton);
    ASSERT_TRUE(std::filesystem::exists(dir.file("volumes/rel.7z.002")));

    // An empty output box on the Zip page takes the Rar page's at the page's entry.
    QTest::mouseClick(next, Qt::LeftButton);
    QLineEdit* zipOut = find<QLineEdit>(form, "OutDirEdit2");
    EXPECT_EQ(zipOut->text(), pathToQString(dir.file("volumes") + "/"));

    // The open-file dialog starts among the volumes and offers them.
    dialogs.dialogHandlers.push_back([](QDialog* d) {
        find<QLineEdit>(qobject_cast<TForm4*>(d), "Edit1")->setText(QStringLiteral("disk1"));
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(find<QToolButton>(form, "BitBtn1"), Qt::LeftButton);
    find<QListWidget>(form, "ListBox1")->item(0)->setSelected(true);
    QTest::mouseClick(find<QToolButton>(form, "BitBtn4"), Qt::LeftButton);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].directory, pathToQString(dir.file("volumes") + "/"));
    EXPECT_EQ(dialogs.fileRequests[0].filters.value(5), QStringLiteral("Volumes (rel.*)"));

    // A box the user has filled keeps its text.
    zipOut->setText(QStringLiteral("/srv/zips"));
    QTest::mouseClick(find<QPushButton>(form, "Button1"), Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(zipOut->text(), QStringLiteral("/srv/zips"));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessageText().toStdString();
}
