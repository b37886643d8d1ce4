// What a search of the list treats as the same character. A Japanese writer
// types "abc" and means "ＡＢＣ" as well, types "ｶﾀｶﾅ" or "かたかな" and means
// "カタカナ"; the search compares texts folded by these rules:
//   - upper and lower case, of ASCII and of full-width letters;
//   - full-width ASCII letters, digits and signs (and the ideographic space)
//     and their ASCII forms; ￥ and ＼ both as the backslash byte, which
//     Japanese fonts show as the yen sign;
//   - half-width katakana (a voiced mark joined to its kana) and full-width
//     katakana;
//   - hiragana and katakana.
// Everything else, the NEC and IBM rows included, stays as it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pikora {

// Appends the folded form of CP932 text to out. The result is CP932 in which
// every lead byte has its trail byte; a stray lead byte becomes '?'.
void AppendSearchFolded(std::string_view text, std::string& out);
std::string SearchFolded(std::string_view text);

// Where folded needle first occurs in folded haystack at or after from, on
// a character boundary (never from a trail byte); npos when nowhere. An empty
// needle matches at from.
std::size_t FindFolded(std::string_view haystack, std::string_view needle, std::size_t from = 0);
// The same, looking for candidates by needle[anchor]: the search is quickest
// when that is the needle's byte that is rarest in the haystack.
std::size_t FindFolded(std::string_view haystack, std::string_view needle, std::size_t from,
                       std::size_t anchor);

}  // namespace pikora
