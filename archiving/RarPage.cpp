// RarPage, the Rar page: its controls, the volume size field and the run of the volume archiver.
#include "archiving/RarPage.h"

#include "archiving/ArchiverRun.h"
#include "archiving/LogBox.h"
#include "archiving/Piper.h"
#include "archiving/run_plan.h"
#include "archiving/volume_files.h"
#include "platform/paths.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/Drops.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/TextCodec.h"
#include "resources/Resources.h"
#include "ui_RarPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace pkm {

RarPage::RarPage(const PageContext& context, QWidget* parent)
    : ArchiverPage(parent)
    , context_(context)
    , numericError_(new NumericErrorNotice(this, NumericErrorNotice::Answer::Message))
{
    Ui::RarPage ui;
    ui.setupUi(this);
    InDirEdit = ui.InDirEdit;
    OutDirEdit = ui.OutDirEdit;
    NameEdit = ui.NameEdit;
    CheckBox6 = ui.CheckBox6;
    VolumeEdit = ui.VolumeEdit;
    Button5 = ui.Button5;
    Memo1 = ui.Memo1;
    // Labels take the size of their text in the window font.
    for (QLabel* label : {ui.Label9, ui.Label10, ui.Label11, ui.Label12})
        label->adjustSize();
    setUpGlyphButton(ui.BitBtn6, "folder");
    setUpGlyphButton(ui.BitBtn7, "folder");

    setRunControls({OutDirEdit, Button5, ui.StopButton, ui.RunProgressBar, ui.RunTimeLabel}, context_.runs);
    acceptFolderDrops(InDirEdit);
    acceptFolderDrops(OutDirEdit);

    new TDigitFilter(VolumeEdit, DigitKeys::WithBackspace);
    VolumeEdit->installEventFilter(this);
    connect(ui.BitBtn6, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(ui.BitBtn7, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(Button5, &QPushButton::clicked, this, [this] { guarded([this] { Button5Click(); }); });
}

bool RarPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == VolumeEdit && event->type() == QEvent::FocusOut && movesBetweenControls(event))
        guarded([this] { VolumeEditExit(); });
    return QWidget::eventFilter(watched, event);
}

void RarPage::SpeedButton2Click()
{
    browseIntoBox(*context_.folderPicker, InDirEdit);
}

void RarPage::SpeedButton1Click()
{
    browseIntoBox(*context_.folderPicker, OutDirEdit);
}

void RarPage::VolumeEditExit()
{
    numericError_->checkBox(VolumeEdit, EmptyBox::Stays);
}

void RarPage::VolumeLogLine(TPiper*, const std::string& line)
{
    if (pkm::isProgressLine(line))
        Memo1->progressLine(line);
    else
        Memo1->appendLine(line);
}

void RarPage::Button5Click()
{
    pkm::VolumeRequest request;
    request.inputDir = pathFromQString(InDirEdit->text());
    request.outputDir = pathFromQString(OutDirEdit->text());
    request.name = pathFromQString(NameEdit->text());
    request.size = VolumeEdit->text().toStdString();
    request.useAce = CheckBox6->isChecked();
    const pkm::VolumePlan plan = pkm::PlanVolumeRun(context_.paths.programDir, request);
    if (plan.inputField)
        InDirEdit->setText(pathToQString(*plan.inputField));
    if (plan.refusal) {
        Dialogs().showMessage(window(), QString::fromLatin1(plan.refusal->caption),
                              QString::fromLatin1(plan.refusal->text), MessageIcon::Error);
        return;
    }
    OutDirEdit->setText(pathToQString(plan.outputField));

    ArchiverRun run;
    prepareRun(run, RunKind::Volumes, QStringLiteral("The volumes are being made: one run at a time."));
    run.log = Memo1;
    run.programDir = context_.paths.programDir;
    run.onLine = [this](TPiper* sender, const std::string& line) { VolumeLogLine(sender, line); };
    // The boxes as they stand when the run is over.
    std::size_t made = 0;
    pkm::VolumeLocation volumes;
    run.filesCreated = [this, &made, &volumes] {
        const std::string outDir = pathFromQString(OutDirEdit->text());
        const std::string volumeName = pathFromQString(NameEdit->text());
        volumes = pkm::locateVolumes(outDir, volumeName);
        made = pkm::countVolumeFiles(outDir, volumeName);
        return made;
    };
    runArchivers(run, volumeSteps(plan));
    if (made > 0)
        emit volumesMade(pathToQString(volumes.directory), pathToQString(volumes.base));
}

} // namespace pkm
