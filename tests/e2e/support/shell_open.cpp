#include "support/shell_open.h"

#include "support/common.h"

namespace e2e {

namespace {

// HKEY_CLASSES_ROOT is HKLM\Software\Classes in a Wine prefix.
constexpr char kHttpCommand[] = "http\\shell\\open\\command";
constexpr char kHtmlExtension[] = ".html";
constexpr char kProbeDocument[] = "PikoraE2E.Document";
constexpr char kProbeDocumentCommand[] = "PikoraE2E.Document\\shell\\open\\command";

bool KeyExists(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<std::string> ReadDefault(const std::string& subKey) {
    char buffer[1024];
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, subKey.c_str(), buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(buffer);
}

}  // namespace

ShellOpenRecorder::ShellOpenRecorder(const std::string& logPath) : m_logPath(logPath) {
    DeleteFileA(m_logPath.c_str());
    const std::string probe = ThisExeDir() + "\\open_probe.exe";
    if (GetFileAttributesA(probe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        m_error = "open_probe.exe not found at " + probe;
        return;
    }
    const std::string command = "\"" + probe + "\" \"" + m_logPath + "\" \"%1\"";
    Save(kHttpCommand);
    Save(kHtmlExtension);
    Save(kProbeDocument);
    if (!SetDefault(kHttpCommand, command) || !SetDefault(kHtmlExtension, kProbeDocument) ||
        !SetDefault(kProbeDocumentCommand, command)) {
        m_error = "cannot register open_probe.exe in HKEY_CLASSES_ROOT";
    }
}

ShellOpenRecorder::~ShellOpenRecorder() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        Restore(*it);
    }
}

void ShellOpenRecorder::Save(const std::string& subKey) {
    SavedValue saved;
    saved.subKey = subKey;
    saved.keyExisted = KeyExists(subKey);
    if (saved.keyExisted) {
        saved.value = ReadDefault(subKey);
    }
    m_saved.push_back(saved);
}

bool ShellOpenRecorder::SetDefault(const std::string& subKey, const std::string& value) {
    return RegSetValueA(HKEY_CLASSES_ROOT, subKey.c_str(), REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

void ShellOpenRecorder::Restore(const SavedValue& saved) {
    if (!saved.keyExisted) {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, saved.subKey.c_str());
        return;
    }
    if (saved.value) {
        SetDefault(saved.subKey, *saved.value);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, saved.subKey.c_str(), 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, nullptr);
        RegCloseKey(key);
    }
}

std::vector<std::string> ShellOpenRecorder::Opened() const {
    std::vector<std::string> lines;
    const auto bytes = ReadFileBytes(m_logPath);
    if (!bytes) {
        return lines;
    }
    size_t start = 0;
    for (size_t end; (end = bytes->find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes->substr(start, end - start));
    }
    return lines;
}

bool ShellOpenRecorder::WaitOpened(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Opened().size() >= count; }, timeoutMs, 50);
}

std::string ShellOpenRecorder::Describe() const {
    std::string out;
    for (const std::string& line : Opened()) {
        out += "  " + line + "\n";
    }
    return out.empty() ? "  (nothing opened)\n" : out;
}

}  // namespace e2e
