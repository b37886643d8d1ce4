#include "store/data_file_win32.h"

#include <windows.h>

#include <new>
#include <optional>
#include <utility>

#include "ui/file_bytes.h"

namespace pikora {

namespace {

// Nothing of ours comes near this; refusing keeps a 32-bit process from
// trying to hold some unrelated giant file in memory twice.
constexpr ULONGLONG kMaxDataFileBytes = 256ull * 1024 * 1024;

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
    ui::FileBytes file = ui::ReadFileBytes(path, FILE_SHARE_READ, kMaxDataFileBytes);
    if (!file.read) {
        if (IsAbsentError(file.error)) {
            LoadResult r;
            r.status = LoadStatus::Absent;
            r.win32Error = file.error;
            return r;
        }
        return Unreadable(file.error);
    }
    const std::string bytes = std::move(file.bytes);

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
    const DWORD error = ui::ReplaceFileBytes(path, bytes);
    if (error != ERROR_SUCCESS) {
        return Failed(error);
    }
    SaveOutcome ok;
    ok.ok = true;
    return ok;
}

}  // namespace pikora
