// The rich-edit control on a generated Windows-1251 text (100 MB unless a size in
// MB is given), each figure beside a peer measured in the same run on the same
// bytes: wc, rg, iconv and memcpy.
#include <unistd.h>
#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "Corpus.h"
#include "platform/CodePage.h"
#include "richedit/QtMetrics.h"
#include "richedit/RichEdit.h"
#include "richedit/TextLayout.h"
#include "richedit/TextModel.h"

using namespace richedit;

namespace {

using Clock = std::chrono::steady_clock;

// The best of runs timings of work, in seconds.
double Best(const std::function<void()>& work, int runs = 3) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// A shell command's best time, its output thrown away.
double Command(const std::string& command) {
  return Best([&] {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
      std::fprintf(stderr, "failed: %s\n", command.c_str());
  });
}

double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

void Row(const char* what, double ours, const char* budget, const char* peer, double theirs) {
  std::printf("%-34s %8.3f s %-10s | %-34s %8.3f s | ratio %6.2f\n", what, ours, budget, peer,
              theirs, theirs > 0 ? ours / theirs : 0.0);
}

int CountAll(const TTextModel& m, const std::string& word, bool whole) {
  int n = 0;
  int c = 0;
  const int len = m.TextLength();
  while ((c = m.FindText(word, c, len - c, whole)) >= 0) {
    ++n;
    c += static_cast<int>(word.size());
  }
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
  const std::string corpus = bench::MakeCorpus(megabytes << 20);
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("richedit_bench_" + std::to_string(getpid()) + ".txt");
  std::ofstream(file, std::ios::binary)
      .write(corpus.data(), static_cast<std::streamsize>(corpus.size()));
  const std::string name = file.string();
  std::printf("corpus: %.1f MB of Windows-1251 text, %s\n\n", corpus.size() / 1048576.0,
              name.c_str());
  Command("cat " + name);  // into the page cache for the peers

  const double wc = Command("wc -l " + name);
  std::string copy;
  const double memcpyTime = Best([&] { copy = corpus; });
  copy.clear();
  copy.shrink_to_fit();

  // Plain-text load and memory.
  const double before = ResidentMb();
  TTextModel model;
  const double load = Best([&] { model.LoadPlainText(corpus); });
  const double held = ResidentMb() - before;
  Row("plain-text load", load, "(< 0.30)", "wc -l", wc);
  Row("", load, "", "memcpy of the bytes", memcpyTime);

  // Search: every occurrence of a word, as the filter does.
  const double rgLatin = Command("rg -i -F -c river " + name);
  int found = 0;
  const double latin = Best([&] { found = CountAll(model, "RIVER", false); });
  Row("search 'RIVER' (all matches)", latin, "(< 2x rg)", "rg -i -F -c river", rgLatin);
  const std::string dog = platform::Utf8ToAnsi("ПЁС");
  const double rgCyr = Command("rg -i -F -c --encoding windows-1251 'ПЁС' " + name);
  const double cyr = Best([&] { found = CountAll(model, dog, false); });
  Row("search 'ПЁС' (all matches)", cyr, "(< 2x rg)", "rg -i -F -c --encoding cp1251", rgCyr);
  const double whole = Best([&] { found = CountAll(model, dog, true); });
  Row("search 'ПЁС' whole word", whole, "", "rg -i -F -c --encoding cp1251", rgCyr);

  // Rich text.
  const double iconv = Command("iconv -f CP1251 -t UTF-8 " + name);
  std::string rtf;
  const double write = Best([&] { rtf = model.SaveRichText(); });
  Row("RTF write", write, "(< 0.60)", "iconv -f CP1251 -t UTF-8", iconv);
  TTextModel back;
  const double read = Best([&] { back.LoadRichText(rtf); });
  Row("RTF read", read, "(< 0.60)", "iconv -f CP1251 -t UTF-8", iconv);
  std::printf("%-34s %s\n", "  RTF round trip",
              back.Text() == model.Text() ? "same text" : "TEXT DIFFERS");
  rtf.clear();
  rtf.shrink_to_fit();
  back.Clear();

  // Line count under word wrap, Arial 12 px at the viewer's width.
  TQtMetrics metrics;
  TCharFormat arial;
  arial.SizeHalfPoints = HalfPointsFromPixels(12);
  model.SetDefaultFormat(arial);
  model.LoadPlainText(corpus);
  int lines = 0;
  const double wrap = Best([&] {
    TTextLayout layout(model, metrics);
    layout.SetWrapWidth(740);
    lines = layout.DisplayLineCount();
  });
  Row("line count, word wrap at 740 px", wrap, "(< 0.30)", "wc -l", wc);
  std::printf("%-34s %d display lines, %d logical\n", "", lines, model.LineCount());

  // Batch edits: colour every match, then delete every other line.
  std::vector<TRange> matches;
  for (int c = 0; (c = model.FindText(dog, c, model.TextLength() - c, false)) >= 0; c += 3)
    matches.push_back({c, 3});
  const double colour = Best([&] { model.ColourRanges(matches, kRed); }, 1);
  Row("colour every match (batch)", colour, "", "memcpy of the bytes", memcpyTime);
  std::vector<TRange> odd;
  for (int pos = 0, k = 0; pos < model.TextLength(); ++k) {
    const int end = model.LineEnd(pos) + 2;
    if (k % 2) odd.push_back({pos, end - pos});
    pos = end;
  }
  const double del = Best([&] { model.DeleteRanges(odd); }, 1);
  Row("delete every other line (batch)", del, "", "memcpy of the bytes", memcpyTime);
  model.Clear();

  // The widget: a repaint at the top, and a scroll to the middle with its repaint.
  TRichEdit edit;
  edit.SetDefaultFormat(arial);
  edit.resize(775, 420);
  edit.show();
  const double widgetLoad = Best([&] { edit.LoadPlainText(corpus); }, 1);
  app.processEvents();
  const double top = Best([&] { edit.viewport()->repaint(); }, 5);
  QScrollBar* bar = edit.verticalScrollBar();
  int where = 0;
  const double middle = Best(
      [&] {
        bar->setValue(bar->maximum() / 2 + (where++ % 7));
        edit.viewport()->repaint();
      },
      5);
  Row("widget: load into the control", widgetLoad, "", "memcpy of the bytes", memcpyTime);
  Row("widget: scroll to middle + paint", middle, "", "widget: paint at top", top);
  edit.SetWordWrap(true);
  edit.SetSelStart(0);
  app.processEvents();
  const double wrapTop = Best([&] { edit.viewport()->repaint(); }, 5);
  const double wrapMiddle = Best(
      [&] {
        bar->setValue(bar->maximum() / 2 + (where++ % 7));
        edit.viewport()->repaint();
      },
      5);
  Row("widget, wrapped: scroll + paint", wrapMiddle, "", "widget, wrapped: paint at top", wrapTop);

  std::printf("\nmemory: the model holds %.1f MB of text in %.1f MB (budget < 250 MB for 100 MB)\n",
              corpus.size() / 1048576.0, held);
  std::filesystem::remove(file);
  return found >= 0 ? 0 : 1;
}
