// darvena-corpus notebook|dictionary MEGABYTES FILE [SEED]: writes a benchmark corpus.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "bench/corpus/Corpus.h"

int main(int argc, char** argv) {
  const std::string shape = argc > 1 ? argv[1] : "";
  if ((argc != 4 && argc != 5) || (shape != "notebook" && shape != "dictionary")) {
    std::fputs("usage: darvena-corpus notebook|dictionary MEGABYTES FILE [SEED]\n", stderr);
    return 2;
  }
  const double megabytes = std::atof(argv[2]);
  if (megabytes <= 0) {
    std::fputs("darvena-corpus: the size must be a positive number of megabytes\n", stderr);
    return 2;
  }
  try {
    bench::WriteCorpus(
        argv[3],
        shape == "notebook" ? bench::TCorpusShape::Notebook : bench::TCorpusShape::Dictionary,
        static_cast<std::size_t>(megabytes * 1024 * 1024),
        argc == 5 ? static_cast<std::uint32_t>(std::atol(argv[4])) : 1);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "darvena-corpus: %s\n", e.what());
    return 1;
  }
  return 0;
}
