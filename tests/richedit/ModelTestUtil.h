// Helpers shared by the model's tests: building models and describing their
// formatting in a way a failed comparison prints readably.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "richedit/TextModel.h"

namespace richedit {

// For readable failures.
inline void PrintTo(const TCharFormat& f, std::ostream* os) {
  *os << f.FontName << " " << f.SizeHalfPoints << "hp cs" << f.Charset << " rgb(" << int(f.Color.R)
      << "," << int(f.Color.G) << "," << int(f.Color.B) << ")" << (f.Styles.Bold ? " b" : "")
      << (f.Styles.Italic ? " i" : "") << (f.Styles.Underline ? " u" : "");
}

}  // namespace richedit

namespace richedit::test {

// A model holding text loaded as plain text.
inline TTextModel PlainModel(std::string_view text) {
  TTextModel m;
  m.LoadPlainText(text);
  return m;
}

// One letter per character of the model: the character's colour ('k' black, 'r' red,
// 'o' other), upper case when it is bold.
inline std::string ColourMap(const TTextModel& m) {
  std::string map;
  for (int i = 0; i < m.TextLength(); ++i) {
    const TCharFormat& f = m.FormatAt(i);
    char c = f.Color == kBlack ? 'k' : f.Color == kRed ? 'r' : 'o';
    if (f.Styles.Bold) c = static_cast<char>(c - 'a' + 'A');
    map.push_back(c);
  }
  return map;
}

// One letter per line of the model: its paragraph's alignment (l, c, r).
inline std::string AlignmentMap(const TTextModel& m) {
  std::string map;
  int pos = 0;
  while (true) {
    const TAlignment a = m.ParagraphAlignment(pos);
    map.push_back(a == TAlignment::Left ? 'l' : a == TAlignment::Center ? 'c' : 'r');
    const int end = m.LineEnd(pos);
    if (end >= m.TextLength()) break;
    pos = end + 2;
  }
  return map;
}

// One character per line of the model: '*' when its paragraph is bulleted, '-' when not.
inline std::string BulletMap(const TTextModel& m) {
  std::string map;
  int pos = 0;
  while (true) {
    map.push_back(m.ParagraphBullets(pos) ? '*' : '-');
    const int end = m.LineEnd(pos);
    if (end >= m.TextLength()) break;
    pos = end + 2;
  }
  return map;
}

}  // namespace richedit::test
