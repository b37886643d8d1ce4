// How one line of the popup list is drawn, decided without a device context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pikora {

// Height of every line and side of the kind icon, in pixels.
constexpr int ITEM_HEIGHT = 17;

// The owner-draw action and state bits, with the values the system uses.
constexpr unsigned kDrawActionEntire = 0x0001;
constexpr unsigned kDrawActionSelect = 0x0002;
constexpr unsigned kDrawActionFocus = 0x0004;
constexpr unsigned kDrawStateSelected = 0x0001;
constexpr unsigned kDrawStateFocus = 0x0010;

enum class ItemIcon { None, Locked, Normal, LockedFocus, NormalFocus };

struct ItemDrawPlan {
    // Blue frame around the text area; the entry's text becomes the tooltip.
    bool selectionFrame = false;
    // The frame of a line that lost the selection is painted over in the
    // window colour; its interior is left alone.
    bool eraseFrame = false;
    // The interior of the text area (inside the frame line) in the window colour.
    bool fillInterior = false;
    ItemIcon icon = ItemIcon::None;
};

ItemDrawPlan PlanItemDraw(int32_t kind, unsigned action, unsigned state);

// What the list answers other programs (screen readers among them) asking
// for a line's text: the title, cut after kLineTextMax bytes at a character
// boundary. Readers ask with buffers of their own, some of a fixed size
// (Wine hands an ANSI list 512 bytes for a wide request).
constexpr std::size_t kLineTextMax = 255;
std::string LineTextOfTitle(std::string_view title);

}  // namespace pikora
