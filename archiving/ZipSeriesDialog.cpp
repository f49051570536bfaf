// TForm4, the "Zip files" dialog: its controls, the checks of the count field and OK.
#include "archiving/ZipSeriesDialog.h"

#include "platform/widgets/Controls.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/NumberField.h"
#include "platform/widgets/UpDown.h"
#include "platform/widgets/WindowPlacement.h"
#include "ui_ZipSeriesDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

TForm4::TForm4(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , numericError_(new NumericErrorNotice(this, NumericErrorNotice::Answer::MessageAtTheBox))
{
    setFont(windowFont());
    Ui::TForm4 ui;
    ui.setupUi(this);
    Edit1 = ui.Edit1;
    Edit2 = ui.Edit2;
    UpDown1 = ui.UpDown1;
    Button1 = ui.Button1;
    // Labels take the size of their text in the window font.
    for (QLabel* label : {ui.Label1, ui.Label2})
        label->adjustSize();
    bindNumberBox(Edit2, UpDown1);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Button1, &QPushButton::clicked, this, &TForm4::accept);
    connect(ui.Button2, &QPushButton::clicked, this, &TForm4::reject);
    // Installed after the up-down's own filter, so it sees the keys first.
    Edit2->installEventFilter(this);

    Edit1->setFocus();
}

void TForm4::Edit1Change()
{
    Button1->setEnabled(!Edit1->text().isEmpty());
}

bool TForm4::Edit2KeyPress(const QKeyEvent& key) const
{
    return acceptsDigitKey(key, DigitKeys::WithBackspace);
}

bool TForm4::Edit2Exit()
{
    // Leaving the field and pressing OK in one click report once: the notice holds back the second.
    return numericError_->checkBox(Edit2, EmptyBox::BecomesOne);
}

void TForm4::proposeFirstName(const QString& name)
{
    Edit1->setText(name);
}

QString TForm4::firstName() const
{
    return Edit1->text();
}

int TForm4::Count() const
{
    bool ok = false;
    const int value = Edit2->text().toInt(&ok, 10);
    return ok && value > 0 ? value : 1;
}

void TForm4::accept()
{
    // Enter inside the count field closes the dialog without leaving the field, so its repair
    // runs here too: a series is never made from a count the field itself would refuse.
    if (!Edit2Exit())
        return;
    QDialog::accept();
}

bool TForm4::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Edit2) {
        if (e->type() == QEvent::KeyPress) {
            if (!Edit2KeyPress(*static_cast<QKeyEvent*>(e)))
                return true;
        } else if (e->type() == QEvent::FocusOut && movesBetweenControls(e)) {
            Edit2Exit();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TForm4::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        centerOnScreen(this);
}
