#pragma once
// The fixed-font text window: value editor, preview of a generated file, and section helper
// with a read-out of the caret's line, column and selection width in its title bar.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* owner = nullptr);

    QTextEdit* Memo1;
    QPushButton* Button1; // "OK"
    QPushButton* Button2; // "Cancel"
    // Name of the template the section helper shows; empty in every other use.
    QString HelperFileName;

    // The client width becomes the memo's width plus 20 pixels.
    void FitWidthToMemo();
    // The memo width that holds `chars` characters per line: chars x advance + 6.
    int memoWidthForChars(int chars) const;
    // Characters per displayed line at the memo's current width.
    int columns() const;
    // Pixel advance of one character of the memo's font (8 with the intended font).
    int charAdvance() const;

    // The memo's text as bytes: line breaks as CR LF, characters through code page 437.
    std::string memoText() const;
    void setMemoText(const std::string& bytes);
    // Loads a file into the memo; throws pkm::Error("Cannot open file %s") when it cannot be read.
    void loadFromFile(const std::string& path);
    // Writes the memo's lines over a file, each followed by CR LF (temporary file and rename);
    // throws on failure.
    void saveToFile(const std::string& path) const;
    // The lines as the memo displays them, a wrapped line being a line of its own.
    std::vector<std::string> displayLines() const;

    void setMemoFontName(const QString& family);
    // Switches the border to sizeable, with a maximise box.
    void setSizeable(bool sizeable);
    bool helperMode() const { return !HelperFileName.isEmpty(); }

    // Takes over the OK button and the closing (the section creator does so for its helper).
    std::function<void()> OnOkClick;
    std::function<void()> OnClosed;

    // Updates the caption from the caret and selection (the answer to the posted message).
    void ShowPosition();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormResize();
    void postPositionReadout();
    void applyColumns();
};
