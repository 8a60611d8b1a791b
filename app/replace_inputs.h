// Picture4: the search and replacement strings and the options of the Replace command.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

namespace quobrel {

struct ReplaceInputs {
  explicit ReplaceInputs(QWidget* panel);

  QCheckBox* CO1;  // do not compare letter case
  QCheckBox* CO2;  // multi-line input
  QLabel* LT2;
  QComboBox* C1;       // search string and its history
  QComboBox* C2;       // replacement string and its history
  QPlainTextEdit* T1;  // over C1 in multi-line mode
  QPlainTextEdit* T2;  // over C2
};

}  // namespace quobrel
