#include "richedit/QtMetrics.h"

#include <QFontMetricsF>
#include <cmath>

#include "platform/CodePageTables.h"

namespace richedit {

namespace {

std::string Key(const TCharFormat& f) {
  return f.FontName + '\0' + std::to_string(f.SizeHalfPoints) + (f.Styles.Bold ? "b" : "") +
         (f.Styles.Italic ? "i" : "") + (f.Styles.Underline ? "u" : "");
}

bool HasGlyph(unsigned char c) {
  return c >= 0x20 && platform::tables::kAnsiToUnicode[c] != 0xFFFF;
}

}  // namespace

TQtMetrics::TQtMetrics() {
  // MS Sans Serif has no outline font of its own; Arial has its metrics, and
  // fontconfig maps Arial to Liberation Sans.
  QFont::insertSubstitution("MS Sans Serif", "Arial");
}

TQtMetrics::TEntry& TQtMetrics::Entry(const TCharFormat& format) {
  if (lastEntry_ != nullptr && lastKey_ == format) return *lastEntry_;
  auto& slot = entries_[Key(format)];
  if (!slot) {
    slot = std::make_unique<TEntry>();
    QFont font(QString::fromStdString(format.FontName));
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(PixelsFromHalfPoints(format.SizeHalfPoints)))));
    font.setBold(format.Styles.Bold);
    font.setItalic(format.Styles.Italic);
    font.setUnderline(format.Styles.Underline);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    slot->Font = font;
    const QFontMetricsF fm(font);
    for (int c = 0; c < 256; ++c) {
      slot->Measure.Advance[c] =
          HasGlyph(static_cast<unsigned char>(c))
              ? static_cast<std::int32_t>(std::lround(
                    fm.horizontalAdvance(QChar(platform::tables::kAnsiToUnicode[c])) * 64))
              : 0;
    }
    slot->Measure.Ascent = static_cast<int>(std::ceil(fm.ascent()));
    slot->Measure.Descent = static_cast<int>(std::ceil(fm.descent()));
    slot->Measure.LineHeight = std::max(static_cast<int>(std::ceil(fm.height())),
                                        slot->Measure.Ascent + slot->Measure.Descent);
  }
  lastKey_ = format;
  lastEntry_ = slot.get();
  return *slot;
}

const TFontMeasure& TQtMetrics::Measure(const TCharFormat& format) {
  return Entry(format).Measure;
}

const QFont& TQtMetrics::Font(const TCharFormat& format) {
  return Entry(format).Font;
}

QString ScreenText(const char* data, int size) {
  QString s;
  s.reserve(size);
  for (int i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (HasGlyph(c)) s.append(QChar(platform::tables::kAnsiToUnicode[c]));
  }
  return s;
}

}  // namespace richedit
