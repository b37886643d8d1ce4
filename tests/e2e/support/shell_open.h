// What a program asks the shell to open. For the life of a ShellOpenRecorder
// the "open" of http addresses and of .html documents starts open_probe.exe
// (built next to the tests), which writes each address or path it is given to
// a log; the associations the prefix had before come back at the end.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

class ShellOpenRecorder {
  public:
    // logPath: a file in the test's folder, created afresh.
    explicit ShellOpenRecorder(const std::string& logPath);
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }

    // Every opening so far, oldest first, as the probe received it (UTF-8).
    std::vector<std::string> Opened() const;
    // True once at least `count` openings have been recorded.
    bool WaitOpened(size_t count, DWORD timeoutMs = 5000) const;
    // The openings one per line, for failure messages.
    std::string Describe() const;

  private:
    struct SavedValue {
        std::string subKey;
        bool keyExisted = false;
        std::optional<std::string> value;  // the key's default value
    };

    void Save(const std::string& subKey);
    bool SetDefault(const std::string& subKey, const std::string& value);
    void Restore(const SavedValue& saved);

    std::string m_logPath;
    std::vector<SavedValue> m_saved;
    std::string m_error;
};

}  // namespace e2e
