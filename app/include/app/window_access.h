// How the window is used without a mouse and read by a screen reader: the order Tab goes
// in, Enter on a focused button, and a name for every control.
#pragma once

class QWidget;

namespace quobrel {

// Tab goes through the panel's left column top to bottom, then its right column, then the
// tabs, then the tab's controls top to bottom and left to right, its buttons last.
void SetTabOrder(QWidget* window);

// Enter presses the focused button, as Space does, in the window or a dialog; nowhere else
// does Enter press a button.
void PressButtonsWithEnter(QWidget* window);

// Every control that a screen reader cannot name from its own text is given a name.
void NameControls(QWidget* window);

}  // namespace quobrel
