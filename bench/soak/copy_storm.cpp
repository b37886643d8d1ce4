#include "copy_storm.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "soak_clock.h"
#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/pikora_process.h"

namespace soak {

namespace {

// Distinct, of varying length, Japanese and ASCII mixed, as copies are.
std::string CopyText(int i) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", i);
    return std::string("コピー ") + number + " 履歴の確認 " +
           std::string(static_cast<size_t>(i % 37), 'x');
}

// Opened with every sharing mode: a reader that refused deletion would make
// Pikora's save fail when it moves the new file over this one.
std::optional<std::string> ReadShared(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return bytes;
}

// Looks into the file when its size has changed, and every 100 ms anyway.
class TopEntryWatch {
  public:
    explicit TopEntryWatch(std::string path) : m_path(std::move(path)) {}
    bool Is(const std::string& text) {
        const std::optional<unsigned long long> size = e2e::FileSize(m_path);
        if (!size || (*size == m_lastSize && NowMs() - m_lastRead < 100)) {
            return false;
        }
        const std::optional<std::string> bytes = ReadShared(m_path);
        if (!bytes) {
            return false;
        }
        m_lastRead = NowMs();
        const e2e::DecodedDat dat = e2e::DecodeDat(*bytes);
        if (!dat.complete || dat.entries.empty()) {
            return false;
        }
        m_lastSize = bytes->size();
        m_top = dat.entries.front().text;
        return m_top == text;
    }
    // The top entry at the last look, for a report when the wait fails.
    const std::string& Top() const { return m_top; }

  private:
    std::string m_path;
    unsigned long long m_lastSize = ~0ull;
    double m_lastRead = 0;
    std::string m_top;
};

// Waits with the message queue served: Wine asks the clipboard's owner
// window (ours) for an update whenever another process opens the clipboard,
// and that reader waits up to 5 s for the answer.
void WaitServingMessages(double deadlineMs) {
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        const double left = deadlineMs - NowMs();
        if (left <= 0) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
    }
}

// Puts texts on the clipboard as a copying application does: opened with a
// window of its own. Opened without a window, Wine 8 lets a second opener
// without a window in while the first still holds the clipboard, and the two
// then overwrite each other's work (Pikora opens it without a window too).
class ClipboardWriter {
  public:
    ClipboardWriter()
        : m_window(CreateWindowExA(0, "STATIC", "soak copies", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr)) {}
    ~ClipboardWriter() {
        if (m_window != nullptr) {
            DestroyWindow(m_window);
        }
    }
    ClipboardWriter(const ClipboardWriter&) = delete;
    ClipboardWriter& operator=(const ClipboardWriter&) = delete;

    bool Put(const std::string& text) {
        // The reader may hold the clipboard for a moment, and ask us for an
        // update meanwhile.
        const double deadline = NowMs() + 3000;
        while (!OpenClipboard(m_window)) {
            if (NowMs() > deadline) {
                return false;
            }
            WaitServingMessages(NowMs() + 2);
        }
        bool ok = EmptyClipboard() != FALSE;
        if (ok) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
            if (void* target = memory != nullptr ? GlobalLock(memory) : nullptr) {
                std::memcpy(target, text.c_str(), text.size() + 1);
                GlobalUnlock(memory);
            }
            ok = memory != nullptr && SetClipboardData(CF_TEXT, memory) != nullptr;
            if (!ok && memory != nullptr) {
                GlobalFree(memory);
            }
        }
        const DWORD error = GetLastError();
        ok = CloseClipboard() != FALSE && ok;
        SetLastError(error);
        return ok;
    }

  private:
    HWND m_window;
};

bool PutCopy(ClipboardWriter& writer, const std::string& text, CopyStormResult& r, int i) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (writer.Put(text)) {
            return true;
        }
        if (r.putError.empty()) {
            r.putError = "copy " + std::to_string(i) + ": " + e2e::ErrorText(GetLastError());
        }
        Sleep(2);
    }
    ++r.putFailures;
    return false;
}

// A copy that could not be put at all is not Pikora's to record.
void Judge(const std::vector<e2e::DatEntry>& entries, const std::vector<bool>& put,
           CopyStormResult& r) {
    const int copies = static_cast<int>(put.size());
    std::map<std::string, int> index;
    for (int i = 0; i < copies; ++i) {
        index[CopyText(i)] = i;
    }
    std::vector<int> seen(static_cast<size_t>(copies), 0);
    std::vector<int> order;
    for (const e2e::DatEntry& entry : entries) {
        const auto found = index.find(entry.text);
        if (found == index.end() || entry.kind != e2e::kKindNormal) {
            ++r.foreign;
            continue;
        }
        ++seen[static_cast<size_t>(found->second)];
        order.push_back(found->second);
    }
    r.recorded = static_cast<int>(entries.size());
    for (int i = 0; i < copies; ++i) {
        const int count = seen[static_cast<size_t>(i)];
        r.doubled += count > 1 ? count - 1 : 0;
        if (count == 0 && put[static_cast<size_t>(i)] && ++r.missed <= 20) {
            r.missedList += (r.missedList.empty() ? "" : " ") + std::to_string(i);
        }
    }
    // Newest first: the copy numbers must fall strictly from top to bottom.
    r.inOrder = true;
    for (size_t i = 1; i < order.size(); ++i) {
        r.inOrder = r.inOrder && order[i] < order[i - 1];
    }
}

}  // namespace

CopyStormResult RunCopyStorm(int copies, DWORD intervalMs) {
    CopyStormResult r;
    r.copies = copies;
    e2e::ClearClipboard();
    e2e::PikoraProcess pikora;
    e2e::PikoraSeed seed;
    // History on from the start, normal entries kept at exit, no sound and
    // no popup per copy.
    seed.ini = "[Setting]\r\nStopRun=0\r\nNoKeyClear=0\r\nCopyPopup=0\r\nRirekiWave=0\r\n";
    if (!pikora.Prepare("soak-copy-storm", seed) || !pikora.Start(20000)) {
        r.problem = "cannot start Pikora: " + pikora.Error();
        return r;
    }
    std::vector<bool> put(static_cast<size_t>(copies), false);
    std::optional<ClipboardWriter> writer(std::in_place);
    const double start = NowMs();
    double lastPut = start;
    for (int i = 0; i < copies; ++i) {
        // On a fixed schedule, so a slow put does not stretch the storm.
        WaitServingMessages(start + static_cast<double>(i) * intervalMs);
        put[static_cast<size_t>(i)] = PutCopy(*writer, CopyText(i), r, i);
        lastPut = NowMs();
    }
    r.putMs = lastPut - start;
    const std::string last = CopyText(copies - 1);
    TopEntryWatch watch(pikora.DatPath());
    const double deadline = lastPut + 30000;
    while (NowMs() < deadline) {
        if (watch.Is(last)) {
            r.lastCopyToListMs = NowMs() - lastPut;
            break;
        }
        WaitServingMessages(NowMs() + 2);
    }
    if (r.lastCopyToListMs < 0) {
        r.problem = "the last copy was not seen at the top of Pikora.dat within 30 s; the top: " +
                    e2e::Utf8(watch.Top());
    }
    // Nobody is left to ask the clipboard's owner for anything.
    writer.reset();
    if (!pikora.Exit(30000)) {
        r.problem = "Pikora did not end through its menu";
        pikora.Terminate();
        return r;
    }
    const std::optional<std::string> bytes = ReadShared(pikora.DatPath());
    const e2e::DecodedDat dat = e2e::DecodeDat(bytes.value_or(std::string()));
    if (!bytes || !dat.complete) {
        r.problem = "Pikora.dat unreadable after exit: " + dat.problem;
        return r;
    }
    Judge(dat.entries, put, r);
    r.ran = true;
    return r;
}

}  // namespace soak
