#include "store/data_file_win32.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

namespace pikora {

namespace {

// Nothing of ours comes near this; refusing keeps a 32-bit process from
// trying to hold some unrelated giant file in memory twice.
constexpr ULONGLONG kMaxDataFileBytes = 256ull * 1024 * 1024;

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closing can report a late write error, so the save asks for it.
    bool Close() {
        if (!Valid()) {
            return true;
        }
        const BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

  private:
    HANDLE h_;
};

// The file a save writes before it is moved into place. Unless Keep() was
// called, it is closed and deleted on the way out, whatever failed.
class TempFile {
  public:
    explicit TempFile(std::wstring path)
        : path_(std::move(path)),
          file_(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~TempFile() {
        file_.Close();
        if (file_created_ && !kept_) {
            DeleteFileW(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Valid() const { return file_.Valid(); }
    HANDLE Get() const { return file_.Get(); }
    bool Close() { return file_.Close(); }
    const std::wstring& Path() const { return path_; }
    void Keep() { kept_ = true; }

  private:
    std::wstring path_;
    FileHandle file_;
    bool file_created_ = file_.Valid();
    bool kept_ = false;
};

bool IsAbsentError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

LoadResult Unreadable(DWORD error) {
    LoadResult r;
    r.status = LoadStatus::Unreadable;
    r.win32Error = error;
    return r;
}

SaveOutcome Failed(DWORD error) {
    SaveOutcome r;
    r.ok = false;
    // A failing call that sets no error must still count as a failure.
    r.win32Error = error != 0 ? error : ERROR_WRITE_FAULT;
    return r;
}

}  // namespace

LoadResult LoadDataFileFrom(const std::wstring& path, TextItemList& list) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        if (IsAbsentError(error)) {
            LoadResult r;
            r.status = LoadStatus::Absent;
            r.win32Error = error;
            return r;
        }
        return Unreadable(error);
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) {
        return Unreadable(GetLastError());
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxDataFileBytes) {
        return Unreadable(ERROR_FILE_TOO_LARGE);
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return Unreadable(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr)) {
            return Unreadable(GetLastError());
        }
        if (got == 0) {
            break;  // the file shrank since its size was taken
        }
        done += got;
    }
    bytes.resize(done);
    file.Close();

    LoadResult r;
    r.status = LoadStatus::Loaded;
    TextItemList loaded;
    try {
        r.decode = DecodeDataFile(bytes, loaded);
    } catch (const std::bad_alloc&) {
        return Unreadable(ERROR_NOT_ENOUGH_MEMORY);
    }
    list.swap(loaded);
    return r;
}

std::optional<std::string> EncodeForSave(const TextItemList& list, bool noKeyClear) {
    try {
        return EncodeDataFile(list, noKeyClear);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::wstring FullPathOf(const std::wstring& name) {
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return name;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return name;
    }
    full.resize(length);
    return full;
}

SaveOutcome SaveDataFileTo(const std::wstring& path, const TextItemList& list, bool noKeyClear) {
    const std::optional<std::string> bytes = EncodeForSave(list, noKeyClear);
    return bytes ? WriteDataFileBytes(path, *bytes) : Failed(ERROR_NOT_ENOUGH_MEMORY);
}

SaveOutcome WriteDataFileBytes(const std::wstring& path, const std::string& bytes) {
    // Replacing by a move would go straight past a read-only flag (Wine does
    // so); writing over a read-only file in place is refused, and so is this.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Failed(ERROR_ACCESS_DENIED);
    }

    // Same folder as the target, so the final move is a rename on one volume.
    TempFile file(path + L".tmp");
    if (!file.Valid()) {
        return Failed(GetLastError());
    }

    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr)) {
            return Failed(GetLastError());
        }
        if (written == 0) {
            return Failed(ERROR_WRITE_FAULT);
        }
        done += written;
    }
    if (!FlushFileBuffers(file.Get())) {
        return Failed(GetLastError());
    }
    if (!file.Close()) {
        return Failed(GetLastError());
    }
    if (!MoveFileExW(file.Path().c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Failed(GetLastError());
    }
    file.Keep();
    SaveOutcome ok;
    ok.ok = true;
    return ok;
}

}  // namespace pikora
