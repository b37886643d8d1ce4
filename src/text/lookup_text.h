// Texts of the clipboard submenu: the addresses that look a text up on the web
// and in the dictionaries, the quoting of a text, and the lower-casing of the
// English-Japanese lookup.
#pragma once

#include <string>
#include <string_view>

namespace pikora {

// The web search program; the query follows it.
constexpr const char* kWebSearchBase = "http://search.goo.ne.jp/default.asp";
constexpr const char* kWebSearchTail = "&WTS=ntt&SM=MC&DE=2&DC=10";

// Dictionary selectors ("sw=").
constexpr const char* kDicEnJa = "0";
constexpr const char* kDicJaEn = "1";
constexpr const char* kDicJapanese = "2";

// The text as the value of a query key. Code page 932 bytes travel as they
// are, double-byte characters and half-width katakana included; only the
// single-byte characters that would end the value or the address early, change
// what the service decodes, or break out of a quoted command line are written
// as %XX: control bytes, space, '"', '#', '%', '&', '+' and DEL.
std::string QueryValue(std::string_view text);

// kWebSearchBase + "?MT=" + text + kWebSearchTail.
std::string WebSearchUrl(std::string_view text);

// dicCgi + "?MT=" + text + "&sw=" + selector.
std::string DictionaryUrl(std::string_view dicCgi, std::string_view text,
                          std::string_view selector);

// quote in front of the text and after every line feed, so that each line of
// a CR LF text starts with it; a text ending in a line break gets a last one.
std::string AddQuote(std::string_view text, std::string_view quote);

// A-Z and the double-byte capitals (full-width Latin, Greek, Cyrillic) in
// lower case; everything else, trail bytes included, unchanged.
std::string ToLowerCp932(std::string_view text);

}  // namespace pikora
