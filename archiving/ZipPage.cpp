// ZipPage, the Zip page: its controls, the zip and content lists, and the run of zip over the series.
#include "archiving/ZipPage.h"

#include "archiving/ArchiverRun.h"
#include "archiving/LogBox.h"
#include "archiving/Piper.h"
#include "archiving/ZipSeriesDialog.h"
#include "archiving/run_plan.h"
#include "archiving/volume_files.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/Drops.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "resources/Resources.h"
#include "ui_ZipPage.h"

#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

namespace pkm {

namespace {

const char* const kSelectZipFirst = "Please select first at least one zip file.";
const char* const kSelectFileFirst = "Please select first at least one file to delete.";

// Names and paths are ordered as the user's locale orders them, without regard to case.
std::shared_ptr<QCollator> userCollator()
{
    auto collator = std::make_shared<QCollator>(QLocale());
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

pkm::TextCompare collatorCompare(std::shared_ptr<QCollator> collator)
{
    return [collator](const std::string& a, const std::string& b) {
        return collator->compare(pathToQString(a), pathToQString(b));
    };
}

} // namespace

ZipPage::ZipPage(const PageContext& context, QWidget* parent)
    : ArchiverPage(parent)
    , context_(context)
    , collator_(userCollator())
    , zips_(collatorCompare(collator_))
{
    Ui::ZipPage ui;
    ui.setupUi(this);
    ListBox1 = ui.ListBox1;
    ListBox2 = ui.ListBox2;
    OutDirEdit2 = ui.OutDirEdit2;
    Button6 = ui.Button6;
    Memo2 = ui.Memo2;
    RecoveryEdit = ui.RecoveryEdit;
    RecoveryUpDown = ui.RecoveryUpDown;
    // Labels take the size of their text in the window font.
    for (QLabel* label : {ui.Label13, ui.Label14, ui.Label15, ui.Label16})
        label->adjustSize();
    RecoveryUpDown->setRange(0, kMaxRecoveryDisks);
    RecoveryUpDown->setAssociate(RecoveryEdit);
    new TDigitFilter(RecoveryEdit, DigitKeys::WithBackspace);
    setUpGlyphButton(ui.BitBtn1, "zip_add");
    setUpGlyphButton(ui.BitBtn2, "zip_delete");
    setUpGlyphButton(ui.BitBtn4, "file_add");
    setUpGlyphButton(ui.BitBtn5, "file_delete");
    setUpGlyphButton(ui.BitBtn8, "folder");

    setRunControls({OutDirEdit2, Button6, ui.StopButton, ui.RunProgressBar, ui.RunTimeLabel}, context_.runs);
    acceptFolderDrops(OutDirEdit2);
    // Files dropped on the content list go where the open-file dialog's would; without a zip
    // selected they have nowhere to go and are refused.
    acceptFileDrops(
        ListBox2, [this] { return !selectedZips().empty(); },
        [this](const std::vector<std::string>& files) { guarded([&] { addFiles(files, selectedZips()); }); });

    connect(ui.BitBtn1, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    connect(ui.BitBtn2, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn2Click(); }); });
    connect(ui.BitBtn4, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn4Click(); }); });
    connect(ui.BitBtn5, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn5Click(); }); });
    connect(ui.BitBtn8, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton3Click(); }); });
    connect(Button6, &QPushButton::clicked, this, [this] { guarded([this] { Button6Click(); }); });
    // Clicks and keys in the zip list both arrive as selection changes.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { guarded([this] { RefreshContentList(); }); });
}

ZipPage::~ZipPage() = default;

void ZipPage::showZipError(const char* text)
{
    Dialogs().showMessage(window(), QString::fromLatin1(kZipErrorCaption), QString::fromLatin1(text),
                          MessageIcon::Error);
}

pkm::ZipSelection ZipPage::selectedZips() const
{
    // Between deleting zips and refilling the list, rows may outnumber the entries.
    std::vector<bool> flags(std::min<std::size_t>(static_cast<std::size_t>(ListBox1->count()), zips_.size()));
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] = ListBox1->item(static_cast<int>(i))->isSelected();
    return pkm::selectionFromFlags(flags);
}

void ZipPage::FillZipList()
{
    {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->clear();
        for (const pkm::ZipEntry& entry : zips_.entries())
            ListBox1->addItem(pathToQString(entry.name));
    }
    RefreshContentList();
}

void ZipPage::RefreshContentList()
{
    ListBox2->clear();
    shownContent_ = zips_.ContentView(selectedZips());
    for (const std::string& name : shownContent_)
        ListBox2->addItem(pathToQString(name));
}

void ZipPage::BitBtn1Click()
{
    // Owned by the window while it is shown, destroyed however the dialog ends.
    auto dialog = std::make_unique<TForm4>(window());
    dialog->proposeFirstName(pathToQString(zips_.GenerateZipName()));
    if (Dialogs().execDialog(dialog.get()) != QDialog::Accepted)
        return;
    // The series is built aside and taken in one step, so the list never holds half of it.
    zips_.AddSeries(pathFromQString(dialog->firstName()), dialog->Count());
    FillZipList();
}

void ZipPage::offerVolumes(const QString& directory, const QString& baseName)
{
    volumesDirectory_ = directory;
    volumesBaseName_ = baseName;
}

OpenFilesRequest ZipPage::fileRequest() const
{
    OpenFilesRequest request;
    request.title = QStringLiteral("Open");
    // The volumes are what the zips are filled with first; without them, the zips' own folder.
    for (const QString& folder : {volumesDirectory_, OutDirEdit2->text()}) {
        if (pkm::DirectoryPresent(pathFromQString(folder))) {
            request.directory = folder;
            break;
        }
    }
    request.filters = {QStringLiteral("All files (*)"), QStringLiteral("Nfo files (*.nfo)"),
                       QStringLiteral("Diz files (*.diz)"), QStringLiteral("Rar files (*.r*)"),
                       QStringLiteral("Ace files (*.ace *.c*)")};
    const std::string volumes = pkm::volumeFilterPattern(pathFromQString(volumesBaseName_));
    if (!volumes.empty())
        request.filters << QStringLiteral("Volumes (%1)").arg(pathToQString(volumes));
    request.filterIndex = 0;
    request.multiple = true;
    request.mustExist = true;
    request.hideReadOnly = true;
    return request;
}

void ZipPage::BitBtn2Click()
{
    const pkm::ZipSelection selected = selectedZips();
    if (selected.empty()) {
        showZipError(kSelectZipFirst);
        return;
    }
    zips_.DeleteZips(selected);
    FillZipList();
}

void ZipPage::BitBtn4Click()
{
    const pkm::ZipSelection selected = selectedZips();
    if (selected.empty()) {
        showZipError(kSelectZipFirst);
        return;
    }
    const QStringList chosen = Dialogs().openFileNames(window(), fileRequest());
    if (chosen.isEmpty())
        return;
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(chosen.size()));
    for (const QString& file : chosen)
        files.push_back(pathFromQString(file));
    addFiles(files, selected);
}

void ZipPage::addFiles(const std::vector<std::string>& files, const pkm::ZipSelection& selected)
{
    zips_.AddFiles(files, selected);
    RefreshContentList();
}

void ZipPage::BitBtn5Click()
{
    const pkm::ZipSelection selected = selectedZips();
    if (selected.empty()) {
        showZipError(kSelectZipFirst);
        return;
    }
    std::vector<std::string> names;
    for (int row = 0; row < ListBox2->count() && static_cast<std::size_t>(row) < shownContent_.size(); ++row) {
        if (ListBox2->item(row)->isSelected())
            names.push_back(shownContent_[static_cast<std::size_t>(row)]);
    }
    if (names.empty()) {
        showZipError(kSelectFileFirst);
        return;
    }
    zips_.RemoveFiles(names, selected);
    RefreshContentList();
}

void ZipPage::SpeedButton3Click()
{
    browseIntoBox(*context_.folderPicker, OutDirEdit2);
}

void ZipPage::ZipLogLine(TPiper*, const std::string& strNewLine)
{
    Memo2->appendLine(strNewLine);
}

void ZipPage::Button6Click()
{
    // The window stays usable while zip runs, so zips may be added, deleted or filled
    // meanwhile: the run works on the list as it stood when Start was pressed.
    const std::vector<pkm::ZipEntry> run = zips_.entries();
    const pkm::ZipPlan plan = pkm::PlanZipRun(context_.paths.programDir, pathFromQString(OutDirEdit2->text()), run,
                                              RecoveryUpDown->position());
    if (plan.outputField && pathToQString(*plan.outputField) != OutDirEdit2->text())
        OutDirEdit2->setText(pathToQString(*plan.outputField));
    if (plan.refusal) {
        Dialogs().showMessage(window(), QString::fromLatin1(plan.refusal->caption),
                              QString::fromLatin1(plan.refusal->text), MessageIcon::Error);
        return;
    }

    ArchiverRun archiverRun;
    prepareRun(archiverRun, RunKind::Zips, QStringLiteral("The zips are being made: one run at a time."));
    archiverRun.log = Memo2;
    archiverRun.programDir = context_.paths.programDir;
    archiverRun.onLine = [this](TPiper* sender, const std::string& line) { ZipLogLine(sender, line); };
    archiverRun.filesCreated = [&run] { return run.size(); };
    runArchivers(archiverRun, zipSteps(plan), zipSeriesFiles(plan));
}

} // namespace pkm
