#include "app/clipboard.h"

#include <cstring>

#include "store/history_capture.h"
#include "ui/handles.h"

namespace app {
namespace {

bool PutDword(UINT format, DWORD value) {
    ui::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)));
    if (!block) {
        return false;
    }
    {
        ui::GlobalLock<DWORD> lock(block.Get());
        if (!lock) {
            return false;
        }
        *lock.Get() = value;
    }
    if (::SetClipboardData(format, block.Get())) {
        block.Release();  // the clipboard owns it now
        return true;
    }
    return false;
}

}  // namespace

bool GetClipboardText(std::string& text) {
    if (!::IsClipboardFormatAvailable(CF_TEXT)) {
        return false;
    }
    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return false;
    }
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (!data) {
        text.clear();
        return true;
    }
    ui::GlobalLock<const char> lock(data);
    if (!lock) {
        return false;  // a block that cannot be locked holds no text we can read
    }
    // Another program may have put a block without a terminating zero there:
    // never read past its end.
    const SIZE_T size = ::GlobalSize(data);
    const void* zero = std::memchr(lock.Get(), 0, size);
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - lock.Get())
                               : static_cast<size_t>(size);
    text.assign(lock.Get(), length);
    return true;
}

bool SetClipboardText(const std::string& text, bool markTransient) {
    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return false;
    }
    ui::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1));
    if (!block) {
        return false;
    }
    {
        ui::GlobalLock<char> lock(block.Get());
        if (!lock) {
            return false;
        }
        std::memcpy(lock.Get(), text.c_str(), text.size() + 1);
    }
    ::EmptyClipboard();
    if (::SetClipboardData(CF_TEXT, block.Get())) {
        block.Release();
    }
    if (markTransient) {
        PutTransientMarks();
    }
    return true;
}

void PutTransientMarks() {
    PutDword(::RegisterClipboardFormatA(pikora::kViewerIgnoreFormat), 0);
    PutDword(::RegisterClipboardFormatA(pikora::kCanIncludeInHistoryFormat), 0);
}

bool SetClipboardTextRetrying(const std::string& text, bool markTransient, bool waitFirst) {
    for (int attempt = 0; attempt <= 10; ++attempt) {
        if (waitFirst) {
            ::Sleep(50);
        }
        if (SetClipboardText(text, markTransient)) {
            return true;
        }
        if (!waitFirst) {
            ::Sleep(50);
        }
    }
    return false;
}

bool IsClipboardMarkedPrivate() {
    pikora::ClipboardMarks marks;
    marks.excludeFromMonitor = ::IsClipboardFormatAvailable(::RegisterClipboardFormatA(
                                   pikora::kExcludeFromMonitorFormat)) != FALSE;
    marks.viewerIgnore = ::IsClipboardFormatAvailable(
                             ::RegisterClipboardFormatA(pikora::kViewerIgnoreFormat)) != FALSE;
    const UINT historyFormat = ::RegisterClipboardFormatA(pikora::kCanIncludeInHistoryFormat);
    if (::IsClipboardFormatAvailable(historyFormat)) {
        ui::ClipboardScope clipboard;
        if (clipboard.IsOpen()) {
            HANDLE data = ::GetClipboardData(historyFormat);
            ui::GlobalLock<const DWORD> lock(data);
            if (lock && ::GlobalSize(data) >= sizeof(DWORD)) {
                marks.historyAllowedKnown = true;
                marks.historyAllowed = *lock.Get();
            }
        }
    }
    return pikora::IsPrivateClipboard(marks);
}

}  // namespace app
