// The search key as the filter run takes it from the key edit. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace viewer {

// The longest key the engine and a document keep, in characters.
inline constexpr std::size_t kFilterKeyLength = 255;

// The key a run searches for TypedKey (Windows-1251, as the key edit holds it): the
// typed text with one space behind it, cut to 255 characters.
[[nodiscard]] inline std::string FilterKey(std::string_view TypedKey) {
  std::string key(TypedKey);
  key += ' ';
  if (key.size() > kFilterKeyLength) key.resize(kFilterKeyLength);
  return key;
}

}  // namespace viewer
