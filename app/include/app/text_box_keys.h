// Tab in a text box moves the focus on, as in every other control, so that a keyboard
// user can leave the box; Ctrl+Tab types a tab character instead.
#pragma once

#include <QPlainTextEdit>

namespace quobrel {

void MoveFocusOnTab(QPlainTextEdit* box);

}  // namespace quobrel
