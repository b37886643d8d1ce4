#include "store/data_file_writer_win32.h"

#include <cstring>
#include <utility>

namespace pikora {

namespace {

class LockScope {
  public:
    explicit LockScope(CRITICAL_SECTION& lock) : m_lock(lock) { ::EnterCriticalSection(&m_lock); }
    ~LockScope() { ::LeaveCriticalSection(&m_lock); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

  private:
    CRITICAL_SECTION& m_lock;
};

}  // namespace

DataFileWriter::DataFileWriter(const std::wstring& path, HWND window, UINT message)
    : m_path(FullPathOf(path)),
      m_window(window),
      m_message(message),
      m_wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_idle(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    ::InitializeCriticalSection(&m_lock);
    if (m_wake && m_idle) {
        m_thread.Reset(::CreateThread(nullptr, 0, &DataFileWriter::ThreadMain, this, 0, nullptr));
    }
}

DataFileWriter::~DataFileWriter() {
    if (m_thread) {
        {
            LockScope lock(m_lock);
            m_stopping = true;
        }
        ::SetEvent(m_wake.Get());
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    }
    ::DeleteCriticalSection(&m_lock);
}

void DataFileWriter::Write(std::string bytes) {
    if (!Running()) {
        Report(WriteDataFileBytes(m_path, bytes));
        return;
    }
    {
        LockScope lock(m_lock);
        m_queued = std::move(bytes);
        ::ResetEvent(m_idle.Get());
    }
    ::SetEvent(m_wake.Get());
}

void DataFileWriter::Drain() {
    if (Running()) {
        ::WaitForSingleObject(m_idle.Get(), INFINITE);
    }
}

DWORD WINAPI DataFileWriter::ThreadMain(void* self) {
    static_cast<DataFileWriter*>(self)->Run();
    return 0;
}

void DataFileWriter::Run() {
    for (;;) {
        ::WaitForSingleObject(m_wake.Get(), INFINITE);
        while (const std::optional<std::string> bytes = TakeQueued()) {
            if (IsInFileAlready(*bytes)) {
                SaveOutcome same;
                same.ok = true;
                Report(same);
                continue;
            }
            const SaveOutcome outcome = WriteDataFileBytes(m_path, *bytes);
            // A failed write leaves the old file as it was.
            m_written.reset();
            if (outcome.ok) {
                m_written = FileNow();
                if (m_written) {
                    m_written->hash = HashOf(*bytes);
                }
            }
            Report(outcome);
        }
        LockScope lock(m_lock);
        if (m_stopping && !m_queued) {
            return;
        }
    }
}

std::optional<std::string> DataFileWriter::TakeQueued() {
    LockScope lock(m_lock);
    if (!m_queued) {
        ::SetEvent(m_idle.Get());
        return std::nullopt;
    }
    std::optional<std::string> bytes = std::move(m_queued);
    m_queued.reset();
    return bytes;
}

std::uint64_t DataFileWriter::HashOf(const std::string& bytes) {
    // FNV-1a over 8-byte words, each step folding the high bits back down so
    // that a change anywhere reaches every bit; the tail byte by byte. A few
    // milliseconds for a 20 MB list, on this thread.
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * kPrime;
        hash ^= hash >> 29;
    }
    for (; i < bytes.size(); ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * kPrime;
    }
    return hash;
}

std::optional<DataFileWriter::Fingerprint> DataFileWriter::FileNow() const {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!::GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &info)) {
        return std::nullopt;
    }
    Fingerprint now;
    now.size = static_cast<std::size_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                        info.nFileSizeLow);
    now.writeTime = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                    info.ftLastWriteTime.dwLowDateTime;
    return now;
}

bool DataFileWriter::IsInFileAlready(const std::string& bytes) const {
    if (!m_written || m_written->size != bytes.size()) {
        return false;
    }
    // Gone or replaced from outside since: write it again.
    std::optional<Fingerprint> now = FileNow();
    if (!now) {
        return false;
    }
    now->hash = HashOf(bytes);
    return *now == *m_written;
}

void DataFileWriter::Report(const SaveOutcome& outcome) const {
    ::PostMessageW(m_window, m_message, outcome.ok ? 1 : 0,
                   static_cast<LPARAM>(outcome.win32Error));
}

}  // namespace pikora
