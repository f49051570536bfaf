// RarPage running an archiver that prints one line of 50 MB: the run ends, and the log shows
// the line cut to what a box can lay out, saying how much was left out.
#include "archiving/LogBox.h"
#include "archiving/RarPage.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"
#include "support/gui/shown_page.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

namespace fs = std::filesystem;

TEST(LongOutputLine, AFiftyMegabyteLineEndsTheRunAndShowsCut)
{
    ProgramDir dir;
    ScriptedDialogs dialogs;
    fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL"));
    const std::string rar = dir.write(
        "rar", "#!/bin/sh\necho before\nhead -c 52428800 /dev/zero | tr '\\0' 'x'\necho\necho after\n");
    fs::permissions(rar, fs::perms::owner_all);
    fs::create_directories(dir.file("in"));
    fs::create_directories(dir.file("out"));
    ShownPage<RarPage> shown;
    RarPage* page = shown.openAlone(dir.paths());
    find<QLineEdit>(page, "InDirEdit")->setText(QString::fromStdString(dir.file("in")));
    find<QLineEdit>(page, "OutDirEdit")->setText(QString::fromStdString(dir.file("out")));
    find<QLineEdit>(page, "NameEdit")->setText(QStringLiteral("rel"));
    QPushButton* start = find<QPushButton>(page, "Button5");
    QTest::mouseClick(start, Qt::LeftButton);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(start->isEnabled());
    const QStringList lines = find<TLogBox>(page, "Memo1")->lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("before"));
    const QString cut = QStringLiteral(" [... %1 more characters]").arg(52428800 - 16384);
    EXPECT_TRUE(lines[1].endsWith(cut));
    EXPECT_EQ(lines[1].size(), 16384 + cut.size());
    EXPECT_EQ(lines[1].count(QLatin1Char('x')), 16384);
    EXPECT_EQ(lines[2], QStringLiteral("after"));
    EXPECT_EQ(lines[4], QStringLiteral("File(s) created: 0"));
}
