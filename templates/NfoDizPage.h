#pragma once
// NfoDizPage, page 1 of the wizard ("NfoDiz"): the section tree of the NFO or DIZ sections and
// the editors of the selected section. The page edits the list the wizard hands it.
#include <QWidget>

#include "templates/section.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QCheckBox;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QStyledItemDelegate;

namespace pkm {

class NumericErrorNotice;
class TRadioGroup;
class TUpDown;

class NfoDizPage : public QWidget {
    Q_OBJECT
public:
    explicit NfoDizPage(QWidget* parent = nullptr);
    ~NfoDizPage() override;

    // Edits a multi-line value in a window of its own: the lines it shows after OK, nothing
    // after Cancel. The window around the page hands it the fixed-font text window's.
    using MemoEditor = std::function<std::optional<std::vector<std::string>>(QWidget* parent, const pkm::TParam&)>;
    void setMemoEditor(MemoEditor editor) { memoEditor_ = std::move(editor); }

    // Shows a section list in the tree under the file node "Nfo" or "Diz", no node selected,
    // the editors cleared; from now on the page edits that list.
    void FillSectionTree(pkm::SectionList& sections, bool nfo);
    // Fills the editors from the selected section, or clears and disables them.
    void ShowSelectedSection();
    void EnableSectionEditors(bool on);
    // Stores a value still being typed into the box that has the focus (a button pressed by
    // its shortcut leaves the focus in the box).
    void commitPendingEdit();
    // A section label is being edited: Enter accepts it and must press nothing else.
    bool isEditingLabel() const;
    // The section whose box edit is pending; -1: none.
    int editedSectionIndex() const { return EditedSectionIndex; }

    // The section tree's image for the node at 1-based position k, and the file node's.
    static int sectionImage(int k) { return (k - 1) % 10; }
    static constexpr int kFileNodeImage = 20;
    // Gives a node the tile `image` and, while selected, `image + 10` (or 20 for the file node).
    static void setNodeImage(QTreeWidgetItem* node, int image, int selectedImage);

    // Handlers of the page (they act on the list shown).
    void TreeView1Changing();
    void TreeView1Change();
    void TreeView1Edited(QTreeWidgetItem* node, const QString& text);
    // True when the key was taken (F2 on a section node).
    bool TreeView1KeyDown(QKeyEvent* key);
    void PopupMenu1Popup();
    void Add1Click();
    void Delete1Click();
    void EValueEnter();
    void EValueExit(QWidget* box);
    void UpDown2Click(TUpDown* upDown);
    void RStyleClick(QObject* sender);
    void BMoreClick();
    // Stores the text of one of the four boxes into the section it was entered for.
    void CommitBoxEdit(QWidget* box);

    // The selected section node, or nullptr when no node or the file node is selected.
    QTreeWidgetItem* selectedSectionNode() const;
    // Index in the current list of the selected section; -1 when there is none.
    int selectedSectionIndex() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MemoEditor memoEditor_;
    QTreeWidget* TreeView1;
    QLineEdit* EValue;
    QToolButton* BMore;
    QLineEdit* ELine;
    TUpDown* UpDown1;
    QLineEdit* EStart;
    TUpDown* UpDown2;
    QLineEdit* ELength;
    TUpDown* UpDown3;
    TRadioGroup* RStyle;
    TRadioGroup* RAlignment;
    QCheckBox* CCaps;
    QMenu* PopupMenu1;
    QAction* Add1;
    QAction* Delete1;

    bool validateNumberBox(QLineEdit* box, std::uint16_t stored);
    void renumberFrom(int position);
    QTreeWidgetItem* fileNode() const;

    // The list shown.
    pkm::SectionList* sections_ = nullptr;
    int EditedSectionIndex = -1;
    // The list of the section whose box edit is pending.
    pkm::SectionList* editedList_ = nullptr;
    NumericErrorNotice* numericError_;
    QStyledItemDelegate* labelDelegate_;
};

} // namespace pkm
