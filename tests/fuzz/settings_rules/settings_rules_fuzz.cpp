// Any texts typed into the settings dialog, and any executable path. The
// offsets read as atoi reads them (clamped to int), characters are counted
// the way the edit boxes count them, the texts survive the way back to the
// dialog, and the program's folder ends at a backslash that is a character.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings/app_settings.h"
#include "settings/settings_rules.h"
#include "text/cp932.h"

namespace {

int AtoiClamped(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < 10'000'000'000LL) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    const long long value = negative ? -magnitude : magnitude;
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::size_t Characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const bool pair =
            pikora::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        i += pair ? 2 : 1;
    }
    return count;
}

// The bytes as UTF-16 units, as Windows gives an executable's path.
void CheckProgramDir(const std::string& bytes) {
    std::wstring exePath;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        exePath += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                        static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::wstring dir = pikora::ProgramDirForExe(exePath);
    FUZZ_REQUIRE(exePath.compare(0, dir.size(), dir) == 0);
    FUZZ_REQUIRE(pikora::IniPathForExe(exePath) == dir + pikora::kIniFileName);
    FUZZ_REQUIRE(dir.size() == exePath.rfind(L'\\') + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::Bytes(data, size);
    pikora::SettingsTexts texts;
    texts.caretX = std::string(fuzz::TakePart(input));
    texts.caretY = std::string(fuzz::TakePart(input));
    texts.waveName = std::string(fuzz::TakePart(input));
    texts.quote = std::string(input);

    for (const std::string* text : {&texts.caretX, &texts.caretY, &texts.waveName, &texts.quote}) {
        FUZZ_REQUIRE(pikora::IntFromOffsetText(*text) == AtoiClamped(*text));
        const std::size_t count = pikora::CharCount(*text);
        FUZZ_REQUIRE(count == Characters(*text));
        FUZZ_REQUIRE(!pikora::TooManyCharsMessage(count).empty());
        CheckProgramDir(*text);
    }

    pikora::AppSettings settings = pikora::DefaultSettings();
    pikora::ApplySettingsTexts(texts, settings);
    FUZZ_REQUIRE(settings.CaretPosX == AtoiClamped(texts.caretX));
    FUZZ_REQUIRE(settings.CaretPosY == AtoiClamped(texts.caretY));
    FUZZ_REQUIRE(settings.WaveName == texts.waveName);
    FUZZ_REQUIRE(settings.InyouChar == texts.quote);
    // Shown again, the offsets are the numbers that were taken.
    const pikora::SettingsTexts shown = pikora::TextsFromSettings(settings);
    FUZZ_REQUIRE(pikora::IntFromOffsetText(shown.caretX) == settings.CaretPosX);
    FUZZ_REQUIRE(pikora::IntFromOffsetText(shown.caretY) == settings.CaretPosY);
    FUZZ_REQUIRE(shown.waveName == texts.waveName && shown.quote == texts.quote);
    return 0;
}
