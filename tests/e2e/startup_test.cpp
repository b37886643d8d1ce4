// Single instance and the end of the program through its tray menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "support/child_process.h"
#include "support/common.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/thread_spy.h"
#include "support/tray.h"

namespace {

using namespace e2e;

class PikoraStartup : public PikoraTest {};

TEST_F(PikoraStartup, SecondCopyEndsAtOnceWithoutWindowsWhileTheFirstKeepsRunning) {
    ASSERT_NO_FATAL_FAILURE(StartPikora());
    const HWND frame = pikora_.Frame();
    EXPECT_EQ(ClassNameOf(frame), kFrameClass);
    EXPECT_FALSE(IsWindowVisible(frame)) << "the main frame is never shown";
    ASSERT_TRUE(WaitUntil([] { return TrayIconCount() == 1; }, 2000))
        << "tray icons: " << TrayIconCount();

    ChildProcess second;
    const DWORD started = GetTickCount();
    ASSERT_TRUE(second.Start(pikora_.ExePath(), "Pikora.exe", pikora_.Folder())) << second.Error();
    // Watch the second copy for its whole short life: any window it creates,
    // any icon it adds.
    std::set<HWND> windowsOfSecond;
    int mostIcons = 1;
    while (second.Running() && GetTickCount() - started < 5000) {
        for (HWND hwnd : TopLevelWindowsOf(second.Pid())) {
            windowsOfSecond.insert(hwnd);
        }
        mostIcons = std::max(mostIcons, TrayIconCount());
        Sleep(5);
    }
    const DWORD lifetime = GetTickCount() - started;
    ASSERT_TRUE(second.WaitExit(0)) << "the second copy still runs after 5 s; its windows:\n"
                                    << DescribeWindowsOf(second.Pid());
    EXPECT_LT(lifetime, 3000u);
    EXPECT_LT(second.ExitCode(), 0xC0000000u) << "the second copy crashed";
    EXPECT_TRUE(windowsOfSecond.empty())
        << "the second copy created " << windowsOfSecond.size() << " top-level window(s)";
    EXPECT_EQ(mostIcons, 1) << "the second copy added a tray icon";

    // The first copy is untouched: same frame, still answering, icon in place.
    EXPECT_TRUE(pikora_.Running());
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_EQ(FindPikoraFrame(pikora_.Pid()), frame);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result));
    EXPECT_EQ(TrayIconCount(), 1);
}

TEST_F(PikoraStartup, ExitChosenInTheTrayMenuRemovesTheIconAndEndsTheProcess) {
    ASSERT_NO_FATAL_FAILURE(StartPikora());
    ASSERT_TRUE(WaitUntil([] { return TrayIconCount() == 1; }, 2000))
        << "tray icons: " << TrayIconCount();
    ThreadSpy spy(pikora_.Pid(), pikora_.ThreadId());
    ASSERT_TRUE(spy.Ok()) << spy.Error();

    const auto menu = OpenTrayMenu(spy, pikora_.Frame());
    ASSERT_TRUE(menu.has_value()) << "the tray menu did not open; Pikora's windows:\n"
                                  << DescribeWindowsOf(pikora_.Pid());
    ASSERT_TRUE(WaitUntil([&] { return FindVisibleMenuWindow(pikora_.Pid()) != nullptr; }, 2000));
    // "終了(&X)": its mnemonic chooses it.
    PressKey('X');

    EXPECT_TRUE(pikora_.WaitExit(5000)) << "Pikora still runs 5 s after choosing 終了(&X)";
    // Wine drops the icons of a destroyed window by itself, so only the count
    // at the frame's destruction shows that Pikora removed its icon first.
    EXPECT_EQ(spy.TrayIconsWhenDestroyed(pikora_.Frame()), std::optional<int>(0))
        << "frame " << reinterpret_cast<ULONG_PTR>(pikora_.Frame()) << "; destroyed windows:\n"
        << spy.DescribeDestroyed();
    EXPECT_TRUE(WaitUntil([] { return TrayIconCount() == 0; }, 2000))
        << "tray icons left: " << TrayIconCount();
}

}  // namespace
