#include "bench/viewer/Corpus.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace bench {

void WriteCorpus(const std::filesystem::path& path, std::size_t bytes, std::uint32_t seed) {
  static const char* const kWords[] = {
      "кот",    "пёс",     "дом",   "сад",     "река",    "город",  "книга",   "словарь",
      "окно",   "дорога",  "весна", "зима",    "письмо",  "друг",   "работа",  "вечер",
      "утро",   "лес",     "поле",  "море",    "небо",    "земля",  "огонь",   "вода",
      "хлеб",   "соль",    "время", "память",  "история", "статья", "заметка", "котёнок",
      "Москва", "Пётр",    "и",     "в",       "на",      "не",     "что",     "как",
      "это",    "был",     "она",   "они",     "мы",      "вы",     "там",     "здесь",
      "data",   "version", "note",  "записки", "ёлка",    "щука",   "юг",      "яблоко"};
  std::vector<std::string> words;
  for (const char* w : kWords)
    words.push_back(platform::Utf8ToAnsi(w));
  std::mt19937 rng(seed);
  std::ofstream out(path, std::ios::binary);
  std::string text;
  std::size_t written = 0;
  while (written < bytes) {
    const int lines = 1 + static_cast<int>(rng() % 12);
    for (int l = 0; l < lines; ++l) {
      const int count = 4 + static_cast<int>(rng() % 14);
      for (int w = 0; w < count; ++w) {
        if (w > 0) text += ' ';
        text += words[rng() % words.size()];
      }
      text += rng() % 5 == 0 ? ".\r\n" : "\r\n";
    }
    text += "\r\n";
    if (text.size() >= (1u << 20) || written + text.size() >= bytes) {
      const std::size_t take = std::min(text.size(), bytes - written);
      out.write(text.data(), static_cast<std::streamsize>(take));
      written += take;
      text.clear();
    }
  }
}

}  // namespace bench
