// The program's window. Four tabs convert or replace, in text boxes or in the selected
// files of a folder; above them the panel and banner of the current function.
#pragma once

#include <QString>
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

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Controls;
  // Centres the window, sets its title and version labels, shows the first tab and loads
  // the history.
  void Start();
  void ConnectControls();
  // Brings the panel and banner of the current tab to the front.
  void ShowCurrentFunction();
  void ConvertFiles();
  void ReplaceInFiles();
  // Runs a batch over the selected files of a file tab, showing `banner` on the cover.
  void RunBatch(FileTab& tab, QWidget* banner, const BatchCommand& command);
  void ShowOutputFolderControls(FileTab& tab);
  void SetPanelsEnabled(bool enabled);
  void ChooseOutputFolder();
  void ShowCharacterCount(QPlainTextEdit* box);
  // Saves the history and ends the program.
  void Exit();
  // The exit button of a file tab, which waits while its batch runs.
  void ExitUnlessBatchRuns(const FileTab& tab);

  std::unique_ptr<Controls> c_;
  std::function<void()> endProgram_;
  QString historyPath_;
  bool historyUnreadable_ = false;
  bool ending_ = false;
  bool cancelled_ = false;  // the user stopped the batch
};

}  // namespace quobrel
