#include "app/clipboard.h"

#include <cstring>
#include <functional>

#include "store/history_capture.h"
#include "text/cp932_codec_win32.h"
#include "ui/app.h"
#include "ui/handles.h"
#include "ui/wide_text.h"

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

// The text of a clipboard block up to its terminating zero. False when the
// block cannot be locked: it holds no text we can read.
template <class Char>
bool ReadTextBlock(HANDLE data, std::basic_string<Char>& text) {
    ui::GlobalLock<const Char> lock(data);
    if (!lock) {
        return false;
    }
    // Another program may have put a block without a terminating zero there:
    // never read past its end.
    const size_t units = ::GlobalSize(data) / sizeof(Char);
    const Char* zero = std::char_traits<Char>::find(lock.Get(), units, Char());
    text.assign(lock.Get(), zero ? static_cast<size_t>(zero - lock.Get()) : units);
    return true;
}

bool IsTextAvailable() {
    return ::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_UNICODETEXT);
}

bool ReadOpenClipboardTexts(ClipboardTexts& texts) {
    ClipboardTexts read;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (data ? !ReadTextBlock(data, read.text) : IsTextAvailable()) {
        // Text is listed but could not be had: an owner that failed to
        // render it, or (under Wine) another opener that took the clipboard
        // over from us. Taking that for "" would quote or restore nothing in
        // place of the user's text.
        return false;
    }
    // A Unicode block that cannot be had leaves nothing to compare with: the
    // CF_TEXT then counts as it always did.
    HANDLE wide =
        ::IsClipboardFormatAvailable(CF_UNICODETEXT) ? ::GetClipboardData(CF_UNICODETEXT) : nullptr;
    std::u16string unicode;
    if (wide && ReadTextBlock(wide, unicode)) {
        read.unicode = std::move(unicode);
    }
    texts = std::move(read);
    return true;
}

// CF_TEXT when it is the Unicode text in code page 932, which keeps the NEC
// and IBM duplicates byte for byte; otherwise the Unicode text converted.
std::string Cp932TextOf(const ClipboardTexts& texts) {
    if (!texts.unicode || pikora::WinCp932Codec().Decode(texts.text) == *texts.unicode) {
        return texts.text;
    }
    return ui::Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(texts.unicode->data()),
                                        texts.unicode->size()));
}

}  // namespace

bool ReadOpenClipboardText(std::string& text) {
    ClipboardTexts texts;
    if (!ReadOpenClipboardTexts(texts)) {
        return false;
    }
    text = Cp932TextOf(texts);
    return true;
}

bool GetClipboardText(std::string& text) {
    if (!IsTextAvailable()) {
        return false;
    }
    ui::ClipboardScope clipboard;
    return clipboard.IsOpen() && ReadOpenClipboardText(text);
}

bool GetClipboardTexts(ClipboardTexts& texts) {
    if (!IsTextAvailable()) {
        return false;
    }
    ui::ClipboardScope clipboard;
    return clipboard.IsOpen() && ReadOpenClipboardTexts(texts);
}

std::optional<std::string> ExactCp932Text(const ClipboardTexts& texts) {
    if (!texts.unicode) {
        return texts.text;
    }
    return pikora::ExactCp932(*texts.unicode, texts.text, pikora::WinCp932Codec());
}

namespace {

// A movable block holding size bytes of data, or nothing when memory is short.
ui::UniqueGlobal TextBlock(const void* data, size_t size) {
    ui::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) {
        return block;
    }
    ui::GlobalLock<char> lock(block.Get());
    if (!lock) {
        return ui::UniqueGlobal();
    }
    std::memcpy(lock.Get(), data, size);
    return block;
}

}  // namespace

bool SetClipboardText(const std::string& text, bool markTransient) {
    ui::ClipboardScope clipboard;
    if (!clipboard.IsOpen()) {
        return false;
    }
    const std::wstring wide = ui::Wide(text);
    ui::UniqueGlobal block = TextBlock(text.c_str(), text.size() + 1);
    ui::UniqueGlobal wideBlock = TextBlock(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    if (!block || !wideBlock) {
        return false;
    }
    // The clipboard is emptied at this point whatever follows: a text that
    // did not go in must not count as pasted or handed out.
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_TEXT, block.Get())) {
        return false;
    }
    block.Release();
    if (!::SetClipboardData(CF_UNICODETEXT, wideBlock.Get())) {
        return false;
    }
    wideBlock.Release();
    if (markTransient) {
        PutTransientMarks();
    }
    return true;
}

void PutTransientMarks() {
    PutDword(::RegisterClipboardFormatA(pikora::kViewerIgnoreFormat), 0);
    PutDword(::RegisterClipboardFormatA(pikora::kCanIncludeInHistoryFormat), 0);
}

void TellClipboardBusyForPaste() {
    ui::AppMessageBox("クリップボードを他のプログラムが使用中のため、貼り付けできませんでした。",
                      MB_OK | MB_ICONEXCLAMATION);
}

void TellClipboardNotRestored() {
    ui::AppMessageBox(
        "クリップボードを他のプログラムが使用中のため、貼り付け前の内容を元に戻せませんでした。",
        MB_OK | MB_ICONEXCLAMATION);
}

bool Retrying(int attempts, bool waitFirst, const std::function<bool()>& attempt) {
    for (int i = 0; i < attempts; ++i) {
        if (waitFirst) {
            ::Sleep(50);
        }
        if (attempt()) {
            return true;
        }
        if (!waitFirst && i + 1 < attempts) {
            ::Sleep(50);
        }
    }
    return false;
}

bool SetClipboardTextRetrying(const std::string& text, bool markTransient, bool waitFirst,
                              int attempts) {
    return Retrying(attempts, waitFirst, [&] { return SetClipboardText(text, markTransient); });
}

std::optional<bool> IsClipboardMarkedPrivate() {
    pikora::ClipboardMarks marks;
    marks.excludeFromMonitor = ::IsClipboardFormatAvailable(::RegisterClipboardFormatA(
                                   pikora::kExcludeFromMonitorFormat)) != FALSE;
    marks.viewerIgnore = ::IsClipboardFormatAvailable(
                             ::RegisterClipboardFormatA(pikora::kViewerIgnoreFormat)) != FALSE;
    const UINT historyFormat = ::RegisterClipboardFormatA(pikora::kCanIncludeInHistoryFormat);
    if (::IsClipboardFormatAvailable(historyFormat)) {
        ui::ClipboardScope clipboard;
        // Held by another program: the mark is there and may say "private".
        if (!clipboard.IsOpen()) {
            return std::nullopt;
        }
        HANDLE data = ::GetClipboardData(historyFormat);
        ui::GlobalLock<const DWORD> lock(data);
        if (lock && ::GlobalSize(data) >= sizeof(DWORD)) {
            marks.historyAllowedKnown = true;
            marks.historyAllowed = *lock.Get();
        }
    }
    return pikora::IsPrivateClipboard(marks);
}

}  // namespace app
