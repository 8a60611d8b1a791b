#include "app/widget_controls.h"

#include <QTabBar>
#include <QTextDocument>

namespace quobrel {

std::u16string ToProgramText(const QString& widgetText) {
  QString text = widgetText;
  return text.replace(u'\n', QStringLiteral("\r\n")).toStdU16String();
}

QString ToWidgetText(std::u16string_view programText) {
  return QString::fromUtf16(programText.data(), static_cast<qsizetype>(programText.size()))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

Tab TabBarControl::Current() const { return static_cast<Tab>(bar_->currentIndex()); }

std::u16string TextEditControl::Text() const {
  // The raw text keeps every character (toPlainText would turn a no-break space into a
  // space); its paragraph separators are the line breaks.
  QString text = edit_->document()->toRawText();
  return ToProgramText(text.replace(QChar::ParagraphSeparator, u'\n'));
}

void TextEditControl::SetText(const std::u16string& text) {
  edit_->setPlainText(ToWidgetText(text));
}

void ComboBoxControl::SetText(const std::u16string& text) {
  box_->setEditText(QString::fromStdU16String(text));
}

std::u16string ComboBoxControl::Item(std::size_t index) const {
  return box_->itemText(static_cast<int>(index)).toStdU16String();
}

void ComboBoxControl::AddItem(const std::u16string& item) {
  // Adding to the list must not replace what the user typed.
  const QString current = box_->currentText();
  box_->addItem(QString::fromStdU16String(item));
  box_->setEditText(current);
}

}  // namespace quobrel
