#include "platform/widgets/Controls.h"

#include "platform/widgets/UpDown.h"
#include "resources/Resources.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace pkm {

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

bool movesBetweenControls(const QEvent* focusEvent)
{
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(focusEvent)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
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

} // namespace pkm
