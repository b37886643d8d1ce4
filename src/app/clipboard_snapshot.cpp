#include "app/clipboard_snapshot.h"

#include <cstring>
#include <utility>

#include "app/clipboard.h"
#include "ui/handles.h"

namespace app {
namespace {

bool IsTextFormat(UINT id) {
    return id == CF_TEXT || id == CF_UNICODETEXT || id == CF_OEMTEXT || id == CF_LOCALE;
}

// Formats whose data is a GDI handle or that only make sense to their owner,
// and formats the system derives from others on request.
bool IsSkippedFormat(UINT id, bool hasDib) {
    switch (id) {
        case CF_BITMAP:
        case CF_METAFILEPICT:
        case CF_PALETTE:
        case CF_ENHMETAFILE:
        case CF_OWNERDISPLAY:
        case CF_DSPBITMAP:
        case CF_DSPMETAFILEPICT:
        case CF_DSPENHMETAFILE:
        case CF_DSPTEXT:
            return true;
        case CF_DIBV5:
            return hasDib;  // derived from CF_DIB, which stands for the bitmap
        default:
            break;
    }
    return (id >= CF_PRIVATEFIRST && id <= CF_PRIVATELAST) ||
           (id >= CF_GDIOBJFIRST && id <= CF_GDIOBJLAST);
}

// True when the clipboard's Unicode text holds characters that its code page
// 932 text cannot (a "ü", an emoji): putting back the CP932 text alone would
// turn them into '?'.
bool UnicodeTextIsLossy(const std::vector<unsigned char>& bytes) {
    const size_t units = bytes.size() / sizeof(wchar_t);
    const auto* wide = reinterpret_cast<const wchar_t*>(bytes.data());
    size_t length = 0;
    while (length < units && wide[length] != L'\0') {
        ++length;
    }
    if (length == 0) {
        return false;
    }
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(length),
                                        nullptr, 0, nullptr, &usedDefault);
    return n <= 0 || usedDefault != FALSE;
}

}  // namespace

ClipboardSnapshot ClipboardSnapshot::Take(DWORD waitMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        ClipboardSnapshot snapshot = TakeNow();
        if (snapshot.m_taken || ::GetTickCount() - start >= waitMs) {
            return snapshot;
        }
        ::Sleep(50);
    }
}

ClipboardSnapshot ClipboardSnapshot::OfText(std::string text) {
    ClipboardSnapshot snapshot;
    snapshot.m_taken = true;
    snapshot.m_text = std::move(text);
    return snapshot;
}

ClipboardSnapshot ClipboardSnapshot::TakeNow() {
    ClipboardSnapshot snapshot;
    // The text and the other formats under one opening: they are one copy.
    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return snapshot;
    }
    // A text that is there but cannot be read is no snapshot: restoring it
    // would put an empty text in place of the user's.
    if (::IsClipboardFormatAvailable(CF_TEXT) && !ReadOpenClipboardText(snapshot.m_text)) {
        return snapshot;
    }
    snapshot.m_taken = true;
    const bool hasDib = ::IsClipboardFormatAvailable(CF_DIB) != FALSE;
    std::vector<Format> formats;
    bool keepFormats = false;
    size_t total = 0;
    for (UINT id = ::EnumClipboardFormats(0); id != 0; id = ::EnumClipboardFormats(id)) {
        if (IsSkippedFormat(id, hasDib)) {
            continue;
        }
        HANDLE data = ::GetClipboardData(id);
        if (!data) {
            continue;
        }
        const SIZE_T size = ::GlobalSize(data);
        if (size == 0 || total + size > kMaxBytes) {
            continue;
        }
        ui::GlobalLock<const unsigned char> lock(data);
        if (!lock) {
            continue;
        }
        formats.push_back(Format{id, std::vector<unsigned char>(lock.Get(), lock.Get() + size)});
        total += size;
        keepFormats = keepFormats || !IsTextFormat(id) ||
                      (id == CF_UNICODETEXT && UnicodeTextIsLossy(formats.back().bytes));
    }
    if (keepFormats) {
        snapshot.m_formats = std::move(formats);
    }
    return snapshot;
}

bool ClipboardSnapshot::Restore() const {
    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return false;
    }
    ::EmptyClipboard();
    for (const Format& format : m_formats) {
        ui::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, format.bytes.size()));
        if (!block) {
            continue;
        }
        {
            ui::GlobalLock<unsigned char> lock(block.Get());
            if (!lock) {
                continue;
            }
            std::memcpy(lock.Get(), format.bytes.data(), format.bytes.size());
        }
        if (::SetClipboardData(format.id, block.Get())) {
            block.Release();
        }
    }
    // The user's own content coming back: monitors (this program's history
    // included) have seen it already.
    PutTransientMarks();
    return true;
}

}  // namespace app
