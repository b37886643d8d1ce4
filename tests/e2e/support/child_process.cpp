#include "support/child_process.h"

#include <vector>

#include "support/common.h"

namespace e2e {

ChildProcess::~ChildProcess() {
    Terminate();
    Close();
}

bool ChildProcess::Start(const std::string& exe, const std::string& commandLine,
                         const std::string& workDir) {
    Terminate();
    Close();
    m_error.clear();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring wideExe = Wide(exe);
    const std::wstring wideDir = Wide(workDir);
    std::wstring line = Wide(commandLine);
    // Wine now and then loses a new process while it is being set up (about
    // one start in a few hundred, any program) and reports ERROR_INTERNAL_ERROR;
    // nothing of it is left running and the next attempt starts normally.
    // Any other error is the test's to report.
    constexpr int kAttempts = 5;
    for (int attempt = 1;; ++attempt) {
        std::wstring buffer = line;  // CreateProcess may write into it
        if (CreateProcessW(wideExe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           workDir.empty() ? nullptr : wideDir.c_str(), &startup, &m_info)) {
            return true;
        }
        const DWORD error = GetLastError();
        m_info = PROCESS_INFORMATION{};
        if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) {
            m_error = "CreateProcess(" + exe + ") failed: " + ErrorText(error);
            return false;
        }
    }
}

bool ChildProcess::Running() const {
    return Started() && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitExit(DWORD timeoutMs) const {
    return !Started() || WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Started()) {
        GetExitCodeProcess(m_info.hProcess, &code);
    }
    return code;
}

bool ChildProcess::WaitIdle(DWORD timeoutMs) const {
    return Started() && WaitForInputIdle(m_info.hProcess, timeoutMs) == 0;
}

void ChildProcess::Terminate() {
    if (Running()) {
        TerminateProcess(m_info.hProcess, 0xDEAD);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
}

void ChildProcess::Close() {
    if (m_info.hThread != nullptr) {
        CloseHandle(m_info.hThread);
    }
    if (m_info.hProcess != nullptr) {
        CloseHandle(m_info.hProcess);
    }
    m_info = PROCESS_INFORMATION{};
}

}  // namespace e2e
