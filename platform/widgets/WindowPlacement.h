#pragma once
// Where a window opens.
class QWidget;

// Moves a window to the centre of the screen it is on (its available area).
void centerOnScreen(QWidget* window);
