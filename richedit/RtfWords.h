// The control words the rich-text reader knows, with what each stands for, sorted
// for a binary search. Internal to the reader.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace richedit::rtf {

enum class TWord : std::uint8_t {
  Unknown,
  SkipDest,
  FontTbl,
  ColorTbl,
  Red,
  Green,
  Blue,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Cf,
  F,
  Fs,
  Ansi,
  AnsiCpg,
  Mac,
  Pc,
  Pca,
  Deff,
  Uc,
  U,
  FCharset,
  Cpg,
  Bin,
  Par,
  Pard,
  Pn,        // opens the group of a paragraph's bullet or numbering
  PnLvlBlt,  // in that group: the paragraph is bulleted
  Ql,
  Qc,
  Qr,
  Tab,
  Char,  // a word that stands for one character, given in the table
};

struct TWordEntry {
  std::string_view Name;
  TWord Word;
  unsigned char Char = 0;
};

// Sorted by name for binary search.
inline constexpr TWordEntry kWords[] = {
    {"aftnsep", TWord::SkipDest},
    {"aftnsepc", TWord::SkipDest},
    {"annotation", TWord::SkipDest},
    {"ansi", TWord::Ansi},
    {"ansicpg", TWord::AnsiCpg},
    {"atnauthor", TWord::SkipDest},
    {"atndate", TWord::SkipDest},
    {"atnid", TWord::SkipDest},
    {"author", TWord::SkipDest},
    {"b", TWord::Bold},
    {"bin", TWord::Bin},
    {"bkmkend", TWord::SkipDest},
    {"bkmkstart", TWord::SkipDest},
    {"blue", TWord::Blue},
    {"bullet", TWord::Char, 0x95},
    {"cell", TWord::Tab},
    {"cf", TWord::Cf},
    {"colorschememapping", TWord::SkipDest},
    {"colortbl", TWord::ColorTbl},
    {"cpg", TWord::Cpg},
    {"datastore", TWord::SkipDest},
    {"deff", TWord::Deff},
    {"docvar", TWord::SkipDest},
    {"emdash", TWord::Char, 0x97},
    {"emspace", TWord::Char, ' '},
    {"endash", TWord::Char, 0x96},
    {"enspace", TWord::Char, ' '},
    {"f", TWord::F},
    {"falt", TWord::SkipDest},
    {"fcharset", TWord::FCharset},
    {"filetbl", TWord::SkipDest},
    {"fldinst", TWord::SkipDest},
    {"fontemb", TWord::SkipDest},
    {"fontfile", TWord::SkipDest},
    {"fonttbl", TWord::FontTbl},
    {"footer", TWord::SkipDest},
    {"footerf", TWord::SkipDest},
    {"footerl", TWord::SkipDest},
    {"footerr", TWord::SkipDest},
    {"fs", TWord::Fs},
    {"ftncn", TWord::SkipDest},
    {"ftnsep", TWord::SkipDest},
    {"ftnsepc", TWord::SkipDest},
    {"generator", TWord::SkipDest},
    {"green", TWord::Green},
    {"header", TWord::SkipDest},
    {"headerf", TWord::SkipDest},
    {"headerl", TWord::SkipDest},
    {"headerr", TWord::SkipDest},
    {"i", TWord::Italic},
    {"info", TWord::SkipDest},
    {"keycode", TWord::SkipDest},
    {"latentstyles", TWord::SkipDest},
    {"ldblquote", TWord::Char, 0x93},
    {"line", TWord::Par},
    {"listoverridetable", TWord::SkipDest},
    {"listtable", TWord::SkipDest},
    {"lquote", TWord::Char, 0x91},
    {"mac", TWord::Mac},
    {"nestcell", TWord::Tab},
    {"nonshppict", TWord::SkipDest},
    {"objdata", TWord::SkipDest},
    {"object", TWord::SkipDest},
    {"operator", TWord::SkipDest},
    {"page", TWord::Par},
    {"panose", TWord::SkipDest},
    {"par", TWord::Par},
    {"pard", TWord::Pard},
    {"pc", TWord::Pc},
    {"pca", TWord::Pca},
    {"pgdsctbl", TWord::SkipDest},
    {"pict", TWord::SkipDest},
    {"plain", TWord::Plain},
    {"pn", TWord::Pn},
    {"pnlvlblt", TWord::PnLvlBlt},
    {"pntext", TWord::SkipDest},
    {"private", TWord::SkipDest},
    {"qc", TWord::Qc},
    {"qd", TWord::Ql},
    {"qj", TWord::Ql},
    {"ql", TWord::Ql},
    {"qmspace", TWord::Char, ' '},
    {"qr", TWord::Qr},
    {"rdblquote", TWord::Char, 0x94},
    {"red", TWord::Red},
    {"revtbl", TWord::SkipDest},
    {"row", TWord::Par},
    {"rquote", TWord::Char, 0x92},
    {"rsidtbl", TWord::SkipDest},
    {"sect", TWord::Par},
    {"shp", TWord::SkipDest},
    {"shppict", TWord::SkipDest},
    {"stylesheet", TWord::SkipDest},
    {"tab", TWord::Tab},
    {"tc", TWord::SkipDest},
    {"template", TWord::SkipDest},
    {"themedata", TWord::SkipDest},
    {"txe", TWord::SkipDest},
    {"u", TWord::U},
    {"uc", TWord::Uc},
    {"ul", TWord::Underline},
    {"uld", TWord::Underline},
    {"uldash", TWord::Underline},
    {"uldashd", TWord::Underline},
    {"uldashdd", TWord::Underline},
    {"uldb", TWord::Underline},
    {"ulhwave", TWord::Underline},
    {"ulnone", TWord::UnderlineNone},
    {"ulth", TWord::Underline},
    {"ulw", TWord::Underline},
    {"ulwave", TWord::Underline},
    {"userprops", TWord::SkipDest},
    {"xe", TWord::SkipDest},
    {"xmlnstbl", TWord::SkipDest},
};

static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                             [](const TWordEntry& a, const TWordEntry& b) {
                               return a.Name < b.Name;
                             }),
              "the table of words must be sorted for the binary search");

inline const TWordEntry* LookUp(std::string_view word) {
  auto it = std::lower_bound(std::begin(kWords), std::end(kWords), word,
                             [](const TWordEntry& e, std::string_view w) { return e.Name < w; });
  return it != std::end(kWords) && it->Name == word ? it : nullptr;
}

}  // namespace richedit::rtf
