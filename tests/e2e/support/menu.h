// A popup menu's items as the user sees them, and builders for expected menus.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace e2e {

struct MenuItem {
    UINT id = 0;  // 0 for separators and submenu items
    bool separator = false;
    bool grayed = false;   // MFS_GRAYED / MFS_DISABLED
    bool checked = false;  // MFS_CHECKED
    std::string text;      // CP932 bytes, mnemonics ('&') included
    std::vector<MenuItem> submenu;

    bool operator==(const MenuItem& other) const;
    bool operator!=(const MenuItem& other) const { return !(*this == other); }
};

using Menu = std::vector<MenuItem>;

MenuItem Command(UINT id, const std::string& text);
MenuItem Separator();
MenuItem Submenu(const std::string& text, Menu items);

// The command item with that id anywhere in the menu, or nullptr.
const MenuItem* FindCommand(const Menu& menu, UINT id);

// One item per line with labels as UTF-8 and as CP932 hex: comparing two
// descriptions compares every byte and gives a readable diff.
std::string Describe(const Menu& menu);
void PrintTo(const MenuItem& item, std::ostream* os);

}  // namespace e2e
