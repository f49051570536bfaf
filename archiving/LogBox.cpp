#include "archiving/LogBox.h"

#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>

namespace pkm {

namespace {

// Room between the text and the box's edges.
constexpr qreal kMargin = 4;
// Lines arriving faster than this are drawn together.
constexpr int kFlushMs = 20;

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

// A row laid out at the box's width; its height is its lines'.
qreal layOut(QTextLayout& layout, qreal width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

} // namespace

TLogBox::TLogBox(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    new LogBoxFocusFilter(this);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setCursor(Qt::ArrowCursor);
    setFont(windowFont(11, true));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, 0);

    timer_.setInterval(kFlushMs);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TLogBox::flush);
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
    buffer_.clear();
    leftOutShown_ = 0;
    flush();
}

void TLogBox::scheduleFlush()
{
    if (!timer_.isActive())
        timer_.start();
}

int TLogBox::rowCount() const
{
    return static_cast<int>(buffer_.size()) + (buffer_.leftOut() > 0 ? 1 : 0);
}

QString TLogBox::rowText(int row) const
{
    if (buffer_.leftOut() > 0) {
        if (row == 0)
            return QStringLiteral("[... %1 earlier lines left out]").arg(buffer_.leftOut());
        --row;
    }
    return outputToQString(std::string(buffer_.line(static_cast<std::size_t>(row))));
}

qreal TLogBox::rowHeight(int row) const
{
    QTextLayout layout(rowText(row), font());
    return layOut(layout, viewport()->width() - 2 * kMargin);
}

int TLogBox::lastTopRow() const
{
    const qreal room = viewport()->height() - 2 * kMargin;
    qreal used = 0;
    int top = rowCount();
    while (top > 0) {
        used += rowHeight(top - 1);
        if (used > room)
            break;
        --top;
    }
    return std::min(top, std::max(rowCount() - 1, 0));
}

void TLogBox::flush()
{
    timer_.stop();
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    // Rows that left the store at the top take the rows shown with them, and the notice of
    // lines left out takes the first row once there is one.
    const auto dropped = static_cast<int>(buffer_.leftOut() - leftOutShown_)
        - (leftOutShown_ == 0 && buffer_.leftOut() > 0 ? 1 : 0);
    const int value = std::max(bar->value() - dropped, 0);
    leftOutShown_ = buffer_.leftOut();
    const QSignalBlocker quiet(bar);
    const int last = lastTopRow();
    bar->setRange(0, last);
    bar->setPageStep(std::max(1, static_cast<int>(viewport()->height() / QFontMetricsF(font()).height())));
    bar->setValue(atEnd ? last : value);
    flushedRevision_ = buffer_.revision();
    viewport()->update();
}

void TLogBox::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const qreal width = viewport()->width() - 2 * kMargin;
    qreal y = kMargin;
    for (int row = verticalScrollBar()->value(); row < rowCount() && y < viewport()->height(); ++row) {
        QTextLayout layout(rowText(row), font());
        const qreal height = layOut(layout, width);
        layout.draw(&painter, QPointF(kMargin, y));
        y += height;
    }
    drawnRevision_ = flushedRevision_;
}

void TLogBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    flush();
}

void TLogBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

QStringList TLogBox::lines()
{
    flush();
    QStringList out;
    for (int row = 0; row < rowCount(); ++row)
        out << rowText(row);
    return out;
}

} // namespace pkm
