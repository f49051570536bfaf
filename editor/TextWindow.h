#pragma once
// TForm3, the fixed-font text window: value editor, preview of a generated file, and section
// helper with a read-out of the caret's line, column and selection width in its title bar.
#include "templates/section.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTextEdit;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* owner = nullptr);

    // Sizes the memo to hold `chars` characters per line and fits the window around it; a
    // window narrower than `leastWidth` gets that width, the memo widening with it.
    void fitToColumns(int chars, int leastWidth = 0);
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
    // Sizes the window to the memo's text: wide enough for its longest line and tall enough
    // for all its lines, within the screen's available area (never below the design size).
    // From then on a text taller than the memo shows a vertical scroll bar, which takes no
    // column, and each text the window is given sizes it again (counted once, at its size).
    void fitToText();
    bool scrollBarShown() const { return scrollBar_; }

    // Makes the window a read-only viewer of a file: OK alone, centred, closing it; the caret
    // still moves and selects, for copying.
    void setUpAsViewer();

    // Makes the window the section helper on the template `fileName`: OK alone, centred,
    // running `onOk`; the memo read-only, its caret still moving and selecting with the keys
    // for the read-out. `onClosed` runs when the window has been closed.
    void setUpAsSectionHelper(const QString& fileName, std::function<void()> onOk, std::function<void()> onClosed);
    // Name of the template the section helper shows; empty in every other use.
    const QString& helperFileName() const { return HelperFileName; }
    bool helperMode() const { return !HelperFileName.isEmpty(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The client width becomes the memo's width plus 20 pixels.
    void FitWidthToMemo();
    // A fixed border stays fixed at the new width. The layout follows at once, as a hidden
    // window gets its resize event only when shown.
    void setClientWidth(int clientWidth);
    void FormResize();
    // Updates the caption from the caret and selection (the answer to the posted message).
    void ShowPosition();
    void postPositionReadout();
    void applyColumns();
    // After an edit: the bar shows once the text is taller than the memo and goes once the
    // text fits with it.
    void followDocumentHeight();
    bool textTallerThanMemo() const;
    int scrollBarWidth() const;
    void setScrollBar(bool shown);

    QTextEdit* Memo1;
    QPushButton* Button1; // "OK"
    QPushButton* Button2; // "Cancel"
    QString HelperFileName;
    bool centredOk_ = false;
    // Sized to its text (fitToText): the scroll bar follows the text's height.
    bool fitted_ = false;
    bool scrollBar_ = false;
    bool following_ = false;
    // Take over the OK button and the closing.
    std::function<void()> OnOkClick;
    std::function<void()> OnClosed;
};

// The memo editor of a multi-line section value: the window sized to the section's width (never
// narrower than a usable window), its name as caption. The lines it shows after OK, nothing
// after Cancel.
std::optional<std::vector<std::string>> editSectionValue(QWidget* parent, const pkm::TParam& section);
