// Small helpers every end-to-end test uses: polling, paths, files, texts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

// Polls `pred` every `stepMs` until it holds or `timeoutMs` has passed; the
// last look happens after the deadline, so a slow but successful state counts.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs, DWORD stepMs = 20) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) {
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return pred();
        }
        Sleep(stepMs);
    }
}

// Value of an environment variable, empty when unset.
std::string GetEnv(const char* name);

// "/a/b" becomes "Z:\a\b" (Wine maps the Unix root to Z:); a path that is
// already a Windows path is returned unchanged.
std::string UnixToWinePath(const std::string& path);

// Folder of a path, without the trailing backslash.
std::string DirName(const std::string& path);

// Folder of the running test executable.
std::string ThisExeDir();

// Text of a Win32 error code, for failure messages.
std::string ErrorText(DWORD error);

// Whole file as bytes; nothing when it cannot be opened (missing, or held
// open without sharing by its writer at this moment).
std::optional<std::string> ReadFileBytes(const std::string& path);
// The same for a file the program replaces by a rename: Wine refuses to open
// one for a moment after that, so a file that is there is read once it opens.
std::optional<std::string> ReadReplacedFile(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Size from the directory entry; the file is not opened, so polling it never
// collides with a writer that opens the file without sharing.
std::optional<unsigned long long> FileSize(const std::string& path);

// Code page 932 bytes as UTF-8, so that failure messages are readable in a
// Unix terminal.
std::string Utf8(const std::string& cp932);
// Code page 932 and UTF-16 converted explicitly, never through the session's
// ANSI code page: the helpers take CP932 paths and texts and hand them to
// Windows as UTF-16, so they work in a session of any language.
std::wstring Wide(const std::string& cp932);
std::string Cp932(const std::wstring& text);

// Bytes as "61 62 63 | ..." hex, for comparing binary files in messages.
std::string Hex(const std::string& bytes);

}  // namespace e2e
