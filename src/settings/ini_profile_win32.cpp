#include "settings/ini_profile_win32.h"

#include <windows.h>

#include <vector>

#include "ui/wide_text.h"
#define TMP_PATH ui::Narrow(path_).c_str()

namespace pikora {

int IniProfile::ReadInt(const std::string& section, const std::string& key, int def) {
    // The reader returns UINT; negative numbers in the file come back as
    // their two's complement, so the cast restores them.
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), def, TMP_PATH));
}

std::string IniProfile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) {
    // A value that does not fit comes back cut, with size - 1 as the length;
    // only a bigger buffer tells a cut value from one of exactly that length.
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                                   buffer.data(), size, TMP_PATH);
        if (got + 1 < size || size >= (1u << 26)) {
            return std::string(buffer.data(), got);
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool IniProfile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), TMP_PATH) !=
           FALSE;
}

}  // namespace pikora
