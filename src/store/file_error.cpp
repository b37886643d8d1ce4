#include "store/file_error.h"

#include "text/cp932.h"

namespace pikora {

int FileErrorStringId(FileErrorCause c) {
    return kFileErrorFirstStringId + static_cast<int>(c);
}

FileErrorCause FileErrorCauseFromWin32(unsigned long win32Error) {
    using C = FileErrorCause;
    // Plain numbers: this file is also built where <windows.h> does not exist.
    switch (win32Error) {
        case 2:    // ERROR_FILE_NOT_FOUND
        case 6:    // ERROR_INVALID_HANDLE
        case 18:   // ERROR_NO_MORE_FILES
        case 107:  // ERROR_DISK_CHANGE
            return C::FileNotFound;
        case 3:    // ERROR_PATH_NOT_FOUND
        case 15:   // ERROR_INVALID_DRIVE
        case 17:   // ERROR_NOT_SAME_DEVICE
        case 34:   // ERROR_WRONG_DISK
        case 52:   // ERROR_DUP_NAME
        case 53:   // ERROR_BAD_NETPATH
        case 55:   // ERROR_DEV_NOT_EXIST
        case 67:   // ERROR_BAD_NET_NAME
        case 70:   // ERROR_SHARING_PAUSED
        case 85:   // ERROR_ALREADY_ASSIGNED
        case 111:  // ERROR_BUFFER_OVERFLOW
        case 123:  // ERROR_INVALID_NAME
        case 124:  // ERROR_INVALID_LEVEL
        case 125:  // ERROR_NO_VOLUME_LABEL
        case 144:  // ERROR_DIR_NOT_ROOT
        case 154:  // ERROR_LABEL_TOO_LONG
        case 161:  // ERROR_BAD_PATHNAME
        case 206:  // ERROR_FILENAME_EXCED_RANGE
        case 208:  // ERROR_META_EXPANSION_TOO_LONG
        case 267:  // ERROR_DIRECTORY
            return C::BadPath;
        case 4:    // ERROR_TOO_MANY_OPEN_FILES
        case 36:   // ERROR_SHARING_BUFFER_EXCEEDED
        case 68:   // ERROR_TOO_MANY_NAMES
        case 113:  // ERROR_NO_MORE_SEARCH_HANDLES
            return C::TooManyOpenFiles;
        case 5:    // ERROR_ACCESS_DENIED
        case 12:   // ERROR_INVALID_ACCESS
        case 19:   // ERROR_WRITE_PROTECT
        case 29:   // ERROR_WRITE_FAULT
        case 54:   // ERROR_NETWORK_BUSY
        case 58:   // ERROR_BAD_NET_RESP
        case 64:   // ERROR_NETNAME_DELETED
        case 65:   // ERROR_NETWORK_ACCESS_DENIED
        case 71:   // ERROR_REQ_NOT_ACCEP
        case 80:   // ERROR_FILE_EXISTS
        case 82:   // ERROR_CANNOT_MAKE
        case 86:   // ERROR_INVALID_PASSWORD
        case 170:  // ERROR_BUSY
        case 183:  // ERROR_ALREADY_EXISTS
        case 999:  // ERROR_SWAPERROR
            return C::AccessDenied;
        case 11:   // ERROR_BAD_FORMAT
        case 26:   // ERROR_NOT_DOS_DISK
        case 60:   // ERROR_BAD_REM_ADAP
        case 66:   // ERROR_BAD_DEV_TYPE
        case 114:  // ERROR_INVALID_TARGET_HANDLE
        case 182:  // ERROR_INVALID_ORDINAL
        case 191:  // ERROR_INVALID_EXE_SIGNATURE
        case 193:  // ERROR_BAD_EXE_FORMAT
            return C::InvalidFile;
        case 16:   // ERROR_CURRENT_DIRECTORY
        case 145:  // ERROR_DIR_NOT_EMPTY
            return C::RemoveCurrentDir;
        case 62:  // ERROR_NO_SPOOL_SPACE
            return C::DirectoryFull;
        case 24:   // ERROR_BAD_LENGTH
        case 25:   // ERROR_SEEK
        case 27:   // ERROR_SECTOR_NOT_FOUND
        case 30:   // ERROR_READ_FAULT
        case 131:  // ERROR_NEGATIVE_SEEK
        case 132:  // ERROR_SEEK_ON_DEVICE
            return C::BadSeek;
        case 20:   // ERROR_BAD_UNIT
        case 21:   // ERROR_NOT_READY
        case 22:   // ERROR_BAD_COMMAND
        case 23:   // ERROR_CRC
        case 57:   // ERROR_ADAP_HDW_ERR
        case 59:   // ERROR_UNEXP_NET_ERR
        case 88:   // ERROR_NET_WRITE_FAULT
        case 117:  // ERROR_INVALID_CATEGORY
        case 995:  // ERROR_OPERATION_ABORTED
        case 996:  // ERROR_IO_INCOMPLETE
        case 997:  // ERROR_IO_PENDING
            return C::HardIO;
        case 32:  // ERROR_SHARING_VIOLATION
            return C::SharingViolation;
        case 33:   // ERROR_LOCK_VIOLATION
        case 108:  // ERROR_DRIVE_LOCKED
        case 167:  // ERROR_LOCK_FAILED
            return C::LockViolation;
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return C::DiskFull;
        case 38:  // ERROR_HANDLE_EOF
            return C::EndOfFile;
        default:
            return C::Generic;
    }
}

std::string FormatFileError(const std::string& pattern, const std::string& fileName) {
    return ReplaceAll(pattern, "%1", fileName);
}

}  // namespace pikora
