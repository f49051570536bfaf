#pragma once

class QEvent;
class QLineEdit;
class QToolButton;

namespace pkm {

// What the windows' controls need beyond their Designer forms: a glyph button's glyph and Enter
// key, a number box's arrows, and the rule of which focus changes leave a box.
class TUpDown;

// Gives a glyph button of a form its glyph (resources); Enter presses it while it has the focus,
// as it presses a focused push button. Its form gives it the strong focus policy: a click takes
// the focus, so a field being edited is committed before the button acts.
void setUpGlyphButton(QToolButton* button, const char* glyph);
// Binds a form's up-down arrows to their number box: they step its number from 1 to 999.
void bindNumberBox(QLineEdit* box, TUpDown* arrows);
// Whether a focus event is a move between controls of the window. The window losing or regaining
// activation (a message box, another window) or a popup menu neither begins nor ends a box edit.
bool movesBetweenControls(const QEvent* focusEvent);

} // namespace pkm
