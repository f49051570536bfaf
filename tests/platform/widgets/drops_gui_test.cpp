#include "platform/widgets/Drops.h"

#include "support/gui/drops.h"
#include "support/temp_dir.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>

using namespace pkm;

TEST(FolderDrops, ABoxTakesOneFolderAsItsPathAndRefusesAnythingElseUntouched)
{
    TempDir dir;
    const std::string folder = dir.file("release");
    std::filesystem::create_directories(folder);
    const std::string file = dir.write("release/readme.nfo", "x");

    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("some text"));
    auto web = std::make_unique<QMimeData>();
    web->setUrls({QUrl(QStringLiteral("https://example.org/release/"))});
    const struct {
        const char* what;
        std::unique_ptr<QMimeData> mime;
        Qt::DropActions offered;
        bool taken;
    } rows[] = {
        {"a folder", fileUrls({folder}), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, true},
        {"a folder offered as a link only", fileUrls({folder}), Qt::LinkAction, true},
        {"a folder offered as a move only", fileUrls({folder}), Qt::MoveAction, false},
        {"a file", fileUrls({file}), Qt::CopyAction, false},
        {"two folders", fileUrls({folder, folder}), Qt::CopyAction, false},
        {"a web address", std::move(web), Qt::CopyAction, false},
        {"text", std::move(text), Qt::CopyAction, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QLineEdit box(QStringLiteral("/srv/before"));
        acceptFolderDrops(&box);
        const DropAnswer answer = dropOn(&box, *row.mime, row.offered);
        EXPECT_EQ(answer.entered, row.taken);
        EXPECT_EQ(answer.dropped, row.taken);
        EXPECT_EQ(box.text(), row.taken ? QString::fromStdString(folder) : QStringLiteral("/srv/before"));
        // Never a move: the file manager would remove what was dropped.
        if (row.taken) {
            EXPECT_NE(answer.action, Qt::MoveAction);
        }
    }
}
