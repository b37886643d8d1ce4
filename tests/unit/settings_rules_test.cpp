#include "settings/settings_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace pikora {
namespace {

// --- Hotkey modifiers -------------------------------------------------------

TEST(SettingsHotkeyModifiers, AltAndShiftSwapBitsControlKeepsItsBit) {
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfAlt), kModAlt);
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfShift), kModShift);
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfControl), kModControl);
    EXPECT_EQ(HotkeyFlagsFromMod(kModAlt), kHotkeyfAlt);
    EXPECT_EQ(HotkeyFlagsFromMod(kModShift), kHotkeyfShift);
    EXPECT_EQ(HotkeyFlagsFromMod(kModControl), kHotkeyfControl);
    // The numbers the platform uses, so that a mix-up of the constants shows.
    EXPECT_EQ(ModFromHotkeyFlags(4), 1);
    EXPECT_EQ(ModFromHotkeyFlags(1), 4);
    EXPECT_EQ(HotkeyFlagsFromMod(1), 4);
    EXPECT_EQ(HotkeyFlagsFromMod(4), 1);
}

TEST(SettingsHotkeyModifiers, EveryCombinationSurvivesTheRoundTrip) {
    for (int mod = 0; mod <= 7; ++mod) {
        EXPECT_EQ(ModFromHotkeyFlags(HotkeyFlagsFromMod(mod)), mod) << "mod " << mod;
    }
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfControl | kHotkeyfShift), 6);
    EXPECT_EQ(HotkeyFlagsFromMod(kModAlt | kModControl | kModShift), 7);
}

TEST(SettingsHotkeyModifiers, BitsWithoutACounterpartAreDropped) {
    // HOTKEYF_EXT and MOD_WIN share the value 8: passed through, an arrow key
    // would turn into a Windows-key hotkey.
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfExt), 0);
    EXPECT_EQ(ModFromHotkeyFlags(kHotkeyfExt | kHotkeyfAlt), kModAlt);
    EXPECT_EQ(HotkeyFlagsFromMod(8), 0);
    EXPECT_EQ(HotkeyFlagsFromMod(8 | kModShift), kHotkeyfShift);
    EXPECT_EQ(ModFromHotkeyFlags(0xF0), 0);
}

// --- Hotkey control word ----------------------------------------------------

TEST(SettingsHotkeyControlWord, KeyInTheLowByteFlagsInTheHighByte) {
    EXPECT_EQ(HotkeyControlWord({'X', kModAlt}), 0x0458);
    EXPECT_EQ(HotkeyControlWord({'Z', kModAlt}), 0x045A);
    EXPECT_EQ(HotkeyControlWord({'P', kModControl | kModShift}), 0x0350);
    EXPECT_EQ(HotkeyControlWord({0, 0}), 0);
    // Only the low byte of a stored key code fits the control.
    EXPECT_EQ(HotkeyControlWord({0x158, kModAlt}), 0x0458);
}

TEST(SettingsHotkeyControlWord, ReadBackAsKeyAndModBits) {
    const Hotkey ctrlShiftP = HotkeyFromControlWord(0x0350);
    EXPECT_EQ(ctrlShiftP.key, 80);
    EXPECT_EQ(ctrlShiftP.mod, 6);
    // Alt+Home as the control reports it, with the extended-key flag.
    const Hotkey altHome = HotkeyFromControlWord(((kHotkeyfAlt | kHotkeyfExt) << 8) | 0x24);
    EXPECT_EQ(altHome.key, 0x24);
    EXPECT_EQ(altHome.mod, kModAlt);
    // Anything above the word is not part of the answer.
    const Hotkey upper = HotkeyFromControlWord(0xABCD0458u);
    EXPECT_EQ(upper.key, 'X');
    EXPECT_EQ(upper.mod, kModAlt);
    const Hotkey none = HotkeyFromControlWord(0);
    EXPECT_EQ(none.key, 0);
    EXPECT_EQ(none.mod, 0);
}

TEST(SettingsHotkeyControlWord, AStoredHotkeyComesBackUnchanged) {
    for (int mod = 0; mod <= 7; ++mod) {
        for (int key : {1, int{'A'}, int{'X'}, 0x24, 0x70, 0xFE}) {
            const Hotkey back = HotkeyFromControlWord(HotkeyControlWord({key, mod}));
            EXPECT_EQ(back.key, key);
            EXPECT_EQ(back.mod, mod);
        }
    }
}

TEST(SettingsHotkeyControlWord, AHotkeyNeedsAKey) {
    EXPECT_TRUE(HotkeyHasKey('X'));
    EXPECT_TRUE(HotkeyHasKey(1));
    EXPECT_TRUE(HotkeyHasKey(0xFE));
    EXPECT_FALSE(HotkeyHasKey(0));
    EXPECT_FALSE(HotkeyHasKey(0xFF));
    EXPECT_FALSE(HotkeyHasKey(-1));
    EXPECT_FALSE(HotkeyHasKey(0x158));
}

// --- Transparency slider ----------------------------------------------------

TEST(SettingsAlphaSlider, PositionIsTheReverseOfTheOpacity) {
    EXPECT_EQ(AlphaSliderPosition(200), 55);
    EXPECT_EQ(AlphaSliderPosition(255), 0);
    EXPECT_EQ(AlphaSliderPosition(25), 230);
    EXPECT_EQ(OpacityFromAlphaSlider(55), 200);
    EXPECT_EQ(OpacityFromAlphaSlider(0), 255);
    EXPECT_EQ(OpacityFromAlphaSlider(230), 25);
    for (int opacity = 25; opacity <= 255; ++opacity) {
        EXPECT_EQ(OpacityFromAlphaSlider(AlphaSliderPosition(opacity)), opacity);
    }
}

TEST(SettingsAlphaSlider, OpacitiesBeyondTheSliderLandAtItsEnds) {
    // 10 would be position 245: shown at the right end, 25 after OK.
    EXPECT_EQ(AlphaSliderPosition(10), kAlphaSliderMax);
    EXPECT_EQ(OpacityFromAlphaSlider(AlphaSliderPosition(10)), 25);
    EXPECT_EQ(AlphaSliderPosition(24), kAlphaSliderMax);
    EXPECT_EQ(AlphaSliderPosition(0), kAlphaSliderMax);
    EXPECT_EQ(AlphaSliderPosition(-2), kAlphaSliderMax);
    EXPECT_EQ(AlphaSliderPosition(256), kAlphaSliderMin);
    EXPECT_EQ(AlphaSliderPosition(1000), kAlphaSliderMin);
    // Whatever the INI file holds (the sanitizers watch for overflow).
    EXPECT_EQ(AlphaSliderPosition(INT_MIN), kAlphaSliderMax);
    EXPECT_EQ(AlphaSliderPosition(INT_MAX), kAlphaSliderMin);
}

TEST(SettingsAlphaSlider, PositionsOutsideTheRangeGiveTheEndOpacities) {
    EXPECT_EQ(OpacityFromAlphaSlider(245), 25);
    EXPECT_EQ(OpacityFromAlphaSlider(-5), 255);
    EXPECT_EQ(OpacityFromAlphaSlider(INT_MAX), 25);
    EXPECT_EQ(OpacityFromAlphaSlider(INT_MIN), 255);
}

// --- Offset texts -----------------------------------------------------------

TEST(SettingsOffsetText, ReadLikeAtoi) {
    EXPECT_EQ(IntFromOffsetText("-20"), -20);
    EXPECT_EQ(IntFromOffsetText("20"), 20);
    EXPECT_EQ(IntFromOffsetText("+7"), 7);
    EXPECT_EQ(IntFromOffsetText("007"), 7);
    EXPECT_EQ(IntFromOffsetText("12a"), 12);
    EXPECT_EQ(IntFromOffsetText("  -5"), -5);
    EXPECT_EQ(IntFromOffsetText("\t\r\n\v\f9"), 9);
    EXPECT_EQ(IntFromOffsetText("1 2"), 1);
}

TEST(SettingsOffsetText, NoDigitsGiveZero) {
    EXPECT_EQ(IntFromOffsetText(""), 0);
    EXPECT_EQ(IntFromOffsetText("abc"), 0);
    EXPECT_EQ(IntFromOffsetText("-"), 0);
    EXPECT_EQ(IntFromOffsetText("+-1"), 0);
    EXPECT_EQ(IntFromOffsetText("- 1"), 0);
    EXPECT_EQ(IntFromOffsetText("a12"), 0);
    // Full-width digits are characters, not digits.
    EXPECT_EQ(IntFromOffsetText("１２"), 0);
}

TEST(SettingsOffsetText, HugeNumbersStopAtTheEndsOfInt) {
    EXPECT_EQ(IntFromOffsetText("2147483647"), INT_MAX);
    EXPECT_EQ(IntFromOffsetText("-2147483648"), INT_MIN);
    EXPECT_EQ(IntFromOffsetText("2147483648"), INT_MAX);
    EXPECT_EQ(IntFromOffsetText("-2147483649"), INT_MIN);
    EXPECT_EQ(IntFromOffsetText("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(IntFromOffsetText("-99999999999999999999999999x"), INT_MIN);
}

TEST(SettingsOffsetText, LimitCountsCharactersNotBytes) {
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("-20"), 3u);
    EXPECT_EQ(CharCount("-100"), 4u);
    // Three double-byte characters, six bytes.
    EXPECT_EQ(CharCount("１２３"), 3u);
    EXPECT_EQ(CharCount("1ｱ2"), 3u);  // a half-width katakana is one byte
    // A lead byte cut off at the end still counts once.
    EXPECT_EQ(CharCount(std::string("1\x82", 2)), 2u);
}

TEST(SettingsOffsetText, TheTooLongMessageNamesTheLimit) {
    // "3 文字以内で入力してください。" in code page 932.
    const std::string expected =
        "3 \x95\xb6\x8e\x9a\x88\xc8\x93\xe0\x82\xc5\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad"
        "\x82\xbe\x82\xb3\x82\xa2\x81\x42";
    EXPECT_EQ(TooManyCharsMessage(kCaretOffsetMaxChars), expected);
    EXPECT_EQ(TooManyCharsMessage(12).substr(0, 3), "12 ");
}

// --- The texts of the dialog --------------------------------------------------

TEST(SettingsTextsRoundTrip, DefaultsShowAsTheDialogFillsThem) {
    const SettingsTexts t = TextsFromSettings(DefaultSettings());
    EXPECT_EQ(t.caretX, "-20");
    EXPECT_EQ(t.caretY, "20");
    EXPECT_EQ(t.waveName, "pu.wav");
    EXPECT_EQ(t.quote, ">");
}

TEST(SettingsTextsRoundTrip, OKTakesTheTextsBackAndNothingElse) {
    AppSettings s = DefaultSettings();
    const AppSettings before = s;
    ApplySettingsTexts({"12a", "", "C:\\sounds\\ding.wav", ""}, s);
    EXPECT_EQ(s.CaretPosX, 12);
    EXPECT_EQ(s.CaretPosY, 0);
    EXPECT_EQ(s.WaveName, "C:\\sounds\\ding.wav");
    // An empty quote is taken as it is; the next start restores the default.
    EXPECT_EQ(s.InyouChar, "");
    EXPECT_EQ(s.DicCgi, before.DicCgi);
    EXPECT_EQ(s.PouupKey, before.PouupKey);
    EXPECT_EQ(s.SemitransparentWindow, before.SemitransparentWindow);
    EXPECT_EQ(s.DialogSizeX, before.DialogSizeX);
    EXPECT_EQ(s.ToClip, before.ToClip);
}

TEST(SettingsTextsRoundTrip, AStoredOffsetOfFourCharactersIsShownInFull) {
    AppSettings s = DefaultSettings();
    s.CaretPosX = -100;
    s.CaretPosY = INT_MIN;
    const SettingsTexts t = TextsFromSettings(s);
    EXPECT_EQ(t.caretX, "-100");
    EXPECT_EQ(t.caretY, "-2147483648");
    AppSettings back = DefaultSettings();
    ApplySettingsTexts(t, back);
    EXPECT_EQ(back.CaretPosX, -100);
    EXPECT_EQ(back.CaretPosY, INT_MIN);
}

}  // namespace
}  // namespace pikora
