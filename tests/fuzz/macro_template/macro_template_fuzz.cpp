// Any INI values as macro templates. A value splits at its first '@' that
// starts a character (a trail byte 0x40 is no '@'), and the stored templates
// reach the dialogs in slot order up to the first empty slot, the nine
// defaults always among them after a start.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "macro/macro_template.h"
#include "settings/profile.h"
#include "text/cp932.h"

namespace {

class MapProfile : public pikora::Profile {
  public:
    int ReadInt(const std::string& section, const std::string& key, int def) override {
        const auto it = values.find(section + "\n" + key);
        return it == values.end() || it->second.empty() ? def : std::atoi(it->second.c_str());
    }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) override {
        const auto it = values.find(section + "\n" + key);
        return it == values.end() ? def : it->second;
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[section + "\n" + key] = value;
        return true;
    }
    std::map<std::string, std::string> values;
};

bool StartsACharacter(std::string_view text, std::size_t at) {
    std::size_t pos = 0;
    while (pos < at) {
        pos += pikora::CharLength(text, pos);
    }
    return pos == at;
}

void CheckParse(std::string_view value) {
    const pikora::MacroTemplate parsed = pikora::ParseMacroTemplate(value);
    if (pikora::Find(value, "@") == std::string::npos) {
        FUZZ_REQUIRE(parsed.label.empty());
        FUZZ_REQUIRE(parsed.body == value);
        return;
    }
    FUZZ_REQUIRE(parsed.label + "@" + parsed.body == value);
    FUZZ_REQUIRE(StartsACharacter(value, parsed.label.size()));
    FUZZ_REQUIRE(pikora::Find(parsed.label, "@") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::Bytes(data, size);
    MapProfile profile;
    std::vector<std::string> stored;
    // Slots 1, 2, ... in turn; an empty part leaves its slot empty.
    for (int slot = 1; !input.empty() && slot <= pikora::kMaxMacroTemplates + 1; ++slot) {
        const std::string value(fuzz::TakePart(input, '\n'));
        CheckParse(value);
        profile.WriteString(pikora::kMacroSection, pikora::MacroTemplateKey(slot), value);
    }

    pikora::SeedMacroTemplates(profile);
    std::vector<std::string> expected;
    for (int slot = 1; slot <= pikora::kMaxMacroTemplates; ++slot) {
        const std::string value =
            profile.ReadString(pikora::kMacroSection, pikora::MacroTemplateKey(slot), "");
        if (slot <= 9) {
            FUZZ_REQUIRE(!value.empty());
        }
        if (value.empty()) {
            break;
        }
        expected.push_back(value);
    }
    const std::vector<pikora::MacroTemplate> loaded = pikora::LoadMacroTemplates(profile);
    FUZZ_REQUIRE(loaded.size() == expected.size());
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        const pikora::MacroTemplate again = pikora::ParseMacroTemplate(expected[i]);
        FUZZ_REQUIRE(loaded[i].label == again.label && loaded[i].body == again.body);
    }
    return 0;
}
