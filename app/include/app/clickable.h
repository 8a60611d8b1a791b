// Double-clicks and key presses on widgets that have no signal for them.
#pragma once

#include <QWidget>

#include <functional>
#include <initializer_list>
#include <vector>

namespace quobrel {

// Calls `handler` on every double-click in `widget` (for a scroll area: in its viewport).
void OnDoubleClick(QWidget* widget, std::function<void()> handler);

// Calls `handler` when one of `keys` (by default Space and Enter, as on a button) is pressed
// in `widget` without a modifier; the key goes no further.
void OnKeyActivation(QWidget* widget, std::function<void()> handler,
                     std::initializer_list<int> keys = {Qt::Key_Space, Qt::Key_Return,
                                                        Qt::Key_Enter});

}  // namespace quobrel
