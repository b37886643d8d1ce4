#include "frame/child_view.h"

namespace {
constexpr const wchar_t kViewClass[] = L"Pikora_ChildView";
}

bool CChildView::Create(HWND parent, UINT id) {
    RegisterWindowClass(kViewClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                        ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)),  // IDC_ARROW
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    // Client edge instead of a plain border, as a view inside a frame has.
    return CreateEx(WS_EX_CLIENTEDGE, kViewClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

LRESULT CChildView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        default:
            return Window::WindowProc(msg, wParam, lParam);
    }
}

void CChildView::OnPaint() {
    PAINTSTRUCT ps;
    ::BeginPaint(m_hwnd, &ps);
    ::EndPaint(m_hwnd, &ps);
}
