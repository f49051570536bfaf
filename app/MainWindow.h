#pragma once
// TForm1, the main window: the wizard's frame, its four pages and the navigation between them,
// the Preview button (the NFO or DIZ file and its last edit) and the Preferences button (the
// section creator).
#include "app/wizard_chain.h"
#include "archiving/PageContext.h"
#include "platform/program_paths.h"
#include "platform/widgets/Sound.h"
#include "templates/section.h"

#include <QDialog>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
namespace pkm {
class NfoDizPage;
class RarPage;
class ZipPage;
} // namespace pkm

class TBrowseDirectoryDlg;

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(const pkm::ProgramPaths& paths, QWidget* parent = nullptr);
    ~TForm1() override;

    // The wizard's state, as the pages and the tests see it.
    const pkm::SectionList& nfoSections() const { return NfoSections; }
    const pkm::SectionList& dizSections() const { return DizSections; }
    // Page 1 shows the NFO sections (else the DIZ sections).
    bool nfoMode() const { return NfoMode; }
    int currentPage() const;

    // Pages 1 to 3 and the folder picker are built when they are first needed (page 0 alone is
    // on screen at start-up); each accessor builds its page on the first call.
    pkm::NfoDizPage* nfoDizPage();
    pkm::RarPage* rarPage();
    pkm::ZipPage* zipPage();

    // Page entries: the only way the page changes.
    void ShowIntroPage();
    void ShowNfoPage();
    void ShowDizPage();
    void ShowRarPage();
    void ShowZipPage();

signals:
    // A page entry has run.
    void pageEntered(int page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormCreate();
    void enterPage(pkm::WizardEntry entry);
    pkm::WizardOptions options() const;
    void LoadPagePicture(const QString& name);
    void FillSectionTree(bool nfo);
    void UpdateNextButton();
    // NfoSections while NfoMode is true, else DizSections.
    pkm::SectionList& currentSections() { return NfoMode ? NfoSections : DizSections; }
    // Frees both lists and reads them again from IniPath().
    void ReloadSectionLists();
    bool FormCloseQuery();
    // Puts a page built late into its place in the notebook, instead of the empty stand-in.
    void placePage(int index, QWidget* page);
    TBrowseDirectoryDlg* folderPicker();
    // The output directory box of an archiver page, or what it will show once built.
    QString outputDirectoryOf(int page) const;
    // Fills an archiver page's output directory box when it is empty, built or not.
    void offerOutputDirectory(int page, const QString& dir);

    // Handlers.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void CheckBox1Click();
    void Label3Click();
    // Preview: generates the file of the current mode and opens it for a last edit.
    // The path written, and for a DIZ past what BBS software reads the notice saying so.
    bool GenerateInfoFile(std::string& outputPath, std::optional<std::string>& notice);
    void Button4Click();
    // Preferences: the section creator.
    void BitBtn3Click();

    // Release.ini, where the paths of the program keep it.
    std::string IniPath() const { return context_.paths.iniPath(); }

    pkm::PageContext context_;
    pkm::SectionList NfoSections;
    pkm::SectionList DizSections;
    bool NfoMode = false;

    // The frame.
    QLabel* Image1;
    QStackedWidget* Notebook1;
    QPushButton* Button4; // "Previe&w"
    QPushButton* Button1; // "< &Previous"
    QPushButton* Button2; // "Next >"
    QPushButton* Button3; // "Cancel" / "Finish"

    // Page 0, "Sommaire".
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QLabel* Label3; // "zapzap"

    // Pages 1 to 3, null until built.
    pkm::NfoDizPage* Page1 = nullptr;
    pkm::RarPage* Page2 = nullptr;
    pkm::ZipPage* Page3 = nullptr;
    // The output directory boxes of pages 2 and 3 until the pages exist: "Output dir" as read
    // at start-up, and what the window offered them since.
    QString rarOutputDir_;
    QString zipOutputDir_;

    TBrowseDirectoryDlg* BrowseDirectoryDlg = nullptr;
    // Loaded on the first click on "zapzap".
    std::unique_ptr<pkm::Sound> sound_;
    bool soundLoaded_ = false;
};
