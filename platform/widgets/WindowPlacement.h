#pragma once

class QWidget;

namespace pkm {

// Where a window opens.

// Moves a window to the centre of the screen it is on (its available area).
void centerOnScreen(QWidget* window);

} // namespace pkm
