// The conversion panel: the option buttons of the Convert command, one group per frame.
#pragma once

#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <utility>
#include <vector>

#include "conversion/convert_command.h"
#include "conversion/convert_options.h"

namespace quobrel {

class ConvertOptionsPanel : public QWidget, public ConvertOptionsSource {
 public:
  // What a button adds to the options when it is checked.
  using Select = void (*)(Options& options);

  explicit ConvertOptionsPanel(QWidget* parent);
  // What the buttons select now.
  Options Current() const override;
  QLabel* versionLabel() const { return versionLabel_; }

 private:
  std::vector<std::pair<QRadioButton*, Select>> buttons_;
  QLabel* versionLabel_;
};

}  // namespace quobrel
