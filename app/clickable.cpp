#include "app/clickable.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace quobrel {
namespace {

class DoubleClickFilter : public QObject {
 public:
  DoubleClickFilter(QObject* parent, std::function<void()> handler)
      : QObject(parent), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonDblClick) handler_();
    return false;
  }

 private:
  std::function<void()> handler_;
};

}  // namespace

void OnDoubleClick(QWidget* widget, std::function<void()> handler) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  QWidget* target = area != nullptr ? area->viewport() : widget;
  target->installEventFilter(new DoubleClickFilter(widget, std::move(handler)));
}

}  // namespace quobrel
