// A Windows process started by a test; terminated when the owner goes away
// while it still runs, so a failing test never leaves programs behind.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `exe` with the command line `commandLine` (the program name first,
    // as Windows expects) in `workDir` (empty: the test's own).
    bool Start(const std::string& exe, const std::string& commandLine,
               const std::string& workDir = {});
    const std::string& Error() const { return m_error; }

    bool Started() const { return m_info.hProcess != nullptr; }
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD Pid() const { return m_info.dwProcessId; }
    DWORD MainThreadId() const { return m_info.dwThreadId; }

    bool Running() const;
    // True when the process has ended within `timeoutMs`.
    bool WaitExit(DWORD timeoutMs) const;
    // Meaningful once the process has ended.
    DWORD ExitCode() const;
    // WaitForInputIdle: the program's message loop has started and waits for input.
    bool WaitIdle(DWORD timeoutMs) const;
    void Terminate();

  private:
    void Close();

    PROCESS_INFORMATION m_info{};
    std::string m_error;
};

}  // namespace e2e
