// A tab control whose pages place their controls relative to the whole control, tabs
// included, as the window's layout gives them. Where the style's tabs are taller than the
// layout's tab row, the control grows upward by the difference, so that the tabs are
// whole and the pages stay where the layout puts them.
#pragma once

#include <QFrame>
#include <QTabBar>
#include <QWidget>

#include <vector>

namespace quobrel {

class TabPages : public QWidget {
  Q_OBJECT
 public:
  explicit TabPages(QWidget* parent);

  // Adds a tab; the page returned covers the whole control.
  QWidget* addPage(const QString& caption);
  // Places the control at `rect`, the layout's place for it, tab row included.
  void setPlace(const QRect& rect);
  QTabBar* tabBar() const { return bar_; }
  int currentIndex() const { return bar_->currentIndex(); }
  void setCurrentIndex(int index) { bar_->setCurrentIndex(index); }

 signals:
  void currentChanged(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowCurrentPage();
  // How much taller the tabs are than the layout's tab row.
  int ExtraTabHeight() const;

  QTabBar* bar_;
  QFrame* frame_;
  std::vector<QWidget*> pages_;
};

}  // namespace quobrel
