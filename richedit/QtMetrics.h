// TQtMetrics: the fonts of the rich-edit view and their measurements, one QFont per
// character format, made once and kept. Arial and MS Sans Serif resolve through Qt
// and fontconfig to the metric-compatible Liberation Sans.
#pragma once

#include <QFont>
#include <QString>
#include <memory>
#include <string>
#include <unordered_map>

#include "richedit/CharFormat.h"
#include "richedit/TextLayout.h"

namespace richedit {

class TQtMetrics : public TMetricsSource {
 public:
  TQtMetrics();

  const TFontMeasure& Measure(const TCharFormat& format) override;
  // The font that draws text of format.
  const QFont& Font(const TCharFormat& format);

 private:
  struct TEntry {
    QFont Font;
    TFontMeasure Measure;
  };
  TEntry& Entry(const TCharFormat& format);

  std::unordered_map<std::string, std::unique_ptr<TEntry>> entries_;
  TCharFormat lastKey_;  // the format of lastEntry_
  TEntry* lastEntry_ = nullptr;
};

// The text of [data, data + size) of Windows-1251 as a QString for the screen; the
// characters without a glyph (control characters, the undefined 0x98) are left out.
QString ScreenText(const char* data, int size);

}  // namespace richedit
