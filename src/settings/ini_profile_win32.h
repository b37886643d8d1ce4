// Profile over one INI file, Pikora.ini. The program reads and writes the
// file's bytes itself: the platform's private-profile functions take both
// the path and the text in the system's code page, so on a Windows that is
// not Japanese they mangle the CP932 values and cannot open a file in a
// folder with a Japanese name.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "settings/profile.h"

namespace pikora {

class IniProfile : public Profile {
  public:
    explicit IniProfile(std::wstring path) : path_(std::move(path)) {}

    // Each call reads the file afresh: the user may edit it while we run.
    int ReadInt(const std::string& section, const std::string& key, int def) override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) override;
    // False, with the file untouched, when it cannot be read or replaced
    // (read-only, locked, in a folder we may not write to).
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    const std::wstring& Path() const { return path_; }

  private:
    std::optional<std::string> Read(const std::string& section, const std::string& key) const;

    std::wstring path_;
};

}  // namespace pikora
