#include "viewer/ToolsUnit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace viewer {
namespace {

QCheckBox* AddCheckBox(QWidget* group, QVBoxLayout* layout, const char* name, const char* caption,
                       const char* hint, bool checked) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), group);
  box->setObjectName(name);
  if (hint != nullptr) box->setToolTip(QString::fromUtf8(hint));
  box->setChecked(checked);
  box->setCursor(Qt::PointingHandCursor);
  layout->addWidget(box);
  return box;
}

}  // namespace

TToolsForm::TToolsForm(QWidget* parent) : QDialog(parent) {
  setObjectName("ToolsForm");
  setWindowTitle(QString::fromUtf8("Настройки"));
  setFont(QFont("Arial"));
  auto* layout = new QVBoxLayout(this);

  auto* look = new QGroupBox(QString::fromUtf8(" Внешний вид "), this);
  auto* lookLayout = new QVBoxLayout(look);
  ShowToolBarCheckBox = AddCheckBox(look, lookLayout, "ShowToolBarCheckBox",
                                    "Показывать панель инструментов", nullptr, true);
  ShowToolBtnCaptionsCheckBox =
      AddCheckBox(look, lookLayout, "ShowToolBtnCaptionsCheckBox",
                  "Показывать подписи кнопок в панели инструментов", nullptr, false);
  ShowExtCheckBox =
      AddCheckBox(look, lookLayout, "ShowExtCheckBox", "Показывать файловый тип документов",
                  "На закладке окна дополнять имя файла его расширением", false);
  layout->addWidget(look);

  auto* behaviour = new QGroupBox(QString::fromUtf8(" Поведение "), this);
  auto* behaviourLayout = new QVBoxLayout(behaviour);
  OpenAgainCheckBox =
      AddCheckBox(behaviour, behaviourLayout, "OpenAgainCheckBox",
                  "При запуске открывать документы предыдущей сессии",
                  "При старте программы открывать те же документы, что и в прошлый раз", true);
  OpenWorkFolderCheckBox =
      AddCheckBox(behaviour, behaviourLayout, "OpenWorkFolderCheckBox",
                  "При запуске открывать все документы из рабочей папки",
                  "При старте программы открывать все файлы документов из текущей папки", false);
  CloneKeyCheckBox = AddCheckBox(behaviour, behaviourLayout, "CloneKeyCheckBox",
                                 "Клонировать текущую строку поиска во все окна документов",
                                 "То, что вводится в строку поиска, автоматически\nстановится "
                                 "ключом поиска для всех открытых документов",
                                 false);
  layout->addWidget(behaviour);

  auto* buttons = new QHBoxLayout;
  OptBitBtn = new QPushButton(QString::fromUtf8("Оптимум"), this);
  OptBitBtn->setObjectName("OptBitBtn");
  OptBitBtn->setAutoDefault(false);
  OptBitBtn->setCursor(Qt::PointingHandCursor);
  OKBitBtn = new QPushButton("OK", this);
  OKBitBtn->setObjectName("OKBitBtn");
  OKBitBtn->setDefault(true);
  OKBitBtn->setCursor(Qt::PointingHandCursor);
  connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(OptBitBtn);
  buttons->addStretch();
  buttons->addWidget(OKBitBtn);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace viewer
