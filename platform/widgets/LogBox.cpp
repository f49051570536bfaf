#include "platform/widgets/LogBox.h"

#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// The log box never takes the keyboard focus and never shows a caret: a focus change to it is
// undone, back to where the focus came from.
class LogBoxFocusFilter : public QObject {
public:
    explicit LogBoxFocusFilter(TLogBox* box)
        : QObject(box)
    {
        box->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [box](QWidget* old, QWidget* now) {
            if (now != box)
                return;
            if (old != nullptr && old != now && old->window() == box->window())
                old->setFocus(Qt::OtherFocusReason);
            else
                now->clearFocus();
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TLogBox::TLogBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    new LogBoxFocusFilter(this);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
    viewport()->setCursor(Qt::ArrowCursor);
    setFont(windowFont(11, true));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    timer_.setInterval(50);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TLogBox::drawSome);
}

void TLogBox::appendLine(const std::string& line)
{
    buffer_.append(line);
    scheduleFlush();
}

void TLogBox::progressLine(const std::string& line)
{
    buffer_.progress(line);
    scheduleFlush();
}

void TLogBox::clearLog()
{
    timer_.stop();
    buffer_.clear();
    clear();
    hasLines_ = false;
}

void TLogBox::scheduleFlush()
{
    if (!timer_.isActive())
        timer_.start();
}

namespace {

// A box cannot lay out a line of megabytes in reasonable time, so a line longer than this is
// shown cut, with the number of characters left out.
constexpr std::size_t kLongestShownLine = 16 * 1024;

QString shownText(const std::string& line)
{
    if (line.size() <= kLongestShownLine)
        return outputToQString(line);
    return outputToQString(line.substr(0, kLongestShownLine))
        + QStringLiteral(" [... %1 more characters]").arg(line.size() - kLongestShownLine);
}

} // namespace

void TLogBox::flush()
{
    timer_.stop();
    if (buffer_.hasPending())
        draw(buffer_.take());
}

void TLogBox::drawSome()
{
    constexpr std::size_t kLinesPerStep = 500;
    constexpr qint64 kBudgetMs = 15;
    QElapsedTimer clock;
    clock.start();
    while (buffer_.hasPending() && clock.elapsed() < kBudgetMs)
        draw(buffer_.take(kLinesPerStep));
    if (buffer_.hasPending())
        timer_.start();
}

void TLogBox::draw(const pkm::LogBuffer::Batch& batch)
{
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();

    QTextCursor cursor(document());
    cursor.beginEditBlock();
    if (batch.replaceLast && hasLines_) {
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(shownText(batch.lastShown));
    }
    if (!batch.added.empty()) {
        QString text;
        bool first = !hasLines_;
        for (const std::string& line : batch.added) {
            if (!first)
                text += QChar::ParagraphSeparator;
            text += shownText(line);
            first = false;
        }
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        hasLines_ = true;
    }
    cursor.endEditBlock();
    if (atEnd)
        bar->setValue(bar->maximum());
}

QStringList TLogBox::lines()
{
    flush();
    QStringList out;
    if (!hasLines_)
        return out;
    for (QTextBlock b = document()->firstBlock(); b.isValid(); b = b.next())
        out << b.text();
    return out;
}
