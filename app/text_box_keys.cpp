#include "app/text_box_keys.h"

#include <QKeyEvent>

namespace quobrel {
namespace {

class TypesTabOnCtrlTab : public QObject {
 public:
  explicit TypesTabOnCtrlTab(QPlainTextEdit* box) : QObject(box), box_(box) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier) return false;
    box_->insertPlainText(QStringLiteral("\t"));
    return true;
  }

 private:
  QPlainTextEdit* box_;
};

}  // namespace

void MoveFocusOnTab(QPlainTextEdit* box) {
  box->setTabChangesFocus(true);
  box->installEventFilter(new TypesTabOnCtrlTab(box));
}

}  // namespace quobrel
