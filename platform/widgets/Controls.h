#pragma once
// Makers of the controls the windows are laid out with: each control gets its name as
// objectName and its fixed position.
#include <QRect>
#include <QSize>
#include <QString>
#include <initializer_list>

class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
class TUpDown;

// A label at (x, y), sized to its text; its & letter moves the focus to `buddy`.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, QWidget* buddy);
// A one-line text box 21 pixels high.
QLineEdit* makeEdit(QWidget* parent, const char* name, int x, int y, int width);
// A 24 x 24 button showing a glyph (resources), with its hint as tooltip when there is one;
// Enter presses it while it has the focus.
QToolButton* makeGlyphButton(QWidget* parent, const char* name, const char* glyph, int x, int y,
                             const QString& hint = QString(), QSize glyphSize = QSize());
// A push button that Enter presses while it has the focus (elsewhere Enter presses the
// window's default button).
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
// Whether a focus event is a move between controls of the window. The window losing or regaining
// activation (a message box, another window) or a popup menu neither begins nor ends a box edit.
bool movesBetweenControls(const QEvent* focusEvent);
// Sets the tab order: each widget is followed by the next.
void setTabChain(std::initializer_list<QWidget*> widgets);
// A number box showing "1" (at most three digits) with up-down arrows for 1 to 999 beside it.
QLineEdit* makeNumberBox(QWidget* parent, const char* name, const char* upDownName, const QRect& box, int arrowsWidth,
                         TUpDown** upDown);

// Gives a glyph button of a form its glyph (resources); Enter presses it while it has the focus,
// as it presses a focused push button.
void setUpGlyphButton(QToolButton* button, const char* glyph);
// Binds a form's up-down arrows to their number box: they step its number from 1 to 999.
void bindNumberBox(QLineEdit* box, TUpDown* arrows);
