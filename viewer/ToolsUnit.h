// The settings dialog "Настройки": six options in two groups. It is also the
// program's live store of the settings: other windows read its check boxes, and
// each change acts on the main window at once.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

namespace viewer {

class TMainForm;

class TToolsForm : public QDialog {
  Q_OBJECT

 public:
  // The dialog. With a main window, it loads the stored settings at once (FormCreate)
  // and from then on applies every change of an option to that window. Without one,
  // every option keeps its built-in default and changes act on nothing else.
  explicit TToolsForm(TMainForm* MainForm = nullptr, QWidget* parent = nullptr);

  QCheckBox* ShowToolBarCheckBox;
  QCheckBox* ShowToolBtnCaptionsCheckBox;
  QCheckBox* ShowExtCheckBox;
  QCheckBox* OpenAgainCheckBox;
  QCheckBox* OpenWorkFolderCheckBox;
  QCheckBox* CloneKeyCheckBox;
  QPushButton* OptBitBtn;
  QPushButton* OKBitBtn;

  // Reads the six values of the product key into the check boxes, in their order,
  // each change acting through its handler; stops quietly at the first value that
  // cannot be read. Then the main window's shared key follows the clone option.
  void FormCreate();
  // Writes the six check boxes into the product key; a failure quietly leaves the
  // values not yet written as they were. Runs at every close of the dialog.
  void FormClose();

  // The tool bar is shown exactly while the box is checked; the captions option can
  // be changed only then.
  void ShowToolBarCheckBoxClick();
  // The tool buttons carry their captions exactly while the box is checked.
  void ShowToolBtnCaptionsCheckBoxClick();
  // The tabs show their documents' names with or without the extension, and the
  // main window's title follows the current tab.
  void ShowExtCheckBoxClick();
  // Checking either start-up option unchecks the other.
  void OpenAgainCheckBoxClick();
  void OpenWorkFolderCheckBoxClick();
  // "Оптимум": the recommended options, each acting through its handler.
  void OptBitBtnClick();

  // QDialog: every way of closing the dialog ends here.
  void done(int result) override;

 private:
  TMainForm* MainForm;
};

}  // namespace viewer
