// `pakmaster FILE`: the file in the fixed-font window, read-only, sized to it, without its
// SAUCE record; a file that cannot be read gets the input error.
#include "app/ViewerWindow.h"

#include "editor/TextWindow.h"
#include "platform/widgets/TextCodec.h"
#include "support/gui/find.h"
#include "support/gui/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QPushButton>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pkm;

TEST(Viewer, ShowsTheFileReadOnlySizedToItWithoutItsSauceRecord)
{
    TempDir dir;
    std::string art;
    for (int i = 0; i < 24; ++i)
        art += std::string(80, '\xDB') + "\r\n";
    std::string record = "SAUCE00Title";
    record.resize(128, ' ');
    dir.write("art.nfo", art + '\x1A' + record);
    ScriptedDialogs dialogs;
    const std::unique_ptr<TForm3> viewer = OpenViewer(dir.file("art.nfo"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("art.nfo"));
    QTextEdit* memo = find<QTextEdit>(viewer.get(), "Memo1");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), toDisplay(art).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_FALSE(find<QPushButton>(viewer.get(), "Button2")->isVisibleTo(viewer.get()));
    EXPECT_EQ(viewer->size(), QSize(80 * 8 + 26, 25 * 16 + 61));
    EXPECT_EQ(memo->size(), QSize(80 * 8 + 6, 25 * 16 + 6));
    EXPECT_FALSE(viewer->scrollBarShown());
    EXPECT_EQ(viewer->columns(), 80);
    EXPECT_EQ(viewer->displayLines().size(), 24u);
    EXPECT_NE(viewer->minimumWidth(), viewer->maximumWidth()) << "sizeable";
}

TEST(Viewer, RefusesAFifoAndAMissingFileWithTheInputError)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.nfo").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {{dir.file("pipe.nfo"), "Not a regular file."}, {dir.file("absent.nfo"), "No such file or directory."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ScriptedDialogs dialogs;
        EXPECT_EQ(OpenViewer(c.path), nullptr);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Input error"));
        EXPECT_EQ(dialogs.messages[0].text,
                  QStringLiteral("Error while reading input file...\r%1\r%2")
                      .arg(pathToQString(c.path), QString::fromLatin1(c.why)));
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(dialogs.dialogTitles.size(), 0u) << "no window opened";
    }
}
