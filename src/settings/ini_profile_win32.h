// Profile over the platform's private-profile functions, one INI file.
#pragma once

#include <string>
#include <utility>

#include "settings/profile.h"

namespace pikora {

class IniProfile : public Profile {
  public:
    explicit IniProfile(std::wstring path) : path_(std::move(path)) {}

    int ReadInt(const std::string& section, const std::string& key, int def) override;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;

    const std::wstring& Path() const { return path_; }

  private:
    std::wstring path_;
};

}  // namespace pikora
