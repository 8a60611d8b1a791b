// The replacement panel: the search and replacement texts and the options of the Replace
// command.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

namespace quobrel {

struct ReplaceInputs {
  explicit ReplaceInputs(QWidget* panel);

  QCheckBox* ignoreCase;
  QCheckBox* multiLine;
  QLabel* versionLabel;
  QComboBox* search;                 // and its history
  QComboBox* replacement;            // and its history
  QPlainTextEdit* searchLines;       // over `search` in multi-line mode
  QPlainTextEdit* replacementLines;  // over `replacement`
};

}  // namespace quobrel
