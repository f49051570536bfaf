#include "archiving/RarPage.h"

#include "app/Unit1.h"
#include "platform/LogBox.h"
#include "resources/resources.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->adjustSize();
    l->setBuddy(buddy);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(x, y, w, 21);
    return e;
}

QToolButton* browseButton(QWidget* parent, const char* name, int x, int y)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 24, 24);
    b->setIcon(glyphIcon(QStringLiteral("folder")));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

} // namespace

RarPage::RarPage(TForm1& form, QWidget* parent)
    : QWidget(parent)
    , form_(form)
{
    setObjectName(QStringLiteral("Rar"));

    InDirEdit = edit(this, "InDirEdit", 108, 2, 164);
    Label9 = label(this, "Label9", tr("&Input directory:"), 0, 5, InDirEdit);
    BitBtn6 = browseButton(this, "BitBtn6", 273, 0);
    OutDirEdit = edit(this, "OutDirEdit", 108, 32, 164);
    Label10 = label(this, "Label10", tr("&Output directory:"), 0, 35, OutDirEdit);
    BitBtn7 = browseButton(this, "BitBtn7", 273, 30);
    NameEdit = edit(this, "NameEdit", 108, 61, 90);
    Label11 = label(this, "Label11", tr("&Name of volumes:"), 0, 65, NameEdit);
    CheckBox6 = new QCheckBox(tr("&Use ace"), this);
    CheckBox6->setObjectName(QStringLiteral("CheckBox6"));
    CheckBox6->setGeometry(222, 62, 61, 17);
    VolumeEdit = edit(this, "VolumeEdit", 108, 91, 90);
    VolumeEdit->setText(QStringLiteral("1440"));
    VolumeEdit->setMaxLength(5);
    Label12 = label(this, "Label12", tr("Size of &volumes:"), 0, 95, VolumeEdit);
    Button5 = new QPushButton(tr("&Start"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(222, 90, 75, 23);
    Button5->setAutoDefault(false);
    Memo1 = new TLogBox(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 122, 297, 105);

    QWidget::setTabOrder(InDirEdit, BitBtn6);
    QWidget::setTabOrder(BitBtn6, OutDirEdit);
    QWidget::setTabOrder(OutDirEdit, BitBtn7);
    QWidget::setTabOrder(BitBtn7, NameEdit);
    QWidget::setTabOrder(NameEdit, CheckBox6);
    QWidget::setTabOrder(CheckBox6, VolumeEdit);
    QWidget::setTabOrder(VolumeEdit, Button5);
}
