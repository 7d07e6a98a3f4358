#include "viewer/Paragraphs.h"

namespace viewer {

TParagraphIndex IndexParagraphs(std::string_view Text) {
  constexpr std::string_view kSeparator = "\r\n\r\n";
  const auto textLen = static_cast<std::int32_t>(Text.size());
  TParagraphIndex index;
  index.BoundsCapacity = kBoundsStep;
  index.Bounds.assign(kBoundsStep, 0);
  std::size_t pos = 0;
  while (pos < Text.size()) {
    const std::size_t found = Text.find(kSeparator, pos);
    if (found == std::string_view::npos) break;
    ++index.ParaCount;
    index.Bounds[index.ParaCount] = static_cast<std::int32_t>(found);
    if (index.ParaCount > index.BoundsCapacity - 4) {
      // The table's length grows by fixed steps; the vector below it grows
      // geometrically, so indexing stays linear however many paragraphs there are.
      index.BoundsCapacity += kBoundsStep;
      index.Bounds.resize(index.BoundsCapacity, 0);
    }
    pos = found + kSeparator.size();
  }
  ++index.ParaCount;
  index.Bounds[index.ParaCount] = textLen;
  return index;
}

}  // namespace viewer
