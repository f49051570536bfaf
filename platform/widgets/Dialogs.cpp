#include "platform/widgets/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace pkm {

namespace {

class RealDialogs final : public DialogService {
public:
    void showMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) override
    {
        QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information, caption,
                        QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), QMessageBox::Ok, parent);
        box.exec();
    }

    bool askYesNo(QWidget* parent, const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, caption, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    int execDialog(QDialog* dialog) override { return dialog->exec(); }

    std::optional<QString> browseForFolder(QWidget* parent, const FolderRequest& request) override
    {
        QFileDialog dlg(parent, request.title, request.selection);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly, true);
        if (!request.selection.isEmpty())
            dlg.selectFile(request.selection);
        if (!request.statusText.isEmpty())
            dlg.setLabelText(QFileDialog::LookIn, request.statusText);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles().constFirst();
    }

    QStringList openFileNames(QWidget* parent, const OpenFilesRequest& request) override
    {
        QFileDialog dlg(parent, request.title, request.directory);
        dlg.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        dlg.setOption(QFileDialog::ReadOnly, false);
        dlg.setNameFilters(request.filters);
        if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
            dlg.selectNameFilter(request.filters.at(request.filterIndex));
        if (dlg.exec() != QDialog::Accepted)
            return {};
        return dlg.selectedFiles();
    }
};

RealDialogs g_real;
DialogService* g_current = &g_real;

} // namespace

DialogService& Dialogs()
{
    return *g_current;
}

void setDialogs(DialogService* service)
{
    g_current = service ? service : &g_real;
}

} // namespace pkm
