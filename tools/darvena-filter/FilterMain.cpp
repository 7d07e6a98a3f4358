// darvena-filter [options] KEY FILE: filters FILE down to the lines or paragraphs
// that contain every word of KEY, as the viewer does, and prints the result.
#include <unistd.h>

#include <QString>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/WinPath.h"
#include "richedit/TextModel.h"
#include "tools/darvena-filter/FilterOptions.h"
#include "tools/darvena-filter/ResultWriter.h"
#include "viewer/DocumentFile.h"
#include "viewer/DocumentText.h"
#include "viewer/FilterEngine.h"
#include "viewer/FilterKey.h"
#include "viewer/KeyCase.h"
#include "viewer/MixedWord.h"
#include "viewer/ModelFilterText.h"
#include "viewer/NoFragments.h"
#include "viewer/Paragraphs.h"

namespace filtertool {
namespace {

constexpr int kFound = 0;
constexpr int kNothingFound = 1;
constexpr int kFailed = 2;

// Writes one message line (Windows-1251) to standard error in the output's encoding.
void Tell(const std::string& Ansi, TOutputEncoding Encoding) {
  WriteAll(stderr, Encode(Ansi + "\n", Encoding));
}

// The counts label's two lines.
void TellCounts(const richedit::TTextModel& Model, std::int32_t Found, TOutputEncoding Encoding) {
  Tell(platform::Utf8ToAnsi("Строк: ") + std::to_string(Model.LineCount()), Encoding);
  Tell(platform::Utf8ToAnsi("Найдено: ") + std::to_string(Found), Encoding);
}

int Run(const TFilterOptions& Options) {
  const TOutputEncoding encoding = Options.Encoding;
  // The key and the name in Windows-1251, as the viewer takes them from its key edit
  // and its command line.
  const std::string keyText = platform::Utf8ToAnsi(
      viewer::UpperCaseKey(
          QString::fromUtf8(Options.Key.data(), static_cast<qsizetype>(Options.Key.size())))
          .toStdString());
  const std::string fileName = platform::Utf8ToAnsi(Options.FileName);

  richedit::TTextModel model;
  {
    std::optional<std::string> bytes = viewer::ReadDocumentFile(
        fileName, platform::ExtractFilePath(platform::GetModuleFileName()));
    if (!bytes || !viewer::LoadDocumentText(model, fileName, *bytes)) {
      Tell(platform::Utf8ToAnsi("Не удалось загрузить файл ") + fileName, encoding);
      return kFailed;
    }
  }

  const viewer::TParagraphIndex index = viewer::IndexParagraphs(model.Text());
  // The lines are counted only when they choose the mode.
  const bool blockFilter = Options.BlockFilter.has_value()
                               ? *Options.BlockFilter
                               : viewer::ChooseBlockFilter(model.LineCount(), index.ParaCount);

  const std::string key = viewer::FilterKey(keyText);
  std::string mixedWord;
  if (!Options.WholeWord && viewer::HasMixedWord(key, mixedWord)) {
    Tell(platform::Utf8ToAnsi("В ключе поиска смешение языков в слове ") + mixedWord +
             platform::Utf8ToAnsi(" Всё равно искать?"),
         encoding);
  }

  viewer::TModelFilterText text(model);
  const viewer::TFilterOutcome outcome = viewer::RunFilter(
      text, index.Bounds, index.ParaCount, {key, blockFilter, Options.WholeWord}, nullptr);
  if (outcome.Found == 0) viewer::WriteNoFragments(model, keyText, Options.WholeWord);
  model.SetSelStart(0);

  if (outcome.Found == 0) {
    // The message result is the viewer's; here only its text is told.
    Tell(viewer::NoFragmentsText(keyText, Options.WholeWord), encoding);
  } else {
    const bool written =
        Options.Rtf ? WriteAll(stdout, model.SaveRichText())
                    : WriteResult(stdout, model,
                                  {Options.Color == TColorWhen::Always ||
                                       (Options.Color == TColorWhen::Auto && isatty(1) == 1),
                                   encoding, Options.Crlf});
    if (!written) {
      Tell(platform::Utf8ToAnsi("Не удалось вывести результат"), encoding);
      return kFailed;
    }
  }
  if (Options.Stats) TellCounts(model, outcome.Found, encoding);
  return outcome.Found == 0 ? kNothingFound : kFound;
}

}  // namespace
}  // namespace filtertool

int main(int argc, char** argv) {
  using namespace filtertool;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  const auto options = ParseFilterOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "darvena-filter: %s\n%s", error.c_str(), FilterUsage());
    return kFailed;
  }
  if (options->Help) {
    std::fputs(FilterUsage(), stdout);
    return kFound;
  }
  try {
    return Run(*options);
  } catch (const std::bad_alloc&) {
    Tell(platform::Utf8ToAnsi("Недостаточно памяти"), options->Encoding);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "darvena-filter: %s\n", e.what());
  }
  return kFailed;
}
