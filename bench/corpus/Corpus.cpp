#include "bench/corpus/Corpus.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/corpus/Vocabulary.h"
#include "platform/CodePage.h"

namespace bench {
namespace {

class TRandom {
 public:
  explicit TRandom(std::uint64_t seed) : state_(seed * 0x2545F4914F6CDD1DULL + 1) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A number from 0 to n - 1.
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  // A number from lo to hi.
  int Between(int lo, int hi) { return lo + static_cast<int>(Below(hi - lo + 1)); }

 private:
  std::uint64_t state_;
};

// Draws words by Zipf's law over the vocabulary's ranks.
class TWordSource {
 public:
  TWordSource() : words_(CorpusVocabulary()) {
    cumulative_.reserve(words_.size());
    double sum = 0;
    for (std::size_t r = 0; r < words_.size(); ++r) {
      sum += 1.0 / std::pow(static_cast<double>(r) + 2.7, 1.07);
      cumulative_.push_back(sum);
    }
    for (double& c : cumulative_)
      c = c / sum * 4294967296.0;
  }
  // A content word for a headword: any but the most common hundred, all alike.
  const std::string& Headword(TRandom& random) {
    return words_[100 + random.Below(static_cast<std::uint32_t>(words_.size() - 100))];
  }
  const std::string& Draw(TRandom& random) {
    const double u = static_cast<double>(random.Next() >> 32);
    const auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), u);
    return words_[std::min<std::size_t>(it - cumulative_.begin(), words_.size() - 1)];
  }

 private:
  std::vector<std::string> words_;
  std::vector<double> cumulative_;
};

const char* const kMonths[] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                               "июля",   "августа", "сентября", "октября", "ноября", "декабря"};

class TCorpusWriter {
 public:
  TCorpusWriter(const std::filesystem::path& path, std::uint32_t seed)
      : out_(path, std::ios::binary | std::ios::trunc), random_(seed) {
    if (!out_) throw std::runtime_error("cannot write " + path.string());
    for (const char* month : kMonths)
      months_.push_back(platform::Utf8ToAnsi(month));
    dash_ = platform::Utf8ToAnsi(" — ");
  }

  void Write(TCorpusShape shape, std::size_t bytes) {
    while (written_ < bytes) {
      if (shape == TCorpusShape::Notebook) {
        NotebookEntry();
      } else {
        DictionaryArticle();
      }
    }
    Flush();
    out_.close();
    if (!out_) throw std::runtime_error("writing the corpus failed");
  }

 private:
  void NotebookEntry() {
    if (written_ > 0) Line("");
    Line(std::to_string(random_.Between(1, 28)) + " " + months_[random_.Below(12)] + " " +
         std::to_string(random_.Between(1998, 2024)));
    const int lines = random_.Between(36, 160);
    for (int k = 0; k < lines; ++k)
      Line(Sentence(random_.Between(2, 11), random_.Below(10) == 0 ? "- " : ""));
  }

  void DictionaryArticle() {
    if (written_ > 0) Line("");
    std::string head = platform::AnsiUpperCase(words_.Headword(random_));
    const int lines = random_.Between(3, 40);
    Line(head + dash_ + Sentence(random_.Between(6, 10), ""));
    for (int k = 1; k < lines; ++k)
      Line(Sentence(random_.Between(7, 12), ""));
  }

  // Words separated by spaces, now and then a comma; the first capitalised half the time.
  std::string Sentence(int words, const char* prefix) {
    std::string s = prefix;
    for (int w = 0; w < words; ++w) {
      std::string word = words_.Draw(random_);
      if (w == 0 && random_.Below(2) == 0)
        word[0] = static_cast<char>(platform::AnsiUpper(word[0]));
      if (w > 0) s += random_.Below(12) == 0 ? ", " : " ";
      s += word;
    }
    s += random_.Below(3) == 0 ? "." : "";
    return s;
  }

  void Line(const std::string& text) {
    buffer_ += text;
    buffer_ += "\r\n";
    written_ += text.size() + 2;
    if (buffer_.size() >= (1u << 20)) Flush();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

  std::ofstream out_;
  TRandom random_;
  TWordSource words_;
  std::vector<std::string> months_;
  std::string dash_;
  std::string buffer_;
  std::size_t written_ = 0;
};

}  // namespace

void WriteCorpus(const std::filesystem::path& Path, TCorpusShape Shape, std::size_t Bytes,
                 std::uint32_t Seed) {
  TCorpusWriter writer(Path, Seed);
  writer.Write(Shape, Bytes);
}

}  // namespace bench
