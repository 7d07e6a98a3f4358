// A generated Windows-1251 corpus: notebook-like lines of Russian words, grouped
// into paragraphs by empty lines, with CR LF line breaks. The same size and seed
// always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace bench {

// Writes the corpus to path a megabyte at a time, so that making it costs no memory.
void WriteCorpus(const std::filesystem::path& path, std::size_t bytes, std::uint32_t seed = 6);

}  // namespace bench
