#pragma once
// The number boxes (line, start, width, volume size, zip count): of the typed characters only
// the digits get in; a box left with a number below 1 shows 1; a box left with text that is no
// number reports "Numeric values only!" once the focus change is over.
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace pkm {

enum class DigitKeys {
    // The main window and the zip dialog: backspace and the editing control characters pass.
    WithBackspace,
    // The section creator: backspace and the control characters are discarded as well.
    DigitsOnly,
};

// True when the key press may reach the box. The dialog's own keys (Return, Escape, Tab) and
// keys that type nothing (arrows, Delete) pass.
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

// What an empty box means when it is left.
enum class EmptyBox {
    Stays,        // nothing to check
    BecomesOne,   // it shows 1
    IsNotANumber, // it is reported
};

// "Numeric values only!" for the number boxes of one window. The message is the deferred
// message posted to the window: a message box in the middle of the focus change that left
// the box would swallow the click that moved the focus.
class NumericErrorNotice : public QObject {
public:
    enum class Answer {
        Message,         // the message, nothing else (the main window)
        MessageAtTheBox, // while the dialog is shown: the box gets the focus, its text selected, and the message
    };
    NumericErrorNotice(QWidget* owner, Answer answer);

    // The check of a box being left: a number below 1 becomes 1, an empty box is taken as
    // `empty` says. False when the text is no number: the message is then on its way.
    bool checkBox(QLineEdit* box, EmptyBox empty);
    // Reports a box whose text is no number; reports pending at once are shown once.
    void report(QLineEdit* box);
    // A report waits for its message.
    bool pending() const { return pending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* owner_;
    Answer answer_;
    QPointer<QObject> target_;
    QPointer<QLineEdit> box_;
    bool pending_ = false;
};

} // namespace pkm
