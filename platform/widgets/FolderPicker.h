#pragma once
// TBrowseDirectoryDlg, the folder picker: lets the user pick a directory from the platform's
// folder tree.
#include <QObject>
#include <QString>

class TBrowseDirectoryDlg : public QObject {
    Q_OBJECT
public:
    explicit TBrowseDirectoryDlg(QObject* owner = nullptr);

    // The settings both of the program's instances use.
    void configureForPakmaster();

    const QString& Selection() const { return selection_; }
    // Stores the folder, less one trailing separator (the root keeps its own).
    void setSelection(const QString& value);
    QString Title;
    const QString& StatusText() const { return statusText_; }
    void setStatusText(const QString& value);
    bool EnableOKButton() const { return enableOk_; }
    void setEnableOKButton(bool value);

    // Shows the modal dialog. True when a folder was confirmed (its full path is then in
    // Selection); false after a cancel, with Selection emptied.
    bool Execute();

private:
    QString selection_;
    QString statusText_;
    bool enableOk_ = false;
};

// The caller's side of a browse button: start at the box's text when it has one, and put
// the confirmed folder into the box.
class QLineEdit;
namespace pkm {
void browseIntoBox(TBrowseDirectoryDlg& dialog, QLineEdit* box);
} // namespace pkm
