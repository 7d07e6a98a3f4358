#include "viewer/ToolsUnit.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <exception>
#include <utility>

#include "common/CommonUnit.h"
#include "platform/WinPath.h"
#include "viewer/DocumentTable.h"
#include "viewer/MainForm.h"
#include "viewer/QtText.h"
#include "viewer/Title.h"

namespace viewer {
namespace {

// The height of the tool buttons while they show no captions.
constexpr int kToolButtonHeight = 23;

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

using TStoredValues = std::array<std::pair<const char*, QCheckBox*>, 6>;

// The stored values with their boxes, in the order they are read and written.
TStoredValues StoredValues(const TToolsForm& form) {
  return {{{"ShowToolBar", form.ShowToolBarCheckBox},
           {"ShowToolBtnCap", form.ShowToolBtnCaptionsCheckBox},
           {"ShowDocTypes", form.ShowExtCheckBox},
           {"OpenAgain", form.OpenAgainCheckBox},
           {"OpenWorkFolder", form.OpenWorkFolderCheckBox},
           {"CloneKey", form.CloneKeyCheckBox}}};
}

}  // namespace

TToolsForm::TToolsForm(TMainForm* MainForm_, QWidget* parent)
    : QDialog(parent), MainForm(MainForm_) {
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
  // Enter presses the button that has the focus, else OK.
  OptBitBtn->setAutoDefault(true);
  OptBitBtn->setCursor(Qt::PointingHandCursor);
  OKBitBtn = new QPushButton("OK", this);
  OKBitBtn->setObjectName("OKBitBtn");
  OKBitBtn->setDefault(true);
  OKBitBtn->setCursor(Qt::PointingHandCursor);
  buttons->addWidget(OptBitBtn);
  buttons->addStretch();
  buttons->addWidget(OKBitBtn);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  // Handlers run on every change of state, the user's or the program's.
  connect(ShowToolBarCheckBox, &QCheckBox::toggled, this, &TToolsForm::ShowToolBarCheckBoxClick);
  connect(ShowToolBtnCaptionsCheckBox, &QCheckBox::toggled, this,
          &TToolsForm::ShowToolBtnCaptionsCheckBoxClick);
  connect(ShowExtCheckBox, &QCheckBox::toggled, this, &TToolsForm::ShowExtCheckBoxClick);
  connect(OpenAgainCheckBox, &QCheckBox::toggled, this, &TToolsForm::OpenAgainCheckBoxClick);
  connect(OpenWorkFolderCheckBox, &QCheckBox::toggled, this,
          &TToolsForm::OpenWorkFolderCheckBoxClick);
  connect(OptBitBtn, &QPushButton::clicked, this, &TToolsForm::OptBitBtnClick);
  connect(OKBitBtn, &QPushButton::clicked, this, &QDialog::accept);

  if (MainForm != nullptr) FormCreate();
}

void TToolsForm::FormCreate() {
  platform::TRegistry* reg = darvena::Reg;
  if (reg != nullptr) {
    darvena::OpenProductKey();
    try {
      for (const auto& [name, box] : StoredValues(*this)) {
        if (reg->ValueExists(name)) box->setChecked(reg->ReadBool(name));
      }
    } catch (const std::exception&) {
      // Swallowed on purpose: a value that cannot be read (one of another type, a
      // damaged store) and every value after it keep their defaults.
    }
    reg->CloseKey();
  }
  if (MainForm != nullptr) {
    if (CloneKeyCheckBox->isChecked() && DocCount > 0)
      MainForm->ClonedKey = Docs[CurDoc].Key;
    else
      MainForm->ClonedKey.clear();
  }
}

void TToolsForm::FormClose() {
  platform::TRegistry* reg = darvena::Reg;
  if (reg == nullptr) return;  // no store outside a program's lifetime
  darvena::OpenProductKey();
  try {
    for (const auto& [name, box] : StoredValues(*this))
      reg->WriteBool(name, box->isChecked());
  } catch (const std::exception&) {
    // Swallowed on purpose: the values not yet written keep their old contents and
    // the options stay as the user set them.
  }
  reg->CloseKey();
}

void TToolsForm::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TToolsForm::ShowToolBarCheckBoxClick() {
  const bool on = ShowToolBarCheckBox->isChecked();
  ShowToolBtnCaptionsCheckBox->setEnabled(on);
  if (MainForm != nullptr) MainForm->ToolBar1->setVisible(on);
}

void TToolsForm::ShowToolBtnCaptionsCheckBoxClick() {
  if (MainForm == nullptr) return;
  const bool on = ShowToolBtnCaptionsCheckBox->isChecked();
  QToolBar* bar = MainForm->ToolBar1;
  bar->setToolButtonStyle(on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
  for (QAction* action : bar->actions()) {
    QWidget* button = bar->widgetForAction(action);
    if (button == nullptr || action->isSeparator()) continue;
    if (on) {
      // With captions the buttons take the height their picture and text need.
      button->setMinimumHeight(0);
      button->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
      button->setFixedHeight(kToolButtonHeight);
    }
  }
}

void TToolsForm::ShowExtCheckBoxClick() {
  if (MainForm == nullptr || DocCount == 0) return;
  TTabControl* tabs = MainForm->TabControl;
  const bool withExt = ShowExtCheckBox->isChecked();
  for (int k = 1; k <= DocCount; ++k) {
    const std::string caption = withExt ? platform::ExtractFileName(Docs[k].FileName)
                                        : platform::RemoveFileExt(FromQt(tabs->Caption(k - 1)));
    tabs->SetCaption(k - 1, ToQt(caption));
  }
  MainForm->setWindowTitle(ToQt(ProgramTitle()) + " \"" + tabs->Caption(CurDoc - 1) + "\"");
}

void TToolsForm::OpenAgainCheckBoxClick() {
  if (OpenAgainCheckBox->isChecked()) OpenWorkFolderCheckBox->setChecked(false);
}

void TToolsForm::OpenWorkFolderCheckBoxClick() {
  if (OpenWorkFolderCheckBox->isChecked()) OpenAgainCheckBox->setChecked(false);
}

void TToolsForm::OptBitBtnClick() {
  ShowToolBarCheckBox->setChecked(true);
  ShowToolBtnCaptionsCheckBox->setChecked(false);
  ShowExtCheckBox->setChecked(false);
  OpenAgainCheckBox->setChecked(true);
  CloneKeyCheckBox->setChecked(true);
}

}  // namespace viewer
