// The rules behind the settings dialog: how the hotkey and trackbar controls
// express settings, and how the dialog's texts become settings again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/app_settings.h"

namespace pikora {

// Modifier bits as RegisterHotKey takes them (and the settings store them).
constexpr int kModAlt = 1;
constexpr int kModControl = 2;
constexpr int kModShift = 4;

// Modifier bits as the hotkey control reports them. The extended-key flag
// tells arrow keys from the keypad's; a hotkey cannot ask for it.
constexpr int kHotkeyfShift = 1;
constexpr int kHotkeyfControl = 2;
constexpr int kHotkeyfAlt = 4;
constexpr int kHotkeyfExt = 8;

// The two sets use different bits for Alt and Shift; bits without a
// counterpart (MOD_WIN, HOTKEYF_EXT) are dropped.
int ModFromHotkeyFlags(int hotkeyFlags);
int HotkeyFlagsFromMod(int mod);

struct Hotkey {
    int key = 0;  // virtual-key code
    int mod = 0;  // MOD bits
};

// The word HKM_SETHOTKEY takes: key code in the low byte, HOTKEYF flags above.
std::uint16_t HotkeyControlWord(const Hotkey& hotkey);
// What HKM_GETHOTKEY answered, as a key code with MOD bits.
Hotkey HotkeyFromControlWord(std::uint32_t word);

// A hotkey without a key is accepted by RegisterHotKey but can never be
// pressed; such a setting counts as one that could not be registered.
bool HotkeyHasKey(int key);

// The transparency trackbar runs from 0 (opaque) to 230 (about 90 %
// transparent), the reverse of the opacity it sets.
constexpr int kAlphaSliderMin = 0;
constexpr int kAlphaSliderMax = 230;
// Opacities outside 25..255 land at the nearer end of the slider.
int AlphaSliderPosition(int opacity);
int OpacityFromAlphaSlider(int position);

// The caret offset fields take at most this many characters.
constexpr std::size_t kCaretOffsetMaxChars = 3;
// Characters (not bytes) of a code page 932 text.
std::size_t CharCount(std::string_view text);
// The message shown when a field holds more than maxChars characters.
std::string TooManyCharsMessage(std::size_t maxChars);

// Reads a number the way the C library's atoi does: leading blanks, an
// optional sign, digits up to the first other character; no digits give 0.
// Values beyond the range of int stop at its ends.
int IntFromOffsetText(std::string_view text);

// The four texts the dialog edits for the settings.
struct SettingsTexts {
    std::string caretX, caretY, waveName, quote;
};

SettingsTexts TextsFromSettings(const AppSettings& s);
// Takes the texts back after OK: the offsets as numbers, the others as typed.
void ApplySettingsTexts(const SettingsTexts& texts, AppSettings& s);

}  // namespace pikora
