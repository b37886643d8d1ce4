// Clipboard text transfer: plain CF_TEXT in code page 932, the clipboard
// opened without an owner and closed again within each call.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// True when the clipboard offered text and it was read into text; otherwise
// text is left exactly as it was.
bool GetClipboardText(std::string& text);

// True when the clipboard could be opened and took the text. With
// markTransient the text also carries the registered formats that tell
// clipboard monitors and the system's clipboard history not to record it.
bool SetClipboardText(const std::string& text, bool markTransient = false);

// Adds the registered formats that tell clipboard monitors and the system's
// clipboard history not to record the content, to the clipboard this thread
// has open and has emptied.
void PutTransientMarks();
// SetClipboardText retried up to 11 times with a 50 ms wait after every
// failed attempt, for the writes that must reach the clipboard.
bool SetClipboardTextRetrying(const std::string& text, bool markTransient, bool waitFirst);

// Whether the current clipboard content asks not to be recorded: password
// managers mark their copies with these registered formats.
bool IsClipboardMarkedPrivate();

}  // namespace app
