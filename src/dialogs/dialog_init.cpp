#include "dialogs/dialog_init.h"

#include <cstring>

namespace pikora {

namespace {

std::uint32_t Read(std::string_view data, std::size_t pos, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(data[pos + i]);
    }
    return value;
}

}  // namespace

std::vector<DialogInitItem> ParseDialogInit(std::string_view data) {
    std::vector<DialogInitItem> items;
    std::size_t pos = 0;
    while (data.size() - pos >= 8) {
        DialogInitItem item;
        item.controlId = static_cast<int>(Read(data, pos, 2));
        if (item.controlId == 0) {
            break;
        }
        item.message = static_cast<std::uint16_t>(Read(data, pos + 2, 2));
        const std::uint32_t length = Read(data, pos + 4, 4);
        pos += 8;
        if (length > data.size() - pos) {
            break;
        }
        const std::string_view bytes = data.substr(pos, length);
        const auto* nul = static_cast<const char*>(std::memchr(bytes.data(), '\0', bytes.size()));
        item.text.assign(bytes.data(), nul != nullptr ? static_cast<std::size_t>(nul - bytes.data())
                                                      : bytes.size());
        items.push_back(std::move(item));
        pos += length;
    }
    return items;
}

}  // namespace pikora
