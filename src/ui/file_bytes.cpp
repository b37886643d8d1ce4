#include "ui/file_bytes.h"

#include <algorithm>
#include <new>

#include "ui/handles.h"

namespace ui {

namespace {

constexpr int kMoveTries = 80;
constexpr DWORD kMoveRetryMs = 25;

// A failing call that sets no error must still count as a failure.
DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

// The temporary file a replacement fills; deleted again unless the move took
// it.
class TempFile {
  public:
    TempFile(std::wstring path, DWORD attributes)
        : path_(std::move(path)),
          file_(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes,
                            nullptr)),
          created_(static_cast<bool>(file_)),
          error_(created_ ? ERROR_SUCCESS : LastErrorOr(ERROR_CANNOT_MAKE)) {}
    ~TempFile() {
        file_.Reset();
        if (created_ && !moved_) {
            DeleteFileW(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    DWORD Fill(std::string_view bytes) {
        if (!file_) {
            return error_;
        }
        while (!bytes.empty()) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 24));
            if (!WriteFile(file_.Get(), bytes.data(), chunk, &written, nullptr)) {
                return LastErrorOr(ERROR_WRITE_FAULT);
            }
            if (written == 0) {
                return ERROR_WRITE_FAULT;
            }
            bytes.remove_prefix(written);
        }
        if (!FlushFileBuffers(file_.Get())) {
            return LastErrorOr(ERROR_WRITE_FAULT);
        }
        // Closing can report a late write error.
        if (!CloseHandle(file_.Release())) {
            return LastErrorOr(ERROR_WRITE_FAULT);
        }
        return ERROR_SUCCESS;
    }

    // A program that has the file open for a moment without letting it be
    // deleted (a reader, a virus scanner, a backup) makes the move fail, where
    // a write in place would have gone through: such a hold is waited out for
    // two seconds.
    DWORD MoveOver(const std::wstring& target) {
        for (int tries = 1;; ++tries) {
            moved_ = MoveFileExW(path_.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
            const DWORD error = moved_ ? ERROR_SUCCESS : LastErrorOr(ERROR_WRITE_FAULT);
            if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
                tries == kMoveTries) {
                return error;
            }
            Sleep(kMoveRetryMs);
        }
    }

  private:
    std::wstring path_;
    UniqueHandleK file_;
    bool created_;
    DWORD error_;
    bool moved_ = false;
};

}  // namespace

FileBytes ReadFileBytes(const std::wstring& path, DWORD share, ULONGLONG maxBytes) {
    FileBytes result;
    UniqueHandleK file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
        result.error = LastErrorOr(ERROR_READ_FAULT);
        return result;
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > maxBytes) {
        result.error = ERROR_FILE_TOO_LARGE;
        return result;
    }
    try {
        result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        result.error = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &result.bytes[done],
                      static_cast<DWORD>(result.bytes.size() - done), &got, nullptr)) {
            result.error = LastErrorOr(ERROR_READ_FAULT);
            result.bytes.clear();
            return result;
        }
        if (got == 0) {
            break;  // it shrank since its size was taken
        }
        done += got;
    }
    result.bytes.resize(done);
    result.read = true;
    return result;
}

DWORD ReplaceFileBytes(const std::wstring& path, std::string_view bytes) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    DWORD kept = FILE_ATTRIBUTE_NORMAL;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // Windows refuses to write a read-only file in place, and so do we; a
        // move would go straight past the flag (Wine's own writes do).
        if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
            return ERROR_ACCESS_DENIED;
        }
        // An in-place write keeps the file's flags; the new file takes them over.
        kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept == 0) {
            kept = FILE_ATTRIBUTE_NORMAL;
        }
    }
    // Same folder as the target, so the move is a rename on one volume.
    TempFile temp(path + L".tmp", kept);
    const DWORD error = temp.Fill(bytes);
    return error != ERROR_SUCCESS ? error : temp.MoveOver(path);
}

}  // namespace ui
