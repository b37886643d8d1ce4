#include "popup/search_box.h"

#include "app/popup_app.h"
#include "popup/dpi_scale.h"
#include "popup/item_list_box.h"
#include "res/resource.h"
#include "ui/app.h"
#include "ui/wide_text.h"

CSearchBox::CSearchBox(CItemListBox& list) : m_list(list) {}

bool CSearchBox::IsListKey(WPARAM vk) {
    return vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
}

void CSearchBox::Open(HWND dialog) {
    if (!m_hwnd) {
        HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0,
                                      0, dialog, reinterpret_cast<HMENU>(IDC_SEARCH_BOX),
                                      ui::ResourceInstance(), nullptr);
        if (!edit || !Subclass(edit)) {
            return;
        }
        ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
        RECT client;
        ::GetClientRect(dialog, &client);
        Layout(client.right, client.bottom);
        // Folding a long list takes a moment: now, rather than at the first
        // key, which should show its lines at once.
        m_filter.Narrow(TheApp().m_items, "");
    }
    ::SetFocus(m_hwnd);
    ::SendMessageW(m_hwnd, EM_SETSEL, 0, -1);
}

int CSearchBox::Height() const {
    // A line of the list and the edit's sunken frame: the box's text sits as
    // the lines' titles do, at any DPI.
    return m_hwnd ? m_list.ItemHeight() + pikora::ScaleForDpi(4, m_list.m_nDpi) : 0;
}

void CSearchBox::Layout(int cx, int cy) {
    const int height = Height();
    ::SetWindowPos(m_list.Handle(), nullptr, 0, 0, cx, cy - height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_hwnd) {
        ::SetWindowPos(m_hwnd, nullptr, 0, cy - height, cx, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool CSearchBox::HasText() const {
    return m_hwnd && ::GetWindowTextLengthW(m_hwnd) > 0;
}

std::string CSearchBox::Text() const {
    return ui::GetWindowTextString(m_hwnd);
}

int CSearchBox::SelectedEntry() {
    const int entry = m_list.EntryOfLine(m_list.GetCurSel());
    if (entry >= 0) {
        m_nLastEntry = entry;
    }
    return m_nLastEntry;
}

void CSearchBox::ClearText() {
    const int entry = SelectedEntry();
    m_query.clear();
    Apply(entry, -1);
    // Its change notice then finds the list already showing the empty text.
    ::KillTimer(m_hwnd, TIMER_SEARCH);
    ::SetWindowTextW(m_hwnd, L"");
}

void CSearchBox::OnTextChange() {
    // A key that waits would change the text again: the list is narrowed once,
    // when no key waits any more (a timer comes after all input), so that
    // typing never waits for a narrowing and drawing it may skip.
    // (The release of the key just typed may wait too; it changes nothing.)
    MSG waiting;
    if (::PeekMessageW(&waiting, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) ||
        ::PeekMessageW(&waiting, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE)) {
        ::SetTimer(m_hwnd, TIMER_SEARCH, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    OnTimer(TIMER_SEARCH);
}

void CSearchBox::OnTimer(UINT_PTR id) {
    if (id != TIMER_SEARCH || !m_hwnd) {
        return;
    }
    ::KillTimer(m_hwnd, TIMER_SEARCH);
    const std::string text = Text();
    if (text == m_query) {
        return;
    }
    const int entry = SelectedEntry();
    m_query = text;
    // Narrowed: the first match. Back to the whole list: the entry that was
    // selected, so that clearing the box loses nothing.
    Apply(m_query.empty() ? entry : -1, 0);
}

void CSearchBox::Refresh(int line, int entry) {
    Apply(entry, line);
}

void CSearchBox::Forget() {
    m_query.clear();
    m_nLastEntry = -1;
    m_view.clear();
    m_view.shrink_to_fit();
    m_filter.Clear();
    m_list.SetView(nullptr);
}

void CSearchBox::Apply(int selectEntry, int selectLine) {
    const pikora::TextItemList& items = TheApp().m_items;
    if (m_query.empty()) {
        m_list.SetView(nullptr);
        m_view.clear();
    } else {
        m_view = m_filter.Narrow(items, m_query);
        m_list.SetView(&m_view);
    }
    const int count = m_query.empty() ? items.GetCount() : static_cast<int>(m_view.size());
    ::SendMessageW(m_list.Handle(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(m_list.Handle(), LB_SETCOUNT, static_cast<WPARAM>(count), 0);
    int line = selectEntry >= 0 ? m_list.LineOfEntry(selectEntry) : -1;
    if (line < 0 && selectLine >= 0 && count > 0) {
        line = selectLine < count ? selectLine : count - 1;
    }
    m_list.SetCurSel(line);
    ::SendMessageW(m_list.Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list.Handle(), nullptr, TRUE);
    // As the list box reports a line chosen from the keyboard, so that the
    // popup's result follows the entry the line shows.
    HWND dialog = ::GetParent(m_list.Handle());
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ITEM_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(m_list.Handle()));
}

LRESULT CSearchBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        default:
            break;
    }
    return ui::Window::WindowProc(msg, wParam, lParam);
}
