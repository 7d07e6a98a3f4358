// The settings dialog "Настройки": six options in two groups. It is also the
// program's live store of the settings: other windows read its check boxes.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

namespace viewer {

class TToolsForm : public QDialog {
  Q_OBJECT

 public:
  // The dialog with every option at its built-in default.
  explicit TToolsForm(QWidget* parent = nullptr);

  QCheckBox* ShowToolBarCheckBox;
  QCheckBox* ShowToolBtnCaptionsCheckBox;
  QCheckBox* ShowExtCheckBox;
  QCheckBox* OpenAgainCheckBox;
  QCheckBox* OpenWorkFolderCheckBox;
  QCheckBox* CloneKeyCheckBox;
  QPushButton* OptBitBtn;
  QPushButton* OKBitBtn;
};

}  // namespace viewer
