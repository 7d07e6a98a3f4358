#include "richedit/RtfWriter.h"

#include "platform/BigBuffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace richedit {

namespace {

// How one character of the text is written: up to four bytes.
struct TEscape {
  char Bytes[4];
  std::uint8_t Length;
};

constexpr std::array<TEscape, 256> MakeEscapes() {
  std::array<TEscape, 256> e{};
  const char* hex = "0123456789abcdef";
  for (int c = 0; c < 256; ++c) {
    if (c < 0x20 || c >= 0x80) {
      e[c] = {{'\\', '\'', hex[c >> 4], hex[c & 15]}, 4};
    } else {
      e[c] = {{static_cast<char>(c), 0, 0, 0}, 1};
    }
  }
  e['\\'] = {{'\\', '\\', 0, 0}, 2};
  e['{'] = {{'\\', '{', 0, 0}, 2};
  e['}'] = {{'\\', '}', 0, 0}, 2};
  e['\t'] = {{'\\', 't', 'a', 'b'}, 4};  // followed by a space, added by the writer
  return e;
}

constexpr std::array<TEscape, 256> kEscapes = MakeEscapes();

const char* AlignmentWord(TAlignment a) {
  switch (a) {
    case TAlignment::Center:
      return "\\qc ";
    case TAlignment::Right:
      return "\\qr ";
    case TAlignment::Left:
      break;
  }
  return "\\ql ";
}

// The bullet of a paragraph, with the hanging indent other programs show it in.
constexpr std::string_view kBulletWords =
    "{\\*\\pn\\pnlvlblt\\pnindent200{\\pntxtb\\'95}}\\fi-200\\li200";

// The paragraph-format words of a stretch: every property starts over at \pard.
std::string ParagraphWords(const TAlignmentSpan& a) {
  std::string words = "\\pard";
  if (a.Bullets) words += kBulletWords;
  words += AlignmentWord(a.Alignment);
  return words;
}

// Font names go into the font table escaped like text, a ';' (which would end the
// name) as an escape too.
void AppendName(std::string& out, const std::string& name) {
  for (unsigned char c : name) {
    if (c == ';') {
      out += "\\'3b";
      continue;
    }
    const TEscape& e = kEscapes[c];
    out.append(e.Bytes, e.Length);
    if (c == '\t') out.push_back(' ');
  }
}

// The length of text with every character escaped as kEscapes says, a tab with
// its space: the characters themselves, three more for each \'hh (a tab's five
// bytes counted as an escape and a tab) and one more for each \\, \{ and \}.
// Eight characters at a time, as bits of a 64-bit word.
std::size_t EscapedLength(std::string_view text) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  // The high bit of each byte of x that is zero.
  const auto zeros = [](std::uint64_t x) { return ~(((x & kLow7) + kLow7) | x) & kHigh; };
  std::size_t escapes = 0;
  std::size_t extras = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, text.data() + i, 8);
    // Below 0x20 or from 0x80 up: the low seven bits plus 0x60 stay under 0x80
    // exactly for the control characters.
    const std::uint64_t escaped = (x | ~((x & kLow7) + 0x60 * kOnes)) & kHigh;
    escapes += static_cast<std::size_t>(std::popcount(escaped));
    extras += static_cast<std::size_t>(
        std::popcount(zeros(x ^ ('\\' * kOnes)) | zeros(x ^ ('{' * kOnes))) +
        std::popcount(zeros(x ^ ('}' * kOnes)) | zeros(x ^ ('\t' * kOnes))));
  }
  std::size_t length = i + 3 * escapes + extras;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    length += kEscapes[c].Length + (c == '\t' ? 1 : 0);
  }
  return length;
}

}  // namespace

std::string WriteRtf(const TTextModel& model) {
  const std::string& text = model.Text();
  const int size = model.TextLength();
  std::vector<TFormatSpan> spans = model.Spans(0, size);
  if (spans.empty()) spans.push_back({0, 0, model.FormatIndexAt(0)});

  // Tables of the fonts and colours in use, in order of first use.
  std::map<std::string, int> fonts;
  std::vector<const std::string*> fontOrder;
  std::map<std::uint32_t, int> colors;
  std::vector<TRgb> colorOrder;
  std::vector<int> fontOfFormat(model.FormatCount(), -1);
  std::vector<int> colorOfFormat(model.FormatCount(), -1);
  for (const TFormatSpan& s : spans) {
    const int fi = s.FormatIndex;
    if (fontOfFormat[fi] >= 0) continue;
    const TCharFormat& f = model.Format(fi);
    auto [font, newFont] = fonts.emplace(f.FontName, static_cast<int>(fonts.size()));
    if (newFont) fontOrder.push_back(&font->first);
    fontOfFormat[fi] = font->second;
    const std::uint32_t key = (f.Color.R << 16) | (f.Color.G << 8) | f.Color.B;
    auto [color, newColor] = colors.emplace(key, static_cast<int>(colors.size()) + 1);
    if (newColor) colorOrder.push_back(f.Color);
    colorOfFormat[fi] = color->second;
  }

  std::string head = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl";
  for (std::size_t i = 0; i < fontOrder.size(); ++i) {
    head += "{\\f" + std::to_string(i) + "\\fnil\\fcharset204 ";
    AppendName(head, *fontOrder[i]);
    head += ";}";
  }
  head += "}{\\colortbl ;";
  for (const TRgb& c : colorOrder)
    head += "\\red" + std::to_string(c.R) + "\\green" + std::to_string(c.G) + "\\blue" +
            std::to_string(c.B) + ";";
  head += "}\r\n\\viewkind4\\uc1";

  // An upper bound of the size: every character escaped as its table says (a tab
  // with its space, a CR LF as \par and a line end), every run and paragraph-format change
  // at its longest, and room for the last four-byte copy.
  const auto& aligns = model.AlignmentSpans();
  std::size_t bound =
      head.size() + 16 + spans.size() * 80 + aligns.size() * (kBulletWords.size() + 12);
  bound += EscapedLength(text);

  std::string out;
  platform::ReserveLarge(out, bound);
  out.resize(bound);
  char* w = out.data();
  std::memcpy(w, head.data(), head.size());
  w += head.size();

  // A run or alignment that starts on the LF of a CR LF starts after it: the pair
  // is written as one \par, in the format of its CR.
  const char* data = text.data();
  std::size_t ai = 0;
  std::size_t si = 0;
  int pos = 0;
  while (true) {
    bool aligned = false;
    while (ai < aligns.size() && aligns[ai].Start <= pos) {
      aligned = true;
      ++ai;
    }
    if (aligned) {
      const std::string words = ParagraphWords(aligns[ai - 1]);
      std::memcpy(w, words.data(), words.size());
      w += words.size();
    }
    bool newRun = false;
    while (si < spans.size() && spans[si].Start <= pos) {
      newRun = true;
      ++si;
    }
    if (newRun) {
      const int fi = spans[si - 1].FormatIndex;
      const TCharFormat& f = model.Format(fi);
      std::string word = "\\plain\\f" + std::to_string(fontOfFormat[fi]) + "\\fs" +
                         std::to_string(f.SizeHalfPoints) + "\\cf" +
                         std::to_string(colorOfFormat[fi]);
      if (f.Styles.Bold) word += "\\b";
      if (f.Styles.Italic) word += "\\i";
      if (f.Styles.Underline) word += "\\ul";
      word += ' ';
      std::memcpy(w, word.data(), word.size());
      w += word.size();
    }
    if (pos >= size) break;
    int next = size;
    if (ai < aligns.size()) next = std::min(next, aligns[ai].Start);
    if (si < spans.size()) next = std::min(next, spans[si].Start);
    int i = pos;
    while (i < next) {
      const auto c = static_cast<unsigned char>(data[i]);
      if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
        std::memcpy(w, "\\par\r\n", 6);
        w += 6;
        i += 2;
        continue;
      }
      const TEscape& e = kEscapes[c];
      std::memcpy(w, e.Bytes, 4);
      w += e.Length;
      if (c == '\t') *w++ = ' ';
      ++i;
    }
    pos = i;
  }
  *w++ = '}';
  out.resize(w - out.data());
  return out;
}

}  // namespace richedit
