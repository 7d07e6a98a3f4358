// The mixed-language check of search keys: a word that begins in one alphabet and
// goes on in the other (a Latin M typed inside a Cyrillic word) silently finds
// nothing, so the viewer warns before searching for it.
#pragma once

#include <string>
#include <string_view>

namespace viewer {

// True when a word of S mixes Cyrillic and Latin letters; MixedWord then holds
// that word (for a word at the end of S, as far as S goes). Words are runs of
// letters; tab, line breaks, space, digits and punctuation (Windows-1251 codes 9 to
// 64, 91 to 96 and 123 to 127) separate them. A word is mixed when it begins with a
// Cyrillic letter (Ё, ё, А to я) and goes on with a Latin one, or begins with any
// other letter (a Latin one, a guillemet, any code 128 to 191 but Ё and ё, 0 to 8)
// and goes on with a letter that is not Latin. MixedWord is left as the scan left it
// when the result is false.
[[nodiscard]] bool HasMixedWord(std::string_view S, std::string& MixedWord);

}  // namespace viewer
