// RarPage, the Rar page: its controls, the volume size field and the run of the volume archiver.
#include "archiving/RarPage.h"

#include "platform/widgets/FolderPicker.h"
#include "archiving/Piper.h"
#include "archiving/ArchiverRun.h"
#include "archiving/run_plan.h"
#include "archiving/volume_files.h"
#include "archiving/LogBox.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/Dialogs.h"
#include "platform/paths.h"
#include "platform/widgets/TextCodec.h"
#include "resources/Resources.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

RarPage::RarPage(const PageContext& context, QWidget* parent)
    : ArchiverPage(parent)
    , context_(context)
    , numericError_(new NumericErrorNotice(this, NumericErrorNotice::Answer::Message))
{
    setObjectName(QStringLiteral("Rar"));

    InDirEdit = makeEdit(this, "InDirEdit", 108, 2, 164);
    Label9 = makeLabel(this, "Label9", tr("&Input directory:"), 0, 5, InDirEdit);
    BitBtn6 = makeGlyphButton(this, "BitBtn6", "folder", 273, 0);
    OutDirEdit = makeEdit(this, "OutDirEdit", 108, 32, 164);
    Label10 = makeLabel(this, "Label10", tr("&Output directory:"), 0, 35, OutDirEdit);
    BitBtn7 = makeGlyphButton(this, "BitBtn7", "folder", 273, 30);
    NameEdit = makeEdit(this, "NameEdit", 108, 61, 90);
    Label11 = makeLabel(this, "Label11", tr("&Name of volumes:"), 0, 65, NameEdit);
    CheckBox6 = new QCheckBox(tr("&Use ace"), this);
    CheckBox6->setObjectName(QStringLiteral("CheckBox6"));
    CheckBox6->setGeometry(222, 62, 61, 17);
    VolumeEdit = makeEdit(this, "VolumeEdit", 108, 91, 90);
    VolumeEdit->setText(QStringLiteral("1440"));
    VolumeEdit->setMaxLength(5);
    Label12 = makeLabel(this, "Label12", tr("Size of &volumes:"), 0, 95, VolumeEdit);
    Button5 = makeButton(this, "Button5", tr("&Start"), QRect(222, 90, 75, 23));
    Memo1 = new TLogBox(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 122, 297, 105);

    setRunControls(OutDirEdit, Button5);
    setTabChain({InDirEdit, BitBtn6, OutDirEdit, BitBtn7, NameEdit, CheckBox6, VolumeEdit, Button5});

    new TDigitFilter(VolumeEdit, DigitKeys::WithBackspace);
    VolumeEdit->installEventFilter(this);
    connect(BitBtn6, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(BitBtn7, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });
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
    run.startButton = Button5;
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
    // The volume archiver keeps its volumes whole itself: the step replaces no single file.
    runArchivers(run, {{plan.commandLine, {}}});
    if (made > 0)
        emit volumesMade(pathToQString(volumes.directory), pathToQString(volumes.base));
}
