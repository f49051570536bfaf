#pragma once
// Page 1 of the wizard ("NfoDiz"): the section tree and the editors of the selected section.
#include <QWidget>

class QAction;
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

private:
    TForm1& form_;
};
