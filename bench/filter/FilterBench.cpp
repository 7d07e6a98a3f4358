// filter_bench FILE WORD [RUNS]: times loading FILE as the viewer loads it, writing
// and reading its rich text, and scanning it for WORD (Windows-1251 as UTF-8 on the
// command line), and prints the median of RUNS runs of each as name=seconds lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richedit/TextModel.h"
#include "viewer/DocumentFile.h"
#include "viewer/DocumentText.h"
#include "viewer/Paragraphs.h"

namespace {

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: filter_bench FILE WORD [RUNS]\n", stderr);
    return 2;
  }
  const std::string name = platform::Utf8ToAnsi(argv[1]);
  const std::string word = platform::AnsiUpperCase(platform::Utf8ToAnsi(argv[2]));
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

  std::vector<double> load, write, read, search;
  long long matches = 0;
  std::size_t textBytes = 0;
  std::size_t rtfBytes = 0;
  for (int r = 0; r < runs; ++r) {
    richedit::TTextModel model;
    auto start = TClock::now();
    {
      auto bytes = viewer::ReadDocumentFile(name, "");
      if (!bytes || !viewer::LoadDocumentText(model, name, *bytes)) {
        std::fprintf(stderr, "filter_bench: cannot load %s\n", argv[1]);
        return 1;
      }
    }
    const int lines = model.LineCount();
    const viewer::TParagraphIndex index = viewer::IndexParagraphs(model.Text());
    load.push_back(Since(start));
    textBytes = model.Text().size();

    start = TClock::now();
    const std::string rtf = model.SaveRichText();
    write.push_back(Since(start));
    rtfBytes = rtf.size();

    richedit::TTextModel reread;
    start = TClock::now();
    reread.LoadRichText(rtf);
    read.push_back(Since(start));
    if (reread.Text() != model.Text()) {
      std::fputs("filter_bench: the rich text read back differs\n", stderr);
      return 1;
    }

    start = TClock::now();
    matches = 0;
    const int size = model.TextLength();
    for (int c = model.FindText(word, 0, size, false); c >= 0;
         c = model.FindText(word, c + 1, size - c - 1, false)) {
      ++matches;
    }
    search.push_back(Since(start));
    if (lines < 0 || index.ParaCount < 1) return 1;
  }
  std::printf("text_bytes=%zu\nrtf_bytes=%zu\nmatches=%lld\n", textBytes, rtfBytes, matches);
  std::printf("load=%.6f\nrtf_write=%.6f\nrtf_read=%.6f\nsearch=%.6f\n", Median(load),
              Median(write), Median(read), Median(search));
  return 0;
}
