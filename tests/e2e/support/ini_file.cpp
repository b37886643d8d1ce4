#include "support/ini_file.h"

namespace e2e {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> IniSection(const std::string& ini, const std::string& name) {
    std::vector<std::string> lines;
    bool inside = false;
    for (const std::string& line : SplitLines(ini)) {
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + name + "]";
        } else if (inside && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::map<std::string, std::string> IniValues(const std::vector<std::string>& lines) {
    std::map<std::string, std::string> values;
    for (const std::string& line : lines) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

std::optional<std::string> SettingValue(const std::string& ini, const std::string& key) {
    const std::string prefix = key + "=";
    for (const std::string& line : IniSection(ini, "Setting")) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return line.substr(prefix.size());
        }
    }
    return std::nullopt;
}

}  // namespace e2e
