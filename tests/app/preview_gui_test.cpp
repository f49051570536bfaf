// The Preview button: the file of the current view generated from Release.ini's template,
// shown for a last edit, and every failure with its own message.
#include "app/MainWindow.h"

#include "editor/TextWindow.h"
#include "platform/file_io.h"
#include "platform/widgets/TextCodec.h"
#include "support/faulty_file_writer.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/NfoDizPage.h"
#include "templates/template_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

using namespace pkm;

namespace {

const std::string kTemplate = "+-------------------+\r\n"
                              "| Notes: .........  |\r\n"
                              "| Size : .......... |\r\n"
                              "+-------------------+\r\n";

const std::string kWorkedOutput = "+-------------------+\r\n"
                                  "| Notes: one two    |\r\n"
                                  "| Notes: three      |\r\n"
                                  "| Notes: four       |\r\n"
                                  "| Size :   3 x 1.44 |\r\n"
                                  "+-------------------+\r\n";

// The two sections of the worked example.
pkm::SectionList workedSections()
{
    pkm::TParam notes;
    notes.Name = "Notes";
    notes.Value = "one two three four";
    notes.Line = 2;
    notes.Start = 10;
    notes.Width = 9;
    notes.Style = true;
    pkm::TParam size;
    size.Name = "Size";
    size.Value = "3 x 1.44";
    size.Line = 3;
    size.Start = 10;
    size.Width = 10;
    size.Alignment = 1;
    return {notes, size};
}

class Preview : public ::testing::Test {
protected:
    void start(const pkm::SectionList& records, const pkm::TemplateSettings& settings, bool diz = false)
    {
        dir.writeIni(pkm::BuildTemplateStore("", records, settings));
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        QApplication::setActiveWindow(form.get());
        QTest::mouseClick(diz ? find<QCheckBox>(form, "CheckBox2") : find<QCheckBox>(form, "CheckBox1"),
                          Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton);
        ASSERT_TRUE(find<QPushButton>(form, "Button4")->isVisible());
    }

    static pkm::TemplateSettings nfoSettings(const std::string& outputDir = std::string())
    {
        pkm::TemplateSettings s;
        s.NfoClone = "clone.nfo";
        s.NfoOutput = "release.nfo";
        s.DizClone = "clone.diz";
        s.DizOutput = "file_id.diz";
        s.OutputDir = outputDir;
        return s;
    }

    void pressPreview() { QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton); }

    ProgramDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(Preview, WorkedExampleIsWrittenAndShownAndCancelKeepsIt)
{
    dir.write("clone.nfo", kTemplate);
    start(workedSections(), nfoSettings());
    QPointer<TForm3> shown;
    QString caption;
    QString text;
    bool sizeable = false;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        shown = qobject_cast<TForm3*>(d);
        caption = d->windowTitle();
        QTextEdit* memo = find<QTextEdit>(shown.data(), "Memo1");
        text = memo->toPlainText();
        sizeable = d->minimumWidth() != d->maximumWidth();
        memo->setPlainText(QStringLiteral("thrown away"));
        return int(QDialog::Rejected);
    });
    pressPreview();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dir.read("release.nfo"), kWorkedOutput);
    EXPECT_EQ(caption, QStringLiteral("release.nfo"));
    EXPECT_EQ(text, toDisplay(kWorkedOutput).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_TRUE(sizeable);
    EXPECT_TRUE(shown.isNull()) << "the window is destroyed";
    // The user's records were not moved by the line shift.
    EXPECT_EQ(form->nfoSections()[1].Line, 3);
}

TEST_F(Preview, OkSavesTheEditedTextOverTheOutput)
{
    dir.write("clone.nfo", kTemplate);
    start(workedSections(), nfoSettings());
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        auto* f = qobject_cast<TForm3*>(d);
        QTextCursor c = find<QTextEdit>(f, "Memo1")->textCursor();
        c.movePosition(QTextCursor::Start);
        c.insertText(QStringLiteral("Greetings \u2593\n"));
        return int(QDialog::Accepted);
    });
    pressPreview();
    EXPECT_EQ(dir.read("release.nfo"), "Greetings \xB2\r\n" + kWorkedOutput);
}

TEST_F(Preview, EveryByteButTheLineEndsRoundTripsThroughThePreview)
{
    std::string line;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            line += static_cast<char>(b);
    }
    const std::string art = line + "\r\n" + std::string(line.rbegin(), line.rend()) + "\r\n";
    dir.write("clone.nfo", art);
    start({}, nfoSettings());
    dialogs.dialogHandlers.push_back([](QDialog*) { return int(QDialog::Accepted); });
    pressPreview();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dir.read("release.nfo"), art);
}

TEST_F(Preview, DizViewWritesTheDizFileIntoTheOutputDirectory)
{
    dir.write("art/clone.diz", "[ ........ ]\r\n");
    std::filesystem::create_directory(dir.file("out"));
    pkm::TParam name;
    name.Value = "pkm";
    name.Line = 1;
    name.Start = 3;
    name.Width = 8;
    name.Alignment = 2;
    name.Caps = true;
    name.Diz = true;
    pkm::TemplateSettings settings = nfoSettings();
    settings.DizClone = "art/clone.diz";
    // With or without its trailing separator, the directory gives the same path.
    for (const std::string& outputDir : {dir.file("out"), dir.file("out") + "/"}) {
        settings.OutputDir = outputDir;
        start({name}, settings, true);
        pressPreview();
        EXPECT_EQ(dir.read("out/file_id.diz"), "[    PKM   ]\r\n");
        std::filesystem::remove(dir.file("out/file_id.diz"));
    }
    EXPECT_EQ(dialogs.dialogTitles,
              (std::vector<QString> {QStringLiteral("file_id.diz"), QStringLiteral("file_id.diz")}));
}

TEST_F(Preview, FailuresAreReportedAndLeaveAnEarlierOutputWhole)
{
    const QString inputError = QStringLiteral("Error while reading input file...");
    struct Case {
        const char* what;
        std::function<void(pkm::TemplateSettings&, pkm::SectionList&, FaultyFileWriter&)> setUp;
        QString caption;
        QString text;
    };
    const std::string earlier = "earlier output\r\n";
    const QString title = QStringLiteral("Pakmaster v1.0");
    const std::vector<Case> cases = {
        // The second line names the file to fix.
        {"missing template",
         [](pkm::TemplateSettings& s, pkm::SectionList&, FaultyFileWriter&) { s.NfoClone = "missing.nfo"; },
         QStringLiteral("Input error"),
         inputError + "\r" + pathToQString(dir.file("missing.nfo")) + "\rNo such file or directory."},
        {"empty template key",
         [](pkm::TemplateSettings& s, pkm::SectionList&, FaultyFileWriter&) { s.NfoClone.clear(); },
         QStringLiteral("Input error"), inputError + "\r" + pathToQString(dir.path() + "/") + "\rNot a regular file."},
        {"line beyond the template",
         [](pkm::TemplateSettings&, pkm::SectionList& r, FaultyFileWriter&) { r[1].Line = 9; }, title,
         QStringLiteral("List index out of bounds (10)")}, // 9 + the 2 lines the memo adds, less 1
        {"line 0", [](pkm::TemplateSettings&, pkm::SectionList& r, FaultyFileWriter&) { r[0].Line = 0; }, title,
         QStringLiteral("List index out of bounds (-1)")},
        {"output is a directory",
         [this](pkm::TemplateSettings& s, pkm::SectionList&, FaultyFileWriter&) { s.NfoOutput = "adir"; }, title,
         QStringLiteral("Cannot create file %1").arg(pathToQString(dir.file("adir")))},
        {"output directory missing",
         [this](pkm::TemplateSettings& s, pkm::SectionList&, FaultyFileWriter&) { s.OutputDir = dir.file("nowhere"); },
         title, QStringLiteral("Cannot create file %1").arg(pathToQString(dir.file("nowhere/release.nfo")))},
        {"disk full", [](pkm::TemplateSettings&, pkm::SectionList&, FaultyFileWriter& f) { f.failAfterBytes = 10; },
         QStringLiteral("Input error"), inputError + "\r" + pathToQString(dir.file("release.nfo"))},
    };
    dir.write("clone.nfo", kTemplate);
    std::filesystem::create_directory(dir.file("adir"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("release.nfo", earlier);
        pkm::TemplateSettings settings = nfoSettings();
        pkm::SectionList records = workedSections();
        dialogs.messages.clear();
        {
            FaultyFileWriter faults;
            c.setUp(settings, records, faults);
            start(records, settings);
            pressPreview();
        }
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, c.caption);
        EXPECT_EQ(dialogs.messages[0].text, c.text);
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(dialogs.dialogTitles.empty()) << "no preview after a failure";
        EXPECT_EQ(dir.read("release.nfo"), earlier);
        EXPECT_EQ(form->nfoSections()[0].Value, "one two three four");
    }
}

TEST_F(Preview, AFailedSaveOfThePreviewIsReportedAndTheWindowStillGoes)
{
    dir.write("clone.nfo", kTemplate);
    start(workedSections(), nfoSettings());
    QPointer<TForm3> shown;
    FaultyFileWriter faults;
    dialogs.dialogHandlers.push_back([&](QDialog* d) {
        shown = qobject_cast<TForm3*>(d);
        find<QTextEdit>(shown.data(), "Memo1")->setPlainText(QStringLiteral("edited but never saved"));
        faults.failAfterBytes = 5;
        return int(QDialog::Accepted);
    });
    pressPreview();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Unable to write to %1").arg(pathToQString(dir.file("release.nfo"))));
    EXPECT_TRUE(shown.isNull());
    EXPECT_EQ(dir.read("release.nfo"), kWorkedOutput);
}

TEST_F(Preview, AValueTypedJustBeforePreviewIsInTheFile)
{
    dir.write("clone.nfo", kTemplate);
    start(workedSections(), nfoSettings());
    QTreeWidget* tree = find<QTreeWidget>(form, "TreeView1");
    QTreeWidgetItem* size = tree->topLevelItem(0)->child(1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(size).center());
    QTest::mouseClick(find<QLineEdit>(form, "EValue"), Qt::LeftButton);
    find<QLineEdit>(form, "EValue")->selectAll();
    QTest::keyClicks(find<QLineEdit>(form, "EValue"), QStringLiteral("2 x 1.2"));
    dialogs.dialogHandlers.push_back([](QDialog*) { return int(QDialog::Rejected); });
    pressPreview();
    EXPECT_NE(dir.read("release.nfo").find("| Size :    2 x 1.2 |"), std::string::npos) << dir.read("release.nfo");

    // Its shortcut leaves the focus in the box.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    find<QLineEdit>(form, "EValue")->setFocus();
    find<QLineEdit>(form, "EValue")->selectAll();
    QTest::keyClicks(find<QLineEdit>(form, "EValue"), QStringLiteral("3 x 1.4"));
    dialogs.dialogHandlers.push_back([](QDialog*) { return int(QDialog::Rejected); });
    QTest::keyClick(find<QLineEdit>(form, "EValue"), Qt::Key_W, Qt::AltModifier);
    // The shortcut presses the button a moment later, as a click seen on screen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.dialogHandlers.empty(); })) << "no preview";
    EXPECT_NE(dir.read("release.nfo").find("| Size :    3 x 1.4 |"), std::string::npos) << dir.read("release.nfo");
}

TEST_F(Preview, OpensSizedToTheFileWithinTheScreenAndAScrollBarForTheLinesBelow)
{
    // The offscreen platform's screen, of a fixed size: 24 lines fit it, 200 do not.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(screen.height(), 25 * 16 + 61);
    ASSERT_LT(screen.height(), 200 * 16);
    const struct {
        int lines;
        QSize client;
        bool scrollBar;
    } cases[] = {
        // 80 columns and 24 lines, and the empty line after the last line end.
        {24, {80 * 8 + 26, 25 * 16 + 61}, false},
        {200, {0, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string art;
        for (int i = 0; i < c.lines; ++i)
            art += "\xDB\xDB" + std::string(76, '\xB0') + "\xDB\xDB\r\n";
        dir.write("clone.nfo", art);
        start({}, nfoSettings());
        QSize client;
        bool scrollBar = false;
        QScrollBar* bar = nullptr;
        std::size_t shownLines = 0;
        int columns = 0;
        dialogs.dialogHandlers.push_back([&](QDialog* d) {
            auto* preview = qobject_cast<TForm3*>(d);
            preview->show();
            client = preview->size();
            scrollBar = preview->scrollBarShown();
            bar = find<QTextEdit>(preview, "Memo1")->verticalScrollBar();
            EXPECT_EQ(bar->isVisible(), c.scrollBar);
            if (c.scrollBar) {
                EXPECT_GT(bar->maximum(), 0) << "the bar shows there is more";
            }
            EXPECT_TRUE(screen.contains(preview->frameGeometry())) << "within the screen";
            shownLines = preview->displayLines().size();
            columns = preview->columns();
            return int(QDialog::Rejected);
        });
        pressPreview();
        ASSERT_TRUE(dialogs.dialogHandlers.empty());
        EXPECT_EQ(scrollBar, c.scrollBar);
        if (!c.client.isEmpty()) {
            EXPECT_EQ(client, c.client);
        }
        // Every line whole: the bar takes no column.
        EXPECT_EQ(columns, 80);
        EXPECT_EQ(shownLines, static_cast<std::size_t>(c.lines));
    }
}
