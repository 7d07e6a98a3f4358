#include "viewer/Progress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

namespace viewer {

TProgressBox::TProgressBox(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("ProgressBox");
  setWindowTitle(QString::fromUtf8("Дарвена"));
  setWindowModality(Qt::NonModal);
  setAttribute(Qt::WA_ShowWithoutActivating);
  QFont font("MS Sans Serif");
  font.setPixelSize(10);
  setFont(font);
  setFixedSize(257, 110);

  Text = new QLabel(this);
  Text->setObjectName("Text");
  Text->setGeometry(0, 0, 257, 110);
  Text->setWordWrap(true);
  QFont textFont("MS Sans Serif");
  textFont.setPixelSize(11);
  textFont.setBold(true);
  textFont.setUnderline(true);
  Text->setFont(textFont);
  Text->setStyleSheet("color: black");
  Text->setToolTip(QString::fromUtf8("Идёт важный процесс"));
  SetTextCentred(true);

  auto makeLabel = [this](const char* name, int top) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    label->setGeometry(0, top, 257, 13);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->hide();
    return label;
  };
  ProgressLabel1 = makeLabel("ProgressLabel1", 32);
  ProgressLabel1->setText(QString::fromUtf8("Найдено:"));
  ProgressLabel2 = makeLabel("ProgressLabel2", 56);

  CancelBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                 QString::fromUtf8("Отмена"), this);
  CancelBitBtn->setObjectName("CancelBitBtn");
  CancelBitBtn->setGeometry(83, 81, 92, 24);
  CancelBitBtn->setCursor(Qt::PointingHandCursor);
  CancelBitBtn->hide();
  connect(CancelBitBtn, &QPushButton::clicked, this, &TProgressBox::CancelBitBtnClick);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void TProgressBox::SetTextCentred(bool centred) {
  Text->setAlignment(Qt::AlignHCenter | (centred ? Qt::AlignVCenter : Qt::AlignTop));
}

void TProgressBox::CancelBitBtnClick() {
  CancelFilter = true;
}

void TProgressBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && CancelBitBtn->isVisible()) {
    CancelBitBtn->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TProgressBox::closeEvent(QCloseEvent* event) {
  // The box has no close button; its users alone hide it.
  event->ignore();
}

}  // namespace viewer
