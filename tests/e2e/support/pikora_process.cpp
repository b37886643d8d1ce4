#include "support/pikora_process.h"

#include <filesystem>
#include <system_error>

#include "support/common.h"
#include "support/process_windows.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

constexpr char kTestRoot[] = "C:\\pikora-e2e";

}  // namespace

HWND FindPikoraFrame(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        // A start-up message box carries the same caption.
        if (ClassNameOf(hwnd) != "#32770" && TextOf(hwnd) == kFrameTitle) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND FindMessageBoxOf(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" &&
            GetDlgItem(hwnd, kPopupListId) == nullptr) {
            return hwnd;
        }
    }
    return nullptr;
}

bool PikoraProcess::Prepare(const std::string& name, const PikoraSeed& seed) {
    const std::string source = UnixToWinePath(GetEnv("PIKORA_EXE"));
    if (source.empty()) {
        m_error = "PIKORA_EXE is not set (ctest sets it to build/win32/Pikora.exe)";
        return false;
    }
    std::error_code ec;
    if (!fs::exists(Wide(source), ec)) {
        m_error = "Pikora.exe not found at " + source;
        return false;
    }
    // Paths go to the file system as UTF-16 from CP932, whatever the session's code page.
    fs::remove_all(Wide(std::string(kTestRoot) + "\\" + name), ec);
    m_folder = std::string(kTestRoot) + "\\" + name;
    if (!seed.subfolder.empty()) {
        m_folder += "\\" + seed.subfolder;
    }
    fs::create_directories(Wide(m_folder), ec);
    if (ec) {
        m_error = "cannot create " + m_folder + ": " + ec.message();
        return false;
    }
    if (!fs::copy_file(Wide(source), Wide(ExePath()), fs::copy_options::overwrite_existing, ec)) {
        m_error = "cannot copy " + source + " to " + ExePath() + ": " + ec.message();
        return false;
    }
    const std::string wave = DirName(source) + "\\pu.wav";
    if (fs::exists(Wide(wave), ec)) {
        fs::copy_file(Wide(wave), Wide(m_folder + "\\pu.wav"), fs::copy_options::overwrite_existing,
                      ec);
    }
    if (seed.ini && !WriteFileBytes(IniPath(), *seed.ini)) {
        m_error = "cannot write " + IniPath();
        return false;
    }
    if (seed.dat && !WriteFileBytes(DatPath(), *seed.dat)) {
        m_error = "cannot write " + DatPath();
        return false;
    }
    return true;
}

bool PikoraProcess::Start(DWORD timeoutMs) {
    if (!m_process.Start(ExePath(), "Pikora.exe", m_folder)) {
        m_error = m_process.Error();
        return false;
    }
    m_process.WaitIdle(timeoutMs);
    const bool found = WaitUntil(
        [&] {
            m_frame = FindPikoraFrame(m_process.Pid());
            return m_frame != nullptr || !m_process.Running();
        },
        timeoutMs);
    if (!found || m_frame == nullptr) {
        m_error = m_process.Running() ? "Pikora's main frame did not appear; its windows:\n" +
                                            DescribeWindowsOf(m_process.Pid())
                                      : "Pikora ended during start-up with exit code " +
                                            std::to_string(m_process.ExitCode());
        return false;
    }
    m_threadId = GetWindowThreadProcessId(m_frame, nullptr);
    return true;
}

bool PikoraProcess::Exit(DWORD timeoutMs) {
    if (!m_process.Running()) {
        return true;
    }
    PostCommand(kIdExit);
    return m_process.WaitExit(timeoutMs);
}

bool PikoraProcess::PostCommand(UINT id) const {
    return PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE;
}

bool PikoraProcess::Sync(DWORD timeoutMs) const {
    // A sent message is handled only where the thread fetches its messages;
    // none of the steps between a dialog's end and the loop does that.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void PikoraTest::StartPikora(const PikoraSeed& seed) {
    ASSERT_TRUE(pikora_.Prepare(CurrentTestName(), seed)) << pikora_.Error();
    ASSERT_TRUE(pikora_.Start()) << pikora_.Error();
}

void PikoraTest::TearDown() {
    if (!pikora_.Running()) {
        return;
    }
    if (!pikora_.Exit(5000)) {
        ADD_FAILURE() << "Pikora did not end within 5 s of ID_EXIT; its windows:\n"
                      << DescribeWindowsOf(pikora_.Pid());
        pikora_.Terminate();
    }
}

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr) {
        return "no-test";
    }
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?') {
            c = '_';
        }
    }
    return name;
}

}  // namespace e2e
