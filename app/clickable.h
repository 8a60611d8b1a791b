// Double-clicks and key presses on widgets that have no signal for them.
#pragma once

#include <QWidget>

#include <functional>

namespace quobrel {

// Calls `handler` on every double-click in `widget` (for a scroll area: in its viewport).
void OnDoubleClick(QWidget* widget, std::function<void()> handler);

// Calls `handler` when Space or Enter is pressed in `widget`, as on a button.
void OnKeyActivation(QWidget* widget, std::function<void()> handler);

}  // namespace quobrel
