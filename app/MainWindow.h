#pragma once
// The main window: the wizard's frame, its four pages and the navigation between them.
#include "app/wizard_chain.h"
#include "templates/section.h"

#include <QDialog>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSoundEffect;
class QStackedWidget;
class QToolButton;
class NfoDizPage;
class RarPage;
class ZipPage;
class TBrowseDirectoryDlg;

// The private message WM_USER + 1021, posted by a window to itself.
inline constexpr int kDeferredMessage = 1021;

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // State of the wizard.
    std::string IniPath;
    pkm::SectionList NfoSections;
    pkm::SectionList DizSections;
    bool NfoMode = false;
    int EditedSectionIndex = -1;

    // The frame.
    QFrame* Panel1;
    QLabel* Image1;
    QStackedWidget* Notebook1;
    QFrame* Bevel1;
    QPushButton* Button4; // "Previe&w"
    QPushButton* Button1; // "< &Previous"
    QPushButton* Button2; // "Next >"
    QPushButton* Button3; // "Cancel" / "Finish"

    // Page 0, "Sommaire".
    QWidget* Page0;
    QLabel* Label1;
    QLabel* Label2;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox2;
    QCheckBox* CheckBox3;
    QCheckBox* CheckBox4;
    QToolButton* BitBtn3;
    QLabel* Label3;

    // Pages 1 to 3.
    NfoDizPage* Page1;
    RarPage* Page2;
    ZipPage* Page3;

    TBrowseDirectoryDlg* BrowseDirectoryDlg;

    // Page entries: the only way the page changes.
    void ShowIntroPage();
    void ShowNfoPage();
    void ShowDizPage();
    void ShowRarPage();
    void ShowZipPage();

    void LoadPagePicture(const QString& name);
    void FillSectionTree(bool nfo);
    void ShowSelectedSection();
    void EnableSectionEditors(bool on);
    void UpdateNextButton();

    int currentPage() const;
    pkm::WizardOptions options() const;
    // NfoSections while NfoMode is true, else DizSections.
    pkm::SectionList& currentSections() { return NfoMode ? NfoSections : DizSections; }
    // Frees both lists and reads them again from IniPath.
    void ReloadSectionLists();
    // Posts the private message whose answer is "Numeric values only!".
    void PostNumericError();

    // Handlers.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void CheckBox1Click();
    void Label3Click();

    // The Preview button: generates the file of the current mode and opens it for a last edit.
    // Defined with the NfoDiz page.
    bool GenerateInfoFile(std::string& outputPath);
    void Button4Click();

    // The Preferences button: opens the section creator. Defined with the section creator.
    void BitBtn3Click();

signals:
    // A page entry has run (tests and later pages hook here).
    void pageEntered(int page);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void FormCreate();
    void enterPage(pkm::WizardEntry entry);
    void ShowNumericError();
    bool FormCloseQuery();

    QSoundEffect* sound_ = nullptr;
};
