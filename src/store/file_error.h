// Which message a failed save shows. The texts live in the string table
// (ids 61857..61870, one per cause in the order below); the cause comes from
// the Win32 error code the failing call left behind.
#pragma once

#include <string>

namespace pikora {

enum class FileErrorCause {
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    RemoveCurrentDir,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile
};

constexpr int kFileErrorFirstStringId = 61857;

int FileErrorStringId(FileErrorCause c);

// Groups Win32 error numbers into causes the way the classic framework file
// exception does; anything it does not know is Generic.
FileErrorCause FileErrorCauseFromWin32(unsigned long win32Error);

// pattern with every %1 replaced by fileName.
std::string FormatFileError(const std::string& pattern, const std::string& fileName);

}  // namespace pikora
