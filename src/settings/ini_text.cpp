#include "settings/ini_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "text/cp932.h"

namespace pikora {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\n\v\f\r";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The two text forms an INI file comes in. In UTF-8 no byte is part of a
// pair: a lead byte of CP932 would swallow an ASCII byte after it.
struct Chars {
    bool pairs = true;
    std::size_t Length(std::string_view s, std::size_t pos) const {
        return pairs ? CharLength(s, pos) : 1;
    }
    // The second byte of a CP932 pair can be a letter ('A' is one): only a
    // whole single-byte character is folded.
    bool SameName(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size();) {
            const std::size_t n = Length(a, i);
            if (n == 1 ? FoldAscii(a[i]) != FoldAscii(b[i]) : a.substr(i, n) != b.substr(i, n)) {
                return false;
            }
            i += n;
        }
        return true;
    }
    // ']' can be the second byte of a pair, which closes nothing.
    std::size_t LastCloseBracket(std::string_view s) const {
        std::size_t found = std::string_view::npos;
        for (std::size_t i = 0; i < s.size(); i += Length(s, i)) {
            if (s[i] == ']') {
                found = i;
            }
        }
        return found;
    }
};

// Where each part of the wanted key lies in the file; npos for what is not there.
struct Layout {
    static constexpr std::size_t npos = std::string_view::npos;
    bool sectionFound = false;
    // Just past the section's last non-blank line and its line end.
    std::size_t insertAt = npos;
    bool insertNeedsLineEnd = false;
    std::size_t keyLine = npos;
    std::size_t keyNameEnd = npos;  // after the name's last non-blank byte
    std::size_t equals = npos;
    std::size_t lineEnd = npos;  // before the line's CR or LF
};

Layout Locate(std::string_view file, std::string_view section, std::string_view key) {
    const Chars chars{!IsUtf8Ini(file)};
    const std::size_t body = chars.pairs ? 0 : kUtf8Bom.size();
    section = Trim(section);
    key = Trim(key);

    Layout at;
    bool inSection = section.empty();
    if (inSection) {
        at.sectionFound = true;
        at.insertAt = body;
    }
    for (std::size_t pos = body; pos < file.size();) {
        const std::size_t end = std::min(file.find_first_of(kLineEnd, pos), file.size());
        std::size_t next = end;
        if (next < file.size()) {
            next += file.compare(next, 2, kLineEnd) == 0 ? 2 : 1;
        }
        const std::string_view line = file.substr(pos, end - pos);
        const std::size_t start = line.find_first_not_of(kBlanks);
        if (start == std::string_view::npos) {
            pos = next;
            continue;
        }
        const std::string_view text = line.substr(start);
        const std::size_t close = text[0] == '[' ? chars.LastCloseBracket(text) : Layout::npos;
        if (close != Layout::npos) {
            if (inSection) {
                break;
            }
            if (!at.sectionFound && chars.SameName(Trim(text.substr(1, close - 1)), section)) {
                at.sectionFound = inSection = true;
            }
        } else if (inSection) {
            const std::size_t equals = line.find('=', start);
            const std::string_view name = Trim(line.substr(start, equals - start));
            if (chars.SameName(name, key)) {
                at.keyLine = pos;
                at.keyNameEnd =
                    pos + (name.empty()
                               ? start
                               : static_cast<std::size_t>(name.data() - line.data()) + name.size());
                at.equals = equals == std::string_view::npos ? Layout::npos : pos + equals;
                at.lineEnd = end;
                break;
            }
        }
        if (inSection) {
            at.insertAt = next;
            at.insertNeedsLineEnd = next == end;
        }
        pos = next;
    }
    return at;
}

}  // namespace

bool IsUtf8Ini(std::string_view file) {
    return file.substr(0, kUtf8Bom.size()) == kUtf8Bom;
}

std::optional<std::string> IniValue(std::string_view file, std::string_view section,
                                    std::string_view key) {
    const Layout at = Locate(file, section, key);
    if (at.keyLine == Layout::npos || at.equals == Layout::npos) {
        return std::nullopt;
    }
    std::string_view value = Trim(file.substr(at.equals + 1, at.lineEnd - at.equals - 1));
    // The platform hands values out as C strings.
    value = value.substr(0, value.find('\0'));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string IniWithValue(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::size_t first = value.find_first_not_of(kBlanks);
    value = first == std::string_view::npos ? std::string_view() : value.substr(first);
    const Layout at = Locate(file, section, key);
    std::string out;
    out.reserve(file.size() + section.size() + key.size() + value.size() + 8);
    if (at.keyLine != Layout::npos) {
        if (at.equals != Layout::npos &&
            Trim(file.substr(at.equals + 1, at.lineEnd - at.equals - 1)) == value) {
            return std::string(file);
        }
        // A line without '=' gets one after the name.
        if (at.equals != Layout::npos) {
            out.append(file.substr(0, at.equals + 1));
        } else {
            out.append(file.substr(0, at.keyNameEnd)).append("=");
        }
        out.append(value);
        out.append(file.substr(at.lineEnd));
        return out;
    }
    const std::string line = std::string(Trim(key)) + "=" + std::string(value) + "\r\n";
    if (at.sectionFound) {
        out.append(file.substr(0, at.insertAt));
        if (at.insertNeedsLineEnd) {
            out.append("\r\n");
        }
        out.append(line);
        out.append(file.substr(at.insertAt));
        return out;
    }
    out.append(file);
    const std::size_t body = IsUtf8Ini(file) ? kUtf8Bom.size() : 0;
    if (file.size() > body && file.back() != '\r' && file.back() != '\n') {
        out.append("\r\n");
    }
    out.append("[").append(Trim(section)).append("]\r\n").append(line);
    return out;
}

int IniIntValue(std::string_view value, int def) {
    if (value.empty()) {
        return def;
    }
    std::size_t i = 0;
    const bool negative = value[0] == '-';
    if (value[0] == '-' || value[0] == '+') {
        ++i;
    }
    // Only a small x makes hex: "0X1f" reads as 0.
    const bool hex = value.compare(i, 2, "0x") == 0;
    if (hex) {
        i += 2;
    }
    std::uint32_t magnitude = 0;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        std::uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && FoldAscii(c) >= 'a' && FoldAscii(c) <= 'f') {
            digit = static_cast<std::uint32_t>(FoldAscii(c) - 'a' + 10);
        } else {
            break;
        }
        magnitude = magnitude * (hex ? 16u : 10u) + digit;
    }
    const std::uint32_t bits = negative ? 0u - magnitude : magnitude;
    return static_cast<int>(bits);
}

}  // namespace pikora
