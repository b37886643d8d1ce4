#include "ui/wide_text.h"

namespace ui {
std::wstring Wide(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int length = static_cast<int>(bytes.size());
    const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (n <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), n);
    return text;
}

std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        return std::string();
    }
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::string GetWindowTextString(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return std::string();
    }
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, buffer.data(), length + 1);
    buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return Narrow(buffer);
}

void SetWindowTextString(HWND hwnd, std::string_view text) {
    ::SetWindowTextW(hwnd, Wide(text).c_str());
}

}  // namespace ui
