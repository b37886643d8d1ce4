// Clipboard text transfer: code page 932 text, the clipboard opened without an
// owner and closed again within each call. Writes put CF_UNICODETEXT beside
// CF_TEXT and reads take the text from CF_UNICODETEXT when CF_TEXT does not
// hold it: the system converts CF_TEXT in the clipboard locale's code page,
// which is not 932 on a Windows set to another language.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace app {

// True when the clipboard offered text and it was read into text; otherwise
// text is left exactly as it was.
bool GetClipboardText(std::string& text);

// The text of the clipboard this thread has open (empty when there is
// none); false when its block cannot be read.
bool ReadOpenClipboardText(std::string& text);

// The clipboard's text in both forms, read under one opening so that both
// belong to the same copy.
struct ClipboardTexts {
    std::string text;                       // CF_TEXT as it is
    std::optional<std::u16string> unicode;  // CF_UNICODETEXT, when the clipboard holds it
};

// Same results as GetClipboardText; texts is left as it was on false.
bool GetClipboardTexts(ClipboardTexts& texts);

// What history may record of them: the CP932 bytes that hold the Unicode text
// whole (pikora::ExactCp932), or the CF_TEXT as it is when there is no Unicode
// text to hold; nothing when code page 932 would lose part of the text.
std::optional<std::string> ExactCp932Text(const ClipboardTexts& texts);

// True when the clipboard could be opened and took the text. With
// markTransient the text also carries the registered formats that tell
// clipboard monitors and the system's clipboard history not to record it.
bool SetClipboardText(const std::string& text, bool markTransient = false);

// Adds the registered formats that tell clipboard monitors and the system's
// clipboard history not to record the content, to the clipboard this thread
// has open and has emptied.
void PutTransientMarks();
// The attempts of a clipboard access that must get in past another program.
constexpr int kClipboardAttempts = 11;
// Runs attempt up to `attempts` times, 50 ms apart (also before the first with
// waitFirst), until it succeeds: for the clipboard writes that must get in
// past another program holding the clipboard open for a moment.
bool Retrying(int attempts, bool waitFirst, const std::function<bool()>& attempt);
// SetClipboardText, Retrying.
bool SetClipboardTextRetrying(const std::string& text, bool markTransient, bool waitFirst,
                              int attempts = kClipboardAttempts);

// How long a paste waits for a clipboard that another program keeps open,
// and the SetClipboardTextRetrying attempts (50 ms apart) that make it.
constexpr DWORD kPasteClipboardWaitMs = 3000;
constexpr int kPasteClipboardAttempts = static_cast<int>(kPasteClipboardWaitMs / 50);

// Tells the user that a paste was called off because another program kept
// the clipboard open.
void TellClipboardBusyForPaste();
// Tells the user that what the clipboard held before a paste could not be put
// back, as another program kept the clipboard open.
void TellClipboardNotRestored();

// Whether the current clipboard content asks not to be recorded: password
// managers mark their copies with these registered formats. Nothing when a
// mark is there but cannot be read yet (another program holds the
// clipboard): the caller tries again or treats the copy as private.
std::optional<bool> IsClipboardMarkedPrivate();

}  // namespace app
