#pragma once
// A page's Start button while its run is under way.
class QPushButton;
class QWidget;

// Shows "Working..." on the button and disables it; end() (or the destructor) enables it as
// "&Start" again. Disabling the focused button moves the focus on to the next control, where
// Enter would press something else after the run: the focus goes back to the button unless
// the user has put it somewhere else meanwhile.
class StartButtonRun {
public:
    explicit StartButtonRun(QPushButton* button);
    ~StartButtonRun();
    StartButtonRun(const StartButtonRun&) = delete;
    StartButtonRun& operator=(const StartButtonRun&) = delete;

    void end();

private:
    QPushButton* button_;
    bool hadFocus_;
    QWidget* focusMovedTo_ = nullptr;
    bool ended_ = false;
};
