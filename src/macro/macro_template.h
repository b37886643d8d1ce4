// Ready-made macro snippets offered by the add and edit dialogs. They live in
// the INI file, section "Macro", one "label@body" value per numbered key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/profile.h"

namespace pikora {

struct MacroTemplate {
    std::string label;
    std::string body;
};

constexpr const char* kMacroSection = "Macro";
constexpr int kMaxMacroTemplates = 99;

// "MacroTemplate_01" ... "MacroTemplate_99".
std::string MacroTemplateKey(int slot);

// Splits at the first '@' that starts a character: the label is before it,
// the body after it. Without '@' the label is empty and the body is value.
MacroTemplate ParseMacroTemplate(std::string_view value);

// Writes the default of every empty slot from 1 to 9, so a user cannot remove
// a default for longer than until the next start; stops at the first empty
// slot from 10 on.
void SeedMacroTemplates(Profile& profile);

// The templates of slots 1, 2, ... up to the first empty slot (at most 99).
std::vector<MacroTemplate> LoadMacroTemplates(Profile& profile);

// The nine stored defaults, "label@body", slot 1 first.
const std::vector<std::string>& DefaultMacroTemplateValues();

}  // namespace pikora
