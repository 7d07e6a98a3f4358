// Opening and closing documents.
#include <QCoreApplication>
#include <QFileDialog>
#include <new>

#include "platform/Machine.h"
#include "platform/WinPath.h"
#include "viewer/DocumentFile.h"
#include "viewer/DocumentTable.h"
#include "viewer/DocumentText.h"
#include "viewer/MainForm.h"
#include "viewer/Messages.h"
#include "viewer/QtText.h"

namespace viewer {
namespace {

const QColor kWindowColor(255, 255, 255);  // clWindow

// Holds Loading for the lifetime of one load.
class TLoadingScope {
 public:
  TLoadingScope() { Loading = true; }
  ~TLoadingScope() { Loading = false; }
  TLoadingScope(const TLoadingScope&) = delete;
  TLoadingScope& operator=(const TLoadingScope&) = delete;
};

}  // namespace

void TMainForm::ShowWholeText() {
  TF& D = Docs[CurDoc];
  Editor->LoadRichText(D.WholeText);
  // A document read from a rich-text file is read once: from then on its whole text
  // is kept as the editor holds it, and every later showing costs no reading.
  if (!D.WholeText.SavedContent()) D.WholeText = Editor->SaveRichStream();
  D.ShowsWholeText = true;
}

void TMainForm::ShowFiltered() {
  TF& D = Docs[CurDoc];
  Editor->LoadRichText(D.Filtered);
  D.ShowsWholeText = false;
}

bool TMainForm::LoadDocument() {
  const TLoadingScope loading;
  const std::uint8_t oldDocCount = DocCount;
  const std::uint8_t oldCurDoc = CurDoc;
  ++DocCount;
  CurDoc = DocCount;
  TF& D = Docs[CurDoc];

  ProgressBox->SetTextCentred(true);
  SetStatusText(Ansi("Загружается файл ") + D.FileName + "...");
  ProgressBox->show();
  QCoreApplication::processEvents();

  D.WholeText.clear();
  bool loaded = false;
  std::int64_t size = 0;
  try {
    if (auto bytes = ReadDocumentFile(D.FileName, ProgramFolder())) {
      size = static_cast<std::int64_t>(bytes->size());
      D.WholeText = richedit::TRichStream(std::move(*bytes));
      loaded = true;
    }
  } catch (const std::bad_alloc&) {
    loaded = false;
  }
  if (!loaded) {
    HideProgressBox();
    DocCount = oldDocCount;
    CurDoc = oldCurDoc;
    D.WholeText.clear();
    ShowMessage(this, Ansi("Не удалось загрузить файл ") + D.FileName);
    return false;
  }
  D.BigFile = size > kBigFileSize;
  D.Filtered.clear();

  if (CurDoc == 1) {
    CloseCmd->setEnabled(true);
    CloseAllCmd->setEnabled(true);
    SelectAllCmd->setEnabled(true);
    Editor->setEnabled(true);
    Editor->SetColor(kWindowColor);
    KeyPanel->show();
    TabControl->show();
  }
  D.Key.clear();
  D.WholeWord = false;

  // Plain text (and anything not named exactly .rtf) becomes rich text in the
  // buffer's font; a .RTF in capitals is taken as plain text on purpose.
  if (!IsRichTextName(D.FileName)) {
    try {
      BufRichEdit->SetPlainText(true);
      BufRichEdit->AdoptStream(D.WholeText.TakeBytes());
      BufRichEdit->SetPlainText(false);
      BufRichEdit->SaveToStream(D.WholeText);
      BufRichEdit->SetPlainText(true);
      BufRichEdit->Clear();
    } catch (const std::exception&) {
      BufRichEdit->SetPlainText(true);
      BufRichEdit->Clear();
      ShowMessage(this, Ansi("Проблема с BufRichEdit\rСообщите разработчику"));
    }
  }

  Editor->setUpdatesEnabled(false);
  ShowWholeText();

  std::string caption = platform::ExtractFileName(D.FileName);
  if (!ToolsForm->ShowExtCheckBox->isChecked()) caption = platform::RemoveFileExt(caption);
  TabControl->AddTab(ToQt(caption));

  if (D.BigFile) SetStatusText(Ansi("Определение нужного типа фильтрации..."));
  QCoreApplication::processEvents();

  Busy = true;
  const int L = Editor->LineCount();
  D.TextLen = Editor->TextLength();
  try {
    TParagraphIndex index = IndexParagraphs(Editor->Text());
    D.Bounds = std::move(index.Bounds);
    D.ParaCount = index.ParaCount;
    D.BoundsCapacity = index.BoundsCapacity;
  } catch (const std::bad_alloc&) {
    // Without a boundary table the document is one paragraph.
    ShowMessage(this, Ansi("Недостаточно памяти"));
    D.Bounds.assign({0, D.TextLen});
    D.ParaCount = 1;
    D.BoundsCapacity = 2;
  }
  D.BlockFilter = ChooseBlockFilter(L, D.ParaCount);

  if (D.BigFile) SetStatusText(Ansi("Подготовка оболочки просмотра..."));
  QCoreApplication::processEvents();

  D.WordWrap = true;
  ShowCurrentDocument();

  Busy = false;
  Editor->setUpdatesEnabled(true);
  HideProgressBox();
  SetStatusText(Ansi("Если это окно не исчезло, отодвиньте его в сторону!"));
  QCoreApplication::processEvents();
  return true;
}

void TMainForm::CloseCmdExecute() {
  if (DocCount == 0 || Refused()) return;
  TabControl->DeleteTab(CurDoc - 1);
  TF& D = Docs[CurDoc];
  D.WholeText.clear();
  D.Filtered.clear();
  TEmpties().swap(D.Bounds);
  if (DocCount > 1 && CurDoc < DocCount) {
    for (int k = CurDoc; k < DocCount; ++k)
      Docs[k] = std::move(Docs[k + 1]);
  }
  if (DocCount > 1 && CurDoc == DocCount) --CurDoc;
  --DocCount;
  ShowCurrentDocument();
}

void TMainForm::CloseAllCmdExecute() {
  if (Refused()) return;
  for (int k = DocCount; k > 0; --k)
    CloseCmdExecute();
}

void TMainForm::FileOpenCmdExecute() {
  if (Refused()) return;
  if (DocCount >= kMaxDocs) {
    ShowMessage(this, Ansi("Сначала закройте какой-нибудь документ"));
    return;
  }
  const QString picked = QFileDialog::getOpenFileName(
      this, QString(), QString(),
      QString::fromUtf8("Текстовые файлы TXT и RTF (*.txt *.rtf);;Любые файлы (*)"));
  if (picked.isEmpty()) return;
  const std::string full = platform::ToWindowsPath(picked.toStdString());
  Docs[DocCount + 1].FileName = platform::RelativeFileName(ProgramFileName(), full);
  LoadDocument();
}

}  // namespace viewer
