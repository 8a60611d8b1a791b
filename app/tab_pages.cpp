#include "app/tab_pages.h"

#include "app/twips.h"

#include <algorithm>

namespace quobrel {
namespace {

// The controls of every page start below this.
constexpr int kTabHeightTwips = 345;

}  // namespace

TabPages::TabPages(QWidget* parent)
    : QWidget(parent), bar_(new QTabBar(this)), frame_(new QFrame(this)) {
  frame_->setFrameShape(QFrame::StyledPanel);
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
    ShowCurrentPage();
    emit currentChanged(index);
  });
}

QWidget* TabPages::addPage(const QString& caption) {
  auto* page = new QWidget(this);
  pages_.push_back(page);
  bar_->addTab(caption);
  bar_->raise();
  ShowCurrentPage();
  return page;
}

void TabPages::setPlace(const QRect& rect) {
  setGeometry(rect.adjusted(0, -ExtraTabHeight(), 0, 0));
}

int TabPages::ExtraTabHeight() const {
  return std::max(0, bar_->sizeHint().height() - Px(kTabHeightTwips));
}

void TabPages::resizeEvent(QResizeEvent*) {
  const int extra = ExtraTabHeight();
  const int tabs = Px(kTabHeightTwips) + extra;
  bar_->setGeometry(0, 0, width(), tabs);
  frame_->setGeometry(0, tabs - 1, width(), height() - tabs + 1);
  for (QWidget* page : pages_) page->setGeometry(0, extra, width(), height() - extra);
}

void TabPages::ShowCurrentPage() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    pages_[i]->setVisible(static_cast<int>(i) == bar_->currentIndex());
  }
}

}  // namespace quobrel
