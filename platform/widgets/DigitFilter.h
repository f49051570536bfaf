#pragma once
// Key filter of the number boxes: of the typed characters only the digits get in. The
// dialog's own keys (Return, Escape, Tab) and keys that type nothing (arrows, Delete) pass.
#include <QObject>

class QKeyEvent;

enum class DigitKeys {
    // The main window and the zip dialog: backspace and the editing control characters pass.
    WithBackspace,
    // The section creator: backspace and the control characters are discarded as well.
    DigitsOnly,
};

// True when the key press may reach the box.
bool acceptsDigitKey(const QKeyEvent& key, DigitKeys mode);

// Installs acceptsDigitKey as an event filter of a box.
class TDigitFilter : public QObject {
public:
    TDigitFilter(QObject* box, DigitKeys mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DigitKeys mode_;
};
