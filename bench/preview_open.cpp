// One opening of a generated file, in a process of its own (bench/preview_process_bench.sh
// runs it): the fixed-font window as the preview opens it (text set, sized to the file, shown)
// or Qt's QPlainTextEdit with the same text, font and size. Prints the milliseconds taken.
//   pakmaster_preview_open window|plain LINES
#include "editor/TextWindow.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "templates/text_window_size.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace pkm;

namespace {

// Lines of 96 characters, as the shipped in-process benchmark has them.
std::string nfoText(int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i) {
        std::string line = "  \xDB\xDB\xB1\xB1 line ";
        line.append(std::to_string(i)).append(" of the release notes, words to wrap");
        line.resize(96, '.');
        text.append(line).append("\r\n");
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "window") != 0 && std::strcmp(argv[1], "plain") != 0)) {
        std::fprintf(stderr, "usage: %s window|plain LINES\n", argv[0]);
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int lines = std::atoi(argv[2]);
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    // Both start with the font loaded and the bytes in memory; the conversion is part of the
    // window's work, as QPlainTextEdit is handed the characters.
    const QFont font = fixedTextFont();
    const QFontMetrics metrics(font);
    const std::string bytes = nfoText(lines);
    const bool window = std::strcmp(argv[1], "window") == 0;
    const QString text = window ? QString() : toDisplay(bytes);
    TextWindowMetrics screen {metrics.horizontalAdvance(QLatin1Char('M')), metrics.height(), 14, 0, 0};
    screen.availableWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
    screen.availableHeight = QGuiApplication::primaryScreen()->availableGeometry().height();
    const TextWindowSize size = TextWindowSizeFor(96, static_cast<std::size_t>(lines) + 1, screen);

    const auto start = std::chrono::steady_clock::now();
    if (window) {
        TForm3 preview;
        preview.setSizeable(true);
        preview.fitToText();
        preview.setMemoText(bytes);
        preview.show();
        QCoreApplication::processEvents();
    } else {
        QPlainTextEdit edit;
        edit.resize(size.clientWidth, size.clientHeight);
        edit.setFont(font);
        edit.setPlainText(text);
        edit.show();
        QCoreApplication::processEvents();
    }
    const std::chrono::duration<double, std::milli> taken = std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", taken.count());
    return 0;
}
