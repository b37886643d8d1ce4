#include "app/clipboard_snapshot.h"

#include <cstring>

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

}  // namespace

ClipboardSnapshot ClipboardSnapshot::Take() {
    ClipboardSnapshot snapshot;
    GetClipboardText(snapshot.m_text);

    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return snapshot;
    }
    const bool hasDib = ::IsClipboardFormatAvailable(CF_DIB) != FALSE;
    std::vector<Format> formats;
    bool hasNonText = false;
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
        hasNonText = hasNonText || !IsTextFormat(id);
    }
    if (hasNonText) {
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
    return true;
}

}  // namespace app
