// The commands, run as the real program with no display at all: generate against the window's
// Preview on the same Release.ini and values, volumes restored by an independent extractor,
// zips listed by unzip, render checked cell by cell against the shapes of the font's glyphs.
#include "app/MainWindow.h"
#include "app/command_line.h"
#include "editor/TextWindow.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/run_program.h"
#include "support/gui/scripted_dialogs.h"
#include "templates/template_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>

using namespace pkm;

namespace fs = std::filesystem;

namespace {

using Result = ProgramResult;

Result run(const std::string& program, const QStringList& args, const std::string& workDir)
{
    return runProgram(program, args, workDir);
}

// A portable copy of the program in `dir`: its Release.ini is the one beside it.
std::string copyProgram(const ProgramDir& dir)
{
    const std::string program = dir.file("pakmaster");
    std::error_code linkFailed;
    fs::create_hard_link(kProgram, program, linkFailed);
    if (linkFailed)
        fs::copy_file(kProgram, program);
    return program;
}

// How the command line shows a message box of the window.
std::string asPrinted(const RecordedMessage& message)
{
    std::string text = message.text.toStdString();
    std::replace(text.begin(), text.end(), '\r', '\n');
    const std::string caption = message.caption == QString::fromLatin1(kApplicationTitle)
        ? std::string()
        : message.caption.toStdString() + ": ";
    return "pakmaster: " + caption + text + "\n";
}

class Generate : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"Release.ini", "clone.nfo", "clone.diz"})
            fs::copy_file(PAKMASTER_SOURCE_DIR "/examples/" + std::string(name), dir.file(name));
        program = copyProgram(dir);
    }

    void startWindow()
    {
        form = std::make_unique<TForm1>(dir.paths());
        form->show();
        QApplication::setActiveWindow(form.get());
        QTest::mouseClick(find<QCheckBox>(form, "CheckBox1"), Qt::LeftButton);
        QTest::mouseClick(find<QCheckBox>(form, "CheckBox2"), Qt::LeftButton);
        next();
    }
    void next() { QTest::mouseClick(find<QPushButton>(form, "Button2"), Qt::LeftButton); }
    void select(int index)
    {
        QTreeWidget* tree = find<QTreeWidget>(form, "TreeView1");
        QTreeWidgetItem* item = tree->topLevelItem(0)->child(index);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    void type(int index, const QString& text)
    {
        select(index);
        QLineEdit* value = find<QLineEdit>(form, "EValue");
        QTest::mouseClick(value, Qt::LeftButton);
        value->selectAll();
        // As typed; keyClicks takes only ASCII.
        value->insert(text);
    }
    // The memo editor's text, confirmed with OK.
    void typeMemo(int index, const QString& text)
    {
        select(index);
        dialogs.dialogHandlers.push_back([text](QDialog* d) {
            find<QTextEdit>(qobject_cast<TForm3*>(d), "Memo1")->setPlainText(text);
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(find<QToolButton>(form, "BMore"), Qt::LeftButton);
    }
    void preview()
    {
        dialogs.dialogHandlers.push_back([](QDialog*) { return int(QDialog::Rejected); });
        QTest::mouseClick(find<QPushButton>(form, "Button4"), Qt::LeftButton);
    }

    ProgramDir dir;
    std::string program;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(Generate, WritesTheBytesPreviewWritesForTheSameValues)
{
    const QString title = QStringLiteral("Pakm\u00E4ster \u2591\u2592\u2593");
    const QString notes = QStringLiteral("Unpack the zips into one directory, then extract the first volume with 7zz "
                                         "or any tool that reads split archives.\n\nHave fun \u263A");
    const QString dizTitle = QStringLiteral("PKM \u00BD");
    const QString description = QStringLiteral("A wizard that prepares a release.\nTwo lines.");
    startWindow();
    type(0, title);
    typeMemo(7, notes);
    preview();
    next();
    type(0, dizTitle);
    typeMemo(5, description);
    preview();
    ASSERT_TRUE(dialogs.messages.empty());
    const std::string nfo = dir.read("release.nfo");
    const std::string diz = dir.read("file_id.diz");
    fs::remove(dir.file("release.nfo"));
    fs::remove(dir.file("file_id.diz"));

    dir.write("values.txt",
              "\xEF\xBB\xBF"
              "DIZ title="
                  + dizTitle.toStdString() + "\r\n\r\nTitle=overridden\n");
    const Result result = run(program,
                              {"generate", "--values", "values.txt", "--set", "Title=" + title, "--set",
                               "Notes=" + notes, "--set", "Description=" + description},
                              dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, dir.file("release.nfo") + "\n" + dir.file("file_id.diz") + "\n");
    EXPECT_EQ(dir.read("release.nfo"), nfo);
    EXPECT_EQ(dir.read("file_id.diz"), diz);
    EXPECT_NE(nfo.find("PAKM\x84STER \xB0\xB1\xB2"), std::string::npos) << "code page 437, capitals a to z only";

    // --diz alone writes the DIZ file alone.
    fs::remove(dir.file("release.nfo"));
    EXPECT_EQ(run(program, {"generate", "--diz"}, dir.path()).out, dir.file("file_id.diz") + "\n");
    EXPECT_FALSE(fs::exists(dir.file("release.nfo")));
}

TEST_F(Generate, FailsWithTheWindowsMessageAndWritesNothing)
{
    const pkm::TemplateStore example = pkm::LoadTemplateStore(dir.file("Release.ini"));
    const struct {
        const char* what;
        std::function<void(pkm::TemplateSettings&, pkm::SectionList&)> change;
    } cases[] = {
        {"missing template", [](pkm::TemplateSettings& s, pkm::SectionList&) { s.NfoClone = "missing.nfo"; }},
        {"line beyond the template", [](pkm::TemplateSettings&, pkm::SectionList& r) { r[3].Line = 99; }},
        {"output directory missing",
         [this](pkm::TemplateSettings& s, pkm::SectionList&) { s.OutputDir = dir.file("nowhere"); }},
        // Release.ini comes from anywhere: its outputs may name the files the program keeps.
        {"output over Release.ini", [](pkm::TemplateSettings& s, pkm::SectionList&) { s.NfoOutput = "Release.ini"; }},
        {"output over the program", [](pkm::TemplateSettings& s, pkm::SectionList&) { s.NfoOutput = "pakmaster"; }},
        {"output through a link to the template",
         [this](pkm::TemplateSettings& s, pkm::SectionList&) {
             fs::create_symlink("clone.nfo", dir.file("link.nfo"));
             s.NfoOutput = "link.nfo";
         }},
    };
    const std::string nfoTemplate = dir.read("clone.nfo");
    const auto programSize = fs::file_size(program);
    const auto programTime = fs::last_write_time(program);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pkm::TemplateSettings settings = example.settings;
        pkm::SectionList records = example.records;
        c.change(settings, records);
        dir.writeIni(pkm::BuildTemplateStore("", records, settings));
        const std::string ini = dir.read("Release.ini");
        dialogs.messages.clear();
        startWindow();
        preview();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const Result result = run(program, {"generate", "--nfo"}, dir.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, asPrinted(dialogs.messages[0]));
        EXPECT_FALSE(fs::exists(dir.file("release.nfo")));
        EXPECT_EQ(dir.read("Release.ini"), ini);
        EXPECT_EQ(dir.read("clone.nfo"), nfoTemplate);
        EXPECT_EQ(fs::file_size(program), programSize);
        EXPECT_EQ(fs::last_write_time(program), programTime);
    }
    EXPECT_EQ(asPrinted(dialogs.messages[0]),
              "pakmaster: Output error: The output file would overwrite the NFO template:\n" + dir.file("link.nfo")
                  + "\n");

    // The command line's own: a name no section has, a values file that is not one.
    dir.write("values.txt", "Title=x\nno equals sign\n");
    const struct {
        QStringList args;
        std::string err;
    } own[] = {
        {{"generate", "--set", "Title=x", "--set", "Titel=y"},
         "pakmaster: No section is named \"Titel\" in " + dir.file("Release.ini") + ".\n"},
        {{"generate", "--values", "values.txt"},
         "pakmaster: Input error: values.txt:2: a line of NAME=VALUE expected\n"},
        {{"generate", "--values", "absent.txt"},
         "pakmaster: Input error: Error while reading input file...\nabsent.txt\nNo such file or directory.\n"},
    };
    for (const auto& c : own) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result result = run(program, c.args, dir.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_FALSE(fs::exists(dir.file("release.nfo")));
    }
}

TEST_F(Generate, RefusalsComeBeforeEitherFileIsWrittenAndACutValueIsNamed)
{
    // "Version" is a one-line field of 10 characters.
    const Result lineBreak = run(program, {"generate", "--set", "Title=x", "--set", "Version=1\n2"}, dir.path());
    EXPECT_EQ(lineBreak.exitCode, 1);
    EXPECT_EQ(
        lineBreak.err,
        "pakmaster: Input error: The section \"Version\" holds one line: its value may not contain a line break.\n");

    // The DIZ would overwrite the NFO template: the NFO, fine on its own, is not written either.
    pkm::TemplateStore example = pkm::LoadTemplateStore(dir.file("Release.ini"));
    example.settings.DizOutput = "clone.nfo";
    dir.writeIni(pkm::BuildTemplateStore("", example.records, example.settings));
    const std::string nfoTemplate = dir.read("clone.nfo");
    const Result refused = run(program, {"generate"}, dir.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "pakmaster: Output error: The output file would overwrite the NFO template:\n" + dir.file("clone.nfo")
                  + "\n");
    EXPECT_EQ(dir.read("clone.nfo"), nfoTemplate);
    EXPECT_FALSE(fs::exists(dir.file("release.nfo")));

    // Cut to its field, as the window cuts what is typed into the box, and said.
    example.settings.DizOutput = "file_id.diz";
    dir.writeIni(pkm::BuildTemplateStore("", example.records, example.settings));
    startWindow();
    type(1, QStringLiteral("2.1 build 2024"));
    preview();
    ASSERT_TRUE(dialogs.messages.empty());
    const std::string nfo = dir.read("release.nfo");
    fs::remove(dir.file("release.nfo"));
    const Result cut = run(program, {"generate", "--nfo", "--set", "Version=2.1 build 2024"}, dir.path());
    EXPECT_EQ(cut.exitCode, 0);
    EXPECT_EQ(cut.err,
              "pakmaster: The value of \"Version\" is longer than its section's width: it is cut to 10 "
              "characters.\n");
    EXPECT_EQ(dir.read("release.nfo"), nfo);
    EXPECT_NE(nfo.find("2.1 build "), std::string::npos);
}

TEST_F(Generate, OutputNamesTheDirectoryWrittenInsteadOfOutputDir)
{
    pkm::TemplateStore example = pkm::LoadTemplateStore(dir.file("Release.ini"));
    example.settings.OutputDir = dir.file("releases");
    dir.writeIni(pkm::BuildTemplateStore("", example.records, example.settings));
    fs::create_directory(dir.file("releases"));
    fs::create_directory(dir.file("out"));
    ASSERT_EQ(run(program, {"generate"}, dir.path()).exitCode, 0);
    const std::string nfo = dir.read("releases/release.nfo");
    const std::string diz = dir.read("releases/file_id.diz");
    fs::remove(dir.file("releases/release.nfo"));
    fs::remove(dir.file("releases/file_id.diz"));

    // The names stay Release.ini's; the paths are printed as they were given.
    const Result result = run(program, {"generate", "--output", "out"}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "out/release.nfo\nout/file_id.diz\n");
    EXPECT_EQ(dir.read("out/release.nfo"), nfo);
    EXPECT_EQ(dir.read("out/file_id.diz"), diz);
    EXPECT_TRUE(fs::is_empty(dir.file("releases")));

    // The protected-file rules see the path written: a link there to the template is refused.
    fs::create_directory(dir.file("linked"));
    fs::create_symlink("../clone.nfo", dir.file("linked/release.nfo"));
    const std::string nfoTemplate = dir.read("clone.nfo");
    const struct {
        QStringList args;
        std::string err;
    } refused[] = {
        {{"generate", "--output", "nowhere"}, "pakmaster: Output error: Output directory not found.\n"},
        {{"generate", "--output="}, "pakmaster: Output error: Output directory not found.\n"},
        {{"generate", "--output", "clone.nfo"}, "pakmaster: Output error: Output directory not found.\n"},
        {{"generate", "--output", "linked"},
         "pakmaster: Output error: The output file would overwrite the NFO template:\nlinked/release.nfo\n"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result r = run(program, c.args, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(dir.read("clone.nfo"), nfoTemplate);
    EXPECT_FALSE(fs::exists(dir.file("linked/file_id.diz")));
    EXPECT_TRUE(fs::is_empty(dir.file("releases")));
}

TEST(Commands, VolumesOfATreeExtractWhole)
{
    if (QStandardPaths::findExecutable(QStringLiteral("7zz")).isEmpty())
        GTEST_SKIP() << "7zz is not installed";
    TempDir dir;
    std::mt19937 random(7);
    std::string noise(5000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    dir.write("in/setup.bin", noise);
    dir.write("in/docs/readme.txt", "read me\r\n");
    fs::create_directory(dir.file("out"));

    const Result result = run(
        kProgram, {"volumes", "--input", "in/", "--output", "out", "--name", "rel", "--size", "2"}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::size_t volumes = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.file("out")))
        ++volumes;
    EXPECT_GE(volumes, 2u);
    EXPECT_TRUE(result.out.ends_with("-------------------------\nFile(s) created: " + std::to_string(volumes) + "\n"))
        << result.out;
    // Not a terminal: every line as it came, no carriage returns or escapes.
    EXPECT_EQ(result.out.find_first_of("\r\x1b"), std::string::npos);

    ASSERT_EQ(QProcess::execute(QStringLiteral("7zz"),
                                {"x", "-y", "-bd", QString::fromStdString("-o" + dir.file("x")),
                                 QString::fromStdString(dir.file("out/rel.7z.001"))}),
              0);
    EXPECT_EQ(dir.read("x/setup.bin"), noise);
    EXPECT_EQ(dir.read("x/docs/readme.txt"), "read me\r\n");

    // The archiver fails (its output folder is missing): the message, and the log still closes.
    const Result failed = run(kProgram, {"volumes", "--input", "in", "--output", "out", "--name", "missing/rel"},
                              dir.path());
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.starts_with("pakmaster: Compression error: ")) << failed.err;
    EXPECT_TRUE(failed.out.ends_with("-------------------------\nFile(s) created: 0\n")) << failed.out;

    const struct {
        QStringList args;
        std::string err;
    } refused[] = {
        {{"volumes", "--input", "nowhere", "--output", "out", "--name", "v"},
         "pakmaster: Input error: Input directory not found.\n"},
        {{"volumes", "--input", "in", "--output", "nowhere", "--name", "v"},
         "pakmaster: Output error: Output directory not found.\n"},
        {{"volumes", "--input", "in", "--output", "out", "--name", "a\"b"},
         "pakmaster: Input error: Names and paths may not contain double quotes.\n"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result r = run(kProgram, c.args, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(Commands, ZipsSpreadOneFilePerZipAndPutTheOthersIntoEvery)
{
    TempDir dir;
    for (const char* name : {"v/rel.7z.001", "v/rel.7z.002", "v/rel.7z.003", "release.nfo", "file_id.diz"})
        dir.write(name, name);
    fs::create_directory(dir.file("out"));
    const Result result = run(kProgram,
                              {"zips", "--output", "out", "--name", "disk1", "--count", "3", "--spread", "v/rel.7z.001",
                               "--spread", "v/rel.7z.002", "--spread", "v/rel.7z.003", "--each", "release.nfo",
                               "--each", dir.file("file_id.diz").c_str()},
                              dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.ends_with("-------------------------\nFile(s) created: 3\n")) << result.out;
    const std::pair<const char*, const char*> zips[] = {
        {"disk1.zip", "rel.7z.001"}, {"disk2.zip", "rel.7z.002"}, {"disk3.zip", "rel.7z.003"}};
    for (const auto& [zip, volume] : zips) {
        SCOPED_TRACE(zip);
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {"-Z1", QString::fromStdString(dir.file("out/") + zip)});
        ASSERT_TRUE(unzip.waitForFinished(-1));
        QStringList names = QString::fromUtf8(unzip.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        names.sort();
        EXPECT_EQ(names, (QStringList {"file_id.diz", QString::fromLatin1(volume), "release.nfo"}));
    }

    const struct {
        QStringList args;
        std::string err;
    } refused[] = {
        {{"zips", "--output", "nowhere", "--name", "d1", "--count", "1"},
         "pakmaster: Output error: Output directory not found.\n"},
        {{"zips", "--output", "out", "--name", "d1", "--count", "2", "--each", "absent.nfo"},
         "pakmaster: Input error: absent.nfo: file not found.\n"},
        {{"zips", "--output", "out", "--name", "d1", "--count", "1", "--spread", "release.nfo", "--spread",
          "file_id.diz"},
         "pakmaster: Zip error: 2 files to spread over 1 zips.\n"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result r = run(kProgram, c.args, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_FALSE(fs::exists(dir.file("out/d1.zip")));
}

namespace {

// A cell of a picture as rows of '#' (text colour) and '.' (background); '?' for any other.
// `scale` pixels of the picture make one pixel of the cell.
std::vector<std::string> cellOf(const QImage& picture, int column, int row, int scale = 1)
{
    const QRgb on = qRgb(0xAA, 0xAA, 0xAA);
    const QRgb off = qRgb(0, 0, 0);
    std::vector<std::string> rows;
    for (int y = 0; y < 16; ++y) {
        std::string line;
        for (int x = 0; x < 8; ++x) {
            const QRgb p = picture.pixel((column * 8 + x) * scale, (row * 16 + y) * scale) | 0xFF000000;
            line += p == on ? '#' : p == off ? '.' : '?';
        }
        rows.push_back(line);
    }
    return rows;
}

// The glyph as the VGA font itself draws it into an 8 x 16 cell, in the test's own process.
std::vector<std::string> vgaGlyph(unsigned char byte)
{
    QFont font(QString::fromLatin1(kVgaFontFamily));
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::NoAntialias);
    QImage cell(8, 16, QImage::Format_RGB32);
    cell.fill(Qt::black);
    {
        QPainter painter(&cell);
        painter.setFont(font);
        painter.setPen(QColor(0xAA, 0xAA, 0xAA));
        painter.drawText(0, QFontMetrics(font).ascent(), toDisplay(std::string(1, static_cast<char>(byte))));
    }
    return cellOf(cell, 0, 0);
}

std::vector<std::string> filled(int top, int bottom, int left, int right)
{
    std::vector<std::string> rows(16, std::string(8, '.'));
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = '#';
    return rows;
}

} // namespace

TEST(Commands, RenderDrawsEachCharacterInItsCell)
{
    // The shapes below are the IBM VGA font's (package fonts-pc-extra), the text window's font.
    if (!QFontDatabase::families().contains(QString::fromLatin1(kVgaFontFamily)))
        GTEST_SKIP() << kVgaFontFamily << " is not installed";
    TempDir dir;
    // Box-drawing and block characters; a tab to column 8; a line shorter than the longest.
    dir.write("art.nfo", "\xC9\xCD\xCD\xBB\t\xDB\r\n\xBA\xDF\xDC\xBA\xDD\xDE\xB0\r\nA\r\n");
    const Result result = run(kProgram, {"render", "art.nfo"}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "art.nfo.png\n");
    EXPECT_EQ(result.err, "");
    QImage picture(QString::fromStdString(dir.file("art.nfo.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(9 * 8, 3 * 16));
    const auto cell = [&](int column, int row) { return cellOf(picture, column, row); };

    // The VGA font's own block shapes: its upper half block is 7 rows high, its lower one 9.
    EXPECT_EQ(cell(8, 0), filled(0, 16, 0, 8)) << "full block after the tab";
    EXPECT_EQ(cell(1, 1), filled(0, 7, 0, 8)) << "upper half block";
    EXPECT_EQ(cell(2, 1), filled(7, 16, 0, 8)) << "lower half block";
    EXPECT_EQ(cell(4, 1), filled(0, 16, 0, 4)) << "left half block";
    EXPECT_EQ(cell(5, 1), filled(0, 16, 4, 8)) << "right half block";
    EXPECT_EQ(cell(4, 0), filled(0, 16, 0, 0)) << "the tab's blanks";
    EXPECT_EQ(cell(1, 2), filled(0, 16, 0, 0)) << "beyond a short line";
    // Light shade: every fourth pixel, in rows that alternate ...#...# and .#...#..
    std::vector<std::string> shade;
    for (int y = 0; y < 16; ++y)
        shade.push_back(y % 2 == 0 ? "...#...#" : ".#...#..");
    EXPECT_EQ(cell(6, 1), shade);
    // Double lines join their neighbours: rows 5 and 7 across the cell, two 2-pixel lines down it.
    std::vector<std::string> horizontal(16, std::string(8, '.'));
    horizontal[5] = horizontal[7] = std::string(8, '#');
    EXPECT_EQ(cell(1, 0), horizontal);
    EXPECT_EQ(cell(2, 0), horizontal);
    EXPECT_EQ(cell(0, 1), std::vector<std::string>(16, "..##.##."));
    EXPECT_EQ(cell(3, 1), cell(0, 1));

    const Result missing = run(kProgram, {"render", "absent.nfo", "--output", "x.png"}, dir.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "pakmaster: Input error: Error while reading input file...\nabsent.nfo\nNo such file or directory.\n");
    EXPECT_FALSE(fs::exists(dir.file("x.png")));
}

TEST(Commands, RenderDrawsTheVgaFontsGlyphsCellForCellWithoutTheSauceRecordAtAnySize)
{
    if (!QFontDatabase::families().contains(QString::fromLatin1(kVgaFontFamily)))
        GTEST_SKIP() << kVgaFontFamily << " is not installed";
    // Every line and block character of code page 437, and letters, digits and symbols around
    // them, 16 a line.
    std::string chart;
    std::vector<unsigned char> bytes;
    for (int b = 0xB0; b <= 0xDF; ++b)
        bytes.push_back(static_cast<unsigned char>(b));
    for (const char c : std::string("Az09@#~{|"))
        bytes.push_back(static_cast<unsigned char>(c));
    for (const int b : {0x01, 0x03, 0x80, 0x9B, 0xE1, 0xF0, 0xFE})
        bytes.push_back(static_cast<unsigned char>(b));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        chart += static_cast<char>(bytes[i]);
        if (i % 16 == 15)
            chart += "\r\n";
    }
    chart += "\r\n";
    // The SAUCE record an art editor appends: end of file, a comment line, the record.
    std::string record = "SAUCE00" + std::string("Title").append(30, ' ');
    record.resize(128, ' ');
    record[104] = 1;
    TempDir dir;
    dir.write("chart.nfo", chart + '\x1A' + "COMNT" + std::string(64, 'c') + record);

    const struct {
        QStringList options;
        QSize size;
        int scale;
    } sizes[] = {
        {{}, {16 * 8, 5 * 16}, 1},
        {{"--columns", "80"}, {80 * 8, 5 * 16}, 1},
        {{"--columns", "10"}, {16 * 8, 5 * 16}, 1},
        {{"--scale", "2", "--columns=80"}, {80 * 8 * 2, 5 * 16 * 2}, 2},
        {{"--scale=4"}, {16 * 8 * 4, 5 * 16 * 4}, 4},
    };
    for (const auto& c : sizes) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const Result result = run(kProgram, QStringList {"render", "chart.nfo", "--output", "chart.png"} + c.options,
                                  dir.path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const QImage picture(QString::fromStdString(dir.file("chart.png")));
        // Four lines of characters and an empty one: the record left no line of its own.
        EXPECT_EQ(picture.size(), c.size);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            SCOPED_TRACE(static_cast<int>(bytes[i]));
            const int column = static_cast<int>(i % 16);
            const int row = static_cast<int>(i / 16);
            EXPECT_EQ(cellOf(picture, column, row, c.scale), vgaGlyph(bytes[i]));
            // Each pixel a whole square of the scale.
            for (int y = 0; y < 16 * c.scale; ++y) {
                for (int x = 0; x < 8 * c.scale; ++x) {
                    const QPoint corner((column * 8 + x / c.scale) * c.scale, (row * 16 + y / c.scale) * c.scale);
                    ASSERT_EQ(picture.pixel(column * 8 * c.scale + x, row * 16 * c.scale + y), picture.pixel(corner));
                }
            }
        }
        EXPECT_EQ(cellOf(picture, 0, 4, c.scale), filled(0, 16, 0, 0)) << "the record is not drawn";
    }
}

TEST(Commands, RenderRefusesAPictureTooLargeForPngAndKeepsTheEarlierOne)
{
    TempDir dir;
    std::string tall;
    for (int i = 0; i < 62501; ++i)
        tall += "x\r\n";
    dir.write("tall.nfo", tall);
    dir.write("wide.nfo", std::string(125001, 'x'));
    // Four megabytes of two million lines: refused before anything is laid out.
    std::string longest;
    for (int i = 0; i < 2000000; ++i)
        longest += "x\n";
    dir.write("longest.nfo", longest);
    const struct {
        const char* file;
        std::string second;
    } cases[] = {
        {"tall.nfo", "8 x 1000016 pixels"},
        {"wide.nfo", "1000008 x 16 pixels"},
        {"longest.nfo", "8 x 32000000 pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string picture = std::string(c.file) + ".png";
        dir.write(picture, "earlier picture");
        const Result r = run(kProgram, {"render", c.file}, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "pakmaster: Output error: The picture of " + std::string(c.file) + " would be too large.\n" + c.second
                      + ": a PNG picture is at most 1000000 pixels wide and high (125000 columns, "
                        "62500 lines).\n");
        EXPECT_EQ(dir.read(picture), "earlier picture");
    }

    // At the bound it is written, and PNG readers read it.
    tall.resize(tall.size() - 3);
    dir.write("tall.nfo", tall);
    const Result r = run(kProgram, {"render", "tall.nfo"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("tall.nfo.png"))).size(), QSize(8, 1000000));

    // A picture that cannot be put in place leaves nothing and fails.
    const Result missing = run(kProgram, {"render", "wide.nfo", "--output", "nowhere/w.png"}, dir.path());
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(Commands, NamesLikeOptionsAreTheCommandsOwn)
{
    // Qt never sees them: "-platform" would otherwise name its display plugin and abort.
    TempDir dir;
    dir.write("art.nfo", "A\r\n");
    dir.write("-platform", "B\r\n");
    dir.write("@list", "C\r\n");
    const struct {
        QStringList args;
        const char* written;
    } cases[] = {
        {{"render", "--", "-platform"}, "-platform.png"},
        {{"render", "@list"}, "@list.png"},
        {{"render", "--output", "-platform", "art.nfo"}, "-platform"},
        {{"render", "art.nfo", "--output", "-reverse"}, "-reverse"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Result r = run(kProgram, c.args, dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, std::string(c.written) + "\n");
        EXPECT_EQ(QImage(QString::fromStdString(dir.file(c.written))).size(), QSize(8, 16));
    }

    // The values file "-platform", then "@list", names the sections of a portable copy's Release.ini.
    ProgramDir program;
    for (const char* name : {"Release.ini", "clone.nfo", "clone.diz"})
        fs::copy_file(PAKMASTER_SOURCE_DIR "/examples/" + std::string(name), program.file(name));
    const std::string copy = copyProgram(program);
    program.write("-platform", "Title=From a dash\n");
    program.write("@list", "Version=9.9\n");
    const Result generated = run(copy, {"generate", "--nfo", "--values", "-platform", "--values=@list"},
                                 program.path());
    EXPECT_EQ(generated.exitCode, 0) << generated.err;
    EXPECT_EQ(generated.err, "");
    EXPECT_NE(program.read("release.nfo").find("FROM A DASH"), std::string::npos);
    EXPECT_NE(program.read("release.nfo").find("9.9"), std::string::npos);
}

TEST_F(Generate, ADizPastWhatBbsSoftwareReadsIsSaidByPreviewAndGenerateAndStillWritten)
{
    // The example's DIZ with a wide line, then lines up to 12 (more once multi-line values are in).
    std::string diz = dir.read("clone.diz");
    diz += std::string(46, '-') + "\r\n";
    while (std::count(diz.begin(), diz.end(), '\n') < 12)
        diz += "more\r\n";
    dir.write("clone.diz", diz);
    startWindow();
    next();
    preview();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("DIZ file"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    const std::string notice = dialogs.messages[0].text.toStdString();
    const std::string written = dir.read("file_id.diz");
    const auto count = std::count(written.begin(), written.end(), '\n');
    ASSERT_GE(count, 12);
    // The wide line, wherever the values moved it.
    const std::string wide = "\r\n" + std::string(46, '-') + "\r\n";
    const auto wideLine = std::count(written.begin(), written.begin() + static_cast<long>(written.find(wide)), '\n')
        + 2;
    EXPECT_NE(notice.find("\rLine " + std::to_string(wideLine) + " is longer than 45 characters.\r"), std::string::npos)
        << notice;
    EXPECT_NE(notice.find("\rThe file has " + std::to_string(count) + " lines: lines 11 to " + std::to_string(count)
                          + " are past the 10 read."),
              std::string::npos)
        << notice;

    const Result result = run(program, {"generate", "--diz"}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(dir.read("file_id.diz"), written);
    std::string printed = "pakmaster: warning: " + dir.file("file_id.diz") + ": " + notice + "\n";
    std::replace(printed.begin(), printed.end(), '\r', '\n');
    EXPECT_EQ(result.err, printed);
    // The example set itself is within the limits.
    fs::copy_file(PAKMASTER_SOURCE_DIR "/examples/clone.diz", dir.file("clone.diz"),
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(run(program, {"generate", "--diz"}, dir.path()).err, "");
}
