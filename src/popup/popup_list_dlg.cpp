#include "popup/popup_list_dlg.h"

#include <commctrl.h>

#include "app/popup_app.h"
#include "dialogs/add_item_dlg.h"
#include "dialogs/edit_item_dlg.h"
#include "popup/dpi_scale.h"
#include "popup/popup_focus.h"
#include "popup/popup_keys.h"
#include "popup/popup_menu.h"
#include "popup/popup_run_rules.h"
#include "res/resource.h"
#include "ui/app.h"
#include "ui/data_exchange.h"
#include "ui/wide_text.h"

namespace {

// WM_DPICHANGED, sent from Windows 8.1 on; the headers for the oldest
// Windows we build for leave it out.
constexpr UINT kWmDpiChanged = 0x02E0;

// The message the drag list sends its parent (the common controls register
// it under this name).
UINT DragListMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"commctrl_DragListMsg");
    return message;
}

}  // namespace

void CPopupListDlg::DestroyIfWindow(HWND hwnd) {
    if (::IsWindow(hwnd)) {
        ::DestroyWindow(hwnd);
    }
}

CPopupListDlg::CPopupListDlg(ui::Window* parent, int* pResultIndex, BYTE mode, int* pDialogSize)
    : ui::Dialog(IDD_POPUP_LIST, parent),
      m_pResultIndex(pResultIndex),
      m_bUserMode(mode != POPUP_MODE_AUTO),
      m_pDialogSize(pDialogSize) {
    m_list.m_bInteractive = mode != POPUP_MODE_AUTO;
    m_menu.Reset(::LoadMenuW(ui::ResourceInstance(), MAKEINTRESOURCEW(IDR_LIST_MENU)));
}

CPopupListDlg::~CPopupListDlg() = default;

void CPopupListDlg::SetDpi(int dpi) {
    m_nDpi = dpi > 0 ? dpi : pikora::kBaseDpi;
    m_list.m_nDpi = m_nDpi;
}

bool CPopupListDlg::On9x() const {
    return IsWin9xPlatform();
}

void CPopupListDlg::DoDataExchange(ui::DataExchange&) {
    // Runs in both directions alike: the list takes the number of entries
    // and draws each line from the text list.
    if (!m_list.Handle()) {
        m_list.Bind(Item(IDC_ITEM_LIST));
    }
    // The list asked for its line height while the dialog was being created,
    // before this object took the dialog's messages.
    ::SendMessageW(m_list.Handle(), LB_SETITEMHEIGHT, 0, m_list.ItemHeight());
    if (!m_search.IsOpen()) {
        m_search.Forget();
    }
    CPopupApp& app = TheApp();
    const int count = app.m_items.GetCount();
    ::SendMessageW(m_list.Handle(), LB_SETCOUNT, static_cast<WPARAM>(count), 0);
    const int remembered = app.m_settings.SelectID;
    if (m_bUserMode && app.m_settings.SelectSW != 0 && remembered >= 0 && remembered < count) {
        m_nCurSel = remembered;
        *m_pResultIndex = remembered;
    }
    ::InvalidateRect(m_list.Handle(), nullptr, TRUE);
}

TOOLINFOW CPopupListDlg::ListTool() const {
    TOOLINFOW ti{};
    // The size comctl32 5 knows; newer versions accept it too.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = m_hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_list.Handle());
    return ti;
}

bool CPopupListDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_tooltip.Reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      m_hwnd, nullptr, ui::ResourceInstance(), nullptr));
    if (m_tooltip) {
        ::SendMessageW(m_tooltip.Get(), TTM_SETMAXTIPWIDTH, 0, pikora::ScaleForDpi(384, m_nDpi));
        ::SendMessageW(m_tooltip.Get(), TTM_ACTIVATE, TRUE, 0);
        TOOLINFOW ti = ListTool();
        wchar_t empty[] = L"";
        ti.lpszText = empty;
        ::SendMessageW(m_tooltip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }

    if (!m_bUserMode) {
        ::SetTimer(m_hwnd, TIMER_AUTOCLOSE, 1000, nullptr);
    }

    ::SetWindowLongW(m_hwnd, GWL_EXSTYLE, ::GetWindowLongW(m_hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    // Looked up at run time: the 9x family's user32 does not have it.
    m_hUser32.Reset(::LoadLibraryA("user32"));
    m_pfnSetLayeredWindowAttributes = nullptr;
    if (m_hUser32) {
        FARPROC proc = ::GetProcAddress(m_hUser32.Get(), "SetLayeredWindowAttributes");
        m_pfnSetLayeredWindowAttributes =
            reinterpret_cast<SetLayeredWindowAttributesFn>(reinterpret_cast<void (*)()>(proc));
    }

    m_bTrackSize = true;
    const POINT& at = TheApp().m_ptPopup;
    ::SetWindowPos(m_hwnd, HWND_TOPMOST, at.x, at.y, pikora::ScaleForDpi(m_pDialogSize[0], m_nDpi),
                   pikora::ScaleForDpi(m_pDialogSize[1], m_nDpi), 0);
    return true;
}

namespace {

constexpr UINT_PTR kReclaimTimer = 1;
constexpr UINT kReclaimCheckMs = 20;
// While another program takes the activation, no window has it for a moment:
// its thread becomes the foreground before it makes its window active. Half
// a second covers a program that is slow to get there.
constexpr int kReclaimChecks = 25;

// No window has the activation: nothing the user chose took it.
bool ActivationWentNowhere() {
    HWND front = ::GetForegroundWindow();
    return front == nullptr || front == ::GetDesktopWindow();
}

}  // namespace

LRESULT CPopupListDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kReclaimTimer) {
                OnReclaimFocus();
                return 0;
            }
            break;
        case WM_SHOWWINDOW:
            return OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        case WM_SIZE:
            return OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        case kWmDpiChanged:
            return OnDpiChanged(wParam, lParam);
        case WM_DRAWITEM:
            if (wParam == IDC_ITEM_LIST) {
                m_list.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            }
            break;
        case WM_MEASUREITEM:
            if (wParam == IDC_ITEM_LIST) {
                m_list.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
                return TRUE;
            }
            break;
        case WM_COMPAREITEM:
            if (wParam == IDC_ITEM_LIST) {
                return m_list.CompareItem(*reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam));
            }
            break;
        case WM_DESTROY:
            // The tooltip is owned by this window and goes with it.
            m_tooltip.Reset();
            break;
        default:
            if (msg == DragListMessage() && lParam != 0) {
                const auto& info = *reinterpret_cast<const DRAGLISTINFO*>(lParam);
                if (info.hWnd == m_list.Handle()) {
                    return m_list.OnDragListNotify(info);
                }
            }
            break;
    }
    return ui::Dialog::WindowProc(msg, wParam, lParam);
}

LRESULT CPopupListDlg::OnShowWindow(BOOL show, UINT status) {
    m_list.SetCurSel(m_nCurSel);
    const LRESULT result = Default(WM_SHOWWINDOW, static_cast<WPARAM>(show), status);
    CPopupApp& app = TheApp();
    ::SetWindowPos(m_hwnd, HWND_TOPMOST, app.m_ptPopup.x, app.m_ptPopup.y, 0, 0, SWP_NOSIZE);
    if (m_pfnSetLayeredWindowAttributes) {
        m_pfnSetLayeredWindowAttributes(
            m_hwnd, 0,
            static_cast<BYTE>(pikora::UsablePopupOpacity(app.m_settings.SemitransparentWindow)),
            LWA_ALPHA);
    }
    return result;
}

LRESULT CPopupListDlg::OnSize(UINT type, int cx, int cy) {
    if (m_bTrackSize) {
        if (m_search.IsOpen()) {
            m_search.Layout(cx, cy);
        } else {
            ::SetWindowPos(m_list.Handle(), nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // The size is stored as the window's outer size, which is what the
        // next popup is opened with. Taking the client size plus a 3-pixel
        // frame would make the popup shrink at every opening wherever the
        // sizing frame is wider (newer Windows versions draw wider ones).
        // Kept as 96-DPI numbers, so that the popup opens at the same apparent
        // size on a monitor of another DPI.
        RECT outer{};
        if (::GetWindowRect(m_hwnd, &outer)) {
            m_pDialogSize[0] = pikora::UnscaleForDpi(outer.right - outer.left, m_nDpi);
            m_pDialogSize[1] = pikora::UnscaleForDpi(outer.bottom - outer.top, m_nDpi);
        } else {
            m_pDialogSize[0] = pikora::UnscaleForDpi(cx + 6, m_nDpi);
            m_pDialogSize[1] = pikora::UnscaleForDpi(cy + 6, m_nDpi);
        }
        ::UpdateWindow(m_hwnd);
    }
    return Default(WM_SIZE, type, MAKELPARAM(cx, cy));
}

LRESULT CPopupListDlg::OnDpiChanged(WPARAM dpis, LPARAM suggestedRect) {
    // Moved onto a monitor of another DPI: the dialog manager scales the
    // font, the lines and their icons follow, and the window takes the size
    // Windows suggests for the new DPI.
    SetDpi(HIWORD(dpis));
    const LRESULT result = Default(kWmDpiChanged, dpis, suggestedRect);
    const RECT suggested = *reinterpret_cast<const RECT*>(suggestedRect);
    ::SendMessageW(m_list.Handle(), LB_SETITEMHEIGHT, 0, m_list.ItemHeight());
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

bool CPopupListDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (control != nullptr && id == IDC_SEARCH_BOX) {
        if (code == EN_CHANGE) {
            m_search.OnTextChange();
        } else if (code == EN_KILLFOCUS) {
            OnSearchKillFocus();
        }
        return true;
    }
    if (control != nullptr) {
        if (id != IDC_ITEM_LIST) {
            return false;
        }
        switch (code) {
            case LBN_SELCHANGE:
                OnListSelChange();
                return true;
            case LBN_DBLCLK:
                OnListDblClk();
                return true;
            case LBN_KILLFOCUS:
                OnListKillFocus();
                return true;
            default:
                return false;
        }
    }
    switch (id) {
        case ID_ITEM_EDIT:
            OnItemEdit();
            return true;
        case ID_ITEM_LOCK:
            OnItemLock();
            return true;
        case ID_ITEM_NORMAL:
            OnItemNormal();
            return true;
        case ID_ITEM_DELETE:
            OnItemDelete();
            return true;
        case ID_LIST_ADD_DATA:
            OnListAddData();
            return true;
        case ID_LIST_SETTINGS:
            OnListSettings();
            return true;
        case ID_WEB_SEARCH:
        case ID_DIC_JAPANESE:
        case ID_DIC_EN_JA:
        case ID_DIC_JA_EN:
            OnClipboardLookup(id);
            return true;
        default:
            return false;
    }
}

void CPopupListDlg::OnListSelChange() {
    // The entry's place in the whole list, also when a search narrowed it.
    const int index = m_list.EntryOfLine(m_list.GetCurSel());
    TheApp().m_settings.SelectID = index;
    *m_pResultIndex = index;
}

void CPopupListDlg::OnListDblClk() {
    if (!m_bUserMode) {
        return;
    }
    m_bClosing = true;
    CPopupApp& app = TheApp();
    ::GetCursorPos(&app.m_ptMouseRestore);
    // Kept so that the paste can put the pointer back once it has typed.
    ::SetCursorPos(app.m_ptCaret.x, app.m_ptCaret.y);
    EndDialog(IDOK);
}

void CPopupListDlg::OnListKillFocus() {
    // The focus going to the search box stays within the popup. (While the
    // focus changes, GetFocus already names the window that gets it.)
    if (m_search.IsOpen() && ::GetFocus() == m_search.Handle()) {
        return;
    }
    switch (pikora::DecideFocusLoss(m_bClosing, m_bCommandActive, m_bUserMode, m_bEscaped)) {
        case pikora::FocusLossAction::ClearFlags:
            m_bClosing = false;
            m_bCommandActive = false;
            m_bTrackSize = false;
            return;
        case pikora::FocusLossAction::BecomeUserMode:
            m_bUserMode = true;
            return;
        case pikora::FocusLossAction::Dismiss:
            // The user clicked elsewhere, unless the activation went to no
            // window at all: Wine does that with a focus loss the window
            // system reports late (the desktop becomes the foreground). The
            // focus is taken back once it is clear that no other window is
            // taking the activation.
            if (ActivationWentNowhere()) {
                m_nReclaimChecks = 0;
                ::SetTimer(m_hwnd, kReclaimTimer, kReclaimCheckMs, nullptr);
                return;
            }
            EndDialog(POPUP_DISMISSED);
            break;
        case pikora::FocusLossAction::Forget:
            break;
    }
    RemoveTipTool();
    m_bTrackSize = false;
}

void CPopupListDlg::OnReclaimFocus() {
    if (::GetForegroundWindow() == nullptr && ++m_nReclaimChecks < kReclaimChecks) {
        return;
    }
    ::KillTimer(m_hwnd, kReclaimTimer);
    if (ActivationWentNowhere()) {
        ::SetForegroundWindow(m_hwnd);
        ::SetFocus(m_list.Handle());
    } else if (::GetForegroundWindow() != m_hwnd) {
        EndDialog(POPUP_DISMISSED);
        RemoveTipTool();
        m_bTrackSize = false;
    }
}

void CPopupListDlg::ShowEntryTip(const std::string& text) {
    if (!m_tooltip) {
        return;
    }
    // Switching the tooltip off and on again hides a tip that is showing.
    ::SendMessageW(m_tooltip.Get(), TTM_ACTIVATE, FALSE, 0);
    ::SendMessageW(m_tooltip.Get(), TTM_ACTIVATE, TRUE, 0);
    TOOLINFOW ti = ListTool();
    std::wstring copy = ui::Wide(text);
    ti.lpszText = copy.data();
    ::SendMessageW(m_tooltip.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CPopupListDlg::RemoveTipTool() {
    if (!m_tooltip) {
        return;
    }
    TOOLINFOW ti = ListTool();
    ::SendMessageW(m_tooltip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

bool CPopupListDlg::PreTranslateMessage(MSG* msg) {
    if (m_tooltip) {
        ::SendMessageW(m_tooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    if (msg->message == WM_TIMER && msg->wParam == TIMER_AUTOCLOSE && msg->hwnd == m_hwnd) {
        EndDialog(pikora::AutoCloseDismisses(On9x(), m_bUserMode) ? POPUP_DISMISSED : IDCANCEL);
        RemoveTipTool();
        return false;
    }
    if (!m_bUserMode) {
        // Painting and the timer go on as usual; input has no effect.
        if (!IsKeyboardOrMouseInput(msg->message)) {
            return false;
        }
        return !On9x();
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == 'F' && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
        m_search.Open(m_hwnd);
        return true;
    }
    if (m_search.IsOpen() && msg->hwnd == m_search.Handle()) {
        return PreTranslateSearchMessage(msg);
    }
    switch (msg->message) {
        case WM_RBUTTONDOWN:
            if (m_list.GetCount() > 0) {
                OpenContextMenu(*msg);
                return true;
            }
            break;
        case WM_SYSKEYDOWN:
            if (m_list.GetCount() > 0) {
                OpenKeyboardMenu();
                return true;
            }
            break;
        case WM_KEYDOWN:
            switch (msg->wParam) {
                case VK_RETURN:
                    m_bClosing = true;
                    EndDialog(IDOK);
                    return true;
                case VK_SPACE:
                    m_list.SetCurSel(pikora::NextSpaceSelection(
                        m_list.GetCurSel(), m_list.GetCount(), ::GetKeyState(VK_SHIFT) < 0));
                    OnListSelChange();
                    break;
                case VK_DELETE:
                    OnItemDelete();
                    break;
                case VK_ESCAPE:
                    m_bEscaped = true;
                    EndDialog(IDCANCEL);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

void CPopupListDlg::TrackListMenu(int x, int y) {
    HMENU menu = ::GetSubMenu(m_menu.Get(), 0);
    if (!menu) {
        return;
    }
    // The menu's keys are addressed to the list while the menu is open; the
    // framework keeps window filters (ours included) out of the menu's loop.
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, 0, m_hwnd, nullptr);
}

void CPopupListDlg::OpenContextMenu(const MSG& msg) {
    m_bCommandActive = true;
    if (m_list.GetCurSel() == LB_ERR) {
        m_list.SetCurSel(0);
    }
    // Selects the line under the pointer the way a left click does; the list
    // knows this press is a right-click and does not start a drag.
    ::SendMessageW(m_list.Handle(), WM_LBUTTONDOWN, msg.wParam, msg.lParam);

    POINT pt;
    ::GetCursorPos(&pt);
    const pikora::TextItemList& items = TheApp().m_items;
    const pikora::TextItemList::POSITION pos =
        items.FindIndex(m_list.EntryOfLine(m_list.GetCurSel()));
    const pikora::KindCommands commands =
        pikora::KindCommandsFor(pos != nullptr ? items.GetAt(pos).kind : -1);
    ::EnableMenuItem(m_menu.Get(), ID_ITEM_LOCK,
                     MF_BYCOMMAND | (commands.lockEnabled ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(m_menu.Get(), ID_ITEM_NORMAL,
                     MF_BYCOMMAND | (commands.normalEnabled ? MF_ENABLED : MF_GRAYED));

    TrackListMenu(pt.x, pt.y);
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    m_bCommandActive = false;
}

void CPopupListDlg::OpenKeyboardMenu() {
    m_bCommandActive = true;
    int selection = m_list.GetCurSel();
    if (selection == LB_ERR) {
        m_list.SetCurSel(0);
        selection = 0;
    }
    // The lock and make-normal items keep the state the last right-click
    // gave them.
    const CPopupApp& app = TheApp();
    const pikora::MenuPoint at =
        pikora::KeyboardMenuPos({app.m_ptPopup.x, app.m_ptPopup.y}, app.m_settings.CaretPosX,
                                app.m_settings.CaretPosY, selection, m_nDpi);
    TrackListMenu(at.x, at.y);
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    m_bCommandActive = false;
}

void CPopupListDlg::OnItemDelete() {
    m_bCommandActive = true;
    // The box takes the focus from the list; the flag set above keeps that
    // from closing the popup, and the focus loss clears it again.
    if (ui::AppMessageBox("項目を削除しますか？", MB_YESNO | MB_ICONEXCLAMATION, m_hwnd) != IDYES) {
        return;
    }
    m_bCommandActive = false;
    const int index = m_list.GetCurSel();
    if (index == LB_ERR) {
        return;
    }
    pikora::TextItemList& items = TheApp().m_items;
    if (const pikora::TextItemList::POSITION pos = items.FindIndex(m_list.EntryOfLine(index))) {
        items.RemoveAt(pos);
    }
    if (m_search.IsNarrowed()) {
        // The narrowed lines are made again; the one after the deleted entry
        // takes its place and the selection.
        m_search.Refresh(index);
    } else if (index != 0 || On9x()) {
        ::SendMessageW(m_list.Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    } else {
        m_bClosing = true;
        EndDialog(POPUP_REOPEN);
    }
}

// After a change at entry index (shown on line): the 9x family refills the
// open popup; elsewhere the popup closes and the run opens it again, built
// from scratch, on that line. A narrowed list is made again in place, so that
// the search stays.
void CPopupListDlg::ShowChangeAt(int index, int line) {
    if (m_search.IsNarrowed()) {
        m_search.Refresh(line, index);
        return;
    }
    if (On9x()) {
        UpdateData(false);
        m_list.SetCurSel(index);
        return;
    }
    m_bClosing = true;
    EndDialog(POPUP_REOPEN);
}

void CPopupListDlg::OnItemEdit() {
    m_bCommandActive = true;
    const int line = m_list.GetCurSel();
    const int index = m_list.EntryOfLine(line);
    pikora::TextItemList& items = TheApp().m_items;
    const pikora::TextItemList::POSITION pos = items.FindIndex(index);
    if (pos == nullptr) {
        m_bCommandActive = false;
        return;
    }
    pikora::TextItem entry = items.GetAt(pos);
    CEditItemDlg dialog(this, &entry.kind);
    dialog.m_strText = entry.text.str();
    dialog.m_strTitle = entry.title.str();
    if (dialog.DoModal() == IDOK) {
        entry.text = dialog.m_strText;
        entry.title = dialog.m_strTitle;
        items.SetAt(pos, entry);
        m_nCurSel = index;
        ShowChangeAt(index, line);
    }
    m_bCommandActive = false;
}

void CPopupListDlg::SetSelectedKind(int32_t kind) {
    const int index = m_list.GetCurSel();
    pikora::TextItemList& items = TheApp().m_items;
    const pikora::TextItemList::POSITION pos = items.FindIndex(m_list.EntryOfLine(index));
    if (pos == nullptr) {
        return;
    }
    pikora::TextItem entry = items.GetAt(pos);
    entry.kind = kind;
    items.SetAt(pos, entry);
    m_list.SetCurSel(index);
    // The kind picture of the line changes; redraw it now rather than when
    // the line next happens to be painted.
    RECT line;
    if (::SendMessageW(m_list.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&line)) != LB_ERR) {
        ::InvalidateRect(m_list.Handle(), &line, TRUE);
    }
}

void CPopupListDlg::OnItemLock() {
    SetSelectedKind(pikora::KIND_LOCKED);
}

void CPopupListDlg::OnItemNormal() {
    SetSelectedKind(pikora::KIND_NORMAL);
}

void CPopupListDlg::OnListAddData() {
    m_bCommandActive = true;
    const int line = m_list.GetCurSel();
    const int index = m_list.EntryOfLine(line);
    m_nCurSel = index;
    CAddItemDlg dialog(this, index);
    dialog.DoModal();
    ShowChangeAt(index, line);
    m_bCommandActive = false;
}

void CPopupListDlg::OnListSettings() {
    m_bCommandActive = true;
    TheApp().OnSettings(this);
    m_bCommandActive = false;
}

// These look up what is on the clipboard, not the selected entry; the
// browser taking the focus closes a popup like any other focus loss.
void CPopupListDlg::OnClipboardLookup(UINT id) {
    TheApp().LookUpClipboardText(id, m_hwnd, false);
}
