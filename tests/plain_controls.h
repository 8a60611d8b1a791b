// Controls that hold plain values, standing in for the window's in tests of the commands.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "conversion/controls.h"
#include "conversion/convert_command.h"
#include "conversion/convert_options.h"

namespace quobrel {

class PlainTabStrip : public TabStrip {
 public:
  explicit PlainTabStrip(Tab tab) : tab_(tab) {}
  Tab Current() const override { return tab_; }
  void SetTab(Tab tab) { tab_ = tab; }

 private:
  Tab tab_;
};

class PlainTextBox : public OverlayTextBox {
 public:
  explicit PlainTextBox(std::u16string text = {}) : text_(std::move(text)) {}
  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string& text) override { text_ = text; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool IsVisible() const { return visible_; }

 private:
  std::u16string text_;
  bool visible_ = false;
};

class PlainComboBox : public ComboBox {
 public:
  std::u16string Text() const override { return text_; }
  void SetText(const std::u16string& text) override { text_ = text; }
  std::size_t ItemCount() const override { return items_.size(); }
  std::u16string Item(std::size_t index) const override { return items_.at(index); }
  void AddItem(const std::u16string& item) override { items_.push_back(item); }
  const std::vector<std::u16string>& Items() const { return items_; }

 private:
  std::u16string text_;
  std::vector<std::u16string> items_;
};

class PlainCheckBox : public CheckBox {
 public:
  explicit PlainCheckBox(bool checked) : checked_(checked) {}
  bool IsChecked() const override { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }

 private:
  bool checked_;
};

// Options set by hand, as the window's panel would be.
class PlainConvertOptions : public ConvertOptionsSource {
 public:
  explicit PlainConvertOptions(const Options& start) : options(start) {}
  Options Current() const override { return options; }

  Options options;
};

}  // namespace quobrel
