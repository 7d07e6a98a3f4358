#include "bench/corpus/Vocabulary.h"

#include <cstdint>
#include <unordered_set>

#include "platform/CodePage.h"

namespace bench {
namespace {

// Common words of running Russian text, roughly by frequency.
const char* const kRussianHead[] = {
    "и",         "в",        "не",         "на",       "я",         "что",         "он",
    "с",         "как",      "а",          "то",       "это",       "она",         "по",
    "но",        "к",        "у",          "из",       "за",        "так",         "же",
    "от",        "все",      "мы",         "о",        "для",       "бы",          "вы",
    "было",      "его",      "только",     "уже",      "когда",     "её",          "если",
    "или",       "ещё",      "нет",        "до",       "при",       "дом",         "дома",
    "время",     "год",      "день",       "дело",     "жизнь",     "рука",        "глаз",
    "человек",   "работа",   "слово",      "место",    "лицо",      "друг",        "сторона",
    "голова",    "вопрос",   "город",      "книга",    "вода",      "ночь",        "утро",
    "вечер",     "дорога",   "земля",      "окно",     "дверь",     "стол",        "кот",
    "кота",      "котёнок",  "пёс",        "собака",   "лес",       "поле",        "река",
    "море",      "небо",     "письмо",     "словарь",  "статья",    "страница",    "тетрадь",
    "запись",    "заметка",  "список",     "купить",   "позвонить", "встреча",     "магазин",
    "хлеб",      "молоко",   "масло",      "сыр",      "чай",       "кофе",        "сахар",
    "мука",      "яйца",     "рыба",       "мясо",     "суп",       "пирог",       "варенье",
    "самовар",   "печь",     "изба",       "горница",  "веранда",   "балкон",      "абажур",
    "лампа",     "свет",     "тепло",      "холод",    "зима",      "весна",       "лето",
    "осень",     "январь",   "февраль",    "март",     "апрель",    "май",         "июнь",
    "июль",      "август",   "сентябрь",   "октябрь",  "ноябрь",    "декабрь",     "понедельник",
    "вторник",   "среда",    "четверг",    "пятница",  "суббота",   "воскресенье", "новый",
    "старый",    "большой",  "малый",      "хороший",  "первый",    "последний",   "главный",
    "русский",   "домашний", "деревянный", "каменный", "светлый",   "тёплый",      "лёгкий",
    "прочный",   "чистый",   "ёлка",       "сказать",  "говорить",  "знать",       "мочь",
    "стать",     "видеть",   "хотеть",     "идти",     "взять",     "думать",      "сделать",
    "жить",      "смотреть", "понять",     "ждать",    "писать",    "читать",      "спросить",
    "ответить",  "найти",    "искать",     "помнить",  "забыть",    "любить",      "починить",
    "разобрать", "отвезти",  "проверить",  "вместе",   "очень",     "потом",       "теперь",
    "здесь",     "там",      "тоже",       "всегда",   "никогда",   "сегодня",     "завтра",
    "вчера",     "рано",     "поздно"};

// Common words of running English text, roughly by frequency.
const char* const kEnglishHead[] = {
    "the",     "of",     "and",     "to",     "in",     "is",      "for",     "that",
    "with",    "on",     "as",      "it",     "by",     "at",      "from",    "this",
    "be",      "or",     "an",      "are",    "not",    "was",     "but",     "have",
    "you",     "home",   "house",   "book",   "word",   "letter",  "note",    "page",
    "list",    "time",   "day",     "year",   "work",   "people",  "water",   "world",
    "city",    "road",   "table",   "window", "door",   "cat",     "dog",     "kitten",
    "garden",  "river",  "light",   "winter", "summer", "meeting", "library", "dictionary",
    "article", "recipe", "kitchen", "repair", "shop",   "bread",   "milk",    "tea",
    "coffee",  "email",  "phone",   "call",   "buy",    "write",   "read",    "find",
    "search",  "filter", "text",    "file",   "folder", "draft",   "report",  "version",
    "system"};

// Syllables of the rarer words: a word is an opening syllable, up to two more and
// an ending.
const char* const kRussianSyllables[] = {"ба", "ва", "го", "да", "же", "за",  "ки",  "ло", "ма",
                                         "но", "по", "ра", "со", "та", "ку",  "фа",  "хо", "це",
                                         "че", "ша", "щи", "лю", "ня", "ве",  "ми",  "ро", "ни",
                                         "ле", "зе", "бо", "ду", "ру", "сте", "пре", "гра"};
const char* const kRussianEndings[] = {"ов", "ий", "ая",  "ое",   "ых", "ам", "ть", "ен",
                                       "ка", "ок", "ник", "ость", "ие", "ёт", "ёр", "ль"};
const char* const kEnglishSyllables[] = {"ba", "con", "de", "pro", "re", "sta", "un", "ver",
                                         "wa", "ca",  "di", "for", "ge", "ho",  "in", "lo"};
const char* const kEnglishEndings[] = {"er", "ing", "ly", "ment", "tion", "ble", "ness", "ed"};

std::uint64_t Next(std::uint64_t& state) {
  // splitmix64: the same numbers on every machine.
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::string TailWord(std::uint64_t& state, bool english) {
  std::string word;
  const int syllables = 1 + static_cast<int>(Next(state) % 3);
  for (int k = 0; k < syllables; ++k) {
    word += english ? kEnglishSyllables[Next(state) % std::size(kEnglishSyllables)]
                    : kRussianSyllables[Next(state) % std::size(kRussianSyllables)];
  }
  word += english ? kEnglishEndings[Next(state) % std::size(kEnglishEndings)]
                  : kRussianEndings[Next(state) % std::size(kRussianEndings)];
  return word;
}

}  // namespace

std::vector<std::string> CorpusVocabulary() {
  std::vector<std::string> words;
  std::unordered_set<std::string> seen;
  auto add = [&](const std::string& utf8) {
    if (seen.insert(utf8).second) words.push_back(platform::Utf8ToAnsi(utf8));
  };
  // One English word for about every four Russian ones at the head.
  std::size_t en = 0;
  for (std::size_t ru = 0; ru < std::size(kRussianHead); ++ru) {
    add(kRussianHead[ru]);
    if (ru % 4 == 3 && en < std::size(kEnglishHead)) add(kEnglishHead[en++]);
  }
  while (en < std::size(kEnglishHead))
    add(kEnglishHead[en++]);
  std::uint64_t state = 1251;
  constexpr std::size_t kVocabularySize = 30000;
  while (words.size() < kVocabularySize) {
    const bool english = Next(state) % 6 == 0;
    add(TailWord(state, english));
  }
  return words;
}

}  // namespace bench
