// The command's view of the window's widgets. Qt's text widgets separate lines with LF;
// the program's texts use CR LF, so texts are converted as they cross.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QString>

#include <string>

#include "conversion/controls.h"

class QTabBar;

namespace quobrel {

std::u16string ToProgramText(const QString& widgetText);  // LF to CR LF
QString ToWidgetText(std::u16string_view programText);    // CR LF to LF

class TabBarControl : public TabStrip {
 public:
  explicit TabBarControl(const QTabBar* bar) : bar_(bar) {}
  Tab Current() const override;

 private:
  const QTabBar* bar_;
};

class TextEditControl : public OverlayTextBox {
 public:
  explicit TextEditControl(QPlainTextEdit* edit) : edit_(edit) {}
  std::u16string Text() const override;
  void SetText(const std::u16string& text) override;
  void SetVisible(bool visible) override { edit_->setVisible(visible); }

 private:
  QPlainTextEdit* edit_;
};

// The combo box's current text is held as it is, line breaks and all.
class ComboBoxControl : public ComboBox {
 public:
  explicit ComboBoxControl(QComboBox* box) : box_(box) {}
  std::u16string Text() const override { return box_->currentText().toStdU16String(); }
  void SetText(const std::u16string& text) override;
  std::size_t ItemCount() const override { return static_cast<std::size_t>(box_->count()); }
  std::u16string Item(std::size_t index) const override;
  void AddItem(const std::u16string& item) override;

 private:
  QComboBox* box_;
};

class CheckBoxControl : public CheckBox {
 public:
  explicit CheckBoxControl(const QCheckBox* box) : box_(box) {}
  bool IsChecked() const override { return box_->isChecked(); }

 private:
  const QCheckBox* box_;
};

}  // namespace quobrel
