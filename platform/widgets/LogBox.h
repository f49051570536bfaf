#pragma once
// The black run log of the Rar and Zip pages. Lines are collected and drawn in batches every
// 50 ms, so an archiver that prints fast never holds up the window.
#include "platform/log_buffer.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

class TLogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TLogBox(QWidget* parent = nullptr);

    void appendLine(const std::string& line);
    // A progress line (see pkm::LogBuffer::progress).
    void progressLine(const std::string& line);
    void clearLog();
    // Draws whatever is still pending.
    void flush();

    // The log as shown after a flush, one entry per line.
    QStringList lines();
    const pkm::LogBuffer& buffer() const { return buffer_; }

private:
    void scheduleFlush();
    // Draws pending lines for a few milliseconds and leaves the rest for the next turn, so
    // the window keeps reacting while an archiver prints faster than the box can draw.
    void drawSome();
    void draw(const pkm::LogBuffer::Batch& batch);

    pkm::LogBuffer buffer_;
    QTimer timer_;
    bool hasLines_ = false;
};
