// The program's text is code page 932 bytes whatever the system's ANSI code
// page is; Windows gets and gives it as UTF-16 through the W functions, so a
// Windows set to English, Chinese or UTF-8 shows and pastes the same text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

// codePage is 932 but where a file says otherwise (a UTF-8 settings file).
std::wstring Wide(std::string_view bytes, UINT codePage = 932);
// Characters that code page 932 cannot hold come out as the A functions of
// a Japanese Windows would give them (a look-alike or the default character).
std::string Narrow(std::wstring_view text, UINT codePage = 932);

std::string GetWindowTextString(HWND hwnd);
void SetWindowTextString(HWND hwnd, std::string_view text);

}  // namespace ui
