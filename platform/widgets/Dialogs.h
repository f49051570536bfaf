#pragma once
// Every message box and modal dialog of the program opens through this interface, so that
// tests can replace it with a scripted fake and never block on a modal loop.
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace pkm {

enum class MessageIcon {
    Information,
    Error
};

struct FolderRequest {
    QString title;      // shown above the tree
    QString statusText; // status line; empty: none
    QString selection;  // folder selected when the dialog opens; empty: none
    bool enableOk = false;
};

struct OpenFilesRequest {
    QString title;
    QString directory;   // the folder the dialog opens in; empty: the dialog's own choice
    QStringList filters; // "All files (*)", ...
    int filterIndex = 0;
    bool multiple = true;
    bool mustExist = true;
    bool hideReadOnly = true;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // A message box with one OK button. A carriage return in the text starts a new line.
    virtual void showMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) = 0;
    // A question with the buttons Yes and No (No is the default); true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // Shows a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int execDialog(QDialog* dialog) = 0;
    // The chosen folder, or nothing after a cancel.
    virtual std::optional<QString> browseForFolder(QWidget* parent, const FolderRequest& request) = 0;
    // The chosen files as full paths, empty after a cancel.
    virtual QStringList openFileNames(QWidget* parent, const OpenFilesRequest& request) = 0;
};

DialogService& Dialogs();
// Installs a replacement (tests); nullptr restores the real dialogs.
void setDialogs(DialogService* service);

} // namespace pkm
