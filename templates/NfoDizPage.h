#pragma once
// Page 1 of the wizard ("NfoDiz"): the section tree and the editors of the selected section.
#include <QWidget>

#include "templates/section.h"

#include <cstdint>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QCheckBox;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TForm1;
class TRadioGroup;
class TUpDown;

// The key filter of the number boxes, shared with the Rar page's volume size box: of the typed
// characters only the digits get in. Keys without a character (arrows, Delete) and control
// characters (backspace, Tab, Enter, Escape, the editing shortcuts) pass. True: let it through.
bool VolumeEditKeyPress(const QKeyEvent& key);
// Installs VolumeEditKeyPress on a box.
void installVolumeEditKeyPress(QLineEdit* box);

class NfoDizPage : public QWidget {
    Q_OBJECT
public:
    NfoDizPage(TForm1& form, QWidget* parent);

    // The section tree's image for the node at 1-based position k, and the file node's.
    static int sectionImage(int k) { return (k - 1) % 10; }
    static constexpr int kFileNodeImage = 20;
    // Gives a node the tile `image` and, while selected, `image + 10` (or 20 for the file node).
    static void setNodeImage(QTreeWidgetItem* node, int image, int selectedImage);

    QTreeWidget* TreeView1;
    QLabel* Label4;
    QLineEdit* EValue;
    QToolButton* BMore;
    QLabel* Label5;
    QLineEdit* ELine;
    TUpDown* UpDown1;
    QLabel* Label7;
    QLineEdit* EStart;
    TUpDown* UpDown2;
    QLabel* Label8;
    QLineEdit* ELength;
    TUpDown* UpDown3;
    TRadioGroup* RStyle;
    TRadioGroup* RAlignment;
    QCheckBox* CCaps;
    QMenu* PopupMenu1;
    QAction* Add1;
    QAction* Delete1;

    // Handlers of the page (they act on the main window's current section list).
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
    bool validateNumberBox(QLineEdit* box, std::uint16_t stored);
    void renumberFrom(int position);
    QTreeWidgetItem* fileNode() const;

    TForm1& form_;
    // The list of the section whose box edit is pending (see EditedSectionIndex).
    pkm::SectionList* editedList_ = nullptr;
};
