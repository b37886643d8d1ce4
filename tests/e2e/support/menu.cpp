#include "support/menu.h"

#include <cstdio>

#include "support/common.h"

namespace e2e {

bool MenuItem::operator==(const MenuItem& other) const {
    return id == other.id && separator == other.separator && grayed == other.grayed &&
           checked == other.checked && text == other.text && submenu == other.submenu;
}

MenuItem Command(UINT id, const std::string& text) {
    MenuItem item;
    item.id = id;
    item.text = text;
    return item;
}

MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
}

MenuItem Submenu(const std::string& text, Menu items) {
    MenuItem item;
    item.text = text;
    item.submenu = std::move(items);
    return item;
}

const MenuItem* FindCommand(const Menu& menu, UINT id) {
    for (const auto& item : menu) {
        if (!item.separator && item.submenu.empty() && item.id == id) {
            return &item;
        }
        if (const MenuItem* found = FindCommand(item.submenu, id)) {
            return found;
        }
    }
    return nullptr;
}

namespace {

void DescribeInto(const Menu& menu, int depth, std::string& out) {
    for (const auto& item : menu) {
        out += std::string(static_cast<size_t>(depth) * 4 + 2, ' ');
        if (item.separator) {
            out += "----\n";
            continue;
        }
        char id[16];
        std::snprintf(id, sizeof id, "%u", item.id);
        out += (item.submenu.empty() ? std::string(id) : std::string(">")) + " \"" +
               Utf8(item.text) + "\" [" + Hex(item.text) + "]" + (item.grayed ? " grayed" : "") +
               (item.checked ? " checked" : "") + "\n";
        DescribeInto(item.submenu, depth + 1, out);
    }
}

}  // namespace

std::string Describe(const Menu& menu) {
    std::string out = "\n";
    DescribeInto(menu, 0, out);
    return out;
}

void PrintTo(const MenuItem& item, std::ostream* os) {
    *os << Describe(Menu{item});
}

}  // namespace e2e
