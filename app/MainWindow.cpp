// TForm1, the main window: the frame, the page entries and navigation, Preview and Preferences.
#include "app/MainWindow.h"

#include "archiving/RarPage.h"
#include "archiving/ZipPage.h"
#include "editor/SectionCreatorDialog.h"
#include "editor/TextWindow.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "resources/Resources.h"
#include "templates/NfoDizPage.h"
#include "templates/info_file.h"
#include "templates/store_setup.h"
#include "templates/template_store.h"
#include "ui_IntroPage.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

#include <algorithm>
#include <memory>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {

// "zapzap", the label that plays the sound: a small bold caption whose font is given in pixels,
// which a form cannot hold.
void setUpClickableLabel(QLabel* l, QObject* filter)
{
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(9);
    f.setBold(true);
    l->setFont(f);
    l->adjustSize();
    // Keep the caption whole inside the page where the font runs wider than designed.
    l->move(std::min(266, 297 - l->width()), 217);
    l->installEventFilter(filter);
}

} // namespace

TForm1::TForm1(const pkm::ProgramPaths& paths, QWidget* parent)
    : QDialog(parent)
{
    context_.paths = paths;
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(windowFont());
    Ui::TForm1 ui;
    ui.setupUi(this);
    Image1 = ui.Image1;
    Notebook1 = ui.Notebook1;
    Button4 = ui.Button4;
    Button1 = ui.Button1;
    Button2 = ui.Button2;
    Button3 = ui.Button3;

    // Page 0, a form of its own made after the frame, so that the tab chain begins with the
    // frame's buttons.
    auto* page0 = new QWidget(Notebook1);
    Ui::IntroPage intro;
    intro.setupUi(page0);
    CheckBox1 = intro.CheckBox1;
    CheckBox2 = intro.CheckBox2;
    CheckBox3 = intro.CheckBox3;
    CheckBox4 = intro.CheckBox4;
    Label3 = intro.Label3;
    // The options take the size of their text in the window font.
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        box->adjustSize();
    // Hints are off for this window: the button's hint is its accessible name alone.
    setUpGlyphButton(intro.BitBtn3, "preferences");
    setUpClickableLabel(Label3, this);
    Notebook1->addWidget(page0);

    // Stand-ins keep the pages' numbers until the pages themselves are built.
    for (int page = 1; page <= 3; ++page)
        Notebook1->addWidget(new QWidget(Notebook1));

    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { guarded([this] { Button3Click(); }); });
    for (QCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        connect(box, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });

    connect(Button4, &QPushButton::clicked, this, [this] { guarded([this] { Button4Click(); }); });
    connect(intro.BitBtn3, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn3Click(); }); });

    FormCreate();
}

// FormDestroy: the records go with their lists; nothing is saved.
TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    if (!pkm::FilePresent(IniPath())) {
        Dialogs().showMessage(nullptr, QString::fromLatin1(kApplicationTitle),
                              QStringLiteral("It's the first time you run PKM.\r"
                                             "I *strongly* suggest you read the readme.hlp file before trying to use "
                                             "it.\rIt takes only 5 minutes. Thank you :)"),
                              MessageIcon::Information);
        // Without the file the window still works: it has no sections, and every later read
        // of the store sees an empty file. The message says where the file belongs and what to do.
        try {
            pkm::CreateTemplateStore(context_.paths);
        } catch (const std::exception& e) {
            Dialogs().showMessage(nullptr, QString::fromLatin1(kApplicationTitle),
                                  QString::fromLocal8Bit(e.what()) + QStringLiteral("\r\r")
                                      + pathToQString(pkm::StoreCreationHint(context_.paths)),
                                  MessageIcon::Error);
        }
    }

    NfoSections.clear();
    DizSections.clear();
    pkm::LoadSectionLists(IniPath(), NfoSections, DizSections);

    ShowIntroPage();
    UpdateNextButton();

    // Enter on an edited tree label must not press the default button.
    installEventFilter(this);

    rarOutputDir_ = pathToQString(pkm::ReadMainSetting(IniPath(), "Output dir"));
    zipOutputDir_ = rarOutputDir_;
}

void TForm1::placePage(int index, QWidget* page)
{
    QWidget* standIn = Notebook1->widget(index);
    // The current page is never a stand-in: a page is built before it is entered.
    Notebook1->insertWidget(index, page);
    Notebook1->removeWidget(standIn);
    delete standIn;
}

TBrowseDirectoryDlg* TForm1::folderPicker()
{
    if (BrowseDirectoryDlg == nullptr) {
        BrowseDirectoryDlg = new TBrowseDirectoryDlg(this);
        BrowseDirectoryDlg->setObjectName(QStringLiteral("BrowseDirectoryDlg"));
        BrowseDirectoryDlg->configureForPakmaster();
    }
    return BrowseDirectoryDlg;
}

NfoDizPage* TForm1::nfoDizPage()
{
    if (Page1 == nullptr) {
        Page1 = new NfoDizPage(Notebook1);
        Page1->setMemoEditor(editSectionValue);
        placePage(1, Page1);
    }
    return Page1;
}

RarPage* TForm1::rarPage()
{
    if (Page2 == nullptr) {
        context_.folderPicker = folderPicker();
        Page2 = new RarPage(context_, Notebook1);
        Page2->setOutputDirectory(rarOutputDir_);
        // The Zip page offers the volumes in its open-file dialog.
        connect(Page2, &RarPage::volumesMade, this, [this](const QString& directory, const QString& baseName) {
            zipPage()->offerVolumes(directory, baseName);
        });
        placePage(2, Page2);
    }
    return Page2;
}

ZipPage* TForm1::zipPage()
{
    if (Page3 == nullptr) {
        context_.folderPicker = folderPicker();
        Page3 = new ZipPage(context_, Notebook1);
        Page3->setOutputDirectory(zipOutputDir_);
        placePage(3, Page3);
    }
    return Page3;
}

QString TForm1::outputDirectoryOf(int page) const
{
    if (page == 2)
        return Page2 != nullptr ? Page2->outputDirectory() : rarOutputDir_;
    return Page3 != nullptr ? Page3->outputDirectory() : zipOutputDir_;
}

void TForm1::offerOutputDirectory(int page, const QString& dir)
{
    ArchiverPage* built = page == 2 ? static_cast<ArchiverPage*>(Page2) : Page3;
    if (built != nullptr)
        built->offerOutputDirectory(dir);
    else if (QString& pending = page == 2 ? rarOutputDir_ : zipOutputDir_; pending.isEmpty())
        pending = dir;
}

pkm::WizardOptions TForm1::options() const
{
    return {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked(), CheckBox4->isChecked()};
}

int TForm1::currentPage() const
{
    return Notebook1->currentIndex();
}

void TForm1::enterPage(pkm::WizardEntry entry)
{
    const pkm::WizardOptions o = options();
    const pkm::EntryState state = pkm::entryState(entry, o);
    LoadPagePicture(QString::fromLatin1(state.picture));
    if (entry == pkm::WizardEntry::Nfo)
        NfoMode = true;
    else if (entry == pkm::WizardEntry::Diz)
        NfoMode = false;
    Button2->setEnabled(state.nextEnabled);
    Button3->setText(entry == pkm::WizardEntry::Intro || state.nextEnabled ? tr("Cancel") : tr("Finish"));
    Button1->setEnabled(state.previousEnabled);
    if (entry == pkm::WizardEntry::Nfo || entry == pkm::WizardEntry::Diz)
        FillSectionTree(NfoMode);
    // The zips usually go where the volumes went.
    if (entry == pkm::WizardEntry::Zip)
        offerOutputDirectory(3, outputDirectoryOf(2));
    // The page is built before the notebook turns to it.
    if (entry == pkm::WizardEntry::Rar)
        rarPage();
    else if (entry == pkm::WizardEntry::Zip)
        zipPage();
    Button4->setVisible(state.previewVisible);
    Notebook1->setCurrentIndex(pkm::pageOfEntry(entry));
    emit pageEntered(pkm::pageOfEntry(entry));
}

void TForm1::ShowIntroPage()
{
    enterPage(pkm::WizardEntry::Intro);
}
void TForm1::ShowNfoPage()
{
    enterPage(pkm::WizardEntry::Nfo);
}
void TForm1::ShowDizPage()
{
    enterPage(pkm::WizardEntry::Diz);
}
void TForm1::ShowRarPage()
{
    enterPage(pkm::WizardEntry::Rar);
}
void TForm1::ShowZipPage()
{
    enterPage(pkm::WizardEntry::Zip);
}

void TForm1::LoadPagePicture(const QString& name)
{
    const QPixmap picture = loadBitmapResource(name);
    if (!picture.isNull())
        Image1->setPixmap(picture);
}

void TForm1::FillSectionTree(bool nfo)
{
    nfoDizPage()->FillSectionTree(nfo ? NfoSections : DizSections, nfo);
}

void TForm1::UpdateNextButton()
{
    Button2->setEnabled(options().any());
}

void TForm1::ReloadSectionLists()
{
    NfoSections.clear();
    DizSections.clear();
    pkm::LoadSectionLists(IniPath(), NfoSections, DizSections);
}

void TForm1::Button2Click()
{
    const pkm::WizardEntry next = pkm::nextEntry(currentPage(), NfoMode, options());
    if (next != pkm::WizardEntry::None)
        enterPage(next);
}

void TForm1::Button1Click()
{
    const pkm::WizardEntry previous = pkm::previousEntry(currentPage(), NfoMode, options());
    if (previous != pkm::WizardEntry::None)
        enterPage(previous);
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::CheckBox1Click()
{
    UpdateNextButton();
}

void TForm1::Label3Click()
{
    // A click while the sound plays does not restart it; any failure is silent.
    if (!soundLoaded_) {
        soundLoaded_ = true;
        sound_ = loadSound(context_.paths.programDir, QStringLiteral("qrc:/wave1.wav"));
    }
    if (sound_ == nullptr || sound_->isPlaying())
        return;
    sound_->play();
}

bool TForm1::FormCloseQuery()
{
    // A page not built yet has never run.
    const auto running = [](const ArchiverPage* page) { return page != nullptr && page->isRunning(); };
    if (!running(Page2) && !running(Page3))
        return true;
    Dialogs().showMessage(this, QString::fromLatin1(kCloseErrorCaption),
                          QStringLiteral("Compression in progress...\rCan't close the application."),
                          MessageIcon::Error);
    return false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) {
        // A click is a left button let go over the label.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label3->rect().contains(mouse->position().toPoint()))
            guarded([this] { Label3Click(); });
        return true;
    }
    if (watched == this && event->type() == QEvent::KeyPress) {
        // The tree's label editor has taken Enter as "accept"; it must not go on to press
        // the default button.
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && currentPage() == 1 && Page1 != nullptr
            && Page1->isEditingLabel())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TForm1::reject()
{
    // Escape does not close the wizard.
}

bool TForm1::GenerateInfoFile(std::string& outputPath, std::optional<std::string>& notice)
{
    // The generator works on its own copy of the records: the user's sections never move.
    const pkm::InfoFileResult result = pkm::WriteInfoFile(context_.paths, pkm::ReadTemplateSettings(IniPath()), NfoMode,
                                                          currentSections());
    if (result.outcome == pkm::InfoFileOutcome::Written) {
        outputPath = result.path;
        notice = result.notice;
        return true;
    }
    if (result.caption.empty())
        throw pkm::Error(result.message);
    Dialogs().showMessage(this, QString::fromLatin1(result.caption.c_str()), pathToQString(result.message),
                          MessageIcon::Error);
    return false;
}

void TForm1::Button4Click()
{
    // Alt+W presses the button without moving the focus: a value being typed goes in first.
    nfoDizPage()->commitPendingEdit();
    std::string path;
    std::optional<std::string> notice;
    if (!GenerateInfoFile(path, notice))
        return;
    // Said before the preview opens, where the lines it names can still be changed.
    if (notice)
        Dialogs().showMessage(this, QStringLiteral("DIZ file"), toDisplay(*notice), MessageIcon::Information);

    // Destroyed however the preview ends, a failed save included.
    const auto preview = std::make_unique<TForm3>(this);
    preview->setSizeable(true);
    preview->fitToText();
    preview->loadFromFile(path);
    preview->setWindowTitle(pathToQString(pkm::fileNameOf(path)));
    if (Dialogs().execDialog(preview.get()) == QDialog::Accepted)
        preview->saveToFile(path);
}

void TForm1::BitBtn3Click()
{
    // Owned by the main window, and destroyed here however the dialog ends.
    const auto creator = std::make_unique<TForm2>(context_.paths, this);
    if (Dialogs().execDialog(creator.get()) != QDialog::Accepted)
        return;
    // Release.ini was rewritten: the sections typed on page 1 give way to the new definitions.
    ReloadSectionLists();
    offerOutputDirectory(2, creator->outputDirectory());
    offerOutputDirectory(3, creator->outputDirectory());
}
