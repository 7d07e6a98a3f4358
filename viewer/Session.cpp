#include "viewer/Session.h"

#include <exception>
#include <string>

#include "common/CommonUnit.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "viewer/DocumentTable.h"
#include "viewer/MainForm.h"
#include "viewer/Messages.h"
#include "viewer/QtText.h"
#include "viewer/ToolsUnit.h"

namespace viewer {
namespace {

std::string Numbered(const char* name, int n) {
  return name + std::to_string(n);
}

enum class TCommandLine {
  None,    // no parameters: the session or the working folder decides
  Loaded,  // the parameters were used
  Full,    // the parameters filled the table; the last one loaded stays current
};

// The parameters of the command line, each a document.
TCommandLine LoadCommandLine(TMainForm& MainForm) {
  const int count = platform::ParamCount();
  if (count == 0) return TCommandLine::None;
  int next = 1;
  for (int i = 1; i <= count; ++i) {
    const std::string name = platform::ParamStr(i);
    Docs[next].FileName = name;
    if (platform::FileExists(name)) {
      if (MainForm.LoadDocument()) ++next;
    } else {
      ShowMessage(&MainForm,
                  Ansi("Файл ") + name + Ansi(", указанный в командной строке, не найден."));
    }
    if (next > kMaxDocs) {
      ShowMessage(&MainForm, Ansi("Загружены первые ") + std::to_string(kMaxDocs) +
                                 Ansi(" файлов из командной строки"));
      return TCommandLine::Full;
    }
  }
  return TCommandLine::Loaded;
}

// The documents of the previous session with their modes, and the remembered
// current one.
void LoadPreviousSession(TMainForm& MainForm) {
  platform::TRegistry* reg = darvena::Reg;
  if (reg == nullptr) return;
  darvena::OpenProductKey();
  try {
    for (int n = 1; n <= kMaxDocs; ++n) {
      if (!reg->ValueExists(Numbered("FileName", n))) continue;
      const std::string name = reg->ReadString(Numbered("FileName", n));
      Docs[DocCount + 1].FileName = name;
      if (!MainForm.LoadDocument()) {
        ShowMessage(&MainForm,
                    Ansi("Файл ") + name + Ansi(", загружавшийся в прошлый раз, не найден."));
        continue;
      }
      // The handlers store the mode and the wrap in the new document; its key is
      // empty, so nothing is filtered.
      if (reg->ReadBool(Numbered("BlockFilter", n)))
        MainForm.ParaRadioButton->setChecked(true);
      else
        MainForm.StringRadioButton->setChecked(true);
      MainForm.WordWrapCheckBox->setChecked(reg->ReadBool(Numbered("WordWrap", n)));
    }
    if (reg->ValueExists("OpenFileNumber")) {
      SavedCurDoc = reg->ReadInteger("OpenFileNumber");
      if (SavedCurDoc >= 1 && SavedCurDoc <= kMaxDocs) RestoreCurDoc = true;
    }
  } catch (const std::exception&) {
    // Swallowed on purpose: a value of the wrong type or a missing mode ends the
    // restore here; the documents opened so far stay open.
  }
  reg->CloseKey();
}

// Every *.txt, then every *.rtf file of the current folder, up to 16 documents.
void LoadWorkFolder(TMainForm& MainForm) {
  int next = DocCount + 1;
  for (const char* pattern : {"*.txt", "*.rtf"}) {
    for (const platform::TFindData& hit : platform::FindFiles(pattern)) {
      // A folder that happens to bear such a name is no document.
      if ((hit.Attributes & platform::kFileAttributeDirectory) != 0) continue;
      Docs[next].FileName = hit.Name;
      if (MainForm.LoadDocument()) ++next;
      if (next > kMaxDocs) {
        ShowMessage(&MainForm, Ansi("Загружено ") + std::to_string(kMaxDocs) + Ansi(" файлов"));
        return;
      }
    }
  }
}

}  // namespace

void LoadStartDocuments(TMainForm& MainForm, TToolsForm& ToolsForm) {
  ToolsForm.ShowToolBarCheckBoxClick();
  ToolsForm.ShowToolBtnCaptionsCheckBoxClick();

  const TCommandLine commandLine = LoadCommandLine(MainForm);
  if (commandLine == TCommandLine::Full) return;
  if (commandLine == TCommandLine::None) {
    if (ToolsForm.OpenAgainCheckBox->isChecked())
      LoadPreviousSession(MainForm);
    else if (ToolsForm.OpenWorkFolderCheckBox->isChecked())
      LoadWorkFolder(MainForm);
  }

  if (DocCount > 1) {
    CurDoc = 1;
    MainForm.ShowCurrentDocument();
  }
}

void SaveSession() {
  platform::TRegistry* reg = darvena::Reg;
  if (reg == nullptr) return;  // no store outside a program's lifetime
  darvena::OpenProductKey();
  try {
    for (int n = 1; n <= kMaxDocs; ++n) {
      if (!reg->ValueExists(Numbered("FileName", n))) continue;
      reg->DeleteValue(Numbered("FileName", n));
      reg->DeleteValue(Numbered("BlockFilter", n));
      reg->DeleteValue(Numbered("WordWrap", n));
    }
    if (DocCount > 0) {
      for (int n = 1; n <= DocCount; ++n) {
        reg->WriteString(Numbered("FileName", n), Docs[n].FileName);
        reg->WriteBool(Numbered("BlockFilter", n), Docs[n].BlockFilter);
        reg->WriteBool(Numbered("WordWrap", n), Docs[n].WordWrap);
      }
      reg->WriteInteger("OpenFileNumber", CurDoc);
    } else {
      reg->DeleteValue("OpenFileNumber");
    }
  } catch (const std::exception&) {
    // Swallowed on purpose: the saving ends at the failing value.
  }
  reg->CloseKey();
}

}  // namespace viewer
