#include "richedit/RtfReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/BigBuffer.h"
#include "platform/CodePage.h"
#include "richedit/RtfCodePages.h"
#include "richedit/RtfWords.h"

namespace richedit {

namespace {

using rtf::LookUp;
using rtf::TWord;
using rtf::TWordEntry;

// Groups nest at most this deep; deeper ones are read as part of the group at the
// limit, so that a file of nothing but "{" does not grow a stack of its own size.
constexpr std::size_t kMaxDepth = 1024;
// Control words are at most this long; the rest of a longer one is read and dropped.
constexpr std::size_t kMaxWord = 32;
// Parameters are cut to this magnitude.
constexpr long long kMaxParam = 0x7FFFFFFF;

// Bullet: the group that describes a paragraph's bullet or numbering; what it
// finds out goes to the paragraph when it closes.
enum class TDest : std::uint8_t { Text, Skip, FontTable, ColorTable, Bullet };

// What a group pushes and pops.
struct TState {
  TDest Dest = TDest::Text;
  int Font = -1;  // -1: the default font (\deff)
  int Size = 24;  // half-points; rich text's default is 12 points
  int Color = 0;
  TFontStyles Styles;
  int Uc = 1;
  TAlignment Align = TAlignment::Left;
  bool Bullets = false;
};

struct TFontEntry {
  std::string Name;
  int Charset = -1;
  int CodePage = 0;
};

constexpr int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Bytes that end a stretch of plain text.
constexpr std::array<bool, 256> MakeSpecial() {
  std::array<bool, 256> s{};
  s['{'] = s['}'] = s['\\'] = s['\r'] = s['\n'] = true;
  return s;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecial();

constexpr std::array<signed char, 256> MakeHex() {
  std::array<signed char, 256> h{};
  for (int c = 0; c < 256; ++c)
    h[c] = static_cast<signed char>(HexValue(static_cast<unsigned char>(c)));
  return h;
}
constexpr std::array<signed char, 256> kHex = MakeHex();

class TReader {
 public:
  TReader(std::string_view rtf, const TCharFormat& defaultFormat)
      : data_(reinterpret_cast<const unsigned char*>(rtf.data())),
        size_(rtf.size()),
        default_(defaultFormat) {}

  TRtfContent Read();

 private:
  void OpenGroup();
  bool CloseGroup();
  void ControlWord();
  void ControlSymbol(unsigned char c);
  void Word(const TWordEntry* entry, long long param, bool hasParam);
  void PlainBytes();

  void EmitEncoded(unsigned char byte);
  void EmitAnsi(unsigned char c);
  void EmitUnicode(long long code);
  void EmitBreak();
  // Starts a paragraph-format stretch at paraStart_ when the format in force differs
  // from the last one's.
  void PushParagraphFormat();
  void SyncFormat();
  void SyncCodePage();
  void CommitFont();
  TCharFormat CurrentFormat() const;

  const unsigned char* data_;
  std::size_t size_;
  std::size_t p_ = 0;
  const TCharFormat& default_;

  TState state_;
  std::vector<TState> stack_;
  std::size_t overflow_ = 0;  // groups opened beyond kMaxDepth and not yet closed
  bool rootClosed_ = false;

  int docCodePage_ = 1252;
  int deff_ = 0;
  std::map<int, TFontEntry> fonts_;
  int fontEntry_ = -1;
  std::string fontName_;
  std::vector<TRgb> colors_;
  std::vector<bool> autoColor_;
  TRgb pendingColor_;
  bool colorSeen_ = false;

  int skip_ = 0;  // fallback characters of a \u still to skip
  bool pendingLead_ = false;

  TCodePageTables tables_;
  const TCodePageTables::TTable* table_ = nullptr;
  bool doubleByte_ = false;
  bool identity_ = false;  // the code page is Windows-1251 itself
  bool codePageDirty_ = true;
  bool formatDirty_ = true;

  // The text grows in out_.Text, whose characters up to end_ are written; the rest
  // of its length is room made in steps, so that characters go in without a check
  // of the string's own.
  void Grow(std::size_t n);
  void Put(char c) {
    if (end_ == out_.Text.size()) Grow(1);
    out_.Text[end_++] = c;
  }
  void PutBytes(const unsigned char* from, std::size_t n) {
    if (out_.Text.size() - end_ < n) Grow(n);
    std::memcpy(out_.Text.data() + end_, from, n);
    end_ += n;
  }
  [[nodiscard]] int Length() const { return static_cast<int>(end_); }
  // Plain characters and \'hh escapes of Windows-1251 text, as long as nothing else
  // comes: the bulk of every document.
  void FastText();

  TRtfContent out_;
  std::size_t end_ = 0;
  std::unordered_map<std::string, int> formatIndex_;
  int runFormat_ = -1;
  int paraStart_ = 0;
};

TRtfContent TReader::Read() {
  // The text is never longer than the rich text it comes from; room that stays
  // unused is never touched.
  platform::ReserveLarge(out_.Text, size_);
  while (p_ < size_ && !rootClosed_) {
    const unsigned char c = data_[p_];
    switch (c) {
      case '{':
        ++p_;
        OpenGroup();
        break;
      case '}':
        ++p_;
        if (!CloseGroup()) rootClosed_ = true;
        break;
      case '\\':
        if (p_ + 1 >= size_) {
          p_ = size_;
        } else if (IsLetter(data_[p_ + 1])) {
          ++p_;
          ControlWord();
        } else {
          const unsigned char s = data_[p_ + 1];
          p_ += 2;
          ControlSymbol(s);
        }
        break;
      case '\r':
      case '\n':
        ++p_;
        break;
      default:
        PlainBytes();
        break;
    }
  }
  // The last paragraph, closed or not, takes the paragraph format in force at the end.
  PushParagraphFormat();
  if (out_.Runs.empty()) {
    SyncFormat();
    out_.Runs.push_back({0, 0, runFormat_});
  }
  out_.Text.resize(end_);
  return std::move(out_);
}

void TReader::OpenGroup() {
  skip_ = 0;
  if (stack_.size() >= kMaxDepth) {
    ++overflow_;
    return;
  }
  stack_.push_back(state_);
}

bool TReader::CloseGroup() {
  skip_ = 0;
  if (overflow_ > 0) {
    --overflow_;
    return true;
  }
  if (state_.Dest == TDest::FontTable) CommitFont();
  if (stack_.size() <= 1) {
    // The root group ends the document; its state stays in force for the end.
    if (!stack_.empty()) stack_.pop_back();
    return false;
  }
  const bool bulletGroup = state_.Dest == TDest::Bullet;
  const bool bullets = state_.Bullets;
  state_ = stack_.back();
  stack_.pop_back();
  if (bulletGroup) state_.Bullets = bullets;
  formatDirty_ = true;
  codePageDirty_ = true;
  return true;
}

void TReader::ControlWord() {
  const std::size_t start = p_;
  while (p_ < size_ && IsLetter(data_[p_]))
    ++p_;
  const std::string_view word(reinterpret_cast<const char*>(data_ + start),
                              std::min(p_ - start, kMaxWord + 1));
  bool negative = false;
  if (p_ < size_ && data_[p_] == '-' && p_ + 1 < size_ && data_[p_ + 1] >= '0' &&
      data_[p_ + 1] <= '9') {
    negative = true;
    ++p_;
  }
  long long param = 0;
  bool hasParam = false;
  while (p_ < size_ && data_[p_] >= '0' && data_[p_] <= '9') {
    hasParam = true;
    param = std::min(param * 10 + (data_[p_] - '0'), kMaxParam);
    ++p_;
  }
  if (negative) param = -param;
  if (p_ < size_ && data_[p_] == ' ') ++p_;

  if (skip_ > 0) {
    --skip_;
    if (word == "bin" && hasParam && param > 0)
      p_ += std::min<std::size_t>(static_cast<std::size_t>(param), size_ - p_);
    return;
  }
  Word(word.size() > kMaxWord ? nullptr : LookUp(word), param, hasParam);
}

void TReader::Word(const TWordEntry* entry, long long param, bool hasParam) {
  if (entry == nullptr) return;
  const int value = static_cast<int>(param);
  const bool on = !hasParam || param != 0;
  switch (entry->Word) {
    case TWord::Unknown:
      break;
    case TWord::SkipDest:
      state_.Dest = TDest::Skip;
      break;
    case TWord::FontTbl:
      state_.Dest = TDest::FontTable;
      fontEntry_ = -1;
      fontName_.clear();
      break;
    case TWord::ColorTbl:
      state_.Dest = TDest::ColorTable;
      pendingColor_ = {};
      colorSeen_ = false;
      break;
    case TWord::Red:
    case TWord::Green:
    case TWord::Blue:
      if (state_.Dest == TDest::ColorTable) {
        const auto v = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        (entry->Word == TWord::Red     ? pendingColor_.R
         : entry->Word == TWord::Green ? pendingColor_.G
                                       : pendingColor_.B) = v;
        colorSeen_ = true;
      }
      break;
    case TWord::Plain:
      state_.Styles = {};
      state_.Size = 24;
      state_.Font = -1;
      state_.Color = 0;
      formatDirty_ = codePageDirty_ = true;
      break;
    case TWord::Bold:
      state_.Styles.Bold = on;
      formatDirty_ = true;
      break;
    case TWord::Italic:
      state_.Styles.Italic = on;
      formatDirty_ = true;
      break;
    case TWord::Underline:
      state_.Styles.Underline = on;
      formatDirty_ = true;
      break;
    case TWord::UnderlineNone:
      state_.Styles.Underline = false;
      formatDirty_ = true;
      break;
    case TWord::Cf:
      state_.Color = value;
      formatDirty_ = true;
      break;
    case TWord::F:
      if (state_.Dest == TDest::FontTable) {
        CommitFont();
        fontEntry_ = value;
      } else {
        state_.Font = value;
        formatDirty_ = codePageDirty_ = true;
      }
      break;
    case TWord::Fs:
      state_.Size = hasParam && param > 0 ? static_cast<int>(std::min<long long>(param, 3276)) : 24;
      formatDirty_ = true;
      break;
    case TWord::Ansi:
      docCodePage_ = 1252;
      codePageDirty_ = true;
      break;
    case TWord::AnsiCpg:
      if (hasParam && param > 0) docCodePage_ = value;
      codePageDirty_ = true;
      break;
    case TWord::Mac:
      docCodePage_ = 10000;
      codePageDirty_ = true;
      break;
    case TWord::Pc:
      docCodePage_ = 437;
      codePageDirty_ = true;
      break;
    case TWord::Pca:
      docCodePage_ = 850;
      codePageDirty_ = true;
      break;
    case TWord::Deff:
      deff_ = value;
      formatDirty_ = codePageDirty_ = true;
      break;
    case TWord::Uc:
      state_.Uc = static_cast<int>(std::clamp<long long>(param, 0, 16));
      break;
    case TWord::U:
      EmitUnicode(param);
      skip_ = state_.Uc;
      break;
    case TWord::FCharset:
      if (state_.Dest == TDest::FontTable && fontEntry_ >= 0) fonts_[fontEntry_].Charset = value;
      break;
    case TWord::Cpg:
      if (state_.Dest == TDest::FontTable && fontEntry_ >= 0) fonts_[fontEntry_].CodePage = value;
      break;
    case TWord::Bin:
      if (hasParam && param > 0)
        p_ += std::min<std::size_t>(static_cast<std::size_t>(param), size_ - p_);
      break;
    case TWord::Par:
      if (state_.Dest == TDest::Text) EmitBreak();
      break;
    case TWord::Pard:
      state_.Align = TAlignment::Left;
      state_.Bullets = false;
      break;
    case TWord::Pn:
      // {\*\pn ...} in the text describes the paragraph; elsewhere (list tables,
      // the old rendering in \pntext) it is skipped with what holds it.
      if (!stack_.empty() && stack_.back().Dest == TDest::Text) {
        state_.Dest = TDest::Bullet;
        state_.Bullets = false;
      }
      break;
    case TWord::PnLvlBlt:
      if (state_.Dest == TDest::Bullet) state_.Bullets = true;
      break;
    case TWord::Ql:
      state_.Align = TAlignment::Left;
      break;
    case TWord::Qc:
      state_.Align = TAlignment::Center;
      break;
    case TWord::Qr:
      state_.Align = TAlignment::Right;
      break;
    case TWord::Tab:
      EmitAnsi('\t');
      break;
    case TWord::Char:
      EmitAnsi(entry->Char);
      break;
  }
}

void TReader::ControlSymbol(unsigned char c) {
  if (c == '\'') {
    int value = -1;
    if (p_ + 1 < size_) {
      const int hi = HexValue(data_[p_]);
      const int lo = HexValue(data_[p_ + 1]);
      if (hi >= 0 && lo >= 0) value = hi * 16 + lo;
    }
    if (value < 0) {
      // A broken escape: drop what there is of it.
      while (p_ < size_ && HexValue(data_[p_]) >= 0 && p_ < size_)
        ++p_;
      return;
    }
    p_ += 2;
    if (skip_ > 0) {
      --skip_;
      return;
    }
    if (state_.Dest == TDest::Text && !codePageDirty_ && !formatDirty_ && identity_) {
      Put(static_cast<char>(value));
      FastText();
      return;
    }
    EmitEncoded(static_cast<unsigned char>(value));
    return;
  }
  if (skip_ > 0) {
    --skip_;
    return;
  }
  switch (c) {
    case '\\':
    case '{':
    case '}':
      EmitAnsi(c);
      break;
    case '~':
      EmitAnsi(0xA0);
      break;
    case '-':
      EmitAnsi(0xAD);
      break;
    case '_':
      EmitAnsi('-');
      break;
    case '*':
      state_.Dest = TDest::Skip;
      break;
    case '\r':
    case '\n':
      if (state_.Dest == TDest::Text) EmitBreak();
      break;
    case '\t':
      EmitAnsi('\t');
      break;
    default:
      break;
  }
}

void TReader::PlainBytes() {
  if (skip_ > 0) {
    --skip_;
    ++p_;
    return;
  }
  const std::size_t start = p_;
  while (p_ < size_ && !kSpecial[data_[p_]])
    ++p_;
  switch (state_.Dest) {
    case TDest::Text:
      SyncCodePage();
      SyncFormat();
      if (identity_) {
        PutBytes(data_ + start, p_ - start);
        FastText();
      } else {
        for (std::size_t i = start; i < p_; ++i)
          EmitEncoded(data_[i]);
      }
      break;
    case TDest::FontTable:
      for (std::size_t i = start; i < p_; ++i) {
        if (data_[i] == ';') {
          CommitFont();
          fontEntry_ = -1;
        } else {
          fontName_.push_back(static_cast<char>(data_[i]));
        }
      }
      break;
    case TDest::ColorTable:
      for (std::size_t i = start; i < p_; ++i) {
        if (data_[i] != ';') continue;
        colors_.push_back(pendingColor_);
        autoColor_.push_back(!colorSeen_);
        pendingColor_ = {};
        colorSeen_ = false;
      }
      break;
    case TDest::Skip:
    case TDest::Bullet:
      break;
  }
}

void TReader::CommitFont() {
  if (fontEntry_ < 0) {
    fontName_.clear();
    return;
  }
  TFontEntry& font = fonts_[fontEntry_];
  while (!fontName_.empty() && fontName_.back() == ' ')
    fontName_.pop_back();
  std::size_t lead = 0;
  while (lead < fontName_.size() && fontName_[lead] == ' ')
    ++lead;
  if (lead < fontName_.size()) {
    int cp = font.CodePage != 0 ? font.CodePage : CodePageOfCharset(font.Charset);
    if (cp == 0) cp = docCodePage_;
    const auto& table = tables_.Table(IsDoubleByteCodePage(cp) ? 0 : cp);
    font.Name.clear();
    for (std::size_t i = lead; i < fontName_.size(); ++i)
      font.Name.push_back(static_cast<char>(table[static_cast<unsigned char>(fontName_[i])]));
  }
  fontName_.clear();
  codePageDirty_ = formatDirty_ = true;
}

void TReader::SyncCodePage() {
  if (!codePageDirty_) return;
  codePageDirty_ = false;
  int cp = 0;
  auto it = fonts_.find(state_.Font < 0 ? deff_ : state_.Font);
  if (it != fonts_.end())
    cp = it->second.CodePage != 0 ? it->second.CodePage : CodePageOfCharset(it->second.Charset);
  if (cp == 0) cp = docCodePage_;
  doubleByte_ = IsDoubleByteCodePage(cp);
  table_ = &tables_.Table(doubleByte_ ? 0 : cp);
  identity_ = cp == 1251;
  pendingLead_ = false;
}

TCharFormat TReader::CurrentFormat() const {
  TCharFormat f;
  auto it = fonts_.find(state_.Font < 0 ? deff_ : state_.Font);
  f.FontName = it != fonts_.end() && !it->second.Name.empty() ? it->second.Name : default_.FontName;
  f.SizeHalfPoints = state_.Size;
  f.Charset = kRussianCharset;
  const auto c = static_cast<std::size_t>(state_.Color);
  f.Color = state_.Color > 0 && c < colors_.size() && !autoColor_[c] ? colors_[c] : default_.Color;
  f.Styles = state_.Styles;
  return f;
}

void TReader::SyncFormat() {
  if (!formatDirty_) return;
  formatDirty_ = false;
  const TCharFormat f = CurrentFormat();
  std::string key = f.FontName;
  key.push_back('\0');
  key += std::to_string(f.SizeHalfPoints) + ',' + std::to_string(f.Color.R) + ',' +
         std::to_string(f.Color.G) + ',' + std::to_string(f.Color.B) + ',' +
         static_cast<char>('0' + f.Styles.Bold) + static_cast<char>('0' + f.Styles.Italic) +
         static_cast<char>('0' + f.Styles.Underline);
  auto [it, added] = formatIndex_.emplace(key, static_cast<int>(out_.Formats.size()));
  if (added) out_.Formats.push_back(f);
  if (it->second != runFormat_) {
    runFormat_ = it->second;
    const int at = Length();
    if (!out_.Runs.empty() && out_.Runs.back().Start == at)
      out_.Runs.back().FormatIndex = runFormat_;
    else
      out_.Runs.push_back({at, 0, runFormat_});
  }
}

void TReader::EmitAnsi(unsigned char c) {
  if (state_.Dest == TDest::FontTable) {
    fontName_.push_back(static_cast<char>(c));
    return;
  }
  if (state_.Dest != TDest::Text) return;
  SyncFormat();
  Put(static_cast<char>(c));
}

void TReader::EmitEncoded(unsigned char byte) {
  if (state_.Dest == TDest::FontTable) {
    fontName_.push_back(static_cast<char>(byte));
    return;
  }
  if (state_.Dest != TDest::Text) return;
  SyncCodePage();
  if (doubleByte_) {
    if (pendingLead_) {
      pendingLead_ = false;
      EmitAnsi('?');
    } else if (byte >= 0x81) {
      pendingLead_ = true;
    } else {
      EmitAnsi(byte);
    }
    return;
  }
  EmitAnsi((*table_)[byte]);
}

void TReader::EmitUnicode(long long code) {
  if (code < 0) code += 65536;
  if (code >= 0xDC00 && code <= 0xDFFF) return;  // the second half of a pair: one "?" is out
  int ansi = -1;
  if (code >= 0 && code < 0xD800) ansi = platform::UnicodeToAnsi(static_cast<char32_t>(code));
  if (code > 0xDFFF && code <= 0x10FFFF)
    ansi = platform::UnicodeToAnsi(static_cast<char32_t>(code));
  EmitAnsi(ansi < 0 ? '?' : static_cast<unsigned char>(ansi));
}

void TReader::EmitBreak() {
  SyncFormat();
  Put('\r');
  Put('\n');
  PushParagraphFormat();
  paraStart_ = Length();
}

void TReader::PushParagraphFormat() {
  const TAlignmentSpan format{paraStart_, state_.Align, state_.Bullets};
  if (out_.Alignments.empty() || !out_.Alignments.back().SameFormat(format))
    out_.Alignments.push_back(format);
}

void TReader::Grow(std::size_t n) {
  // Steps of 1 MB: each is cleared once, while it is about to be written anyway.
  // (The text never outgrows the input, so small documents take small steps.)
  const std::size_t step = std::min<std::size_t>(1u << 20, size_ + 64);
  out_.Text.resize(out_.Text.size() + std::max(n, step));
}

// The value of two hex digits read as one little-endian 16-bit number, or -1.
const std::array<std::int16_t, 65536>& HexPairs() {
  static const std::array<std::int16_t, 65536> table = [] {
    std::array<std::int16_t, 65536> t{};
    for (int i = 0; i < 65536; ++i) {
      const int hi = kHex[i & 0xFF];
      const int lo = kHex[i >> 8];
      t[i] = static_cast<std::int16_t>(hi >= 0 && lo >= 0 ? hi * 16 + lo : -1);
    }
    return t;
  }();
  return table;
}

void TReader::FastText() {
  if (state_.Dest != TDest::Text || !identity_ || codePageDirty_ || formatDirty_ || skip_ > 0)
    return;
  const std::array<std::int16_t, 65536>& pairs = HexPairs();
  const unsigned char* data = data_;
  std::size_t p = p_;
  const std::size_t size = size_;
  while (p < size) {
    if (out_.Text.size() - end_ < 64) Grow(64);
    char* w = out_.Text.data() + end_;
    char* const stop = out_.Text.data() + out_.Text.size() - 1;
    while (p < size && w < stop) {
      // Runs of plain characters, then runs of \'hh escapes (the two hex digits
      // looked up as one 16-bit value), each in a loop of its own.
      while (p < size && w < stop && !kSpecial[data[p]])
        *w++ = static_cast<char>(data[p++]);
      while (p + 4 <= size && w < stop) {
        std::uint32_t quad;
        std::memcpy(&quad, data + p, 4);
        if ((quad & 0xFFFF) != ('\\' | ('\'' << 8))) break;
        const int value = pairs[quad >> 16];
        if (value < 0) break;
        *w++ = static_cast<char>(value);
        p += 4;
      }
      if (p >= size || w >= stop) break;
      const unsigned char c = data[p];
      if (c == '\r' || c == '\n') {
        ++p;
      } else if (kSpecial[c]) {
        // Anything else special (a brace, another control word, a broken escape)
        // is the main loop's.
        if (c != '\\' || p + 4 > size || data[p + 1] != '\'') {
          end_ = w - out_.Text.data();
          p_ = p;
          return;
        }
        std::uint32_t quad;
        std::memcpy(&quad, data + p, 4);
        if (pairs[quad >> 16] < 0) {
          end_ = w - out_.Text.data();
          p_ = p;
          return;
        }
      }
    }
    end_ = w - out_.Text.data();
  }
  p_ = p;
}

}  // namespace

TRtfContent ReadRtf(std::string_view rtf, const TCharFormat& defaultFormat) {
  return TReader(rtf, defaultFormat).Read();
}

}  // namespace richedit
