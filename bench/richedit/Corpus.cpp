#include "Corpus.h"

#include <random>
#include <vector>

#include "platform/CodePage.h"

namespace bench {

std::string MakeCorpus(std::size_t size, std::uint32_t seed) {
  const char* russian[] = {
      "и",        "в",       "не",      "на",     "что",          "он",     "с",
      "как",      "это",     "по",      "но",     "они",          "к",      "у",
      "же",       "вы",      "за",      "бы",     "от",           "из",     "её",
      "дом",      "город",   "река",    "лес",    "поле",         "время",  "человек",
      "год",      "дело",    "жизнь",   "день",   "рука",         "работа", "слово",
      "место",    "вопрос",  "сторона", "страна", "мир",          "случай", "голова",
      "ребёнок",  "сила",    "конец",   "вид",    "система",      "часть",  "образ",
      "земля",    "начало",  "история", "книга",  "словарь",      "статья", "значение",
      "белый",    "большой", "новый",   "старый", "русский",      "первый", "ёлка",
      "пёс",      "котёнок", "молоко",  "дорога", "окно",         "вода",   "ночь",
      "говорить", "знать",   "стать",   "видеть", "хотеть",       "идти",   "думать",
      "Москва",   "Пушкин",  "Волга",   "учёный", "энциклопедия", "объём",  "щука"};
  const char* english[] = {"the",   "of",      "and",     "river",  "house",   "town",
                           "word",  "meaning", "article", "volume", "history", "field",
                           "night", "water",   "road",    "window", "dog",     "kitten"};
  std::vector<std::string> words;
  for (const char* w : russian)
    words.push_back(platform::Utf8ToAnsi(w));
  for (const char* w : english)
    words.emplace_back(w);

  std::mt19937 rng(seed);
  std::string out;
  out.reserve(size + 256);
  while (out.size() < size) {
    const int lines = 1 + rng() % 8;
    for (int l = 0; l < lines; ++l) {
      const std::size_t length = 40 + rng() % 80;
      const std::size_t start = out.size();
      bool first = true;
      while (out.size() - start < length) {
        std::string w = words[rng() % words.size()];
        if (first || rng() % 12 == 0) w = platform::AnsiUpperCase(w.substr(0, 1)) + w.substr(1);
        if (!first) out += rng() % 10 == 0 ? ", " : " ";
        out += w;
        first = false;
      }
      out += ".\r\n";
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace bench
