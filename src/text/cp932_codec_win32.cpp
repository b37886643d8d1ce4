#include "text/cp932_codec_win32.h"

#include <windows.h>

namespace pikora {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 is what the wide API takes");

namespace {

constexpr UINT kCp932 = 932;

}  // namespace

std::string WinCp932Codec::Encode(std::u16string_view text) const {
    if (text.empty()) {
        return std::string();
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                        nullptr, nullptr);
    if (n <= 0) {
        return std::string();
    }
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide, length, &bytes[0], n, nullptr,
                          nullptr);
    return bytes;
}

std::u16string WinCp932Codec::Decode(std::string_view bytes) const {
    if (bytes.empty()) {
        return std::u16string();
    }
    const int length = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(kCp932, 0, bytes.data(), length, nullptr, 0);
    if (n <= 0) {
        return std::u16string();
    }
    std::u16string text(static_cast<size_t>(n), u'\0');
    ::MultiByteToWideChar(kCp932, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(&text[0]), n);
    return text;
}

}  // namespace pikora
