// Reading and writing Pikora.dat on disk.
#pragma once

#include <optional>
#include <string>

#include "store/data_file.h"
#include "store/text_list.h"

namespace pikora {

constexpr const char* kDataFileName = "Pikora.dat";
constexpr const wchar_t* kDataFileNameW = L"Pikora.dat";

// The full path of a file name in the current folder as it is now. The data
// file's place is fixed with it at start: the current folder moves later
// (the open dialog moves it on Windows), and the list must not follow.
std::wstring FullPathOf(const std::wstring& name);

struct LoadResult {
    LoadStatus status = LoadStatus::Absent;
    DecodeResult decode;           // meaningful when status is Loaded
    unsigned long win32Error = 0;  // why it was Absent or Unreadable
};

// Reads the whole file and decodes it into list. Absent (file or folder
// missing) and Unreadable (exists, but cannot be opened or read, or is too
// big to be ours) leave list unchanged.
LoadResult LoadDataFileFrom(const std::wstring& path, TextItemList& list);

struct SaveOutcome {
    bool ok = false;
    unsigned long win32Error = 0;  // for FileErrorCauseFromWin32 when !ok
};

// Replaces the file with the encoding of list. The new content goes to a
// temporary file in the same folder first and is moved over the old file
// only once it is complete and flushed, so a failure or a crash at any point
// leaves either the old file or the new one, never a cut one.
SaveOutcome SaveDataFileTo(const std::wstring& path, const TextItemList& list, bool noKeyClear);

// The two halves of SaveDataFileTo, for a save whose writing runs elsewhere:
// the encoding (nothing when memory runs out) and the replacement of the file.
std::optional<std::string> EncodeForSave(const TextItemList& list, bool noKeyClear);
SaveOutcome WriteDataFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace pikora
