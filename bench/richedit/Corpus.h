// The benchmark corpus: Windows-1251 prose in Russian and English, in lines and
// paragraphs separated by empty lines, the same for the same seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

// About size bytes of text with CR LF line breaks.
[[nodiscard]] std::string MakeCorpus(std::size_t size, std::uint32_t seed = 1);

}  // namespace bench
