#include "macro/macro_template.h"

#include <cstdio>

#include "text/cp932.h"

namespace pikora {

std::string MacroTemplateKey(int slot) {
    char key[32];
    std::snprintf(key, sizeof key, "MacroTemplate_%02d", slot);
    return key;
}

MacroTemplate ParseMacroTemplate(std::string_view value) {
    // Stepping by characters matters: the second byte of some characters is
    // '@' (ァ, as in ファイル, is 0x83 0x40).
    const std::size_t at = Find(value, "@");
    if (at == std::string_view::npos) {
        return {std::string(), std::string(value)};
    }
    return {std::string(value.substr(0, at)), std::string(value.substr(at + 1))};
}

const std::vector<std::string>& DefaultMacroTemplateValues() {
    static const std::vector<std::string> values = {
        "西暦4桁@<pikoraMACRO>$Y/$M/$D</pikoraMACRO>",
        "和暦@<pikoraMACRO>平成$WH年$M月$D日</pikoraMACRO>",
        "曜日@<pikoraMACRO>$d曜日</pikoraMACRO>",
        "曜日(英語)@<pikoraMACRO>$ddd</pikoraMACRO>",
        "時間(23:59:59)@<pikoraMACRO>$H:$m:$s</pikoraMACRO>",
        "時間(PM 11:59:59)@<pikoraMACRO>$AMPM $h:$m:$s</pikoraMACRO>",
        "時間(午後 11時 59分)@<pikoraMACRO>$ampm $h時 $m分</pikoraMACRO>",
        "シェル実行@<pikoraMACRO>$SHELL<実行ファイル名>$SHELL</pikoraMACRO>",
        "関連付け実行@<pikoraMACRO>$RELATE<ファイル名>$RELATE </pikoraMACRO>",
    };
    return values;
}

void SeedMacroTemplates(Profile& profile) {
    const std::vector<std::string>& defaults = DefaultMacroTemplateValues();
    for (int slot = 1; slot <= kMaxMacroTemplates; ++slot) {
        const std::string key = MacroTemplateKey(slot);
        if (!profile.ReadString(kMacroSection, key, "").empty()) {
            continue;
        }
        if (static_cast<std::size_t>(slot) > defaults.size()) {
            return;
        }
        profile.WriteString(kMacroSection, key, defaults[slot - 1]);
    }
}

std::vector<MacroTemplate> LoadMacroTemplates(Profile& profile) {
    std::vector<MacroTemplate> templates;
    for (int slot = 1; slot <= kMaxMacroTemplates; ++slot) {
        const std::string value = profile.ReadString(kMacroSection, MacroTemplateKey(slot), "");
        if (value.empty()) {
            break;
        }
        templates.push_back(ParseMacroTemplate(value));
    }
    return templates;
}

}  // namespace pikora
