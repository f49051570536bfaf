// Names and paths with blanks, non-ASCII characters, a leading '-', a newline or a trailing
// backslash, typed into RarPage and ZipPage and run through the real stub to a fake archiver
// that records the words it got: each one must reach the archiver as exactly one word holding
// the text as typed.
#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "support/gui/shown_page.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace pkm;

namespace fs = std::filesystem;

namespace {

// The words the fake archiver was started with, from its NUL-separated record.
std::vector<std::string> recordedWords(const std::string& bytes)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\0', at);
        words.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

class InputHazards : public ::testing::Test {
protected:
    void SetUp() override { fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL")); }

    // A fake archiver that records its words and succeeds; zip's test of what it made passes.
    void recordingArchiver(const std::string& name)
    {
        const std::string path = dir.write(name,
                                           "#!/bin/sh\n[ \"$1\" = -T ] && exit 0\nprintf '%s\\0' \"$@\" > \""
                                               + work.file("words") + "\"\necho ran\n");
        fs::permissions(path, fs::perms::owner_all);
    }

    ProgramDir dir;
    TempDir work;
    ScriptedDialogs dialogs;
};

const std::vector<std::pair<const char*, std::string>> kHazardousNames = {
    {"blanks", "my release 1"},  {"non-ASCII", "r\xc3\xa9lease \xe2\x82\xac"},
    {"leading dash", "-rel"},    {"leading dashes", "--help"},
    {"newline", "rel\nx"},       {"trailing backslash", "rel\\"},
    {"backslashes", "a\\\\b\\"},
};

} // namespace

TEST_F(InputHazards, RarPageHandsEachNameToTheArchiverAsOneWord)
{
    recordingArchiver("rar");
    ShownPage<RarPage> shown;
    RarPage* page = shown.openAlone(dir.paths());
    const std::string in = work.file("in dir \xc3\xa9");
    const std::string out = work.file("-out dir");
    fs::create_directories(in);
    fs::create_directories(out);
    work.write("in dir \xc3\xa9/a.txt", "a");
    for (const auto& [what, name] : kHazardousNames) {
        SCOPED_TRACE(what);
        fs::remove(work.file("words"));
        dialogs.messages.clear();
        find<QLineEdit>(page, "InDirEdit")->setText(pathToQString(in));
        find<QLineEdit>(page, "OutDirEdit")->setText(pathToQString(out));
        find<QLineEdit>(page, "NameEdit")->setText(pathToQString(name));
        find<QLineEdit>(page, "VolumeEdit")->setText(QStringLiteral("1440"));
        QTest::mouseClick(find<QPushButton>(page, "Button5"), Qt::LeftButton);
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(recordedWords(work.read("words")),
                  (std::vector<std::string> {"a", "-y", "-r", "-m5", "-ep1", "-v1440", out + "/" + name, in + "/*.*"}));
    }
}

TEST_F(InputHazards, ZipPageHandsEachZipAndFileToZipAsOneWord)
{
    recordingArchiver("zip");
    const std::string out = work.file("out \xc3\xa9");
    fs::create_directories(out);
    for (const auto& [what, name] : kHazardousNames) {
        SCOPED_TRACE(what);
        // A fresh page each time: the zip list holds just this one zip.
        ShownPage<ZipPage> shown;
        ZipPage* page = shown.openAlone(dir.paths());
        find<QLineEdit>(page, "OutDirEdit2")->setText(pathToQString(out));
        const std::string file = work.write("files/" + std::string(what) + "/" + name, "x");
        dialogs.dialogHandlers.push_back([&](QDialog* d) {
            find<QLineEdit>(d, "Edit1")->setText(pathToQString(name));
            find<QLineEdit>(d, "Edit2")->setText(QStringLiteral("1"));
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(find<QToolButton>(page, "BitBtn1"), Qt::LeftButton);
        QListWidget* zips = find<QListWidget>(page, "ListBox1");
        ASSERT_EQ(zips->count(), 1);
        zips->item(0)->setSelected(true);
        dialogs.fileAnswers.push_back(QStringList {pathToQString(file)});
        QTest::mouseClick(find<QToolButton>(page, "BitBtn4"), Qt::LeftButton);
        fs::remove(work.file("words"));
        dialogs.messages.clear();
        QTest::mouseClick(find<QPushButton>(page, "Button6"), Qt::LeftButton);
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(recordedWords(work.read("words")), (std::vector<std::string> {"-9", "-j", out + "/" + name, file}));
    }
}
