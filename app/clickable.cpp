#include "app/clickable.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QKeyEvent>

namespace quobrel {
namespace {

// Calls its handler on the events it is asked to, and lets them go on.
class EventHandler : public QObject {
 public:
  EventHandler(QObject* parent, std::function<bool(const QEvent&)> wanted,
               std::function<void()> handler)
      : QObject(parent), wanted_(std::move(wanted)), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (wanted_(*event)) handler_();
    return false;
  }

 private:
  std::function<bool(const QEvent&)> wanted_;
  std::function<void()> handler_;
};

}  // namespace

void OnDoubleClick(QWidget* widget, std::function<void()> handler) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  QWidget* target = area != nullptr ? area->viewport() : widget;
  target->installEventFilter(new EventHandler(
      widget, [](const QEvent& event) { return event.type() == QEvent::MouseButtonDblClick; },
      std::move(handler)));
}

void OnKeyActivation(QWidget* widget, std::function<void()> handler) {
  widget->installEventFilter(new EventHandler(
      widget,
      [](const QEvent& event) {
        if (event.type() != QEvent::KeyPress) return false;
        const int key = static_cast<const QKeyEvent&>(event).key();
        return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
      },
      std::move(handler)));
}

}  // namespace quobrel
