// Pikora.ini as bytes, read and edited the way the platform's private-profile
// functions do it, so that a file they wrote reads the same and is rewritten
// the same. The text is code page 932; a file that starts with a UTF-8 byte
// order mark is UTF-8, and then names and values given and returned are too.
//
// Lines end at CR, LF or CR LF. A line whose first non-blank byte is '[' and
// that holds a ']' starts a section, named by what lies between the '[' and
// the last ']'; lines before the first one form the section "". Any other
// non-blank line is a key: the text before the first '=' names it (a line
// without '=' names a key with no value). Names compare without ASCII case
// and surrounding blanks; only the first section of a name counts, and in it
// only the first key of a name. ';' starts no comment: such a line is a key
// like any other.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pikora {

// The key's value without surrounding blanks and, when it starts and ends
// with the same quote (" or '), without those; cut at a NUL byte. Nothing
// when the section, the key or its '=' is missing.
std::optional<std::string> IniValue(std::string_view file, std::string_view section,
                                    std::string_view key);

// The file after setting the key. Only the value of an existing key changes
// (a value equal to the present one changes nothing); a new key goes after
// the section's last non-blank line, a new section at the end of the file,
// each line ending in CR LF. Leading blanks of the value are dropped.
std::string IniWithValue(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view value);

// The integer an INI value stands for: an optional sign, then decimal digits
// or "0x" and hex digits, as far as they go, wrapping at 32 bits ("12a" is
// 12, "abc" 0). An empty value gives def.
int IniIntValue(std::string_view value, int def);

// True when the file starts with a UTF-8 byte order mark.
bool IsUtf8Ini(std::string_view file);

}  // namespace pikora
