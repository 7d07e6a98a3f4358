// The filter run of the main window: prepares the key, runs the engine on the
// editor's text and shows the result.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <new>

#include "viewer/DocumentTable.h"
#include "viewer/EditorFilterText.h"
#include "viewer/FilterEngine.h"
#include "viewer/FilterKey.h"
#include "viewer/MainForm.h"
#include "viewer/Messages.h"
#include "viewer/MixedWord.h"
#include "viewer/NoFragments.h"
#include "viewer/QtText.h"

namespace viewer {
namespace {

// Texts longer than this many characters are filtered with the status box shown.
constexpr int kQuietFilterLength = 8192;
// How often a run lets pending window messages through.
constexpr qint64 kMessageIntervalMs = 50;

// Reports a run on the status box and lets window messages through (the status
// box's cancel button among them) at least every 50 ms.
class TStatusBoxProgress final : public TFilterProgress {
 public:
  TStatusBoxProgress(TProgressBox& box, bool shown) : box_(box), shown_(shown) { clock_.start(); }
  void PassStarted(std::string_view word) override {
    if (!shown_) return;
    box_.Text->setText(ToQt(Ansi("ИДЁТ ФИЛЬТРАЦИЯ ПО \"") + std::string(word) + "\" "));
  }
  void FoundChanged(std::int32_t found) override {
    if (shown_) box_.ProgressLabel2->setText(QString::number(found));
  }
  bool CancelRequested() override {
    if (clock_.elapsed() >= kMessageIntervalMs) {
      QCoreApplication::processEvents();
      clock_.restart();
    }
    return CancelFilter;
  }

 private:
  TProgressBox& box_;
  bool shown_;
  QElapsedTimer clock_;
};

}  // namespace

void TMainForm::AddFrag(const std::string& S) {
  Editor->ReplaceSelection(S);
}

void TMainForm::FilterBitBtnClick() {
  FilterBitBtn->hide();
  if (Busy || Loading || DocCount == 0) return;
  TF& D = Docs[CurDoc];
  D.Key = FilterKey(FromQt(KeyEdit->text()));
  const bool whole = WholeCheckBox->isChecked();
  std::string mixedWord;
  if (!whole && HasMixedWord(D.Key, mixedWord)) {
    if (!AskWarning(this, Ansi("В ключе поиска смешение языков в слове ") + mixedWord +
                              Ansi(" Всё равно искать?"))) {
      return;
    }
  }

  KeyEdit->setEnabled(false);
  WholeCheckBox->setEnabled(false);
  Busy = true;
  Editor->setUpdatesEnabled(false);

  const bool showBox = D.TextLen > kQuietFilterLength;
  if (showBox) {
    ProgressBox->SetTextCentred(false);
    SetStatusText(Ansi("ИДЁТ ФИЛЬТРАЦИЯ ПО \""));
    ProgressBox->CancelBitBtn->show();
    ProgressBox->ProgressLabel1->show();
    ProgressBox->ProgressLabel2->setText("0");
    ProgressBox->ProgressLabel2->show();
    ProgressBox->show();
    QCoreApplication::processEvents();
  }

  if (!D.ShowsWholeText) ShowWholeText();
  D.Found = 0;
  Editor->SetReadOnly(false);
  D.ShowsWholeText = false;

  TEditorFilterText text(*Editor);
  TStatusBoxProgress progress(*ProgressBox, showBox);
  TFilterOutcome outcome;
  bool outOfMemory = false;
  try {
    outcome = RunFilter(text, D.Bounds, D.ParaCount, {D.Key, D.BlockFilter, whole}, &progress);
  } catch (const std::bad_alloc&) {
    outOfMemory = true;
  }

  if (outcome.Cancelled || outOfMemory) {
    // The run is abandoned: the whole text comes back and the key is emptied.
    CancelFilter = false;
    if (outOfMemory) ShowMessage(this, Ansi("Недостаточно памяти"));
    KeyEdit->setText(QString());
    if (!D.ShowsWholeText) {
      ShowWholeText();
      UpdateCounts();
    }
    KeyEdit->setEnabled(true);
  } else {
    D.Found = outcome.Found;
    if (D.Found == 0) {
      WriteNoFragments(*Editor, FromQt(KeyEdit->text()), whole);
    }
    Editor->SetSelStart(0);
    Editor->SetReadOnly(true);
    UpdateCounts();
    D.Filtered = Editor->SaveRichStream();
    WholeTextBitBtn->show();
  }

  ProgressBox->CancelBitBtn->hide();
  ProgressBox->ProgressLabel1->hide();
  ProgressBox->ProgressLabel2->hide();
  HideProgressBox();
  Editor->SetReadOnly(true);  // also after a cancel: the user never edits the text
  KeyEdit->setEnabled(true);
  KeyEdit->setFocus();
  WholeCheckBox->setEnabled(true);
  Editor->setUpdatesEnabled(true);
  Busy = false;
  D.Key = FromQt(KeyEdit->text());
  if (D.Key.size() > kFilterKeyLength) D.Key.resize(kFilterKeyLength);
}

}  // namespace viewer
