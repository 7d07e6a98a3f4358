// Keeping the main window's controls in line with the current document, and the
// handlers of the user's input.
#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>

#include "viewer/DocumentTable.h"
#include "viewer/MainForm.h"
#include "viewer/QtText.h"
#include "viewer/Session.h"
#include "viewer/Title.h"

namespace viewer {
namespace {

const QColor kInactiveBorderColor(212, 208, 200);  // clInactiveBorder

// Marks the controls' changes in its lifetime as the program's own.
class TProgramSets {
 public:
  explicit TProgramSets(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TProgramSets() { flag_ = old_; }
  TProgramSets(const TProgramSets&) = delete;
  TProgramSets& operator=(const TProgramSets&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

void TMainForm::FormCreate() {
  // The application's name, not its display name, which Qt would append to titles.
  QCoreApplication::setApplicationName(ToQt(ProgramTitle()));
  setWindowTitle(ToQt(ProgramTitle()));
  RadioEvents = true;
  Timer1->start();
}

void TMainForm::Timer1Timer() {
  Timer1->stop();
  if (LoadStartDocuments) LoadStartDocuments();
}

bool TMainForm::Refused() const { return (Busy || Loading) && !ProgramSets; }

void TMainForm::PutControlsBack() {
  if (DocCount == 0) return;
  const TF& D = Docs[CurDoc];
  TabControl->SetTabIndex(CurDoc - 1);
  // The controls return to the state the refused click changed, without running
  // their handlers again.
  const QSignalBlocker paraBlocker(ParaRadioButton);
  const QSignalBlocker stringBlocker(StringRadioButton);
  const QSignalBlocker wrapBlocker(WordWrapCheckBox);
  const QSignalBlocker wholeBlocker(WholeCheckBox);
  ParaRadioButton->setChecked(D.BlockFilter);
  StringRadioButton->setChecked(!D.BlockFilter);
  WordWrapCheckBox->setChecked(D.WordWrap);
  WholeCheckBox->setChecked(D.WholeWord);
}

void TMainForm::SetEditorWordWrap(bool wrap) {
  Editor->SetWordWrap(wrap);
  Editor->SetScrollBars(wrap ? richedit::TRichEdit::TScrollBars::Vertical
                             : richedit::TRichEdit::TScrollBars::Both);
}

void TMainForm::SetStatusText(const std::string& text) {
  ProgressBox->Text->setText(ToQt(text));
}

void TMainForm::HideProgressBox() {
  const bool hadActivation = ProgressBox->isActiveWindow();
  ProgressBox->hide();
  if (hadActivation && isVisible()) activateWindow();
}

void TMainForm::ShowCurrentDocument() {
  if (DocCount == 0) {
    CloseCmd->setEnabled(false);
    CloseAllCmd->setEnabled(false);
    SelectAllCmd->setEnabled(false);
    TabControl->hide();
    Editor->Clear();
    Editor->setEnabled(false);
    Editor->SetColor(kInactiveBorderColor);
    setWindowTitle(ToQt(ProgramTitle()));
    KeyPanel->hide();
    return;
  }
  // A remembered current document is taken only by an update that may change the
  // editor's content: during a load the editor holds the new document, which must
  // stay current. A remembered number beyond the open documents selects none.
  if (RestoreCurDoc && !Busy && SavedCurDoc >= 1 && SavedCurDoc <= DocCount)
    CurDoc = static_cast<std::uint8_t>(SavedCurDoc);
  RestoreCurDoc = false;
  TF& D = Docs[CurDoc];
  TabControl->SetTabIndex(CurDoc - 1);
  FilterBitBtn->hide();
  Editor->setUpdatesEnabled(false);
  setWindowTitle(ToQt(ProgramTitle()) + " \"" + TabControl->Caption(CurDoc - 1) + "\"");
  KeyPanel->show();

  if (ToolsForm->CloneKeyCheckBox->isChecked()) {
    KeyEdit->setText(ToQt(ClonedKey));
    if (!KeyEdit->text().isEmpty()) FilterBitBtn->show();
  } else {
    KeyEdit->setText(ToQt(D.Key));
  }

  {
    const TProgramSets programSets(ProgramSets);
    WordWrapCheckBox->setChecked(D.WordWrap);
  }
  SetEditorWordWrap(D.WordWrap);

  if (D.BigFile) SetStatusText(Ansi("Финальные приготовления..."));
  QCoreApplication::processEvents();

  if (!Busy) {
    if (D.ShowsWholeText) {
      ShowWholeText();
    } else {
      ShowFiltered();
    }
  }
  // The button follows the document also while its content is being prepared, so
  // that a document loaded after a filtered one does not offer "whole text".
  WholeTextBitBtn->setVisible(!D.ShowsWholeText);
  Editor->SetReadOnly(true);

  {
    const TProgramSets programSets(ProgramSets);
    WholeCheckBox->setChecked(D.WholeWord);
    RadioEvents = false;
    ParaRadioButton->setChecked(D.BlockFilter);
    StringRadioButton->setChecked(!D.BlockFilter);
    RadioEvents = true;
  }

  UpdateCounts();
  Editor->setUpdatesEnabled(true);
  KeyEdit->setFocus();
}

void TMainForm::UpdateCounts() {
  QString text = QString::fromUtf8("Строк: ") + QString::number(Editor->LineCount());
  if (DocCount > 0 && !Docs[CurDoc].ShowsWholeText) {
    text += QString::fromUtf8("\nНайдено: ") + QString::number(Docs[CurDoc].Found);
  }
  StrNumLabel->setText(text);
  StrNumLabel->adjustSize();
  StrNumLabel->move(BlockGroupBox->width() + 8, (KeyPanel->height() - StrNumLabel->height()) / 2);
}

void TMainForm::TabControlChange() {
  if (Refused()) {
    PutControlsBack();
    return;
  }
  CurDoc = static_cast<std::uint8_t>(TabControl->TabIndex() + 1);
  ShowCurrentDocument();
}

void TMainForm::KeyEditChange() {
  if (DocCount == 0) return;
  TF& D = Docs[CurDoc];
  if (KeyEdit->text().isEmpty()) {
    FilterBitBtn->hide();
    // While a document loads its record is not ready to be shown.
    if (!D.ShowsWholeText && !Loading) {
      ShowWholeText();
      UpdateCounts();
      WholeTextBitBtn->hide();
    }
  } else {
    FilterBitBtn->show();
  }
  if (ToolsForm->CloneKeyCheckBox->isChecked()) ClonedKey = FromQt(KeyEdit->text());
}

void TMainForm::WholeCheckBoxClick() {
  if (Refused()) {
    PutControlsBack();
    return;
  }
  if (!KeyEdit->text().isEmpty()) FilterBitBtn->show();
  WholeCheckLabel->setStyleSheet(WholeCheckBox->isChecked() ? "color: rgb(255, 0, 0)"
                                                            : "color: rgb(128, 128, 128)");
  if (DocCount > 0) Docs[CurDoc].WholeWord = WholeCheckBox->isChecked();
}

void TMainForm::WholeCheckLabelClick() {
  if (!WholeCheckBox->isEnabled()) return;
  WholeCheckBox->toggle();
}

void TMainForm::StringRadioButtonClick() {
  ModeRadioButtonClick();
}

void TMainForm::ParaRadioButtonClick() {
  ModeRadioButtonClick();
}

void TMainForm::ModeRadioButtonClick() {
  if (!RadioEvents || DocCount == 0) return;
  if (Refused()) {
    PutControlsBack();
    return;
  }
  Docs[CurDoc].BlockFilter = ParaRadioButton->isChecked();
  if (!KeyEdit->text().isEmpty()) FilterBitBtnClick();
}

void TMainForm::WordWrapCheckBoxClick() {
  if (DocCount == 0) return;
  if (Refused()) {
    PutControlsBack();
    return;
  }
  Docs[CurDoc].WordWrap = WordWrapCheckBox->isChecked();
  SetEditorWordWrap(WordWrapCheckBox->isChecked());
  UpdateCounts();
}

void TMainForm::WholeTextBitBtnClick() {
  if (Refused()) return;
  WholeTextBitBtn->hide();
  const QString key = KeyEdit->text();
  KeyEdit->setText(QString());
  QCoreApplication::processEvents();
  KeyEdit->setText(key);
}

void TMainForm::FormResize() {
  if (Editor->WordWrap()) UpdateCounts();
  Editor->viewport()->update();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TMainForm::EditorSelectionChange() {
  CopyCmd->setEnabled(Editor->SelLength() > 0);
}

void TMainForm::EditorMouseUp(Qt::MouseButton Button, QPoint Pos) {
  if (Button != Qt::RightButton) return;
  PopupMenu1->popup(Editor->mapToGlobal(Pos));
}

void TMainForm::ExitCmdExecute() {
  close();
}

void TMainForm::SelectAllCmdExecute() {
  if (DocCount == 0) return;
  Editor->setFocus();
  Editor->Select(0, Editor->TextLength());
  KeyEdit->setFocus();
}

void TMainForm::CopyCmdExecute() {
  Editor->CopyToClipboard();
}

void TMainForm::AboutCmdExecute() {
  if (ShowAbout) ShowAbout();
}

void TMainForm::ToolsCmdExecute() {
  ToolsForm->exec();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    // The text scrolls whichever control of the window has the focus or the pointer.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->window() == this && widget != Editor &&
        !Editor->isAncestorOf(widget)) {
      Editor->WheelScroll(static_cast<QWheelEvent*>(event)->angleDelta().y());
      return true;
    }
  } else if (watched == KeyEdit && event->type() == QEvent::ShortcutOverride) {
    // Select all and copy act on the document even while the key has the focus.
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : {SelectAllCmd, CopyCmd}) {
      if (action->shortcuts().contains(pressed)) return true;
    }
  } else if (watched == WholeCheckLabel && event->type() == QEvent::MouseButtonRelease) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) WholeCheckLabelClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace viewer
