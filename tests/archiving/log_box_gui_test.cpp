// TLogBox, the run log: a backlog drawn at once looks as the same lines drawn one by one, and a
// very long run keeps its newest lines, says how many went, and keeps the place a user scrolled to.
#include "archiving/LogBox.h"

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace pkm;

namespace {

// A shown box of the Rar page's size.
struct ShownBox {
    QWidget window;
    TLogBox* box = new TLogBox(&window);
    ShownBox()
    {
        box->setGeometry(0, 0, 297, 105);
        window.resize(297, 105);
        window.show();
    }
    QImage drawn()
    {
        box->flush();
        EXPECT_TRUE(QTest::qWaitFor([this] { return box->isDrawn(); }));
        return box->viewport()->grab().toImage();
    }
};

// Output lines as an archiver prints them: file names, progress states, long wrapping lines.
std::string outputLine(std::mt19937& random, int n)
{
    switch (random() % 5) {
    case 0:
        return " " + std::to_string(random() % 100) + "%";
    case 1:
        return "Adding a long path/to/some/deeply/nested/directory/of/the/release/file" + std::to_string(n) + ".bin";
    default:
        return "Adding file" + std::to_string(n) + ".bin    ";
    }
}

} // namespace

TEST(LogBox, ABacklogLongerThanTheBoxShowsWhatDrawingLineByLineShows)
{
    std::mt19937 random(105);
    ShownBox lineByLine;
    ShownBox backlog;
    for (int n = 0; n < 300; ++n) {
        const std::string line = outputLine(random, n);
        for (TLogBox* box : {lineByLine.box, backlog.box}) {
            if (line.find('%') != std::string::npos)
                box->progressLine(line);
            else
                box->appendLine(line);
        }
        lineByLine.drawn();
    }
    EXPECT_EQ(backlog.drawn(), lineByLine.drawn());
    EXPECT_EQ(backlog.box->lines(), lineByLine.box->lines());
    EXPECT_EQ(backlog.box->verticalScrollBar()->value(), backlog.box->verticalScrollBar()->maximum());
}

TEST(LogBox, AVeryLongRunKeepsTheNewestLinesAndTheRowsAUserScrolledTo)
{
    ShownBox shown;
    TLogBox* box = shown.box;
    const std::size_t total = pkm::LogBuffer::kDefaultKeep + 50000;
    for (std::size_t n = 0; n < total / 2; ++n)
        box->appendLine("line " + std::to_string(n));
    // Scrolled back, the user keeps reading the same lines while earlier ones are left out.
    QScrollBar* bar = box->verticalScrollBar();
    box->flush();
    bar->setValue(bar->maximum() - 1000);
    const QString read = box->lines()[bar->value()];
    for (std::size_t n = total / 2; n < total; ++n)
        box->appendLine("line " + std::to_string(n));
    box->appendLine("-------------------------");
    box->appendLine("File(s) created: 3");
    shown.drawn();

    const QStringList lines = box->lines();
    const std::size_t leftOut = box->buffer().leftOut();
    ASSERT_GT(leftOut, 0u);
    EXPECT_EQ(lines.front(), QStringLiteral("[... %1 earlier lines left out]").arg(leftOut));
    EXPECT_EQ(lines[1], QStringLiteral("line %1").arg(leftOut));
    EXPECT_EQ(static_cast<std::size_t>(lines.size()) - 1 + leftOut, total + 2);
    EXPECT_EQ(lines.back(), QStringLiteral("File(s) created: 3"));
    EXPECT_EQ(lines[bar->value()], read);
}
