// Generated Windows-1251 documents for the benchmarks: Russian and English words
// drawn with Zipf frequencies, CR LF line breaks. The same shape, size and seed
// always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace bench {

enum class TCorpusShape {
  // A notebook: dated entries of short lines, the entries an empty line apart and
  // long enough that loading chooses line filtering.
  Notebook,
  // A dictionary: articles of 3 to 40 lines headed by their word in capitals, an
  // empty line apart, short enough on average that loading chooses paragraph filtering.
  Dictionary,
};

// Writes a corpus of at least Bytes bytes (whole lines, the last ending with its
// line break) to Path, a megabyte at a time. Throws std::runtime_error when the file
// cannot be written.
void WriteCorpus(const std::filesystem::path& Path, TCorpusShape Shape, std::size_t Bytes,
                 std::uint32_t Seed = 1);

}  // namespace bench
