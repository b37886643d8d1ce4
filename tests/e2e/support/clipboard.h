// The test's side of the clipboard: CP932 text, extra registered formats, images.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A registered clipboard format put next to the text, e.g.
// {"Clipboard Viewer Ignore", ""} or {"CanIncludeInClipboardHistory", DWORD 0}.
struct ExtraFormat {
    std::string name;
    std::string bytes;
};

// Four little-endian bytes, for formats that carry a DWORD.
std::string DwordBytes(DWORD value);

// Replaces the clipboard content with CF_TEXT holding `cp932` (plus a NUL)
// and the extra formats. Retries opening for a while: the program under test
// may hold the clipboard briefly.
bool SetClipboardText(const std::string& cp932, const std::vector<ExtraFormat>& extras = {});

// Replaces the clipboard content with these blocks, each format's bytes as
// they are, retrying as SetClipboardText does.
bool SetClipboardBlocks(const std::vector<std::pair<UINT, std::string>>& blocks);

// A copy as a Unicode program makes it, CF_UNICODETEXT (with the CF_TEXT that
// program offers beside it, if any), whose Unicode text is handed over only
// when another program asks for it: the test then knows that the program
// under test has read this copy and not only a later one.
class UnicodeCopyOnRequest {
  public:
    // With handsOver false, a request gets nothing, as from an owner that
    // fails to render.
    UnicodeCopyOnRequest(std::wstring text, const std::optional<std::string>& cp932,
                         bool handsOver = true);
    // Gives up the clipboard window; the copy goes with it unless replaced.
    ~UnicodeCopyOnRequest();
    UnicodeCopyOnRequest(const UnicodeCopyOnRequest&) = delete;
    UnicodeCopyOnRequest& operator=(const UnicodeCopyOnRequest&) = delete;

    // The copy is on the clipboard.
    bool Ok() const { return m_ok; }
    // Handles this thread's messages until some program has asked for the
    // Unicode text.
    bool WaitRead(DWORD timeoutMs);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    std::wstring m_text;
    HWND m_window = nullptr;
    bool m_handsOver = true;
    bool m_ok = false;
    bool m_read = false;
};

// Holds the clipboard open as another program would, until Release or the
// end of the object. It opens it with a window of its own: Wine lets a second
// opener without a window in while the first one holds the clipboard.
class ClipboardHolder {
  public:
    ClipboardHolder();
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    // Opens the clipboard, waiting for a program that has it open now.
    bool Hold(DWORD timeoutMs = 1000);
    void Release();

  private:
    HWND m_window = nullptr;
    bool m_held = false;
};

// CF_TEXT as bytes up to the NUL; nothing when the clipboard holds no text.
std::optional<std::string> GetClipboardText();

// Bytes of a registered format; nothing when it is absent.
std::optional<std::string> GetClipboardFormatBytes(const std::string& formatName);

// Replaces the clipboard content with a 24-bit CF_DIB of one colour (no text).
bool SetClipboardDib(int width, int height, COLORREF colour);

bool ClipboardHasFormat(UINT format);

// Empties the clipboard.
bool ClearClipboard();

}  // namespace e2e
