// Reading Pikora.ini and other line-based text the way the tests look at it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Lines split at LF, a CR before it dropped; a last line without LF counts.
std::vector<std::string> SplitLines(const std::string& text);

// Lines of one INI section (blank lines dropped), in file order; a section
// that appears more than once gives the lines of all its appearances.
std::vector<std::string> IniSection(const std::string& ini, const std::string& name);

// "key=value" lines as a map; lines without '=' are left out.
std::map<std::string, std::string> IniValues(const std::vector<std::string>& lines);

// Value of `key` in [Setting] (its first line); nothing when the key is missing.
std::optional<std::string> SettingValue(const std::string& ini, const std::string& key);

}  // namespace e2e
