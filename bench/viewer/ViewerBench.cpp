// viewer_bench [MEGABYTES]: generates a dictionary (100 MB by default), opens it in
// the main window as the user would, filters it by two words, and prints each
// phase against its budget and the search against ripgrep on the same bytes.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/corpus/Corpus.h"
#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "richedit/TextModel.h"
#include "viewer/DocumentTable.h"
#include "viewer/FilterEngine.h"
#include "viewer/MainForm.h"
#include "viewer/ModelFilterText.h"

namespace {

double Seconds(const std::chrono::steady_clock::time_point& since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The wall time of a shell command, or a negative number when it failed to run.
double TimeCommand(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int rc = std::system(command.c_str());
  const double t = Seconds(start);
  return rc == -1 ? -1 : t;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 100.0;
  const auto size = static_cast<std::size_t>(megabytes * 1024 * 1024);
  const auto folder = std::filesystem::temp_directory_path() / "darvena-bench";
  std::filesystem::create_directories(folder);
  const auto file = folder / "corpus.txt";
  bench::WriteCorpus(file, bench::TCorpusShape::Dictionary, size);

  QApplication app(argc, argv);
  viewer::TToolsForm tools;
  viewer::TProgressBox progress;
  viewer::TMainForm form(&tools, &progress);
  form.Timer1->stop();
  form.show();
  app.processEvents();
  const long baseKb = PeakKilobytes();

  viewer::Docs[1].FileName = platform::ToWindowsPath(file);
  auto start = std::chrono::steady_clock::now();
  if (!form.LoadDocument()) {
    std::fprintf(stderr, "the corpus did not load\n");
    return 1;
  }
  app.processEvents();
  const double load = Seconds(start);

  const std::string key = platform::Utf8ToAnsi("КОТ ПЁС");
  form.KeyEdit->setText(QString::fromStdString(platform::AnsiToUtf8(key)));
  start = std::chrono::steady_clock::now();
  form.FilterBitBtnClick();
  app.processEvents();
  const double filter = Seconds(start);
  const int found = viewer::Docs[1].Found;

  const long peakKb = PeakKilobytes();

  // One word, the engine alone on the editor's model, against ripgrep on the file.
  double oneWord = 0;
  {
    richedit::TTextModel model;
    form.Editor->Clear();
    model.LoadPlainText(platform::ReadWholeFile(viewer::Docs[1].FileName));
    const auto index = viewer::IndexParagraphs(model.Text());
    viewer::TModelFilterText text(model);
    start = std::chrono::steady_clock::now();
    const auto outcome = viewer::RunFilter(text, index.Bounds, index.ParaCount,
                                           {platform::Utf8ToAnsi("ДОМ "), false, false}, nullptr);
    oneWord = Seconds(start);
    std::printf("one word: %d matches\n", outcome.Found);
  }
  const std::string needle = platform::Utf8ToAnsi("дом");
  const std::string rg = "rg -i -F -c --encoding windows-1251 '" + platform::AnsiToUtf8(needle) +
                         "' '" + file.string() + "' >/dev/null";
  const double rgTime = TimeCommand(rg);
  // Peers of the load and of the two-word run on the same bytes: iconv converting
  // the file to UTF-8 (a read and a pass over every byte, as the load makes), and a
  // ripgrep pipeline keeping the lines with both words.
  const double iconvTime =
      TimeCommand("iconv -f CP1251 -t UTF-8 '" + file.string() + "' >'" + folder.string() + "/u8'");
  const double rg2Time = TimeCommand("rg -i -F --encoding windows-1251 'кот' '" + file.string() +
                                     "' | rg -i -F 'пёс' >/dev/null");

  const double fileMb = static_cast<double>(size) / (1024 * 1024);
  std::printf("document: %.1f MB, %d paragraphs, %d matches of two words\n", fileMb,
              viewer::Docs[1].ParaCount, found);
  std::printf("load:          %.3f s  = %.2f of the 1.5 s budget\n", load, load / 1.5);
  std::printf("two-word run:  %.3f s  = %.2f of the 0.5 s budget\n", filter, filter / 0.5);
  if (rgTime > 0) {
    std::printf("one-word run:  %.3f s  = %.2f x rg -i -F (%.3f s; budget 2.00)\n", oneWord,
                oneWord / rgTime, rgTime);
  } else {
    std::printf("one-word run:  %.3f s  (rg not available)\n", oneWord);
  }
  std::printf("peak memory:   %.2f x the file's size, over the empty window (budget 4.00)\n",
              static_cast<double>(peakKb - baseKb) * 1024 / static_cast<double>(size));
  if (iconvTime > 0) std::printf("load against iconv to UTF-8: %.2f\n", load / iconvTime);
  if (rg2Time > 0) std::printf("two-word run against rg | rg: %.2f\n", filter / rg2Time);
  const double peak = static_cast<double>(peakKb - baseKb) * 1024 / static_cast<double>(size);
  // One line for scripts that gather several runs.
  std::printf("result load=%.3f filter=%.3f oneword=%.3f peak=%.2f iconv=%.3f rg=%.3f rg2=%.3f\n",
              load, filter, oneWord, peak, iconvTime, rgTime, rg2Time);
  std::filesystem::remove_all(folder);
  return 0;
}
