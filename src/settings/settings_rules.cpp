#include "settings/settings_rules.h"

#include <climits>

#include "text/cp932.h"

namespace pikora {

int ModFromHotkeyFlags(int hotkeyFlags) {
    int mod = 0;
    if (hotkeyFlags & kHotkeyfAlt) {
        mod |= kModAlt;
    }
    if (hotkeyFlags & kHotkeyfControl) {
        mod |= kModControl;
    }
    if (hotkeyFlags & kHotkeyfShift) {
        mod |= kModShift;
    }
    return mod;
}

int HotkeyFlagsFromMod(int mod) {
    int flags = 0;
    if (mod & kModAlt) {
        flags |= kHotkeyfAlt;
    }
    if (mod & kModControl) {
        flags |= kHotkeyfControl;
    }
    if (mod & kModShift) {
        flags |= kHotkeyfShift;
    }
    return flags;
}

std::uint16_t HotkeyControlWord(const Hotkey& hotkey) {
    const auto low = static_cast<unsigned>(hotkey.key) & 0xFFu;
    const auto high = static_cast<unsigned>(HotkeyFlagsFromMod(hotkey.mod)) & 0xFFu;
    return static_cast<std::uint16_t>(low | (high << 8));
}

Hotkey HotkeyFromControlWord(std::uint32_t word) {
    Hotkey hotkey;
    hotkey.key = static_cast<int>(word & 0xFFu);
    hotkey.mod = ModFromHotkeyFlags(static_cast<int>((word >> 8) & 0xFFu));
    return hotkey;
}

bool HotkeyHasKey(int key) {
    // 0xFF is no key either: the platform reserves it.
    return key > 0 && key < 0xFF;
}

int AlphaSliderPosition(int opacity) {
    // Clamped before subtracting, so no stored value can overflow.
    if (opacity >= 255 - kAlphaSliderMin) {
        return kAlphaSliderMin;
    }
    if (opacity <= 255 - kAlphaSliderMax) {
        return kAlphaSliderMax;
    }
    return 255 - opacity;
}

int OpacityFromAlphaSlider(int position) {
    if (position < kAlphaSliderMin) {
        position = kAlphaSliderMin;
    } else if (position > kAlphaSliderMax) {
        position = kAlphaSliderMax;
    }
    return 255 - position;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        ++count;
    }
    return count;
}

std::string TooManyCharsMessage(std::size_t maxChars) {
    return std::to_string(maxChars) + " 文字以内で入力してください。";
}

int IntFromOffsetText(std::string_view text) {
    std::size_t pos = 0;
    auto isBlank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulated as a negative number, whose range reaches INT_MIN.
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 - (text[pos] - '0');
        if (value < INT_MIN) {
            value = INT_MIN - 1LL;
        }
    }
    if (negative) {
        return value < INT_MIN ? INT_MIN : static_cast<int>(value);
    }
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

SettingsTexts TextsFromSettings(const AppSettings& s) {
    return SettingsTexts{std::to_string(s.CaretPosX), std::to_string(s.CaretPosY), s.WaveName,
                         s.InyouChar};
}

void ApplySettingsTexts(const SettingsTexts& texts, AppSettings& s) {
    s.InyouChar = texts.quote;
    s.CaretPosX = IntFromOffsetText(texts.caretX);
    s.CaretPosY = IntFromOffsetText(texts.caretY);
    s.WaveName = texts.waveName;
}

}  // namespace pikora
