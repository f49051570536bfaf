#include "archiving/ZipPage.h"

#include "app/Unit1.h"
#include "platform/LogBox.h"
#include "resources/resources.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

QToolButton* glyphButton(QWidget* parent, const char* name, const char* glyph, int x, int y, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 24, 24);
    b->setIcon(glyphIcon(QString::fromLatin1(glyph)));
    b->setFocusPolicy(Qt::StrongFocus);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QListWidget* listBox(QWidget* parent, const char* name, int x)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, 13, 100, 70);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setUniformItemSizes(true);
    return l;
}

} // namespace

ZipPage::ZipPage(TForm1& form, QWidget* parent)
    : QWidget(parent)
    , form_(form)
{
    setObjectName(QStringLiteral("Zip"));

    ListBox1 = listBox(this, "ListBox1", 0);
    Label13 = label(this, "Label13", tr("&Zip files:"), 1, -1, ListBox1);
    BitBtn1 = glyphButton(this, "BitBtn1", "zip_add", 0, 89, tr("Add zip file"));
    BitBtn2 = glyphButton(this, "BitBtn2", "zip_delete", 29, 89, tr("Delete zip file"));
    ListBox2 = listBox(this, "ListBox2", 105);
    Label14 = label(this, "Label14", tr("&Content:"), 106, -1, ListBox2);
    BitBtn4 = glyphButton(this, "BitBtn4", "file_add", 105, 89, tr("Add file to zip"));
    BitBtn5 = glyphButton(this, "BitBtn5", "file_delete", 134, 89, tr("Delete file from zip"));
    OutDirEdit2 = new QLineEdit(this);
    OutDirEdit2->setObjectName(QStringLiteral("OutDirEdit2"));
    OutDirEdit2->setGeometry(211, 13, 86, 21);
    Label15 = label(this, "Label15", tr("&Output directory:"), 211, -1, OutDirEdit2);
    BitBtn8 = glyphButton(this, "BitBtn8", "folder", 273, 40, QString());
    Button6 = new QPushButton(tr("&Start"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setGeometry(222, 89, 75, 23);
    Button6->setAutoDefault(false);
    Memo2 = new TLogBox(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(0, 122, 297, 105);

    QWidget::setTabOrder(ListBox1, BitBtn1);
    QWidget::setTabOrder(BitBtn1, BitBtn2);
    QWidget::setTabOrder(BitBtn2, ListBox2);
    QWidget::setTabOrder(ListBox2, BitBtn4);
    QWidget::setTabOrder(BitBtn4, BitBtn5);
    QWidget::setTabOrder(BitBtn5, OutDirEdit2);
    QWidget::setTabOrder(OutDirEdit2, BitBtn8);
    QWidget::setTabOrder(BitBtn8, Button6);
}
