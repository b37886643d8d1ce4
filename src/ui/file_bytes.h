// Whole-file reads and replacements for the program's own files (Pikora.dat
// and Pikora.ini), by UTF-16 path.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

struct FileBytes {
    bool read = false;
    std::string bytes;
    DWORD error = ERROR_SUCCESS;  // why it was not read
};

// The whole file, shared with others for share. A file longer than maxBytes
// is refused with ERROR_FILE_TOO_LARGE, and one that cannot be held in memory
// with ERROR_NOT_ENOUGH_MEMORY.
FileBytes ReadFileBytes(const std::wstring& path, DWORD share, ULONGLONG maxBytes);

// Writes bytes to a temporary file beside path and moves it over path, so
// that a failure at any step leaves the old file, never a cut one. Returns
// ERROR_SUCCESS or the error of the step that failed.
DWORD ReplaceFileBytes(const std::wstring& path, std::string_view bytes);

}  // namespace ui
