#include "tests/window_test_support.h"

#include <QAbstractButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace quobrel::testing {

SeenMessage AnswerMessageBox(const std::function<void()>& action,
                             const std::function<void()>& whileShown) {
  SeenMessage seen;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || seen.shown) return;
    seen = {box->windowTitle(), box->text(), box->icon(), true};
    if (whileShown) whileShown();
    box->button(QMessageBox::Ok)->click();
  });
  watch.start(0);
  action();
  return seen;
}

void InModalDialog(const std::function<void()>& action,
                   const std::function<void(QWidget*)>& inDialog) {
  QTimer::singleShot(0, [&inDialog] { inDialog(QApplication::activeModalWidget()); });
  action();
}

WindowFixture::WindowFixture() {
  qputenv("windir", folder_.path().toUtf8());
  Open();
}

WindowFixture::~WindowFixture() { qunsetenv("windir"); }

void WindowFixture::Restart() {
  Click("Command2");
  Open();
}

void WindowFixture::Open() {
  window_ = std::make_unique<QuobrelMain>([this] { ended_ = true; });
  window_->show();
  // Access keys reach only the active window.
  window_->activateWindow();
  if (!QTest::qWaitForWindowActive(window_.get()))
    throw std::runtime_error("the window is not active");
}

void WindowFixture::ChooseTab(int tab) {
  auto* bar = window_->findChild<QTabBar*>();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
}

void WindowFixture::Click(const char* button) {
  QTest::mouseClick(Find<QAbstractButton>(button), Qt::LeftButton);
}

}  // namespace quobrel::testing
