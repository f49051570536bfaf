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

    // Pages 1 to 3.
    pkm::NfoDizPage* Page1;
    pkm::RarPage* Page2;
    pkm::ZipPage* Page3;

    TBrowseDirectoryDlg* BrowseDirectoryDlg;
    // Loaded on the first click on "zapzap".
    std::unique_ptr<pkm::Sound> sound_;
    bool soundLoaded_ = false;
};
