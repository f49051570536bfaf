#pragma once
// Key filter of the number boxes: only the digits get through, and backspace where the box
// allows it. Keys that type nothing (arrows, Tab, Enter, shortcuts) pass untouched.
#include <QObject>

class QKeyEvent;

// True when the key press must be discarded.
bool rejectsNonDigit(const QKeyEvent* key, bool allowBackspace);

class TDigitFilter : public QObject {
public:
    TDigitFilter(QObject* parent, bool allowBackspace);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool allowBackspace_;
};
