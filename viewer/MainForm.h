// TMainForm: the viewer's main window. The tab row of the open documents, the
// read-only editor that shows the current one, and the key panel where the user
// types a search key and chooses how to filter. Its methods are split by concern:
// MainForm.cpp builds the window, MainKeyPanel.cpp builds and arranges the key
// panel, MainView.cpp keeps the controls in line with the current document and
// handles the user's input, MainDocuments.cpp opens and closes documents,
// MainFilter.cpp runs the filter.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <string>

#include "richedit/RichEdit.h"
#include "viewer/Progress.h"
#include "viewer/TabControl.h"
#include "viewer/ToolsUnit.h"

namespace viewer {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // The empty window. Tools and Progress are the settings dialog and the status box,
  // which live as long as the window.
  TMainForm(TToolsForm* Tools, TProgressBox* Progress, QWidget* parent = nullptr);
  // For a program that creates the window before its settings dialog and status
  // box: gives the window the two, before its first event is handled.
  void SetPartners(TToolsForm* Tools, TProgressBox* Progress);
  ~TMainForm() override;

  // ---- Controls ----
  QToolBar* ToolBar1;
  TTabControl* TabControl;
  richedit::TRichEdit* Editor;
  richedit::TRichEdit* BufRichEdit;  // hidden: turns plain text into rich text
  QWidget* KeyPanel;
  QGroupBox* BlockGroupBox;
  QRadioButton* StringRadioButton;
  QRadioButton* ParaRadioButton;
  QCheckBox* WordWrapCheckBox;
  QCheckBox* WholeCheckBox;
  QLabel* WholeCheckLabel;
  QLineEdit* KeyEdit;
  QLabel* StrNumLabel;
  QPushButton* FilterBitBtn;
  QPushButton* WholeTextBitBtn;
  QMenu* PopupMenu1;
  QTimer* Timer1;

  // ---- Actions ----
  QAction* FileOpenCmd;
  QAction* CloseCmd;
  QAction* ExitCmd;
  QAction* CloseAllCmd;
  QAction* SelectAllCmd;
  QAction* CopyCmd;
  QAction* AboutCmd;
  QAction* ToolsCmd;

  // Clicks of the mode radio buttons are acted upon only while this is set.
  bool RadioEvents = false;
  // The key all documents share while the clone option is on.
  std::string ClonedKey;

  // What the start-up timer runs once; the program sets it (the documents of the
  // command line, of the previous run or of the working folder).
  std::function<void()> LoadStartDocuments;
  // What the About action shows; empty until the About box exists.
  std::function<void()> ShowAbout;

  // ---- Documents ----

  // Opens the document whose name the caller stored in Docs[DocCount + 1] (with
  // DocCount < 16). True: it is open and current. False: the user has been told
  // why; the table, the tabs and the current document are as before.
  bool LoadDocument();
  // Puts the current document's whole text into the editor.
  void ShowWholeText();
  // Puts the current document's last filter result into the editor.
  void ShowFiltered();
  // Brings every control into line with the current document (or the empty window).
  void ShowCurrentDocument();
  // Writes the line count, and the match count while a filter result shows.
  void UpdateCounts();
  // Inserts S at the caret in the current character attributes.
  void AddFrag(const std::string& S);

  // ---- Handlers ----
  void FormCreate();
  // Saves the session; runs at every close of the window.
  void FormClose();
  void FormResize();
  void Timer1Timer();
  void TabControlChange();
  void KeyEditChange();
  void WholeCheckBoxClick();
  void WholeCheckLabelClick();
  void StringRadioButtonClick();
  void ParaRadioButtonClick();
  void WordWrapCheckBoxClick();
  void FilterBitBtnClick();
  void WholeTextBitBtnClick();
  void EditorSelectionChange();
  void EditorMouseUp(Qt::MouseButton Button, QPoint Pos);
  void FileOpenCmdExecute();
  void CloseCmdExecute();
  void CloseAllCmdExecute();
  void ExitCmdExecute();
  void SelectAllCmdExecute();
  void CopyCmdExecute();
  void AboutCmdExecute();
  void ToolsCmdExecute();

  // The folder of the program's own file, Windows form.
  [[nodiscard]] static std::string ProgramFolder();
  // The program's own file, Windows form.
  [[nodiscard]] static std::string ProgramFileName();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetupActions();
  void SetupMenus();
  void SetupKeyPanel();
  // Places the key panel's controls by their size hints and the group box's frame as the
  // style draws it, and makes the panel as tall as they need.
  void ArrangeKeyPanel();
  void SetEditorWordWrap(bool wrap);
  void SetStatusText(const std::string& text);
  // Hides the status box, giving the activation back to this window when the box had it.
  void HideProgressBox();
  void ModeRadioButtonClick();
  // True, and the user's change is refused, while a load or a filter run works.
  [[nodiscard]] bool Refused() const;
  void PutControlsBack();

  TToolsForm* ToolsForm;
  TProgressBox* ProgressBox;
  // Set while the program itself sets check boxes and radio buttons, whose handlers
  // then run even while a load or a filter run refuses the user's changes.
  bool ProgramSets = false;
};

}  // namespace viewer
