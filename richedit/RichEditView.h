// The view state of TRichEdit: the index of logical lines, the scroll position and
// the selection's active end. Internal to the widget.
#pragma once

#include <cstdint>
#include <vector>

#include "richedit/RichEdit.h"

namespace richedit {

struct TRichEdit::TView {
  // Starts of the logical lines; after a final CR LF the empty line there has one too.
  std::vector<int> LineStarts{0};
  std::uint64_t IndexRevision = ~std::uint64_t{0};
  int LongestLine = 0;  // characters of the longest logical line
  // The top of the view: a logical line and a display line within it.
  int TopLine = 0;
  int TopSub = 0;
  int HOffset = 0;  // pixels scrolled to the right, without word wrap
  int Anchor = 0;   // the fixed end of the selection
  int Caret = 0;    // the moving end
  int PreferredX = -1;
  bool Dragging = false;
  bool SyncingBars = false;
  int WidestPainted = 0;
  std::vector<TDisplayLine> Scratch;
};

// The margin between the frame and the text, in pixels.
inline constexpr int kTextMargin = 2;

}  // namespace richedit
