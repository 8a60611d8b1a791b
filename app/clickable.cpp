#include "app/clickable.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

namespace quobrel {
namespace {

// Calls its handler on the events it is asked to; those it takes go no further.
class EventHandler : public QObject {
 public:
  EventHandler(QObject* parent, std::function<bool(const QEvent&)> wanted,
               std::function<void()> handler, bool takes)
      : QObject(parent), wanted_(std::move(wanted)), handler_(std::move(handler)), takes_(takes) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (!wanted_(*event)) return false;
    handler_();
    return takes_;
  }

 private:
  std::function<bool(const QEvent&)> wanted_;
  std::function<void()> handler_;
  bool takes_;
};

}  // namespace

void OnDoubleClick(QWidget* widget, std::function<void()> handler) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  QWidget* target = area != nullptr ? area->viewport() : widget;
  target->installEventFilter(new EventHandler(
      widget, [](const QEvent& event) { return event.type() == QEvent::MouseButtonDblClick; },
      std::move(handler), false));
}

void OnKeyActivation(QWidget* widget, std::function<void()> handler,
                     std::initializer_list<int> keys) {
  widget->installEventFilter(new EventHandler(
      widget,
      [keys = std::vector<int>(keys)](const QEvent& event) {
        if (event.type() != QEvent::KeyPress) return false;
        const auto& key = static_cast<const QKeyEvent&>(event);
        return !key.isAutoRepeat() && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
               std::find(keys.begin(), keys.end(), key.key()) != keys.end();
      },
      std::move(handler), true));
}

}  // namespace quobrel
