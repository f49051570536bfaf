#include "templates/NfoDizPage.h"

#include "platform/scope_guard.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "resources/Resources.h"
#include "templates/section_list.h"
#include "templates/text_lines.h"
#include "ui_NfoDizPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace pkm {

namespace {

// The in-place label editor of the tree: an accepted label goes to TreeView1Edited; Escape
// closes the editor without a call.
class LabelDelegate : public QStyledItemDelegate {
public:
    LabelDelegate(NfoDizPage* page, QTreeWidget* tree)
        : QStyledItemDelegate(tree)
        , page_(page)
        , tree_(tree)
    {
    }

    // The page is going: an editor still open closes without a call.
    void forgetPage() { page_ = nullptr; }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (page_ == nullptr)
            return;
        QTreeWidgetItem* file = tree_->topLevelItem(0);
        if (line == nullptr || file == nullptr || !index.parent().isValid())
            return;
        QTreeWidgetItem* node = file->child(index.row());
        if (node != nullptr)
            guarded([&] { page_->TreeView1Edited(node, line->text()); });
    }

private:
    NfoDizPage* page_;
    QTreeWidget* tree_;
};

} // namespace

NfoDizPage::NfoDizPage(QWidget* parent)
    : QWidget(parent)
    , numericError_(new NumericErrorNotice(this, NumericErrorNotice::Answer::Message))
{
    Ui::NfoDizPage ui;
    ui.setupUi(this);
    TreeView1 = ui.TreeView1;
    EValue = ui.EValue;
    BMore = ui.BMore;
    ELine = ui.ELine;
    UpDown1 = ui.UpDown1;
    EStart = ui.EStart;
    UpDown2 = ui.UpDown2;
    ELength = ui.ELength;
    UpDown3 = ui.UpDown3;
    RStyle = ui.RStyle;
    RAlignment = ui.RAlignment;
    CCaps = ui.CCaps;
    // Labels take the size of their text in the window font.
    for (QLabel* label : {ui.Label4, ui.Label5, ui.Label7, ui.Label8})
        label->adjustSize();
    setUpGlyphButton(BMore, "more");
    bindNumberBox(ELine, UpDown1);
    bindNumberBox(EStart, UpDown2);
    bindNumberBox(ELength, UpDown3);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Add1 = PopupMenu1->addAction(tr("&Add"));
    Add1->setObjectName(QStringLiteral("Add1"));
    Delete1 = PopupMenu1->addAction(tr("&Delete"));
    Delete1->setObjectName(QStringLiteral("Delete1"));

    // The groups make their radio buttons themselves, so the form's tab order cannot name them.
    QWidget::setTabOrder(ELength, RStyle->button(0));
    QWidget::setTabOrder(RStyle->button(1), RAlignment->button(0));
    QWidget::setTabOrder(RAlignment->button(2), CCaps);

    labelDelegate_ = new LabelDelegate(this, TreeView1);
    TreeView1->setItemDelegate(labelDelegate_);
    TreeView1->installEventFilter(this);
    TreeView1->viewport()->installEventFilter(this);
    // The selected node is the current one, as in a tree where the two never part: a mouse
    // press makes a node current before it selects it, and the editors must show it at once.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr && !current->isSelected()) {
            const QSignalBlocker block(TreeView1);
            TreeView1->selectionModel()->select(TreeView1->currentIndex(), QItemSelectionModel::ClearAndSelect);
        }
        guarded([this] {
            TreeView1Changing();
            TreeView1Change();
        });
    });
    // Ctrl+click would leave the current node unselected: it stays selected.
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (TreeView1->selectedItems().isEmpty() && TreeView1->currentItem() != nullptr) {
            const QSignalBlocker block(TreeView1);
            TreeView1->selectionModel()->select(TreeView1->currentIndex(), QItemSelectionModel::ClearAndSelect);
        }
    });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(TreeView1->viewport()->mapToGlobal(pos)); });
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { PopupMenu1Popup(); });
    connect(Add1, &QAction::triggered, this, [this] { guarded([this] { Add1Click(); }); });
    connect(Delete1, &QAction::triggered, this, [this] { guarded([this] { Delete1Click(); }); });

    for (QLineEdit* box : {EValue, ELine, EStart, ELength})
        box->installEventFilter(this);
    for (QLineEdit* box : {ELine, EStart, ELength})
        new TDigitFilter(box, DigitKeys::WithBackspace);
    for (TUpDown* u : {UpDown1, UpDown2, UpDown3})
        connect(u, &TUpDown::clicked, this, [this, u] { guarded([this, u] { UpDown2Click(u); }); });
    connect(RStyle, &TRadioGroup::clicked, this, [this] { guarded([this] { RStyleClick(RStyle); }); });
    connect(RAlignment, &TRadioGroup::clicked, this, [this] { guarded([this] { RStyleClick(RAlignment); }); });
    connect(CCaps, &QCheckBox::clicked, this, [this] { guarded([this] { RStyleClick(CCaps); }); });
    connect(BMore, &QToolButton::clicked, this, [this] { guarded([this] { BMoreClick(); }); });
}

void NfoDizPage::FillSectionTree(pkm::SectionList& sections, bool nfo)
{
    sections_ = &sections;
    TreeView1->setUpdatesEnabled(false);
    {
        const QSignalBlocker block(TreeView1);
        TreeView1->clear();
        auto* file = new QTreeWidgetItem(TreeView1, QStringList(nfo ? QStringLiteral("Nfo") : QStringLiteral("Diz")));
        setNodeImage(file, kFileNodeImage, kFileNodeImage);
        int k = 1;
        for (const pkm::TParam& section : sections) {
            auto* node = new QTreeWidgetItem(file, QStringList(toDisplay(section.Name)));
            node->setFlags(node->flags() | Qt::ItemIsEditable);
            setNodeImage(node, sectionImage(k), sectionImage(k) + 10);
            ++k;
        }
        file->setExpanded(true);
        TreeView1->setCurrentItem(nullptr);
        TreeView1->clearSelection();
    }
    TreeView1->setUpdatesEnabled(true);
    ShowSelectedSection();
}

void NfoDizPage::ShowSelectedSection()
{
    const int index = selectedSectionIndex();
    if (index < 0) {
        EnableSectionEditors(false);
        return;
    }
    const pkm::TParam& section = (*sections_)[static_cast<std::size_t>(index)];
    EValue->setText(toDisplay(pkm::firstValueLine(section.Value)));
    UpDown1->setPosition(section.Line);
    UpDown2->setPosition(section.Start);
    UpDown3->setPosition(section.Width);
    RStyle->setItemIndex(section.Style ? 1 : 0);
    BMore->setEnabled(RStyle->itemIndex() != 0);
    RAlignment->setItemIndex(section.Alignment <= 2 ? section.Alignment : 2);
    CCaps->setChecked(section.Caps);
    EnableSectionEditors(true);
}

void NfoDizPage::EnableSectionEditors(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*> {ELine, EStart, ELength, EValue, RStyle, RAlignment, CCaps})
        w->setEnabled(on);
    if (on)
        return;
    RStyle->setItemIndex(-1);
    RAlignment->setItemIndex(-1);
    EValue->clear();
    UpDown1->setPosition(1);
    UpDown2->setPosition(1);
    UpDown3->setPosition(1);
    CCaps->setChecked(false);
    BMore->setEnabled(false);
}

void NfoDizPage::commitPendingEdit()
{
    CommitBoxEdit(window()->focusWidget());
}

bool NfoDizPage::isEditingLabel() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != TreeView1 && TreeView1->isAncestorOf(focus);
}

NfoDizPage::~NfoDizPage()
{
    // The tree goes after this object's own members: a label still being edited must not
    // call back into a page that is no longer there.
    static_cast<LabelDelegate*>(labelDelegate_)->forgetPage();
}

QTreeWidgetItem* NfoDizPage::fileNode() const
{
    return TreeView1->topLevelItem(0);
}

QTreeWidgetItem* NfoDizPage::selectedSectionNode() const
{
    QTreeWidgetItem* node = TreeView1->currentItem();
    if (node == nullptr || !node->isSelected() || node->parent() == nullptr)
        return nullptr;
    return node;
}

int NfoDizPage::selectedSectionIndex() const
{
    QTreeWidgetItem* node = selectedSectionNode();
    if (node == nullptr || sections_ == nullptr)
        return -1;
    const int index = node->parent()->indexOfChild(node);
    if (index < 0 || index >= static_cast<int>(sections_->size()))
        return -1;
    return index;
}

void NfoDizPage::renumberFrom(int position)
{
    QTreeWidgetItem* file = fileNode();
    for (int i = position; i < file->childCount(); ++i)
        setNodeImage(file->child(i), sectionImage(i + 1), sectionImage(i + 1) + 10);
}

void NfoDizPage::TreeView1Changing()
{
    // An edit in progress belongs to the section it was begun on.
    commitPendingEdit();
}

void NfoDizPage::TreeView1Change()
{
    // Showing a section that changes the style, alignment or caps controls stores what they
    // now show, as a click on them would.
    const int style = RStyle->itemIndex();
    const int alignment = RAlignment->itemIndex();
    const bool caps = CCaps->isChecked();
    ShowSelectedSection();
    if (RStyle->itemIndex() != style)
        RStyleClick(RStyle);
    if (RAlignment->itemIndex() != alignment)
        RStyleClick(RAlignment);
    if (CCaps->isChecked() != caps)
        RStyleClick(CCaps);
}

void NfoDizPage::TreeView1Edited(QTreeWidgetItem* node, const QString& text)
{
    QTreeWidgetItem* file = fileNode();
    if (node == nullptr || node->parent() != file)
        return;
    const int index = file->indexOfChild(node);
    pkm::SectionList& sections = *sections_;
    if (index < 0 || index >= static_cast<int>(sections.size()))
        return;
    sections[static_cast<std::size_t>(index)].Name = fromDisplay(text);
    node->setText(0, toDisplay(sections[static_cast<std::size_t>(index)].Name));
}

bool NfoDizPage::TreeView1KeyDown(QKeyEvent* key)
{
    if (key->key() != Qt::Key_F2)
        return false;
    // Only section labels open; F2 on the file node does nothing.
    if (QTreeWidgetItem* node = selectedSectionNode())
        TreeView1->editItem(node);
    return true;
}

void NfoDizPage::PopupMenu1Popup()
{
    Add1->setEnabled(true);
    Delete1->setEnabled(selectedSectionNode() != nullptr);
}

void NfoDizPage::Add1Click()
{
    QTreeWidgetItem* file = fileNode();
    if (file == nullptr)
        return;
    // A pending box edit goes to its own section before the list's indexes move.
    commitPendingEdit();

    pkm::SectionList& sections = *sections_;
    QTreeWidgetItem* selected = selectedSectionNode();
    auto* node = new QTreeWidgetItem(QStringList(QString::fromLatin1(pkm::kDefaultSectionName)));
    node->setFlags(node->flags() | Qt::ItemIsEditable);

    TreeView1->setUpdatesEnabled(false);
    {
        const pkm::ScopeGuard resume([this] { TreeView1->setUpdatesEnabled(true); });
        const int position = static_cast<int>(
            pkm::pageInsertPosition(selected ? file->indexOfChild(selected) : -1, sections.size()));
        file->insertChild(position, node);
        pkm::insertNewSection(sections, static_cast<std::size_t>(position));
        renumberFrom(position);
        TreeView1->setCurrentItem(node);
    }
    TreeView1->editItem(node);
}

void NfoDizPage::Delete1Click()
{
    QTreeWidgetItem* node = selectedSectionNode();
    const int index = selectedSectionIndex();
    if (node == nullptr || index < 0)
        return;
    commitPendingEdit();

    pkm::SectionList& sections = *sections_;
    pkm::removeSection(sections, static_cast<std::size_t>(index));
    TreeView1->setUpdatesEnabled(false);
    {
        const pkm::ScopeGuard resume([this] { TreeView1->setUpdatesEnabled(true); });
        // The tree selects a neighbour while the node goes; the editors are brought up to date
        // once the node is gone and the nodes' positions match the list again.
        {
            const QSignalBlocker block(TreeView1);
            delete node;
        }
        renumberFrom(index);
    }
    TreeView1Changing();
    TreeView1Change();
}

void NfoDizPage::EValueEnter()
{
    const int index = selectedSectionIndex();
    if (index < 0)
        return;
    EditedSectionIndex = index;
    editedList_ = sections_;
}

void NfoDizPage::EValueExit(QWidget* box)
{
    CommitBoxEdit(box);
}

bool NfoDizPage::validateNumberBox(QLineEdit* box, std::uint16_t stored)
{
    if (numericError_->checkBox(box, EmptyBox::IsNotANumber))
        return true;
    box->setText(QString::number(stored));
    return false;
}

void NfoDizPage::CommitBoxEdit(QWidget* box)
{
    const int index = EditedSectionIndex;
    if (index == -1)
        return;
    EditedSectionIndex = -1;
    // The list the edit was begun on: Next may switch the page to the other list before the
    // box loses the focus.
    pkm::SectionList& sections = editedList_ != nullptr ? *editedList_ : *sections_;
    editedList_ = nullptr;
    if (index < 0 || index >= static_cast<int>(sections.size()))
        return;
    pkm::TParam& section = sections[static_cast<std::size_t>(index)];
    if (box == EValue) {
        // Only the first line is shown; the lines after it stay.
        section.Value = pkm::withFirstValueLine(section.Value, fromDisplay(EValue->text()));
    } else if (box == ELine) {
        if (validateNumberBox(ELine, section.Line))
            section.Line = static_cast<std::uint16_t>(UpDown1->position());
    } else if (box == EStart) {
        if (validateNumberBox(EStart, section.Start))
            section.Start = static_cast<std::uint16_t>(UpDown2->position());
    } else if (box == ELength) {
        if (validateNumberBox(ELength, section.Width))
            section.Width = static_cast<std::uint16_t>(UpDown3->position());
    }
}

void NfoDizPage::UpDown2Click(TUpDown* upDown)
{
    const int index = selectedSectionIndex();
    if (index < 0)
        return;
    pkm::TParam& section = (*sections_)[static_cast<std::size_t>(index)];
    const auto position = static_cast<std::uint16_t>(upDown->position());
    if (upDown == UpDown1)
        section.Line = position;
    else if (upDown == UpDown2)
        section.Start = position;
    else if (upDown == UpDown3)
        section.Width = position;
}

void NfoDizPage::RStyleClick(QObject* sender)
{
    const int index = selectedSectionIndex();
    if (index < 0)
        return;
    pkm::TParam& section = (*sections_)[static_cast<std::size_t>(index)];
    if (sender == RStyle) {
        section.Style = RStyle->itemIndex() == 1;
        BMore->setEnabled(RStyle->itemIndex() != 0);
    } else if (sender == RAlignment) {
        if (RAlignment->itemIndex() >= 0)
            section.Alignment = static_cast<std::uint8_t>(RAlignment->itemIndex());
    } else if (sender == CCaps) {
        section.Caps = CCaps->isChecked();
    }
}

void NfoDizPage::BMoreClick()
{
    const int index = selectedSectionIndex();
    if (index < 0)
        return;
    pkm::TParam& section = (*sections_)[static_cast<std::size_t>(index)];

    if (!memoEditor_)
        return;
    const std::optional<std::vector<std::string>> lines = memoEditor_(window(), section);
    if (!lines)
        return;
    // A line that the box wrapped becomes a line of its own.
    section.Value = pkm::joinValueLines(*lines);
    EValue->setText(toDisplay(lines->empty() ? std::string() : lines->front()));
}

bool NfoDizPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EValue || watched == ELine || watched == EStart || watched == ELength) {
        if (event->type() == QEvent::FocusIn && movesBetweenControls(event))
            guarded([this] { EValueEnter(); });
        else if (event->type() == QEvent::FocusOut && movesBetweenControls(event))
            guarded([this, watched] { EValueExit(static_cast<QWidget*>(watched)); });
    } else if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        if (TreeView1KeyDown(static_cast<QKeyEvent*>(event)))
            return true;
    } else if (watched == TreeView1->viewport()) {
        // The popup menu acts on the selected node: a right click does not move the selection.
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
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

} // namespace pkm
