// TForm2, the section creator: its controls, the records behind the list, the drag and drop
// within the list, and the section helper it opens.
#include "editor/SectionCreatorDialog.h"

#include "editor/SectionListBox.h"
#include "editor/TextWindow.h"
#include "platform/widgets/Application.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/DeferredMessage.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/Drops.h"
#include "platform/widgets/FolderPicker.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WindowPlacement.h"
#include "resources/Resources.h"
#include "templates/section_list.h"
#include "templates/template_store.h"
#include "ui_SectionCreatorDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {

QString pathText(const std::string& path)
{
    return pathToQString(path);
}

std::string pathOf(const QLineEdit* box)
{
    return pathFromQString(box->text());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TForm2

TForm2::TForm2(const pkm::ProgramPaths& paths, QWidget* owner)
    : QDialog(owner,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , paths_(paths)
{
    setFont(windowFont());
    Ui::TForm2 ui;
    ui.setupUi(this);
    ListBox1 = ui.ListBox1;
    EName = ui.EName;
    EDefault = ui.EDefault;
    ELine = ui.ELine;
    UpDown1 = ui.UpDown1;
    EStart = ui.EStart;
    UpDown2 = ui.UpDown2;
    ELength = ui.ELength;
    UpDown3 = ui.UpDown3;
    RStyle = ui.RStyle;
    RAlignment = ui.RAlignment;
    CCaps = ui.CCaps;
    CDiz = ui.CDiz;
    Edit1 = ui.Edit1;
    BitBtn5 = ui.BitBtn5;
    Edit2 = ui.Edit2;
    Edit3 = ui.Edit3;
    BitBtn6 = ui.BitBtn6;
    Edit4 = ui.Edit4;
    Edit5 = ui.Edit5;
    // Labels and check boxes take the size of their text in the window font.
    for (QWidget* captioned :
         std::initializer_list<QWidget*> {ui.Label1, ui.Label2, ui.Label3, ui.Label4, ui.Label5, ui.Label6, ui.Label7,
                                          ui.Label8, ui.Label9, ui.Label10, ui.Label11, CCaps, CDiz})
        captioned->adjustSize();
    setUpGlyphButton(ui.BitBtn3, "section_add");
    setUpGlyphButton(ui.BitBtn2, "section_delete");
    setUpGlyphButton(BitBtn5, "helper");
    setUpGlyphButton(BitBtn6, "helper");
    setUpGlyphButton(ui.BitBtn1, "pencil");
    bindNumberBox(ELine, UpDown1);
    bindNumberBox(EStart, UpDown2);
    bindNumberBox(ELength, UpDown3);
    // The groups make their radio buttons themselves, so the form's tab order cannot name them.
    QWidget* order[] = {ELength,
                        RStyle->button(0),
                        RStyle->button(1),
                        RAlignment->button(0),
                        RAlignment->button(1),
                        RAlignment->button(2),
                        CCaps};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    BrowseDirectoryDlg = new TBrowseDirectoryDlg(this);
    BrowseDirectoryDlg->setObjectName(QStringLiteral("BrowseDirectoryDlg"));
    BrowseDirectoryDlg->configureForPakmaster();
    acceptFolderDrops(Edit5);

    connect(ListBox1, &QListWidget::itemSelectionChanged, this, [this] { guarded([this] { ListBox1Click(); }); });
    ListBox1->OnMouseDown = [this](QMouseEvent* e) { ListBox1MouseDown(e); };
    ListBox1->OnMouseMove = [this](QMouseEvent* e) { return dragMove(e); };
    ListBox1->OnMouseUp = [this](QMouseEvent* e) { return dragRelease(e); };
    ListBox1->OnKeyDown = [this](QKeyEvent* e) {
        // Escape abandons a drag instead of closing the dialog.
        if (!dragging_ || e->key() != Qt::Key_Escape)
            return false;
        endDrag();
        return true;
    };
    connect(ui.BitBtn3, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn3Click(); }); });
    connect(ui.BitBtn2, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn2Click(); }); });
    connect(RStyle, &TRadioGroup::clicked, this, [this] { RStyleClick(); });
    connect(RAlignment, &TRadioGroup::clicked, this, [this] { RAlignmentClick(); });
    connect(CCaps, &QCheckBox::clicked, this, [this] { CCapsClick(); });
    connect(CDiz, &QCheckBox::clicked, this, [this] { CDizClick(); });
    connect(BitBtn5, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn5Click(BitBtn5); }); });
    connect(BitBtn6, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn5Click(BitBtn6); }); });
    connect(ui.BitBtn1, &QToolButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    connect(ui.Button1, &QPushButton::clicked, this, &TForm2::accept);
    connect(ui.Button2, &QPushButton::clicked, this, &TForm2::reject);

    numericError_ = new NumericErrorNotice(this, NumericErrorNotice::Answer::MessageAtTheBox);
    for (QLineEdit* field : {EName, EDefault, ELine, EStart, ELength})
        field->installEventFilter(this);
    // An arrow step is a change the user made and sees: it counts and is committed at once,
    // since the arrows never take the focus and the field may never be left.
    for (TUpDown* ud : {UpDown1, UpDown2, UpDown3}) {
        connect(ud, &TUpDown::clicked, this, [this, ud] {
            ud->associate()->setModified(true);
            guarded([this, ud] { ENameExit(ud->associate()); });
        });
    }

    FormCreate();
    ListBox1->setFocus();
}

TForm2::~TForm2()
{
    FormDestroy();
    // The children go after this object's own members: nothing of theirs may call back.
    ListBox1->blockSignals(true);
    for (QLineEdit* field : {EName, EDefault, ELine, EStart, ELength})
        field->removeEventFilter(this);
}

void TForm2::FormCreate()
{
    SectionList.clear();
    pkm::TemplateStore store = pkm::LoadTemplateStore(paths_.iniPath());
    SectionList = std::move(store.records);
    storeBytes_ = std::move(store.fileBytes);
    for (const std::string& label : store.labels)
        ListBox1->addItem(toDisplay(label));
    Edit1->setText(pathText(store.settings.NfoClone));
    Edit2->setText(pathText(store.settings.NfoOutput));
    Edit3->setText(pathText(store.settings.DizClone));
    Edit4->setText(pathText(store.settings.DizOutput));
    Edit5->setText(pathText(store.settings.OutputDir));

    selectEntry(SectionList.empty() ? -1 : 0);
    ShowSection(selectedIndex());
    Helper = nullptr;
}

void TForm2::FormDestroy()
{
    if (Helper != nullptr)
        Helper->close();
    SectionList.clear();
}

void TForm2::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        centerOnScreen(this);
}

QString TForm2::outputDirectory() const
{
    return Edit5->text();
}

int TForm2::selectedIndex() const
{
    const QModelIndexList rows = ListBox1->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TForm2::selectEntry(int index)
{
    const QSignalBlocker block(ListBox1);
    if (index < 0 || index >= ListBox1->count()) {
        ListBox1->clearSelection();
        ListBox1->setCurrentRow(-1);
        return;
    }
    ListBox1->setCurrentRow(index);
}

void TForm2::ShowSection(int index)
{
    if (index < 0 || index >= static_cast<int>(SectionList.size())) {
        for (QLineEdit* field : {EName, EDefault, ELine, EStart, ELength})
            field->clear();
        CCaps->setChecked(false);
        CDiz->setChecked(false);
        RStyle->setItemIndex(-1);
        RAlignment->setItemIndex(-1);
        return;
    }
    const pkm::TParam& record = SectionList[static_cast<std::size_t>(index)];
    EName->setText(toDisplay(record.Name));
    EDefault->setText(toDisplay(record.Value));
    UpDown1->setPosition(record.Line);
    UpDown2->setPosition(record.Start);
    UpDown3->setPosition(record.Width);
    CCaps->setChecked(record.Caps);
    CDiz->setChecked(record.Diz);
    RStyle->setItemIndex(record.Style ? 1 : 0);
    RAlignment->setItemIndex(record.Alignment);
    // Filled, not typed: none of the fields counts as changed by the user.
    for (QLineEdit* field : {EName, EDefault, ELine, EStart, ELength})
        field->setModified(false);
}

void TForm2::ListBox1Click()
{
    ShowSection(selectedIndex());
}

void TForm2::BitBtn3Click()
{
    const QString label = QStringLiteral("Section %1").arg(ListBox1->count() + 1);
    const int position = static_cast<int>(pkm::creatorInsertPosition(selectedIndex()));
    {
        // The list and the records differ by one entry until the record is in.
        const QSignalBlocker block(ListBox1);
        ListBox1->insertItem(position, label);
    }
    ListBox1->setFocus();
    pkm::insertNewSection(SectionList, static_cast<std::size_t>(position));
    selectEntry(position);
    ShowSection(position);
}

void TForm2::BitBtn2Click()
{
    const int i = selectedIndex();
    if (i < 0)
        return;
    const int next = pkm::removeSection(SectionList, static_cast<std::size_t>(i));
    {
        const QSignalBlocker block(ListBox1);
        delete ListBox1->takeItem(i);
    }
    selectEntry(next);
    ShowSection(next);
}

bool TForm2::isSectionField(const QObject* o) const
{
    return o == EName || o == EDefault || o == ELine || o == EStart || o == ELength;
}

TUpDown* TForm2::upDownOf(const QLineEdit* field) const
{
    if (field == ELine)
        return UpDown1;
    if (field == EStart)
        return UpDown2;
    if (field == ELength)
        return UpDown3;
    return nullptr;
}

pkm::TParam* TForm2::selectedRecord()
{
    const int index = selectedIndex();
    if (index < 0 || index >= static_cast<int>(SectionList.size()))
        return nullptr;
    return &SectionList[static_cast<std::size_t>(index)];
}

void TForm2::ENameExit(QLineEdit* field)
{
    pkm::TParam* selected = selectedRecord();
    if (selected == nullptr || !field->isModified())
        return;
    pkm::TParam& record = *selected;
    if (field == EName) {
        record.Name = pkm::sectionNameOrDefault(fromDisplay(EName->text()));
        if (EName->text().isEmpty())
            EName->setText(toDisplay(record.Name));
    } else if (field == EDefault) {
        record.Value = fromDisplay(EDefault->text());
    } else if (TUpDown* ud = upDownOf(field)) {
        if (CheckPositionField(field)) {
            const auto value = static_cast<std::uint16_t>(ud->position());
            if (field == ELine)
                record.Line = value;
            else if (field == EStart)
                record.Start = value;
            else
                record.Width = value;
        }
    }
    field->setModified(false);
}

bool TForm2::CheckPositionField(QLineEdit* field)
{
    return numericError_->checkBox(field, EmptyBox::IsNotANumber);
}

bool TForm2::ELineKeyPress(QKeyEvent* key) const
{
    return acceptsDigitKey(*key, DigitKeys::DigitsOnly);
}

// Without a section the style, alignment and check boxes take no click.

void TForm2::RStyleClick()
{
    if (pkm::TParam* record = selectedRecord())
        record->Style = RStyle->itemIndex() == 1;
    else
        RStyle->setItemIndex(-1);
}

void TForm2::RAlignmentClick()
{
    if (pkm::TParam* record = selectedRecord())
        record->Alignment = static_cast<std::uint8_t>(RAlignment->itemIndex());
    else
        RAlignment->setItemIndex(-1);
}

void TForm2::CCapsClick()
{
    if (pkm::TParam* record = selectedRecord())
        record->Caps = CCaps->isChecked();
    else
        CCaps->setChecked(false);
}

void TForm2::CDizClick()
{
    if (pkm::TParam* record = selectedRecord())
        record->Diz = CDiz->isChecked();
    else
        CDiz->setChecked(false);
}

void TForm2::BitBtn1Click()
{
    BrowseDirectoryDlg->setSelection(Edit5->text().isEmpty() ? pathToQString(paths_.dataDir) : Edit5->text());
    if (BrowseDirectoryDlg->Execute())
        Edit5->setText(BrowseDirectoryDlg->Selection());
}

void TForm2::BitBtn5Click(QObject* sender)
{
    const QString name = sender == BitBtn6 ? Edit3->text() : Edit1->text();
    if (name.isEmpty())
        return;
    if (Helper != nullptr) {
        Dialogs().showMessage(this, QStringLiteral("Section helper"), QStringLiteral("One helper is already open!"),
                              MessageIcon::Information);
        return;
    }
    auto* helper = new TForm3(this);
    helper->setObjectName(QStringLiteral("Helper"));
    Helper = helper;
    helper->setUpAsSectionHelper(
        name, [this] { HelperOkClick(); }, [this] { HelperClosed(); });
    // The helper is not a modal dialog: Escape must not hide it behind the back of Helper.
    helper->installEventFilter(this);
    // Wide enough that no line wraps: the read-out's lines are then the file's.
    helper->fitToText();
    try {
        helper->loadFromFile(paths_.dataDir + pathFromQString(name));
    } catch (...) {
        // No window is shown, so none stands behind Helper: the next helper button works.
        Helper = nullptr;
        delete helper;
        throw;
    }
    helper->setSizeable(true);
    postDeferredMessage(helper); // the position read-out
    helper->show();
}

void TForm2::HelperOkClick()
{
    if (Helper != nullptr)
        QMetaObject::invokeMethod(Helper, &QWidget::close, Qt::QueuedConnection);
}

void TForm2::HelperClosed()
{
    // Runs inside the helper's close event: the window goes once that is over.
    if (Helper != nullptr)
        Helper->deleteLater();
    Helper = nullptr;
}

bool TForm2::Button1Click()
{
    pkm::TemplateSettings settings;
    settings.NfoClone = pathOf(Edit1);
    settings.NfoOutput = pathOf(Edit2);
    settings.DizClone = pathOf(Edit3);
    settings.DizOutput = pathOf(Edit4);
    settings.OutputDir = pathOf(Edit5);
    // Another window (or program) may have saved since this dialog read the file: its change
    // is replaced only once the user agreed to it, as it stands then.
    std::string expected = storeBytes_;
    while (!pkm::SaveTemplateStoreIfUnchanged(paths_.iniPath(), SectionList, settings, expected)) {
        if (!Dialogs().askYesNo(this, QStringLiteral("Release.ini changed"),
                                QStringLiteral("Release.ini was changed since this dialog read it.\r"
                                               "Replace it with the sections shown here?")))
            return false;
    }
    return true;
}

void TForm2::accept()
{
    // Return presses OK without leaving the field being edited: commit it as leaving would.
    if (QWidget* focused = focusWidget(); focused != nullptr && isSectionField(focused))
        guarded([this, focused] { ENameExit(static_cast<QLineEdit*>(focused)); });
    if (numericError_->pending())
        return;
    // A failed save is reported; the dialog still closes with OK so that the wizard reloads
    // whatever the file now holds. Declining to replace a change keeps the dialog and its edits.
    bool close = true;
    guarded([this, &close] { close = Button1Click(); });
    if (!close)
        return;
    QDialog::accept();
}

void TForm2::done(int result)
{
    if (Helper != nullptr)
        Helper->close();
    QDialog::done(result);
}

// ---------------------------------------------------------------------------------------------
// Drag and drop within the list

void TForm2::ListBox1MouseDown(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || ListBox1->itemAtPos(event->position().toPoint()) < 0)
        return;
    dragArmed_ = true;
    dragging_ = false;
    dragStart_ = event->position().toPoint();
    DragOverIndex = selectedIndex();
}

bool TForm2::dragMove(QMouseEvent* event)
{
    if (!dragArmed_)
        return false;
    if (!(event->buttons() & Qt::LeftButton)) {
        endDrag();
        return false;
    }
    const QPoint pos = event->position().toPoint();
    if (!dragging_) {
        if ((pos - dragStart_).manhattanLength() < QApplication::startDragDistance())
            return true; // still a click: the selection must not follow the pointer
        dragging_ = true;
    }
    ListBox1DragOver(pos);
    return true;
}

bool TForm2::dragRelease(QMouseEvent* event)
{
    if (!dragArmed_)
        return false;
    const bool wasDragging = dragging_;
    if (wasDragging && event->button() == Qt::LeftButton)
        ListBox1DragDrop(event->position().toPoint());
    endDrag();
    return wasDragging;
}

void TForm2::endDrag()
{
    dragArmed_ = false;
    dragging_ = false;
    DragOverIndex = -1;
    ListBox1->setFeedbackRow(-1);
}

void TForm2::ListBox1DragOver(const QPoint& pos)
{
    // Only drags started in this list exist, so every drag is accepted.
    const int over = ListBox1->itemAtPos(pos);
    if (over == DragOverIndex)
        return;
    DragOverIndex = over;
    ListBox1->setFeedbackRow(over);
}

void TForm2::ListBox1DragDrop(const QPoint& pos)
{
    ListBox1->setFeedbackRow(-1);
    const int to = ListBox1->itemAtPos(pos);
    const int from = selectedIndex();
    if (to < 0 || from < 0 || from == to)
        return;
    {
        const QSignalBlocker block(ListBox1);
        QListWidgetItem* item = ListBox1->takeItem(from);
        ListBox1->insertItem(to, item);
    }
    pkm::moveSection(SectionList, static_cast<std::size_t>(from), static_cast<std::size_t>(to));
    // The fields already show the moved record.
    selectEntry(to);
}

// ---------------------------------------------------------------------------------------------
// Events

bool TForm2::eventFilter(QObject* watched, QEvent* e)
{
    if (Helper != nullptr && watched == Helper) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
            return true;
        return QDialog::eventFilter(watched, e);
    }
    if (isSectionField(watched)) {
        auto* field = static_cast<QLineEdit*>(watched);
        if (e->type() == QEvent::KeyPress && upDownOf(field) != nullptr) {
            if (!ELineKeyPress(static_cast<QKeyEvent*>(e)))
                return true;
        } else if (e->type() == QEvent::FocusOut) {
            // Only a move to another control of this dialog leaves the field; the window losing
            // activation (a message box, the helper) or a popup menu does not.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                guarded([this, field] { ENameExit(field); });
        }
    }
    return QDialog::eventFilter(watched, e);
}
