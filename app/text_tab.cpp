#include "app/text_tab.h"

#include <QFont>
#include <QLabel>

#include "app/text_box_keys.h"
#include "app/twips.h"

namespace quobrel {
namespace {

// "ＭＳ ゴシック" 9 pt, or an installed Japanese monospace font like it.
QFont TextBoxFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ ゴシック"), "MS Gothic", "Noto Sans Mono CJK JP",
                    "IPAGothic", "VL Gothic", "TakaoGothic"});
  font.setStyleHint(QFont::Monospace);
  font.setPointSize(9);
  return font;
}

QPlainTextEdit* TextBox(QWidget* page, const char* name, int top, int height) {
  auto* box = new QPlainTextEdit(page);
  Place(box, name, 300, top, 6795, height);
  box->setFont(TextBoxFont());
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MoveFocusOnTab(box);
  return box;
}

}  // namespace

QPushButton* CommandButton(QWidget* page, const char* name) {
  auto* button = new QPushButton(QStringLiteral("変換(&H)"), page);
  Place(button, name, 7140, 420, 855, 2715);
  return button;
}

QPushButton* ExitButton(QWidget* page, const char* name) {
  auto* button = new QPushButton(QStringLiteral("終了(&E)"), page);
  Place(button, name, 7140, 3180, 855, 495);
  return button;
}

TextTab::TextTab(QWidget* page, const TextTabNames& names) {
  Place(new QLabel(QStringLiteral("変換元データ"), page), names.sourceLabel, 120, 360, 1095, 180);
  source = TextBox(page, names.source, 540, 1455);
  Place(new QLabel(QStringLiteral("変換先データ"), page), names.destinationLabel, 120, 2100, 1095,
        180);
  destination = TextBox(page, names.destination, 2280, 1395);
  command = CommandButton(page, names.command);
  exit = ExitButton(page, names.exit);
}

}  // namespace quobrel
