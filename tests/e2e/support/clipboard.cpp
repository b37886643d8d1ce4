#include "support/clipboard.h"

#include <cstring>

#include "support/common.h"

namespace e2e {

namespace {

constexpr DWORD kOpenRetryMs = 3000;

// Opened without an owner window: the test has no message loop, and Wine
// accepts SetClipboardData after EmptyClipboard with no owner.
class OpenedClipboard {
  public:
    OpenedClipboard() {
        m_open = WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, kOpenRetryMs, 10);
    }
    ~OpenedClipboard() {
        if (m_open) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_open; }

  private:
    bool m_open = false;
};

// Ownership passes to the clipboard on success; freed here otherwise.
bool PutGlobal(UINT format, const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size == 0 ? 1 : size);
    if (memory == nullptr) {
        return false;
    }
    void* target = GlobalLock(memory);
    if (size > 0) {
        std::memcpy(target, data, size);
    }
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory) == nullptr) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

std::optional<std::string> ReadGlobal(UINT format) {
    HANDLE memory = GetClipboardData(format);
    if (memory == nullptr) {
        return std::nullopt;
    }
    const void* data = GlobalLock(memory);
    if (data == nullptr) {
        return std::nullopt;
    }
    std::string bytes(static_cast<const char*>(data), GlobalSize(memory));
    GlobalUnlock(memory);
    return bytes;
}

}  // namespace

std::string DwordBytes(DWORD value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return bytes;
}

bool SetClipboardText(const std::string& cp932, const std::vector<ExtraFormat>& extras) {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen() || !EmptyClipboard()) {
        return false;
    }
    if (!PutGlobal(CF_TEXT, cp932.c_str(), cp932.size() + 1)) {
        return false;
    }
    for (const auto& extra : extras) {
        const UINT format = RegisterClipboardFormatA(extra.name.c_str());
        if (format == 0 || !PutGlobal(format, extra.bytes.data(), extra.bytes.size())) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> GetClipboardText() {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) {
        return std::nullopt;
    }
    auto bytes = ReadGlobal(CF_TEXT);
    if (bytes) {
        bytes->resize(strnlen(bytes->data(), bytes->size()));
    }
    return bytes;
}

std::optional<std::string> GetClipboardFormatBytes(const std::string& formatName) {
    const UINT format = RegisterClipboardFormatA(formatName.c_str());
    OpenedClipboard clipboard;
    if (format == 0 || !clipboard.IsOpen()) {
        return std::nullopt;
    }
    return ReadGlobal(format);
}

bool SetClipboardDib(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    std::string dib(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(stride) * height, '\0');
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    std::memcpy(dib.data(), &header, sizeof header);
    for (int y = 0; y < height; ++y) {
        char* row = dib.data() + sizeof header + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = static_cast<char>(GetBValue(colour));
            row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
    }
    OpenedClipboard clipboard;
    return clipboard.IsOpen() && EmptyClipboard() && PutGlobal(CF_DIB, dib.data(), dib.size());
}

bool ClipboardHasFormat(UINT format) {
    return IsClipboardFormatAvailable(format) != FALSE;
}

bool ClearClipboard() {
    OpenedClipboard clipboard;
    return clipboard.IsOpen() && EmptyClipboard();
}

}  // namespace e2e
