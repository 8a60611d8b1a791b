// Driving the window as a user would, on Qt's offscreen platform.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

#include "app/quobrel_main.h"

namespace quobrel::testing {

struct SeenMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool shown = false;
};

// Runs `action`, which may open a modal message box; closes the box with OK, after
// running `whileShown`. Events handled before the box appears are passed by.
SeenMessage AnswerMessageBox(const std::function<void()>& action,
                             const std::function<void()>& whileShown = {});

// Runs `action`, which opens a modal dialog, and then `inDialog` on the dialog.
void InModalDialog(const std::function<void()>& action,
                   const std::function<void(QWidget*)>& inDialog);

// A window with its history in a folder of its own ("windir" points there).
class WindowFixture {
 public:
  WindowFixture();
  ~WindowFixture();
  QuobrelMain& Main() { return *window_; }
  // Closes the window as by an exit button, and opens a new one on the same history.
  void Restart();
  bool Ended() const { return ended_; }
  QString HistoryFolder() const { return folder_.path(); }

  template <class T>
  T* Find(const char* name) {
    T* control = window_->findChild<T*>(name);
    if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return control;
  }
  void ChooseTab(int tab);
  void Click(const char* button);

 private:
  void Open();
  QTemporaryDir folder_;
  bool ended_ = false;
  std::unique_ptr<QuobrelMain> window_;
};

}  // namespace quobrel::testing
