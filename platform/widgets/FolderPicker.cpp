// TBrowseDirectoryDlg, the folder picker.
#include "platform/widgets/FolderPicker.h"

#include "platform/paths.h"
#include "platform/widgets/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QWidget>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

TBrowseDirectoryDlg::TBrowseDirectoryDlg(QObject* owner)
    : QObject(owner)
{
}

void TBrowseDirectoryDlg::configureForPakmaster()
{
    // "c:" with the drives at the top of the tree is the file-system root here.
    setSelection(QDir::rootPath());
    Title = QStringLiteral("Pakmaster.");
    setStatusText(QStringLiteral("Please choose a directory."));
    setEnableOKButton(false);
}

void TBrowseDirectoryDlg::setSelection(const QString& value)
{
    if (value == selection_)
        return;
    selection_ = value;
    if (selection_.size() > 1 && selection_.endsWith(QLatin1Char(pkm::kPathSeparator)))
        selection_.chop(1);
}

void TBrowseDirectoryDlg::setStatusText(const QString& value)
{
    statusText_ = value;
}

void TBrowseDirectoryDlg::setEnableOKButton(bool value)
{
    enableOk_ = value;
}

bool TBrowseDirectoryDlg::Execute()
{
    auto* ownerWidget = qobject_cast<QWidget*>(parent());
    if (ownerWidget == nullptr)
        ownerWidget = QApplication::activeWindow();
    FolderRequest request;
    request.title = Title;
    request.statusText = statusText_;
    request.selection = selection_;
    request.enableOk = enableOk_;
    const std::optional<QString> chosen = Dialogs().browseForFolder(ownerWidget, request);
    if (!chosen) {
        selection_.clear();
        return false;
    }
    // The path as the picker gave it, without trimming.
    selection_ = QDir::toNativeSeparators(*chosen);
    return true;
}

void pkm::browseIntoBox(TBrowseDirectoryDlg& dialog, QLineEdit* box)
{
    if (!box->text().isEmpty())
        dialog.setSelection(box->text());
    if (dialog.Execute())
        box->setText(dialog.Selection());
}
