#include "tools/darvena-filter/ResultWriter.h"

#include <array>

#include "platform/CodePage.h"

namespace filtertool {
namespace {

constexpr std::string_view kRedOn = "\x1b[31m";
constexpr std::string_view kColourOff = "\x1b[0m";

// The bytes each Windows-1251 character becomes in an encoding.
class TCharTable {
 public:
  explicit TCharTable(TOutputEncoding Encoding) {
    for (int c = 0; c < 256; ++c) {
      const std::string one(1, static_cast<char>(c));
      table_[c] = Encoding == TOutputEncoding::Utf8 ? platform::AnsiToUtf8(one) : one;
    }
  }
  [[nodiscard]] const std::string& operator[](unsigned char c) const { return table_[c]; }

 private:
  std::array<std::string, 256> table_;
};

// Collects output and writes it out a megabyte at a time.
class TOutput {
 public:
  explicit TOutput(std::FILE* Stream) : stream_(Stream) { buffer_.reserve(kChunk + 4096); }
  void operator+=(std::string_view Bytes) {
    buffer_ += Bytes;
    if (buffer_.size() >= kChunk) Flush();
  }
  void operator+=(char Byte) {
    buffer_ += Byte;
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), stream_) != buffer_.size()) {
      failed_ = true;
    }
    buffer_.clear();
  }
  [[nodiscard]] bool Failed() const { return failed_; }

 private:
  static constexpr std::size_t kChunk = 1 << 20;
  std::FILE* stream_;
  std::string buffer_;
  bool failed_ = false;
};

// Appends Text with its CR LF breaks as Style wants them; Red runs are coloured.
void AppendRun(TOutput& Out, std::string_view Text, bool Red, const TWriteStyle& Style,
               const TCharTable& Chars) {
  const bool utf8 = Style.Encoding == TOutputEncoding::Utf8;
  std::size_t from = 0;
  while (from < Text.size()) {
    std::size_t br = Text.find("\r\n", from);
    const std::size_t to = br == std::string_view::npos ? Text.size() : br;
    if (to > from) {
      if (Red) Out += kRedOn;
      const std::string_view piece = Text.substr(from, to - from);
      if (utf8) {
        for (unsigned char c : piece) {
          if (c < 0x80) {
            Out += static_cast<char>(c);
          } else {
            Out += Chars[c];
          }
        }
      } else {
        Out += piece;
      }
      if (Red) Out += kColourOff;
    }
    if (br == std::string_view::npos) break;
    Out += Style.Crlf ? "\r\n" : "\n";
    from = br + 2;
  }
}

}  // namespace

bool WriteResult(std::FILE* Stream, const richedit::TTextModel& Model, const TWriteStyle& Style) {
  const TCharTable chars(Style.Encoding);
  const std::string& text = Model.Text();
  TOutput out(Stream);
  if (Style.Color) {
    for (const richedit::TFormatSpan& span : Model.Spans(0, Model.TextLength())) {
      const bool red = Model.Format(span.FormatIndex).Color == richedit::kRed;
      AppendRun(out, std::string_view(text).substr(span.Start, span.Length), red, Style, chars);
    }
  } else {
    AppendRun(out, text, false, Style, chars);
  }
  if (!text.empty() && !text.ends_with("\r\n")) out += Style.Crlf ? "\r\n" : "\n";
  out.Flush();
  return !out.Failed() && std::fflush(Stream) == 0;
}

std::string Encode(std::string_view Text, TOutputEncoding Encoding) {
  return Encoding == TOutputEncoding::Utf8 ? platform::AnsiToUtf8(Text) : std::string(Text);
}

bool WriteAll(std::FILE* Stream, std::string_view Bytes) {
  if (!Bytes.empty() && std::fwrite(Bytes.data(), 1, Bytes.size(), Stream) != Bytes.size()) {
    return false;
  }
  return std::fflush(Stream) == 0;
}

}  // namespace filtertool
