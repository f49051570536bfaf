// An archiver that prints one line of 50 MB: the run ends, and the log shows the line cut to
// what a box can lay out, saying how much was left out.
#include "app/MainWindow.h"
#include "archiving/RarPage.h"
#include "platform/widgets/LogBox.h"
#include "support/gui/find.h"
#include "support/gui/program_dir.h"
#include "support/gui/scripted_dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

TEST(ProcessFaults, AFiftyMegabyteLineEndsTheRunAndShowsCut)
{
    ProgramDir dir;
    ScriptedDialogs dialogs;
    dir.writeIni();
    fs::create_symlink(PAKMASTER_BIN_DIR "/PKM.DLL", dir.file("PKM.DLL"));
    const std::string rar =
        dir.write("rar", "#!/bin/sh\necho before\nhead -c 52428800 /dev/zero | tr '\\0' 'x'\necho\necho after\n");
    fs::permissions(rar, fs::perms::owner_all);
    fs::create_directories(dir.file("in"));
    fs::create_directories(dir.file("out"));
    auto form = std::make_unique<TForm1>(dir.paths());
    find<QCheckBox>(form, "CheckBox3")->setChecked(true);
    form->ShowRarPage();
    form->show();
    RarPage* page = find<RarPage>(form, "Rar");
    page->InDirEdit->setText(QString::fromStdString(dir.file("in")));
    page->OutDirEdit->setText(QString::fromStdString(dir.file("out")));
    page->NameEdit->setText(QStringLiteral("rel"));
    QTest::mouseClick(page->Button5, Qt::LeftButton);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(page->Button5->isEnabled());
    const QStringList lines = page->Memo1->lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("before"));
    const QString cut = QStringLiteral(" [... %1 more characters]").arg(52428800 - 16384);
    EXPECT_TRUE(lines[1].endsWith(cut));
    EXPECT_EQ(lines[1].size(), 16384 + cut.size());
    EXPECT_EQ(lines[1].count(QLatin1Char('x')), 16384);
    EXPECT_EQ(lines[2], QStringLiteral("after"));
    EXPECT_EQ(lines[4], QStringLiteral("File(s) created: 0"));
}
