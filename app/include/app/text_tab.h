// Tabs 0 and 2: a source text box above a destination text box, built alike.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>

namespace quobrel {

// The names the window knows a text tab's controls by, each for the control of that role.
struct TextTabNames {
  const char* sourceLabel;
  const char* source;
  const char* destinationLabel;
  const char* destination;
  const char* command;
  const char* exit;
};

inline constexpr TextTabNames kConvertTextTab{.sourceLabel = "Label8",
                                              .source = "Text1",
                                              .destinationLabel = "Label3",
                                              .destination = "Text2",
                                              .command = "Command1",
                                              .exit = "Command2"};
inline constexpr TextTabNames kReplaceTextTab{.sourceLabel = "Label9",
                                              .source = "Text3",
                                              .destinationLabel = "Label7",
                                              .destination = "Text4",
                                              .command = "Command6",
                                              .exit = "Command7"};

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
