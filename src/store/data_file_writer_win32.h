// Writes the data file on a thread of its own. A save costs the user's
// thread only the encoding of the list; creating the new file, flushing it
// to the disk and moving it into place (tens to hundreds of milliseconds on
// a busy disk) happen meanwhile, so copies made in quick succession are not
// missed and a paste does not wait for the disk.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "store/data_file_win32.h"
#include "ui/handles.h"

namespace pikora {

class DataFileWriter {
  public:
    // Each finished write is posted to `window` as `message`: wParam 1 when
    // the file was replaced, 0 when not, with the Win32 error in lParam. A
    // relative path is taken in the current folder of this moment.
    DataFileWriter(const std::wstring& path, HWND window, UINT message);
    // Finishes what is queued first.
    ~DataFileWriter();
    DataFileWriter(const DataFileWriter&) = delete;
    DataFileWriter& operator=(const DataFileWriter&) = delete;

    // False when the thread could not be started; Write then writes at once
    // on the caller's thread.
    bool Running() const { return static_cast<bool>(m_thread); }
    const std::wstring& Path() const { return m_path; }

    // Queues the file's new content. Every write replaces the whole file, so
    // content queued earlier and not yet started is dropped. Content equal
    // to what the writer last put in the file, which is still there with the
    // size and write time it left it with, is not written again but reported
    // as saved: most popups end with the list unchanged, and rewriting a
    // long list (megabytes, flushed to the disk) slowed the next paste.
    void Write(std::string bytes);
    // Returns once everything queued has been written or has failed.
    void Drain();

  private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    // Takes the queued content; nothing when the queue is empty, which also
    // marks the writer idle.
    std::optional<std::string> TakeQueued();
    void Report(const SaveOutcome& outcome) const;
    bool IsInFileAlready(const std::string& bytes) const;

    // What the writer thread last wrote: size and a hash of the bytes, and
    // the file's write time after it (a backup put back or a sync client's
    // copy can have the same size). Only that thread touches them.
    struct Fingerprint {
        std::size_t size = 0;
        std::uint64_t hash = 0;
        std::uint64_t writeTime = 0;
        bool operator==(const Fingerprint& o) const {
            return size == o.size && hash == o.hash && writeTime == o.writeTime;
        }
    };
    static std::uint64_t HashOf(const std::string& bytes);
    // The file's size and write time as they are now, with no hash.
    std::optional<Fingerprint> FileNow() const;
    std::optional<Fingerprint> m_written;

    const std::wstring m_path;
    const HWND m_window;
    const UINT m_message;
    CRITICAL_SECTION m_lock;
    std::optional<std::string> m_queued;  // under m_lock
    bool m_stopping = false;              // under m_lock
    ui::UniqueHandleK m_wake;             // auto-reset: something was queued
    ui::UniqueHandleK m_idle;             // manual-reset: nothing queued or being written
    ui::UniqueHandleK m_thread;
};

}  // namespace pikora
