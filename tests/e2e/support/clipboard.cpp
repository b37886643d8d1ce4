#include "support/clipboard.h"

#include <cstring>
#include <optional>
#include <utility>

#include "support/common.h"

namespace e2e {

namespace {

constexpr DWORD kOpenRetryMs = 3000;

// Opened without an owner window: the test has no message loop, and Wine
// accepts SetClipboardData after EmptyClipboard with no owner.
class OpenedClipboard {
  public:
    OpenedClipboard() : m_open(OpenClipboard(nullptr) != FALSE) {}
    ~OpenedClipboard() {
        if (m_open) {
            CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
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
    std::vector<std::pair<UINT, std::string>> blocks{{CF_TEXT, cp932 + '\0'}};
    for (const auto& extra : extras) {
        const UINT format = RegisterClipboardFormatA(extra.name.c_str());
        if (format == 0) {
            return false;
        }
        blocks.emplace_back(format, extra.bytes);
    }
    return SetClipboardBlocks(blocks);
}

bool SetClipboardBlocks(const std::vector<std::pair<UINT, std::string>>& blocks) {
    // Wine lets an opener without a window in while another program has the
    // clipboard open (Pikora reading the copy before), and the one that was
    // in first can then neither empty it nor put anything there: start again
    // until the whole copy went in under one opening.
    return WaitUntil(
        [&] {
            OpenedClipboard clipboard;
            if (!clipboard.IsOpen() || !EmptyClipboard()) {
                return false;
            }
            for (const auto& [format, bytes] : blocks) {
                if (!PutGlobal(format, bytes.data(), bytes.size())) {
                    return false;
                }
            }
            return true;
        },
        kOpenRetryMs, 10);
}

UnicodeCopyOnRequest::UnicodeCopyOnRequest(std::wstring text,
                                           const std::optional<std::string>& cp932, bool handsOver)
    : m_text(std::move(text)), m_handsOver(handsOver) {
    static const char kClass[] = "e2e_UnicodeCopyOnRequest";
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);  // fails harmlessly when a previous copy registered it
    m_window =
        CreateWindowExA(0, kClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (m_window == nullptr) {
        return;
    }
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!WaitUntil([&] { return OpenClipboard(m_window) != FALSE; }, kOpenRetryMs, 10)) {
        return;
    }
    m_ok = EmptyClipboard() && (!cp932 || PutGlobal(CF_TEXT, cp932->c_str(), cp932->size() + 1));
    // No data: the clipboard asks this window for it (WM_RENDERFORMAT).
    SetClipboardData(CF_UNICODETEXT, nullptr);
    CloseClipboard();
}

UnicodeCopyOnRequest::~UnicodeCopyOnRequest() {
    if (m_window != nullptr) {
        SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

bool UnicodeCopyOnRequest::WaitRead(DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
            }
            return m_read;
        },
        timeoutMs, 5);
}

LRESULT CALLBACK UnicodeCopyOnRequest::WindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                  LPARAM lParam) {
    auto* self = reinterpret_cast<UnicodeCopyOnRequest*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == WM_RENDERFORMAT && wParam == CF_UNICODETEXT) {
        // The clipboard is open for the program that asked: put the data only.
        if (self->m_handsOver) {
            PutGlobal(CF_UNICODETEXT, self->m_text.c_str(),
                      (self->m_text.size() + 1) * sizeof(wchar_t));
        }
        self->m_read = true;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Reads open with a window: under Wine an opener without one takes the
// clipboard over from Pikora while Pikora reads it, and Pikora then reads
// nothing.
std::optional<std::string> GetClipboardText() {
    ClipboardHolder clipboard;
    if (!clipboard.Hold(kOpenRetryMs)) {
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
    ClipboardHolder clipboard;
    if (format == 0 || !clipboard.Hold(kOpenRetryMs)) {
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
    return SetClipboardBlocks({{CF_DIB, dib}});
}

bool ClipboardHasFormat(UINT format) {
    return IsClipboardFormatAvailable(format) != FALSE;
}

bool ClearClipboard() {
    return SetClipboardBlocks({});
}

ClipboardHolder::ClipboardHolder()
    : m_window(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                               nullptr)) {}

ClipboardHolder::~ClipboardHolder() {
    Release();
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

bool ClipboardHolder::Hold(DWORD timeoutMs) {
    if (m_window == nullptr || m_held) {
        return m_held;
    }
    m_held = WaitUntil([&] { return OpenClipboard(m_window) != FALSE; }, timeoutMs);
    return m_held;
}

void ClipboardHolder::Release() {
    if (m_held) {
        CloseClipboard();
        m_held = false;
    }
}

}  // namespace e2e
