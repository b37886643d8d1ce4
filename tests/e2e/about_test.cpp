// The version box and the read-me, opened from the tray menu: every way of
// cancelling the box sends the user to the author's page, "OK" does not, and
// "ヘルプ(&H)" opens the read-me that lies beside Pikora.exe wherever Pikora
// was started from.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/child_process.h"
#include "support/clipboard.h"
#include "support/common.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/shell_open.h"
#include "support/thread_spy.h"
#include "support/tray.h"

namespace {

using namespace e2e;

constexpr char kAboutCaption[] = "Pikoraのﾊﾞｰｼﾞｮﾝ情報";
constexpr char kAuthorSite[] = "http://www.pikora.example/";
constexpr char kReadme[] = "まず読んでね!.html";
constexpr char kWebSearchOfNothing[] =
    "http://search.goo.ne.jp/default.asp?MT=&WTS=ntt&SM=MC&DE=2&DC=10";

HWND FindAboutBox(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" &&
            TextOf(hwnd) == kAboutCaption) {
            return hwnd;
        }
    }
    return nullptr;
}

// Pikora and the probe registered in the shell. Started by each test, so that
// a test can choose Pikora's working directory.
class PikoraAbout : public PikoraTest {
  protected:
    void TearDown() override {
        spy_.reset();
        if (other_.Started() && other_.Running()) {
            PostMessageA(frame_, WM_COMMAND, MAKEWPARAM(kIdExit, 0), 0);
            EXPECT_TRUE(other_.WaitExit(5000)) << "Pikora did not end on ID_EXIT";
        }
        PikoraTest::TearDown();
        recorder_.reset();
        // A run without the Japanese locale could neither see nor remove the
        // file when it empties the folder.
        if (!pikora_.Folder().empty()) {
            DeleteFileA(ReadmePath().c_str());
        }
    }

    // The read-me of the build goes beside the test's copy of Pikora.exe.
    // Wine can only name it where the C library has a Japanese locale (the
    // build makes one for these tests); elsewhere the check is skipped.
    void CopyReadme() {
        const std::string built = DirName(UnixToWinePath(GetEnv("PIKORA_EXE"))) + "\\" + kReadme;
        if (CopyFileA(built.c_str(), ReadmePath().c_str(), FALSE)) {
            return;
        }
        const DWORD error = GetLastError();
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((DirName(built) + "\\*.html").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            FindClose(search);
            GTEST_SKIP() << "Wine cannot use Japanese file names here (" << Utf8(found.cFileName)
                         << "); give it a ja_JP.UTF-8 locale, e.g. through LOCPATH";
        }
        FAIL() << "the build put no read-me beside Pikora.exe (" << Utf8(built)
               << "): " << ErrorText(error);
    }

    std::string ReadmePath() const { return pikora_.Folder() + "\\" + kReadme; }

    void StartRecorder() {
        recorder_ = std::make_unique<ShellOpenRecorder>(pikora_.Folder() + "\\opened.log");
        ASSERT_TRUE(recorder_->Ok()) << recorder_->Error();
    }

    // Pikora as usual, in a folder without a read-me.
    void Start() {
        ASSERT_TRUE(pikora_.Prepare(CurrentTestName())) << pikora_.Error();
        ASSERT_TRUE(pikora_.Start()) << pikora_.Error();
        frame_ = pikora_.Frame();
        ASSERT_NO_FATAL_FAILURE(StartRecorder());
        ASSERT_NO_FATAL_FAILURE(WatchThread(pikora_.Pid()));
    }

    // Pikora.exe from the test's folder, with another folder as working
    // directory (where its data file then goes).
    void StartFromOtherDirectory(const std::string& workDir) {
        ASSERT_TRUE(pikora_.Prepare(CurrentTestName())) << pikora_.Error();
        ASSERT_NO_FATAL_FAILURE(CopyReadme());
        if (IsSkipped()) {
            return;
        }
        CreateDirectoryA(workDir.c_str(), nullptr);
        ASSERT_TRUE(other_.Start(pikora_.ExePath(), "Pikora.exe", workDir)) << other_.Error();
        other_.WaitIdle(10000);
        ASSERT_TRUE(
            WaitUntil([&] { return (frame_ = FindPikoraFrame(other_.Pid())) != nullptr; }, 10000))
            << "Pikora's frame did not appear";
        ASSERT_NO_FATAL_FAILURE(StartRecorder());
        ASSERT_NO_FATAL_FAILURE(WatchThread(other_.Pid()));
    }

    void WatchThread(DWORD pid) {
        pid_ = pid;
        spy_ = std::make_unique<ThreadSpy>(pid, GetWindowThreadProcessId(frame_, nullptr));
        ASSERT_TRUE(spy_->Ok()) << spy_->Error();
    }

    // Chooses a tray menu item by its letter.
    void ChooseInTrayMenu(WORD letter) {
        ASSERT_TRUE(OpenTrayMenu(*spy_, frame_).has_value());
        PressKey(letter);
        ASSERT_TRUE(spy_->WaitMenuLoop(false)) << "the tray menu did not close";
    }

    HWND OpenAboutBox() {
        ChooseInTrayMenu('V');
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindAboutBox(pid_)) != nullptr; }, 3000);
        if (box == nullptr) {
            ADD_FAILURE() << "no version box; Pikora's windows:\n" << DescribeWindowsOf(pid_);
            return nullptr;
        }
        SetForegroundWindow(box);
        return box;
    }

    bool WaitAboutBoxGone() const {
        return WaitUntil([&] { return FindAboutBox(pid_) == nullptr; }, 3000);
    }

    // A web search of whatever is on the clipboard: Pikora has handled
    // everything chosen before once its page has been opened.
    void OpenMarkerPage(size_t openedBefore) {
        ASSERT_TRUE(ClearClipboard());
        ASSERT_TRUE(OpenTrayMenu(*spy_, frame_).has_value());
        PressKey('B');
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(spy_->WaitMenuLoop(false));
        ASSERT_TRUE(recorder_->WaitOpened(openedBefore + 1)) << recorder_->Describe();
        EXPECT_EQ(recorder_->Opened().back(), kWebSearchOfNothing);
    }

    ChildProcess other_;
    HWND frame_ = nullptr;
    DWORD pid_ = 0;
    std::unique_ptr<ThreadSpy> spy_;
    std::unique_ptr<ShellOpenRecorder> recorder_;
};

TEST_F(PikoraAbout, EscapeAndTheCloseBoxOpenTheAuthorPageAndCloseTheBox) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(box, IDOK)), "OK");
    EXPECT_EQ(Utf8(TextOf(GetDlgItem(box, IDCANCEL))), Utf8("作者サイトを開く"));

    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitAboutBoxGone()) << DescribeWindowsOf(pid_);
    ASSERT_TRUE(recorder_->WaitOpened(1)) << "nothing was opened";
    EXPECT_EQ(recorder_->Opened()[0], kAuthorSite);

    box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitAboutBoxGone()) << DescribeWindowsOf(pid_);
    ASSERT_TRUE(recorder_->WaitOpened(2)) << recorder_->Describe();
    EXPECT_EQ(recorder_->Opened()[1], kAuthorSite);
    EXPECT_EQ(recorder_->Opened().size(), 2u) << recorder_->Describe();
}

TEST_F(PikoraAbout, OkClosesTheBoxAndOpensNothing) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND box = OpenAboutBox();
    ASSERT_NE(box, nullptr);
    Click(CenterOf(GetDlgItem(box, IDOK)));
    EXPECT_TRUE(WaitAboutBoxGone()) << DescribeWindowsOf(pid_);

    ASSERT_NO_FATAL_FAILURE(OpenMarkerPage(0));
    EXPECT_EQ(recorder_->Opened().size(), 1u) << recorder_->Describe();
}

TEST_F(PikoraAbout, HelpOpensTheReadmeBesideTheExeWhenStartedFromAnotherDirectory) {
    const std::string workDir = "C:\\pikora-e2e\\" + CurrentTestName() + "-work";
    ASSERT_NO_FATAL_FAILURE(StartFromOtherDirectory(workDir));
    if (IsSkipped()) {
        return;
    }

    ChooseInTrayMenu('H');
    ASSERT_TRUE(recorder_->WaitOpened(1)) << "nothing was opened";
    // The path as the shell hands it on, compared in Unicode: the file name's
    // code page 932 bytes went through the system's conversion intact.
    EXPECT_EQ(recorder_->Opened()[0], Utf8(ReadmePath()));
    EXPECT_EQ(FindMessageBoxOf(other_.Pid()), nullptr);

    // What opens is the read-me of this build: an HTML page in UTF-8 that
    // names the hotkeys.
    const auto html = ReadFileBytes(ReadmePath());
    ASSERT_TRUE(html.has_value());
    EXPECT_NE(html->find("<meta charset=\"UTF-8\">"), std::string::npos);
    EXPECT_NE(html->find("Pikora"), std::string::npos);
    EXPECT_NE(html->find("<kbd>X</kbd>"), std::string::npos);
    EXPECT_NE(html->find("<kbd>Z</kbd>"), std::string::npos);
}

TEST_F(PikoraAbout, HelpWithoutAReadmeReportsNothingAndPikoraGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(GetFileAttributesA(ReadmePath().c_str()), INVALID_FILE_ATTRIBUTES);

    ChooseInTrayMenu('H');
    ASSERT_NO_FATAL_FAILURE(OpenMarkerPage(0));
    EXPECT_EQ(recorder_->Opened().size(), 1u) << recorder_->Describe();
    EXPECT_EQ(FindMessageBoxOf(pid_), nullptr) << DescribeWindowsOf(pid_);
    EXPECT_TRUE(pikora_.Running());
}

}  // namespace
