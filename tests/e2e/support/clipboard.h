// The test's side of the clipboard: CP932 text, extra registered formats, images.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
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
