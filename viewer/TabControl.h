// TTabControl: a row of tabs, one per open document, that wraps into as many rows
// as its width needs, so that every tab stays visible.
#pragma once

#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

namespace viewer {

class TTabControl : public QWidget {
  Q_OBJECT

 public:
  explicit TTabControl(QWidget* parent = nullptr);

  // Appends a tab; returns its index.
  int AddTab(const QString& caption);
  // Removes the tab at index; the selection stays on the same index where it can.
  void DeleteTab(int index);
  [[nodiscard]] int Count() const { return static_cast<int>(tabs_.size()); }
  [[nodiscard]] QString Caption(int index) const { return tabs_.value(index).Caption; }
  // Gives the tab at index a new caption; nothing happens for an index out of range.
  void SetCaption(int index, const QString& caption);

  // The selected tab, -1 when there is none. Setting it emits nothing.
  [[nodiscard]] int TabIndex() const { return index_; }
  void SetTabIndex(int index);

  // The rectangle of a tab in the control's coordinates (for tests and hit-tests).
  [[nodiscard]] QRect TabRect(int index) const { return tabs_.value(index).Rect; }
  // The number of rows the tabs take at the current width.
  [[nodiscard]] int RowCount() const { return rows_; }

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 signals:
  // The user selected another tab.
  void Change();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TTab {
    QString Caption;
    QRect Rect;
  };

  [[nodiscard]] int TabHeight() const;
  void Relayout();

  QVector<TTab> tabs_;
  int index_ = -1;
  int rows_ = 1;
};

}  // namespace viewer
