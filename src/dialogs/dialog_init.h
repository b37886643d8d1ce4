// The initial strings of list and combo boxes that a dialog template carries
// beside it, in the resource compiler's "dialog init" data (resource type
// 240): per item a 16-bit control id, a 16-bit message, a 32-bit length and
// that many bytes, ending with a zero control id.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pikora {

// The 16-bit era message numbers the data uses.
constexpr std::uint16_t kInitListAddString = 0x0401;
constexpr std::uint16_t kInitComboAddString = 0x0403;

struct DialogInitItem {
    int controlId = 0;
    std::uint16_t message = 0;
    std::string text;  // the bytes up to the first NUL
};

// Every complete item of data, in order. Stops at the zero control id, at an
// item that runs past the end, and at the end of data.
std::vector<DialogInitItem> ParseDialogInit(std::string_view data);

}  // namespace pikora
