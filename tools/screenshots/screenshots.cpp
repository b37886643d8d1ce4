// Poses Pikora for the read-me's pictures, one scene after another, and saves
// the part of the screen that shows each scene as a 24-bit BMP:
//
//   pikora_screenshots.exe OUTPUT_FOLDER
//
// PIKORA_EXE names the Pikora.exe to show, as for the end-to-end tests.
// tools/screenshots.sh runs this under tests/e2e/wine-env and turns the BMPs
// into small PNGs.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/common.h"
#include "support/data_file.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/tray.h"
#include "support_dialogs.h"
#include "support_popup.h"
#include "ui/handles.h"

namespace {

using namespace e2e;

constexpr char kSettingsCaption[] = "設定";
constexpr char kAddCaption[] = "テキスト項目追加";
constexpr char kAboutCaption[] = "Pikoraのﾊﾞｰｼﾞｮﾝ情報";
constexpr int kAddTemplates = 1036;
constexpr int kAddText = 1029;
constexpr int kAddName = 1030;

// Long enough for Wine to have painted a window that has just appeared:
// another process's painting cannot be waited for directly.
constexpr DWORD kSettleMs = 600;

class ScreenDC {
  public:
    ScreenDC() : m_dc(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (m_dc != nullptr) {
            ReleaseDC(nullptr, m_dc);
        }
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HDC m_dc;
};

RECT RectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT Union(const RECT& a, const RECT& b) {
    RECT u{};
    UnionRect(&u, &a, &b);
    return u;
}

// `r` grown by `margin` on every side and kept on the screen.
RECT OnScreen(RECT r, int margin = 0) {
    InflateRect(&r, margin, margin);
    r.left = r.left < 0 ? 0 : r.left;
    r.top = r.top < 0 ? 0 : r.top;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    r.right = r.right > width ? width : r.right;
    r.bottom = r.bottom > height ? height : r.bottom;
    return r;
}

// Copies the screen inside `r` and writes it as a bottom-up 24-bit BMP.
bool SaveScreenRect(const RECT& r, const std::string& path) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "screenshots: nothing to capture for %s\n", path.c_str());
        return false;
    }
    ScreenDC screen;
    ui::UniqueMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::UniqueBitmap bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap || bits == nullptr) {
        std::fprintf(stderr, "screenshots: no bitmap for %s\n", path.c_str());
        return false;
    }
    {
        ui::SelectObjectScope select(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY)) {
            std::fprintf(stderr, "screenshots: cannot copy the screen for %s\n", path.c_str());
            return false;
        }
    }
    GdiFlush();

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageSize);
    if (!out) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("screenshots: %s (%d x %d at %ld,%ld)\n", path.c_str(), width, height, r.left,
                r.top);
    return true;
}

// A plain desktop behind every window: without a window manager the X
// server's bare root window (black) would show wherever a picture's area is
// not covered by a window. The window lives on a thread with a message loop
// of its own, so that it paints while the main thread waits for Pikora.
class Backdrop {
  public:
    Backdrop() {
        std::promise<DWORD> started;
        auto threadId = started.get_future();
        m_thread = std::thread([this, &started] { Run(started); });
        m_threadId = threadId.get();
    }
    ~Backdrop() {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

  private:
    static constexpr char kClassName[] = "PikoraScreenshotsBackdrop";

    static void Run(std::promise<DWORD>& started) {
        ui::UniqueBrush brush(CreateSolidBrush(RGB(58, 110, 165)));
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = brush.Get();
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
        // Never activated, so it never comes between the user's application
        // and Pikora.
        HWND hwnd =
            CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0,
                            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                            nullptr, wc.hInstance, nullptr);
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(hwnd);
        started.set_value(GetCurrentThreadId());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        }
        DestroyWindow(hwnd);
        UnregisterClassA(kClassName, wc.hInstance);
    }

    std::thread m_thread;
    DWORD m_threadId = 0;
};

// Visible top-level windows of the process with this class, in Z order.
std::vector<HWND> VisibleWindowsOf(DWORD pid, const char* className) {
    std::vector<HWND> found;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == className) {
            found.push_back(hwnd);
        }
    }
    return found;
}

bool WaitVisibleCount(DWORD pid, const char* className, size_t count, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return VisibleWindowsOf(pid, className).size() == count; }, timeoutMs);
}

// WM_SETTEXT is carried across processes; SetWindowText is not.
void SetText(HWND hwnd, const std::string& cp932) {
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cp932.c_str()));
}

class Session {
  public:
    explicit Session(std::string outDir) : m_outDir(std::move(outDir)) {}

    bool Run() {
        return StartPikora() && StartNotepad() && PopupAtCaret() && TrayMenu() && Settings() &&
               AddDialog() && AboutBox();
    }

    ~Session() {
        if (m_pikora.Running() && !m_pikora.Exit()) {
            m_pikora.Terminate();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

  private:
    bool Fail(const char* what) {
        std::fprintf(stderr, "screenshots: %s\n", what);
        if (m_pikora.Running()) {
            std::fprintf(stderr, "Pikora's windows:\n%s\n",
                         DescribeWindowsOf(m_pikora.Pid()).c_str());
        }
        return false;
    }

    std::string Path(const char* name) const { return m_outDir + "\\" + name + ".bmp"; }

    bool StartPikora() {
        // Locked phrases first, as a user keeps them, one of them a date
        // macro; then history entries, the other kind of line.
        const std::vector<DatEntry> entries = {
            Locked("お世話になっております。", "お世話になっております。"),
            Locked("よろしくお願いいたします。", "よろしくお願いいたします。"),
            Locked("今後ともよろしく", "今後ともよろしくお願い申し上げます。"),
            Locked("今日の日付", "<pikoraMACRO>$Y/$M/$D</pikoraMACRO>"),
            Locked("署名", "ピコラ商事 営業部 山田太郎"),
            Normal("見積書を添付いたします。", "見積書を添付いたします。"),
            Normal("https://www.example.jp/", "https://www.example.jp/"),
        };
        PikoraSeed seed;
        seed.ini = SettingIni({});
        seed.dat = EncodeDat(entries);
        if (!m_pikora.Prepare("screenshots", seed) || !m_pikora.Start()) {
            std::fprintf(stderr, "screenshots: %s\n", m_pikora.Error().c_str());
            return false;
        }
        return true;
    }

    // Started after Pikora, so that notepad is the application in front.
    bool StartNotepad() {
        m_notepad = std::make_unique<Notepad>();
        if (!m_notepad->Started()) {
            std::fprintf(stderr, "screenshots: %s\n", m_notepad->Error().c_str());
            return false;
        }
        // Tall enough that the popup opens inside it.
        SetWindowPos(m_notepad->Frame(), nullptr, 40, 40, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        // The caret ends up after the last line, which is half written.
        const std::string text =
            "株式会社ピコラ\r\n"
            "佐藤様\r\n"
            "\r\n"
            "いつもお世話になっております。\r\n"
            "先日お問い合わせいただいた件について、";
        SetText(m_notepad->Edit(), text);
        if (!m_notepad->Focus()) {
            return Fail("notepad did not come to the front");
        }
        // The caret at the end of the text, where the next phrase goes.
        PressChord({VK_CONTROL}, VK_END);
        Sleep(kSettleMs);
        return true;
    }

    bool PopupAtCaret() {
        PressChord({VK_MENU}, 'X');
        HWND popup = WaitForPopup(m_pikora.Pid());
        if (popup == nullptr) {
            return Fail("Alt+X opened no popup");
        }
        // A selection away from the first line shows both line pictures.
        PressKey(VK_DOWN);
        Sleep(kSettleMs);
        const bool saved = SaveScreenRect(
            OnScreen(Union(RectOf(m_notepad->Frame()), RectOf(popup))), Path("popup"));
        PressKey(VK_ESCAPE);
        if (!WaitPopupGone(m_pikora.Pid())) {
            return Fail("the popup did not close");
        }
        return saved;
    }

    bool TrayMenu() {
        // The menu opens at the mouse pointer, as after a click on the icon.
        MoveMouse(POINT{620, 600});
        PostTrayMouse(m_pikora.Frame(), WM_RBUTTONDOWN);
        if (!WaitVisibleCount(m_pikora.Pid(), "#32768", 1)) {
            return Fail("the tray menu did not open");
        }
        PressKey('B');
        if (!WaitVisibleCount(m_pikora.Pid(), "#32768", 2)) {
            return Fail("the clipboard submenu did not open");
        }
        Sleep(kSettleMs);
        RECT area{};
        for (HWND menu : VisibleWindowsOf(m_pikora.Pid(), "#32768")) {
            area = IsRectEmpty(&area) ? RectOf(menu) : Union(area, RectOf(menu));
        }
        const bool saved = SaveScreenRect(OnScreen(area), Path("tray-menu"));
        PressKey(VK_ESCAPE);
        PressKey(VK_ESCAPE);
        if (!WaitVisibleCount(m_pikora.Pid(), "#32768", 0)) {
            return Fail("the tray menu did not close");
        }
        return saved;
    }

    // Opens a dialog through a tray command and waits for it by caption.
    HWND OpenDialog(UINT command, const char* caption) {
        m_pikora.PostCommand(command);
        HWND dialog = WaitDialogOf(m_pikora.Pid(), caption);
        if (dialog != nullptr) {
            Sleep(kSettleMs);
        }
        return dialog;
    }

    bool CloseDialog(HWND dialog, const char* caption) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return WaitDialogGone(m_pikora.Pid(), caption) || Fail("a dialog did not close");
    }

    bool Settings() {
        HWND dialog = OpenDialog(kIdSettings, kSettingsCaption);
        if (dialog == nullptr) {
            return Fail("the settings dialog did not open");
        }
        const bool saved = SaveScreenRect(OnScreen(RectOf(dialog)), Path("settings"));
        return CloseDialog(dialog, kSettingsCaption) && saved;
    }

    bool AddDialog() {
        HWND dialog = OpenDialog(kIdAddData, kAddCaption);
        if (dialog == nullptr) {
            return Fail("the add dialog did not open");
        }
        SetText(GetDlgItem(dialog, kAddText),
                "本日の打ち合わせの件です。\r\n"
                "日時: <pikoraMACRO>$Y/$M/$D</pikoraMACRO> 15:00\r\n"
                "場所: 本社 3階 会議室\r\n");
        SetText(GetDlgItem(dialog, kAddName), "打ち合わせ");
        HWND templates = GetDlgItem(dialog, kAddTemplates);
        SetForegroundWindow(dialog);
        SendMessageA(templates, CB_SHOWDROPDOWN, TRUE, 0);
        if (!WaitVisibleCount(m_pikora.Pid(), "ComboLBox", 1)) {
            return Fail("the template list did not drop down");
        }
        Sleep(kSettleMs);
        HWND list = VisibleWindowsOf(m_pikora.Pid(), "ComboLBox").front();
        const bool saved =
            SaveScreenRect(OnScreen(Union(RectOf(dialog), RectOf(list))), Path("add-dialog"));
        SendMessageA(templates, CB_SHOWDROPDOWN, FALSE, 0);
        return CloseDialog(dialog, kAddCaption) && saved;
    }

    bool AboutBox() {
        HWND dialog = OpenDialog(kIdVersion, kAboutCaption);
        if (dialog == nullptr) {
            return Fail("the version box did not open");
        }
        const bool saved = SaveScreenRect(OnScreen(RectOf(dialog)), Path("about"));
        return CloseDialog(dialog, kAboutCaption) && saved;
    }

    std::string m_outDir;
    Backdrop m_backdrop;
    PikoraProcess m_pikora;
    std::unique_ptr<Notepad> m_notepad;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pikora_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string outDir = UnixToWinePath(argv[1]);
    if (!CreateDirectoryA(outDir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        std::fprintf(stderr, "screenshots: cannot create %s\n", outDir.c_str());
        return 1;
    }
    Session session(outDir);
    return session.Run() ? 0 : 1;
}
