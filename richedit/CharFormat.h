// The formatting records of the rich-edit model: character formats, font styles,
// colours and paragraph alignment. Plain values, no Qt.
#pragma once

#include <cstdint>
#include <string>

namespace richedit {

// A colour as red, green and blue components.
struct TRgb {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

inline constexpr TRgb kBlack{0, 0, 0};
inline constexpr TRgb kRed{255, 0, 0};

// Font styles a run may carry.
struct TFontStyles {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  friend bool operator==(const TFontStyles&, const TFontStyles&) = default;
};

// The character set numbers of font tables; 204 is Cyrillic.
inline constexpr int kAnsiCharset = 0;
inline constexpr int kDefaultCharset = 1;
inline constexpr int kRussianCharset = 204;

// The formatting of a run of characters. The size is in half-points, as rich text
// writes it: 18 half-points are 9 points, which is 12 pixels on a 96-dpi screen.
struct TCharFormat {
  std::string FontName = "Arial";
  int SizeHalfPoints = 18;
  int Charset = kRussianCharset;
  TRgb Color = kBlack;
  TFontStyles Styles;
  friend bool operator==(const TCharFormat&, const TCharFormat&) = default;
};

// Half-points for a font height in pixels on a 96-dpi screen (12 px -> 18), and back.
[[nodiscard]] constexpr int HalfPointsFromPixels(int pixels) {
  return (pixels * 72 * 2 + 48) / 96;
}
[[nodiscard]] constexpr double PixelsFromHalfPoints(int halfPoints) {
  return halfPoints * 96.0 / (72.0 * 2.0);
}

// The alignment of a paragraph. Justified paragraphs read from rich text are kept
// as left-aligned ones.
enum class TAlignment : std::uint8_t { Left, Center, Right };

// A range of characters: Start and Length count characters of the model's text.
struct TRange {
  int Start = 0;
  int Length = 0;
  friend bool operator==(const TRange&, const TRange&) = default;
};

}  // namespace richedit
