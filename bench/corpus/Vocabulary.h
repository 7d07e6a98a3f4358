// The words of the benchmark corpus, most frequent first.
#pragma once

#include <string>
#include <vector>

namespace bench {

// Russian and English words (Windows-1251), ranked as running text uses them: the
// common words of both languages interleaved by frequency at the head, then a long
// tail of rarer words built from syllables. The same call always gives the same list.
[[nodiscard]] std::vector<std::string> CorpusVocabulary();

}  // namespace bench
