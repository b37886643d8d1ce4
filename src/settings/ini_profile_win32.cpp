#include "settings/ini_profile_win32.h"

#include <windows.h>

#include <string_view>
#include <utility>

#include "settings/ini_text.h"
#include "ui/file_bytes.h"
#include "ui/wide_text.h"

namespace pikora {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// Far beyond any settings file; such a file is not ours to hold in memory.
constexpr ULONGLONG kMaxIniBytes = 64ull * 1024 * 1024;

// The platform's functions also read files that start with a byte order
// mark, as UTF-8 or UTF-16, and write them back so. The core handles UTF-8
// with its mark; a UTF-16 file is turned into that and back.
enum class Form { Bytes, Utf16Le, Utf16Be };

struct IniFile {
    Form form = Form::Bytes;
    std::string text;  // CP932, or UTF-8 with its mark
    bool Utf8() const { return IsUtf8Ini(text); }
    std::string In(const std::string& cp932) const {
        return Utf8() ? ui::Narrow(ui::Wide(cp932), CP_UTF8) : cp932;
    }
    std::string Out(const std::string& value) const {
        return Utf8() ? ui::Narrow(ui::Wide(value, CP_UTF8)) : value;
    }
};

void SwapPairs(std::string& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
}

IniFile FromBytes(std::string bytes) {
    IniFile file;
    const std::string_view mark = std::string_view(bytes).substr(0, 2);
    if (mark != "\xFF\xFE" && mark != "\xFE\xFF") {
        file.text = std::move(bytes);
        return file;
    }
    file.form = mark == "\xFF\xFE" ? Form::Utf16Le : Form::Utf16Be;
    bytes.erase(0, 2);
    if (file.form == Form::Utf16Be) {
        SwapPairs(bytes);
    }
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    file.text = std::string(kUtf8Bom) + ui::Narrow(text, CP_UTF8);
    return file;
}

std::string ToBytes(const IniFile& file) {
    if (file.form == Form::Bytes) {
        return file.text;
    }
    const std::wstring text =
        ui::Wide(std::string_view(file.text).substr(kUtf8Bom.size()), CP_UTF8);
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    bytes.insert(0, "\xFF\xFE");
    if (file.form == Form::Utf16Be) {
        SwapPairs(bytes);
    }
    return bytes;
}

// A missing file or folder reads as empty, as the platform has it. Nothing
// when the file is there but cannot be read: a write must then leave it be.
std::optional<IniFile> Load(const std::wstring& path) {
    ui::FileBytes file = ui::ReadFileBytes(
        path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kMaxIniBytes);
    if (file.read) {
        return FromBytes(std::move(file.bytes));
    }
    if (file.error == ERROR_FILE_NOT_FOUND || file.error == ERROR_PATH_NOT_FOUND) {
        return IniFile();
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> IniProfile::Read(const std::string& section,
                                            const std::string& key) const {
    const std::optional<IniFile> file = Load(path_);
    if (!file) {
        return std::nullopt;
    }
    const std::optional<std::string> value = IniValue(file->text, file->In(section), file->In(key));
    return value ? std::optional<std::string>(file->Out(*value)) : std::nullopt;
}

int IniProfile::ReadInt(const std::string& section, const std::string& key, int def) {
    const std::optional<std::string> value = Read(section, key);
    return value ? IniIntValue(*value, def) : def;
}

std::string IniProfile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) {
    return Read(section, key).value_or(def);
}

bool IniProfile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
    const std::optional<IniFile> file = Load(path_);
    if (!file) {
        return false;
    }
    IniFile changed = *file;
    changed.text = IniWithValue(file->text, file->In(section), file->In(key), file->In(value));
    // The platform leaves a file alone when the value is already there.
    if (changed.text == file->text) {
        return true;
    }
    return ui::ReplaceFileBytes(path_, ToBytes(changed)) == ERROR_SUCCESS;
}

}  // namespace pikora
