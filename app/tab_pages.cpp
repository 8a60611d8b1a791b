#include "tab_pages.h"

#include "twips.h"

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
  page->setGeometry(rect());
  pages_.push_back(page);
  bar_->addTab(caption);
  bar_->raise();
  ShowCurrentPage();
  return page;
}

void TabPages::resizeEvent(QResizeEvent*) {
  bar_->setGeometry(0, 0, width(), Px(kTabHeightTwips));
  frame_->setGeometry(0, Px(kTabHeightTwips) - 1, width(), height() - Px(kTabHeightTwips) + 1);
  for (QWidget* page : pages_) page->setGeometry(rect());
}

void TabPages::ShowCurrentPage() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    pages_[i]->setVisible(static_cast<int>(i) == bar_->currentIndex());
  }
}

}  // namespace quobrel
