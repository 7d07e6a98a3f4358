// The status box: a small window that stays on top and tells what a long operation
// is doing (loading a document, filtering a long text), with the number of matches
// found so far and a cancel button during a filter run. Never modal: the main
// window stays usable while it shows.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace viewer {

// Set by the status box's cancel button; the filter run reads and clears it.
inline bool CancelFilter = false;

class TProgressBox : public QWidget {
  Q_OBJECT

 public:
  explicit TProgressBox(QWidget* parent = nullptr);

  // The status text, centred horizontally and word-wrapped.
  QLabel* Text;
  // "Найдено:" and the count below it; hidden until a filter run shows them.
  QLabel* ProgressLabel1;
  QLabel* ProgressLabel2;
  // "Отмена": asks the running filter to stop. Esc presses it while it is shown.
  QPushButton* CancelBitBtn;

  // Places the status text at the vertical centre (true) or at the top (false).
  void SetTextCentred(bool centred);

  // Sets CancelFilter.
  void CancelBitBtnClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace viewer
