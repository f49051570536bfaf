#pragma once
// TLogBox, the black run log of the Rar and Zip pages. It draws only the lines on screen,
// straight from the log's store, at most every few milliseconds: an archiver that prints
// millions of lines neither holds up the window nor fills the memory.
#include "archiving/log_buffer.h"

#include <QAbstractScrollArea>
#include <QStringList>
#include <QTimer>

namespace pkm {

class TLogBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TLogBox(QWidget* parent = nullptr);

    void appendLine(const std::string& line);
    // A progress line (see pkm::LogBuffer::progress).
    void progressLine(const std::string& line);
    void clearLog();
    // Brings the scroll bar up to date and asks for the box to be drawn.
    void flush();

    // The log as shown, one entry per line: the notice of lines left out first, if any.
    QStringList lines();
    const pkm::LogBuffer& buffer() const { return buffer_; }
    // The box was last drawn with the log as it stands.
    bool isDrawn() const { return drawnRevision_ == buffer_.revision(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void scheduleFlush();
    // Shown rows: the notice of lines left out, then the lines held.
    int rowCount() const;
    QString rowText(int row) const;
    // Height of a row wrapped at the box's width.
    qreal rowHeight(int row) const;
    // The top row that shows the last rows at the bottom.
    int lastTopRow() const;

    pkm::LogBuffer buffer_;
    QTimer timer_;
    std::size_t leftOutShown_ = 0;      // leftOut() when the scroll bar was last set
    std::uint64_t flushedRevision_ = 0; // the log's revision the scroll bar was set for
    std::uint64_t drawnRevision_ = 0;   // ... when the box was last drawn
};

} // namespace pkm
