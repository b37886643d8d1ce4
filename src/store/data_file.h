// The Pikora.dat format: a 32-bit little-endian count, then per entry kind,
// reserved1, reserved2, title length + 1, title bytes + NUL, text length + 1,
// text bytes + NUL. No header, no version, no checksum.
#pragma once

#include <string>
#include <string_view>

#include "store/text_list.h"

namespace pikora {

// The whole file for the list. An empty list is the empty string (a
// zero-length file); with noKeyClear the normal entries are left out, which
// may leave just a count of 0.
std::string EncodeDataFile(const TextItemList& list, bool noKeyClear);

struct DecodeResult {
    int declared = 0;      // the count the file states (0 when shorter than 4 bytes)
    int read = 0;          // complete entries appended to the list
    bool damaged = false;  // a count or a length promised more than the bytes hold
};

// Empties out, then appends every complete entry in file order. A count of 0
// or less, or a file shorter than 4 bytes, is an empty list. On damage the
// entries before it stay. Never reads past the end of file. The fields share
// one copy of the file's records (see SharedText), so the strings cost one
// allocation of the file's size; the list's nodes are bounded by the number
// of records the bytes could hold. A field's value is the bytes before the
// first NUL in it.
DecodeResult DecodeDataFile(std::string_view file, TextItemList& out);

// What happened when the program tried to read its data file at start-up.
enum class LoadStatus {
    Loaded,     // read (possibly only up to a damaged record)
    Absent,     // no such file: the list starts empty and may be saved
    Unreadable  // the file exists but could not be read: it must not be overwritten
};

// Remembers how the start-up load went and so whether a save may replace the
// file. Before the load has run nothing may be captured or saved.
class DataFileGuard {
  public:
    void OnLoad(LoadStatus status) {
        loadRan_ = true;
        status_ = status;
    }
    bool LoadRan() const { return loadRan_; }
    bool SaveAllowed() const { return loadRan_ && status_ != LoadStatus::Unreadable; }
    // True exactly once after an Unreadable load, so the user is told once.
    bool TakeUnreadableNotice() {
        if (loadRan_ && status_ == LoadStatus::Unreadable && !noticeGiven_) {
            noticeGiven_ = true;
            return true;
        }
        return false;
    }

    // Called after every save. True only for a failure that follows a save
    // that worked (or none yet): a full disk or a read-only file would
    // otherwise be reported again at every copy.
    bool TakeSaveFailureNotice(bool saved) {
        const bool first = !saved && !saveFailing_;
        saveFailing_ = !saved;
        return first;
    }

  private:
    bool loadRan_ = false;
    bool noticeGiven_ = false;
    bool saveFailing_ = false;
    LoadStatus status_ = LoadStatus::Absent;
};

}  // namespace pikora
