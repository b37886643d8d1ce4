// Pikora.exe started for one test in a fresh folder of its own, and the gtest
// fixture around it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/child_process.h"
#include "support/common.h"

namespace e2e {

// Command ids and window identity the tests rely on.
constexpr UINT kIdExit = 32771;
constexpr UINT kIdSettings = 32772;
constexpr UINT kIdVersion = 32773;
constexpr UINT kIdHistoryMode = 32774;
constexpr UINT kIdClearNormal = 32776;
constexpr UINT kIdHelpReadme = 32796;
constexpr UINT kIdAddData = 32797;
constexpr UINT kIdAddQuote = 32799;
constexpr UINT kIdWebSearch = 32786;
constexpr UINT kIdDicJapanese = 32787;
constexpr UINT kIdDicEnJa = 32788;
constexpr UINT kIdDicJaEn = 32789;
constexpr char kFrameTitle[] = "Pikora";
constexpr char kFrameClass[] = "Pikora_MainFrame";
// The list of the popup, a dialog ("#32770") like a message box.
constexpr int kPopupListId = 1000;

// Files put into the folder before the start; unset ones are not created.
struct PikoraSeed {
    std::optional<std::string> ini;  // Pikora.ini, next to the exe
    std::optional<std::string> dat;  // Pikora.dat, in the working directory
    std::string subfolder;           // where the exe goes, under the test's folder
};

class PikoraProcess {
  public:
    PikoraProcess() = default;
    // A copy that still runs is terminated (the fixture ends it properly first).
    ~PikoraProcess() = default;
    PikoraProcess(const PikoraProcess&) = delete;
    PikoraProcess& operator=(const PikoraProcess&) = delete;

    // Makes C:\pikora-e2e\<name> afresh, copies Pikora.exe (from $PIKORA_EXE)
    // and pu.wav into it and writes the seed files.
    bool Prepare(const std::string& name, const PikoraSeed& seed = {});
    // Starts the copy with the folder as working directory, waits until it is
    // idle and its main frame exists.
    bool Start(DWORD timeoutMs = 10000);
    // Posts "終了(&X)" (WM_COMMAND ID_EXIT) to the frame and waits for the end.
    bool Exit(DWORD timeoutMs = 5000);
    bool WaitExit(DWORD timeoutMs) const { return m_process.WaitExit(timeoutMs); }
    void Terminate() { m_process.Terminate(); }

    const std::string& Error() const { return m_error; }
    const std::string& Folder() const { return m_folder; }
    std::string ExePath() const { return m_folder + "\\Pikora.exe"; }
    std::string IniPath() const { return m_folder + "\\Pikora.ini"; }
    std::string DatPath() const { return m_folder + "\\Pikora.dat"; }
    DWORD Pid() const { return m_process.Pid(); }
    DWORD ThreadId() const { return m_threadId; }
    HWND Frame() const { return m_frame; }
    HANDLE Handle() const { return m_process.Handle(); }
    bool Running() const { return m_process.Running(); }
    DWORD ExitCode() const { return m_process.ExitCode(); }

    // Nothing while the file is missing or held open by Pikora's writer.
    std::optional<std::string> ReadIni() const { return ReadReplacedFile(IniPath()); }
    std::optional<std::string> ReadDat() const { return ReadReplacedFile(DatPath()); }

    // WM_COMMAND with the id in the low word, lParam 0, as a menu sends it.
    bool PostCommand(UINT id) const;

    // Returns once Pikora's thread has come back to a message loop, so that
    // what it was doing when called (the steps after a dialog has gone, such
    // as registering the hotkeys again) is done. False when it did not answer
    // within the time.
    bool Sync(DWORD timeoutMs = 5000) const;

  private:
    ChildProcess m_process;
    std::string m_folder;
    HWND m_frame = nullptr;
    DWORD m_threadId = 0;
    std::string m_error;
};

// The frame of a running Pikora: title "Pikora", not a message box.
HWND FindPikoraFrame(DWORD pid);

// A visible message box of the process: a "#32770" that is not the popup,
// which has its list as control kPopupListId. nullptr when none is up.
HWND FindMessageBoxOf(DWORD pid);

// A Pikora process per test, named after the test and ended in TearDown via
// "終了(&X)"; a copy that does not end within 5 s fails the test and is killed.
class PikoraTest : public ::testing::Test {
  protected:
    // Use as ASSERT_NO_FATAL_FAILURE(StartPikora(...)).
    void StartPikora(const PikoraSeed& seed = {});
    void TearDown() override;

    PikoraProcess pikora_;
};

// Folder-friendly name of the running test ("Suite.Name").
std::string CurrentTestName();

}  // namespace e2e
