// Tabs 0 and 2: a source text box above a destination text box, built alike.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>

namespace quobrel {

struct TextTabNames {
  const char* sourceLabel;
  const char* source;
  const char* destinationLabel;
  const char* destination;
  const char* command;
  const char* exit;
};

inline constexpr TextTabNames kConvertTextTab{"Label8", "Text1",    "Label3",
                                              "Text2",  "Command1", "Command2"};
inline constexpr TextTabNames kReplaceTextTab{"Label9", "Text3",    "Label7",
                                              "Text4",  "Command6", "Command7"};

struct TextTab {
  TextTab(QWidget* page, const TextTabNames& names);

  QPlainTextEdit* source;
  QPlainTextEdit* destination;
  QPushButton* command;
  QPushButton* exit;
};

// Every tab's Convert and Exit buttons, in the same places.
QPushButton* CommandButton(QWidget* page, const char* name);
QPushButton* ExitButton(QWidget* page, const char* name);

}  // namespace quobrel
