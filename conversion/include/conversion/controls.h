// The few window controls the text commands read and write. The window implements them
// over its widgets; tests implement them over plain values. Texts use CR LF line breaks.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quobrel {

// The window's four tabs, in their order.
enum class Tab { ConvertText, ConvertFiles, ReplaceText, ReplaceFiles };

class TabStrip {
 public:
  virtual ~TabStrip() = default;
  virtual Tab Current() const = 0;
};

class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::u16string Text() const = 0;
  virtual void SetText(const std::u16string& text) = 0;
};

// A multi-line box laid over a combo box; shown while multi-line input is on.
class OverlayTextBox : public TextBox {
 public:
  virtual void SetVisible(bool visible) = 0;
};

// An editable, unsorted combo box: the current text and a drop-down list of items.
class ComboBox : public TextBox {
 public:
  virtual std::size_t ItemCount() const = 0;
  virtual std::u16string Item(std::size_t index) const = 0;
  virtual void AddItem(const std::u16string& item) = 0;
};

class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual bool IsChecked() const = 0;
};

}  // namespace quobrel
