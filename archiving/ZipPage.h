#pragma once
// ZipPage, page 3 of the wizard ("Zip"): a numbered series of zip files and what goes into each.
#include "archiving/ArchiverPage.h"
#include "archiving/PageContext.h"
#include "archiving/zip_set.h"
#include "platform/widgets/Dialogs.h"

#include <memory>
#include <string>
#include <vector>

class QCollator;
class QLineEdit;
class QListWidget;
class QPushButton;
class TPiper;

namespace pkm {

class TLogBox;
class TUpDown;

class ZipPage : public ArchiverPage {
    Q_OBJECT
public:
    ZipPage(const PageContext& context, QWidget* parent);
    ~ZipPage() override;

    // The zips, their content and the numbering; ListBox1 shows its entries row for row.
    const pkm::ZipSet& zips() const { return zips_; }

    // Handlers.
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void SpeedButton3Click();
    void Button6Click();
    void ZipLogLine(TPiper* sender, const std::string& strNewLine);
    void RefreshContentList();

    // Volumes were made in `directory` under `baseName`: the open-file dialog starts there and
    // offers a filter that picks them.
    void offerVolumes(const QString& directory, const QString& baseName);

private:
    // Refills ListBox1 from the zip set, nothing selected.
    void FillZipList();
    pkm::ZipSelection selectedZips() const;
    void showZipError(const char* text);
    OpenFilesRequest fileRequest() const;
    // Files chosen in the open-file dialog or dropped on the content list, as AddFiles places
    // them; the content list shows the result.
    void addFiles(const std::vector<std::string>& files, const pkm::ZipSelection& selected);

    QListWidget* ListBox1;
    QListWidget* ListBox2;
    QLineEdit* OutDirEdit2;
    QPushButton* Button6;
    TLogBox* Memo2;
    // How many recovery disks go with the series.
    QLineEdit* RecoveryEdit;
    TUpDown* RecoveryUpDown;

    PageContext context_;
    std::shared_ptr<QCollator> collator_;
    pkm::ZipSet zips_;
    // The names ListBox2 shows, row for row, as bytes: removal goes by these, not by the
    // displayed text.
    std::vector<std::string> shownContent_;
    // The latest volumes, from offerVolumes.
    QString volumesDirectory_;
    QString volumesBaseName_;
};

} // namespace pkm
