// The INI file as the core sees it: one key per call, like the platform's
// private-profile functions, whose file layout the Win32 side keeps (see
// ini_text.h). Unit tests use an in-memory fake.
#pragma once

#include <string>

namespace pikora {

class Profile {
  public:
    virtual ~Profile() = default;
    // The key's integer value, or def when the key is missing (or empty).
    virtual int ReadInt(const std::string& section, const std::string& key, int def) = 0;
    // The key's text, or def when the key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) = 0;
    // Writes (creating section and key as needed); false when the write failed.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    bool WriteInt(const std::string& section, const std::string& key, int value) {
        return WriteString(section, key, std::to_string(value));
    }
};

}  // namespace pikora
