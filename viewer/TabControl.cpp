#include "viewer/TabControl.h"

#include <QMouseEvent>
#include <QStyleOption>
#include <QStylePainter>
#include <QTabBar>

namespace viewer {

TTabControl::TTabControl(QWidget* parent) : QWidget(parent) {
  setObjectName("TabControl");
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  Relayout();
}

int TTabControl::AddTab(const QString& caption) {
  tabs_.push_back({caption, {}});
  if (index_ < 0) index_ = 0;
  Relayout();
  return Count() - 1;
}

void TTabControl::DeleteTab(int index) {
  if (index < 0 || index >= Count()) return;
  tabs_.remove(index);
  if (index_ >= Count()) index_ = Count() - 1;
  Relayout();
}

void TTabControl::SetCaption(int index, const QString& caption) {
  if (index < 0 || index >= Count()) return;
  tabs_[index].Caption = caption;
  Relayout();
}

void TTabControl::SetTabIndex(int index) {
  if (index < -1 || index >= Count() || index == index_) return;
  index_ = index;
  update();
}

int TTabControl::TabHeight() const {
  return fontMetrics().height() + 10;
}

QSize TTabControl::sizeHint() const {
  return {200, rows_ * TabHeight() + 2};
}

QSize TTabControl::minimumSizeHint() const {
  return {0, rows_ * TabHeight() + 2};
}

void TTabControl::Relayout() {
  const int height = TabHeight();
  const int width = std::max(1, this->width() - 4);
  int x = 2;
  int row = 0;
  const QFontMetrics metrics = fontMetrics();
  for (auto& tab : tabs_) {
    const int tabWidth = std::min(width, metrics.horizontalAdvance(tab.Caption) + 24);
    if (x > 2 && x + tabWidth > width + 2) {
      x = 2;
      ++row;
    }
    tab.Rect = QRect(x, 2 + row * height, tabWidth, height);
    x += tabWidth;
  }
  const int rows = row + 1;
  if (rows != rows_) {
    rows_ = rows;
    updateGeometry();
  }
  setFixedHeight(rows_ * height + 2);
  update();
}

void TTabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

void TTabControl::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  for (int k = 0; k < Count(); ++k) {
    QStyleOptionTab option;
    option.initFrom(this);
    option.rect = tabs_[k].Rect;
    option.text = tabs_[k].Caption;
    option.shape = QTabBar::RoundedNorth;
    option.position = QStyleOptionTab::Middle;
    option.state &= ~QStyle::State_HasFocus;
    if (k == index_) option.state |= QStyle::State_Selected;
    painter.drawControl(QStyle::CE_TabBarTab, option);
  }
}

void TTabControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  for (int k = 0; k < Count(); ++k) {
    if (!tabs_[k].Rect.contains(event->position().toPoint())) continue;
    if (k != index_) {
      index_ = k;
      update();
      emit Change();
    }
    return;
  }
}

}  // namespace viewer
