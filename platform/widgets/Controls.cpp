#include "platform/widgets/Controls.h"

#include "platform/widgets/UpDown.h"
#include "resources/Resources.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    label->adjustSize();
    label->move(x, y);
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int x, int y, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, width, 21);
    return edit;
}

namespace {

// Enter presses a glyph button that has the focus, as it presses a focused push button.
class EnterClicksButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier
                && !key->isAutoRepeat()) {
                static_cast<QAbstractButton*>(watched)->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QToolButton* makeGlyphButton(QWidget* parent, const char* name, const char* glyph, int x, int y, const QString& hint,
                             QSize glyphSize)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, 24, 24);
    button->setIcon(glyphIcon(QLatin1String(glyph)));
    if (glyphSize.isValid())
        button->setIconSize(glyphSize);
    // A click takes the focus, so a field being edited is committed before the button acts.
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(new EnterClicksButton(button));
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
        button->setAccessibleName(hint);
    }
    return button;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    // While it has the focus, Enter presses it; elsewhere Enter presses the window's default.
    button->setAutoDefault(true);
    return button;
}

bool movesBetweenControls(const QEvent* focusEvent)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(focusEvent)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void setTabChain(std::initializer_list<QWidget*> widgets)
{
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous != nullptr)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QLineEdit* makeNumberBox(QWidget* parent, const char* name, const char* upDownName, const QRect& box, int arrowsWidth,
                         TUpDown** upDown)
{
    QLineEdit* edit = makeEdit(parent, name, box.x(), box.y(), box.width());
    edit->setMaxLength(3);
    edit->setText(QStringLiteral("1"));
    auto* arrows = new TUpDown(parent);
    arrows->setObjectName(QLatin1String(upDownName));
    arrows->setGeometry(box.x() + box.width(), box.y(), arrowsWidth, box.height());
    arrows->setRange(1, 999);
    arrows->setAssociate(edit);
    *upDown = arrows;
    return edit;
}

void setUpGlyphButton(QToolButton* button, const char* glyph)
{
    button->setIcon(glyphIcon(QLatin1String(glyph)));
    button->installEventFilter(new EnterClicksButton(button));
}

void bindNumberBox(QLineEdit* box, TUpDown* arrows)
{
    arrows->setRange(1, 999);
    arrows->setAssociate(box);
}
