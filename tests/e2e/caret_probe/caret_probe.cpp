// Stands in for a program that draws its own caret (a browser, an Electron
// program) in the caret tests and the latency probe.
//
//   caret_probe.exe MODE X Y
//
// The caret is at client point (X, Y) of the window. MODE "accessible": no
// system caret; the caret is told to accessibility clients as the object for
// OBJID_CARET, as Chromium does. "system": a system caret there, and no
// caret object. "hung": neither, and the thread stops for a second whenever
// it is asked for its caret object, as a busy program does. "none": no caret
// anywhere.
// Ctrl+V appends the clipboard's CF_UNICODETEXT to the window's text, where
// a test reads what arrived.
#include <windows.h>
#include <oleacc.h>

#include <cstdlib>
#include <string>

namespace {

constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string g_mode;
POINT g_caret{0, 0};
std::wstring g_text;

// The caret object: its location is all a caret has to tell.
class CaretObject : public IAccessible {
  public:
    explicit CaretObject(HWND hwnd) : m_hwnd(hwnd) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long refs = --m_refs;
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT) override {
        POINT p = g_caret;
        ClientToScreen(m_hwnd, &p);
        *left = p.x;
        *top = p.y;
        *width = 1;
        *height = 16;
        return S_OK;
    }
#define PROBE_NOT_IMPLEMENTED(name, ...)                   \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
        return E_NOTIMPL;                                  \
    }
    PROBE_NOT_IMPLEMENTED(GetTypeInfoCount, UINT*)
    PROBE_NOT_IMPLEMENTED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    PROBE_NOT_IMPLEMENTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    PROBE_NOT_IMPLEMENTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                          UINT*)
    PROBE_NOT_IMPLEMENTED(get_accParent, IDispatch**)
    PROBE_NOT_IMPLEMENTED(get_accChildCount, LONG*)
    PROBE_NOT_IMPLEMENTED(get_accChild, VARIANT, IDispatch**)
    PROBE_NOT_IMPLEMENTED(get_accName, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(get_accValue, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(get_accDescription, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(get_accRole, VARIANT, VARIANT*)
    PROBE_NOT_IMPLEMENTED(get_accState, VARIANT, VARIANT*)
    PROBE_NOT_IMPLEMENTED(get_accHelp, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(get_accHelpTopic, BSTR*, VARIANT, LONG*)
    PROBE_NOT_IMPLEMENTED(get_accKeyboardShortcut, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(get_accFocus, VARIANT*)
    PROBE_NOT_IMPLEMENTED(get_accSelection, VARIANT*)
    PROBE_NOT_IMPLEMENTED(get_accDefaultAction, VARIANT, BSTR*)
    PROBE_NOT_IMPLEMENTED(accSelect, LONG, VARIANT)
    PROBE_NOT_IMPLEMENTED(accNavigate, LONG, VARIANT, VARIANT*)
    PROBE_NOT_IMPLEMENTED(accHitTest, LONG, LONG, VARIANT*)
    PROBE_NOT_IMPLEMENTED(accDoDefaultAction, VARIANT)
    PROBE_NOT_IMPLEMENTED(put_accName, VARIANT, BSTR)
    PROBE_NOT_IMPLEMENTED(put_accValue, VARIANT, BSTR)
#undef PROBE_NOT_IMPLEMENTED

  private:
    virtual ~CaretObject() = default;
    HWND m_hwnd;
    long m_refs = 1;
};

void PasteClipboard(HWND hwnd) {
    if (!OpenClipboard(hwnd)) {
        return;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            g_text += text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    SetWindowTextW(hwnd, g_text.c_str());
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) == OBJID_CARET) {
                if (g_mode == "hung") {
                    Sleep(1000);
                    return 0;
                }
                if (g_mode == "accessible") {
                    CaretObject* caret = new CaretObject(hwnd);
                    const LRESULT result = LresultFromObject(kIidAccessible, wParam, caret);
                    caret->Release();
                    return result;
                }
            }
            break;
        case WM_SETFOCUS:
            if (g_mode == "system") {
                CreateCaret(hwnd, nullptr, 1, 16);
                SetCaretPos(g_caret.x, g_caret.y);
                ShowCaret(hwnd);
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0) {
                PasteClipboard(hwnd);
                return 0;
            }
            break;
        case WM_CHAR:
            // Typed as into an edit control, so that a chord whose modifier
            // got lost shows as its plain letter.
            if (wParam == VK_BACK && !g_text.empty()) {
                g_text.pop_back();
            } else if (wParam >= L' ') {
                g_text += static_cast<wchar_t>(wParam);
            }
            SetWindowTextW(hwnd, g_text.c_str());
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) {
        return 2;
    }
    g_mode = __argv[1];
    g_caret = POINT{std::atoi(__argv[2]), std::atoi(__argv[3])};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"PikoraCaretProbe";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 250,
                                150, 500, 300, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CoUninitialize();
    return 0;
}
