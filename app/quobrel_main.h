// QuobrelMain: the program's window. Four tabs convert or replace, in text boxes or in the
// selected files of a folder; above them the panel and banner of the current function.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QPlainTextEdit;

namespace quobrel {

class FileTab;
struct BatchCommand;

class QuobrelMain : public QWidget {
 public:
  // `endProgram` ends the program once the history is saved; by default the event loop
  // is left.
  explicit QuobrelMain(std::function<void()> endProgram = {});
  ~QuobrelMain() override;

  void Form_Load();
  void TabStrip1();
  void SSTab1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command6_Click();
  void Command7_Click();
  void Command9_Click();
  void Command10_Click();
  void CO2_Click();
  void HenC1_Click();
  void HenC2_Click();
  void Image2_DblClick();
  void Image4_DblClick();

 protected:
  void closeEvent(QCloseEvent* event) override;  // Form_Unload
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Controls;
  void ShowCharacterCount(QPlainTextEdit* box);
  // Runs a batch over the selected files of a file tab, showing `banner` on the cover.
  void RunBatch(FileTab& tab, QWidget* banner, const BatchCommand& command);
  void OpenOutputFolderDialog();
  void ShowOutputFolderControls(FileTab& tab);

  std::unique_ptr<Controls> c_;
  std::function<void()> endProgram_;
  QString HistoryPath_;
  bool historyUnreadable_ = false;
  bool ending_ = false;
};

}  // namespace quobrel
