// Controls that hold plain values, for front ends without a window.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "conversion/controls.h"
#include "conversion/option_panel.h"

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

// Starts from the start-up selection; selecting a button clears the others of its group.
class PlainOptionPanel : public OptionPanel {
 public:
  PlainOptionPanel() {
    for (OptionButton button : kStartUpSelection) Select(button);
  }
  // What `panel` selects now.
  explicit PlainOptionPanel(const OptionPanel& panel) {
    for (std::size_t i = 0; i < selected_.size(); ++i)
      selected_[i] = panel.IsSelected(static_cast<OptionButton>(i));
  }
  bool IsSelected(OptionButton button) const override { return selected_[Index(button)]; }
  void Select(OptionButton button) {
    for (std::size_t i = 0; i < selected_.size(); ++i) {
      if (InSameGroup(static_cast<OptionButton>(i), button)) selected_[i] = false;
    }
    selected_[Index(button)] = true;
  }

 private:
  static std::size_t Index(OptionButton button) { return static_cast<std::size_t>(button); }
  std::array<bool, kOptionButtonCount> selected_{};
};

}  // namespace quobrel
