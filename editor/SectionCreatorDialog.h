#pragma once
// TForm2, the section creator: the dialog in which the user defines the release templates (the
// list of sections with their fields, and the five template settings of Release.ini).
#include "platform/program_paths.h"
#include "templates/section.h"

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;
class QToolButton;
namespace pkm {
class NumericErrorNotice;
class TRadioGroup;
class TSectionListBox;
class TUpDown;
} // namespace pkm

class TBrowseDirectoryDlg;
class TForm3;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(const pkm::ProgramPaths& paths, QWidget* owner = nullptr);
    ~TForm2() override;

    // The "Output dir:" box.
    QString outputDirectory() const;
    // The sections being edited; entry i belongs to the list box's entry i.
    const pkm::SectionList& sections() const { return SectionList; }
    // The entry selected in the list box; -1: none.
    int selectedIndex() const;
    // The open section helper, or null.
    TForm3* helper() const { return Helper; }
    // The entry that carries the drag feedback during a drag; from the press on, the one pressed.
    int dragOverIndex() const { return DragOverIndex; }

public slots:
    // OK: commits the field being edited, then saves. A field that fails its check keeps the
    // dialog open (its message is on its way), and so does a No to replacing a file that
    // changed since the dialog read it.
    void accept() override;
    // Closes the helper with the dialog, whatever the result.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // Fills the section fields from the record at index; -1 clears them.
    void ShowSection(int index);

    // Handlers.
    void ListBox1Click();
    void BitBtn3Click();
    void BitBtn2Click();
    void ENameExit(QLineEdit* field);
    // True when the key press is let through.
    bool ELineKeyPress(QKeyEvent* key) const;
    void RStyleClick();
    void RAlignmentClick();
    void CCapsClick();
    void CDizClick();
    void BitBtn1Click();
    // Both helper buttons: BitBtn5 opens the NFO template, BitBtn6 the DIZ template.
    void BitBtn5Click(QObject* sender);
    void HelperOkClick();
    void HelperClosed();
    // Writes Release.ini from the records and the five settings. False when the file changed
    // since the dialog read it and the user chose not to replace it.
    bool Button1Click();

    void ListBox1MouseDown(QMouseEvent* event);
    void ListBox1DragOver(const QPoint& pos);
    void ListBox1DragDrop(const QPoint& pos);

    void FormCreate();
    void FormDestroy();
    // Selects an entry (-1: none) without running ListBox1Click.
    void selectEntry(int index);
    // The record of the selected entry; null: none.
    pkm::TParam* selectedRecord();
    // False when the field's text is not a number (the message is then on its way).
    bool CheckPositionField(QLineEdit* field);
    bool isSectionField(const QObject* o) const;
    pkm::TUpDown* upDownOf(const QLineEdit* field) const;
    bool dragMove(QMouseEvent* event);
    bool dragRelease(QMouseEvent* event);
    void endDrag();

    pkm::SectionList SectionList;
    TForm3* Helper = nullptr;
    int DragOverIndex = -1;

    pkm::TSectionListBox* ListBox1;
    QLineEdit* EName;
    QLineEdit* EDefault;
    QLineEdit* ELine;
    pkm::TUpDown* UpDown1;
    QLineEdit* EStart;
    pkm::TUpDown* UpDown2;
    QLineEdit* ELength;
    pkm::TUpDown* UpDown3;
    pkm::TRadioGroup* RStyle;
    pkm::TRadioGroup* RAlignment;
    QCheckBox* CCaps;
    QCheckBox* CDiz;
    QLineEdit* Edit1;     // "Nfo clone:"
    QToolButton* BitBtn5; // section helper on the NFO template
    QLineEdit* Edit2;     // "Nfo output:"
    QLineEdit* Edit3;     // "Diz clone:"
    QToolButton* BitBtn6; // section helper on the DIZ template
    QLineEdit* Edit4;     // "Diz output:"
    QLineEdit* Edit5;     // "Output dir:"

    TBrowseDirectoryDlg* BrowseDirectoryDlg;

    pkm::ProgramPaths paths_;
    // Release.ini as the dialog read it.
    std::string storeBytes_;
    pkm::NumericErrorNotice* numericError_;
    bool dragArmed_ = false;
    bool dragging_ = false;
    QPoint dragStart_;
};
