#include "macro/launcher_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <ctime>
#include <vector>

#include "ui/wide_text.h"

namespace {

// Waiting without a limit would freeze the whole resident program (hotkeys,
// history, tray) behind a program that never becomes idle, for example a
// console program; after this long the paste goes on without it.
constexpr DWORD kInputIdleTimeoutMs = 10000;

class ScopedHandle {
  public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

}  // namespace

void ShellLauncher::OpenDocument(const std::string& target) {
    ShellExecuteW(nullptr, nullptr, ui::Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void ShellLauncher::StartProgram(const std::string& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine now and then loses a new process while setting it up and reports
    // ERROR_INTERNAL_ERROR; the program never ran then, so another attempt
    // cannot run it twice.
    constexpr int kAttempts = 3;
    for (int attempt = 1;; ++attempt) {
        // CreateProcessW may write into the command line it is given.
        std::wstring mutableCommandLine = ui::Wide(commandLine);
        if (CreateProcessW(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &process)) {
            break;
        }
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
            return;
        }
    }
    const ScopedHandle processHandle(process.hProcess);
    const ScopedHandle threadHandle(process.hThread);
    WaitForInputIdle(processHandle.get(), kInputIdleTimeoutMs);
}

pikora::LocalTime CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    pikora::LocalTime time;
    time.year = local.tm_year + 1900;
    time.month0 = local.tm_mon;
    time.mday = local.tm_mday;
    time.wday = local.tm_wday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    return time;
}
