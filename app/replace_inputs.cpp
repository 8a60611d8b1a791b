#include "app/replace_inputs.h"

#include <QGroupBox>

#include "app/text_box_keys.h"
#include "app/twips.h"

#include <algorithm>

namespace quobrel {
namespace {

QComboBox* EditableComboBox(QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);  // the Replace command keeps the list
  // What is typed is what is searched for: no completion from the history, which would
  // ignore letter case and replace the text on leaving the box.
  box->setCompleter(nullptr);
  return box;
}

}  // namespace

ReplaceInputs::ReplaceInputs(QWidget* panel) {
  auto* frame = new QGroupBox(QStringLiteral("オプション設定"), panel);
  Place(frame, "Frame6", 4620, 240, 3495, 915);
  ignoreCase = new QCheckBox(QStringLiteral("大文字小文字比較をしない"), frame);
  Place(ignoreCase, "CO1", 300, 180, 2655, 375);
  ignoreCase->setChecked(true);
  multiLine = new QCheckBox(QStringLiteral("マルチライン比較をする"), frame);
  Place(multiLine, "CO2", 300, 480, 2835, 315);
  // The style draws the frame's line below its title, where the check boxes are: the
  // frame grows upward until the line clears them, and they stay where they are.
  frame->ensurePolished();
  const int clearance = std::max(0, frame->contentsRect().top() - ignoreCase->y());
  frame->setGeometry(frame->geometry().adjusted(0, -clearance, 0, 0));
  for (QCheckBox* box : {ignoreCase, multiLine}) box->move(box->x(), box->y() + clearance);
  versionLabel = new QLabel(panel);
  Place(versionLabel, "LT2", 780, 840, 2985, 180);

  auto* searchLabel = new QLabel(QStringLiteral("下記の文字列を"), panel);
  Place(searchLabel, "Label12", 300, 1140, 1230, 180);
  search = EditableComboBox(panel);
  Place(search, "C1", 480, 1620, 7635, 300);
  searchLines = new QPlainTextEdit(panel);
  Place(searchLines, "T1", 480, 1380, 7635, 735);
  auto* replacementLabel = new QLabel(QStringLiteral("下記の文字列に変換"), panel);
  Place(replacementLabel, "Label14", 300, 2160, 1605, 180);
  replacement = EditableComboBox(panel);
  Place(replacement, "C2", 480, 2520, 7635, 300);
  replacementLines = new QPlainTextEdit(panel);
  Place(replacementLines, "T2", 480, 2340, 7635, 735);
  // Read by screen readers as the boxes' labels.
  searchLabel->setBuddy(search);
  replacementLabel->setBuddy(replacement);
  searchLines->hide();
  replacementLines->hide();
  for (QPlainTextEdit* box : {searchLines, replacementLines}) MoveFocusOnTab(box);
}

}  // namespace quobrel
