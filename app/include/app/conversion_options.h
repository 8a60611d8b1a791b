// The conversion panel: the option buttons of the Convert command, one group per frame.
#pragma once

#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <array>

#include "conversion/option_panel.h"

namespace quobrel {

class ConversionOptions : public QWidget, public OptionPanel {
 public:
  explicit ConversionOptions(QWidget* parent);
  bool IsSelected(OptionButton button) const override;
  QLabel* versionLabel() const { return versionLabel_; }

 private:
  std::array<QRadioButton*, kOptionButtonCount> buttons_{};
  QLabel* versionLabel_;
};

}  // namespace quobrel
