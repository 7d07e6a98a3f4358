// Paragraph boundaries of a text whose line breaks are CR LF. A paragraph separator
// is an empty line, the four characters "\r\n\r\n".
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace viewer {

// A growable array of 32-bit offsets: the paragraph boundaries of one document.
using TEmpties = std::vector<std::int32_t>;

// How many entries the boundary table grows by; its capacity is always a multiple.
inline constexpr std::int32_t kBoundsStep = 1024;

// The paragraph index of a text.
struct TParagraphIndex {
  // Bounds[0] = 0; Bounds[k] for 0 < k < ParaCount is the offset of the k-th
  // separator; Bounds[ParaCount] = the text's length. Paragraph k runs from
  // Bounds[k-1] up to Bounds[k]; every paragraph but the first begins with the
  // separator in front of it. Bounds has BoundsCapacity entries; those behind
  // ParaCount are 0.
  TEmpties Bounds;
  std::int32_t ParaCount = 0;
  // A multiple of kBoundsStep; at least four entries stay free behind the last
  // separator while indexing.
  std::int32_t BoundsCapacity = 0;
};

// Indexes Text. Each search for the next separator starts behind the one just found,
// so in a run of empty lines a separator is found at every fourth position and a
// paragraph may be a separator alone; a text that ends in "\r\n\r\n" ends with such
// a paragraph. An empty text has one empty paragraph. Throws std::bad_alloc when
// the table cannot be allocated.
[[nodiscard]] TParagraphIndex IndexParagraphs(std::string_view Text);

}  // namespace viewer
