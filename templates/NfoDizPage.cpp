#include "templates/NfoDizPage.h"

#include "app/Unit1.h"
#include "platform/RadioGroup.h"
#include "platform/UpDown.h"
#include "resources/resources.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QLineEdit* numberBox(QWidget* parent, const char* name, int y)
{
    auto* e = new QLineEdit(QStringLiteral("1"), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(3);
    e->setGeometry(221, y, 50, 21);
    return e;
}

TUpDown* upDown(QWidget* parent, const char* name, QLineEdit* buddy, int y)
{
    auto* u = new TUpDown(parent);
    u->setObjectName(QString::fromLatin1(name));
    u->setGeometry(271, y, 17, 21);
    u->setAssociate(buddy);
    u->setRange(1, 999);
    return u;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->adjustSize();
    l->setBuddy(buddy);
    return l;
}

} // namespace

NfoDizPage::NfoDizPage(TForm1& form, QWidget* parent)
    : QWidget(parent)
    , form_(form)
{
    setObjectName(QStringLiteral("NfoDiz"));

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(0, 0, 130, 227);
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setIndentation(19);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setColumnCount(1);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);

    EValue = new QLineEdit(this);
    EValue->setObjectName(QStringLiteral("EValue"));
    EValue->setGeometry(140, 13, 123, 21);
    Label4 = label(this, "Label4", tr("&Value:"), 140, -1, EValue);

    BMore = new QToolButton(this);
    BMore->setObjectName(QStringLiteral("BMore"));
    BMore->setGeometry(264, 11, 24, 24);
    BMore->setIcon(glyphIcon(QStringLiteral("more")));
    BMore->setFocusPolicy(Qt::StrongFocus);

    ELine = numberBox(this, "ELine", 43);
    UpDown1 = upDown(this, "UpDown1", ELine, 43);
    Label5 = label(this, "Label5", tr("&Line:"), 140, 47, ELine);
    EStart = numberBox(this, "EStart", 73);
    UpDown2 = upDown(this, "UpDown2", EStart, 73);
    Label7 = label(this, "Label7", tr("&Start:"), 140, 77, EStart);
    ELength = numberBox(this, "ELength", 103);
    UpDown3 = upDown(this, "UpDown3", ELength, 103);
    Label8 = label(this, "Label8", tr("Le&ngth:"), 140, 107, ELength);

    RStyle = new TRadioGroup(tr(" Style "), {tr("&Edit"), tr("&Memo")}, this);
    RStyle->setObjectName(QStringLiteral("RStyle"));
    RStyle->setGeometry(140, 130, 70, 77);
    RAlignment = new TRadioGroup(tr(" Alignment "), {tr("&Left"), tr("&Right"), tr("&Center")}, this);
    RAlignment->setObjectName(QStringLiteral("RAlignment"));
    RAlignment->setGeometry(218, 130, 70, 77);

    CCaps = new QCheckBox(tr("&Use caps"), this);
    CCaps->setObjectName(QStringLiteral("CCaps"));
    CCaps->setGeometry(140, 211, 66, 17);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Add1 = PopupMenu1->addAction(tr("&Add"));
    Add1->setObjectName(QStringLiteral("Add1"));
    Delete1 = PopupMenu1->addAction(tr("&Delete"));
    Delete1->setObjectName(QStringLiteral("Delete1"));

    QWidget::setTabOrder(TreeView1, EValue);
    QWidget::setTabOrder(EValue, BMore);
    QWidget::setTabOrder(BMore, ELine);
    QWidget::setTabOrder(ELine, EStart);
    QWidget::setTabOrder(EStart, ELength);
    QWidget::setTabOrder(ELength, RStyle->button(0));
    QWidget::setTabOrder(RStyle->button(1), RAlignment->button(0));
    QWidget::setTabOrder(RAlignment->button(2), CCaps);
}

void NfoDizPage::setNodeImage(QTreeWidgetItem* node, int image, int selectedImage)
{
    QIcon icon;
    icon.addPixmap(tileImage(image), QIcon::Normal);
    icon.addPixmap(tileImage(selectedImage), QIcon::Selected);
    node->setIcon(0, icon);
    node->setData(0, Qt::UserRole, image);
    node->setData(0, Qt::UserRole + 1, selectedImage);
}
