#pragma once
// Lets the user pick a directory from the platform's folder tree.
#include <QObject>
#include <QString>
#include <functional>

enum class TRootID {
    idDesktop, idDesktopExpanded, idPrograms, idControlPanel, idPrinters, idPersonal, idFavorites, idStartup,
    idRecent, idSendTo, idRecycleBin, idStartMenu, idDesktopDirectory, idDrives, idNetwork, idNetHood, idFonts,
    idTemplates
};

enum TBrowseFlag : unsigned {
    bfDirectoriesOnly = 1u << 0,
    bfDomainOnly = 1u << 1,
    bfAncestors = 1u << 2,
    bfComputers = 1u << 3,
    bfPrinters = 1u << 4,
};
using TBrowseFlags = unsigned;

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
    TRootID Root = TRootID::idDesktopExpanded;
    TBrowseFlags Options = 0;
    bool Center = true;
    const QString& StatusText() const { return statusText_; }
    void setStatusText(const QString& value);
    bool EnableOKButton() const { return enableOk_; }
    void setEnableOKButton(bool value);
    std::function<void(TBrowseDirectoryDlg* sender, const QString& newSel)> OnSelChanged;
    std::function<void(TBrowseDirectoryDlg* sender)> OnCreate;

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
void browseIntoBox(TBrowseDirectoryDlg& dialog, QLineEdit* box);
