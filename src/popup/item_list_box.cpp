#include "popup/item_list_box.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/popup_app.h"
#include "popup/dpi_scale.h"
#include "popup/item_drop.h"
#include "popup/popup_keys.h"
#include "popup/popup_list_dlg.h"
#include "res/resource.h"
#include "ui/app.h"
#include "ui/wide_text.h"

static_assert(pikora::kDrawActionEntire == ODA_DRAWENTIRE &&
                  pikora::kDrawActionSelect == ODA_SELECT && pikora::kDrawActionFocus == ODA_FOCUS,
              "owner-draw actions");
static_assert(pikora::kDrawStateSelected == ODS_SELECTED && pikora::kDrawStateFocus == ODS_FOCUS,
              "owner-draw states");

namespace {

// A device context of a window's client area, for one scope.
class ClientDC {
  public:
    explicit ClientDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~ClientDC() {
        if (m_dc) {
            ::ReleaseDC(m_hwnd, m_dc);
        }
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_hwnd;
    HDC m_dc;
};

}  // namespace

bool IsKeyboardOrMouseInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK);
}

bool IsWin9xPlatform() {
    return TheApp().m_osVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

CItemListBox::CItemListBox() {
    LoadItemBitmap(m_dcLocked, m_bmpLocked, IDB_ITEM_LOCKED, 0);
    LoadItemBitmap(m_dcNormal, m_bmpNormal, IDB_ITEM_NORMAL, 1);
    LoadItemBitmap(m_dcLockedFocus, m_bmpLockedFocus, IDB_ITEM_LOCKED_FOCUS, 2);
    LoadItemBitmap(m_dcNormalFocus, m_bmpNormalFocus, IDB_ITEM_NORMAL_FOCUS, 3);
}

CItemListBox::~CItemListBox() = default;

void CItemListBox::LoadItemBitmap(ui::UniqueMemoryDC& dc, ui::UniqueBitmap& bmp, UINT bitmapId,
                                  size_t slot) {
    dc.Reset(::CreateCompatibleDC(nullptr));
    bmp.Reset(::LoadBitmapW(ui::ResourceInstance(), MAKEINTRESOURCEW(bitmapId)));
    if (dc && bmp) {
        m_iconSelections[slot].emplace(dc.Get(), bmp.Get());
    }
}

HDC CItemListBox::IconDC(pikora::ItemIcon icon) const {
    // A bitmap that did not load leaves its column as the background shows it.
    switch (icon) {
        case pikora::ItemIcon::Locked:
            return m_bmpLocked ? m_dcLocked.Get() : nullptr;
        case pikora::ItemIcon::Normal:
            return m_bmpNormal ? m_dcNormal.Get() : nullptr;
        case pikora::ItemIcon::LockedFocus:
            return m_bmpLockedFocus ? m_dcLockedFocus.Get() : nullptr;
        case pikora::ItemIcon::NormalFocus:
            return m_bmpNormalFocus ? m_dcNormalFocus.Get() : nullptr;
        case pikora::ItemIcon::None:
            break;
    }
    return nullptr;
}

bool CItemListBox::Bind(HWND control) {
    if (!control || Handle()) {
        return false;
    }
    // The drag list goes in first, so our procedure sits on top of it and
    // sees a click after the drag list has reacted to it.
    ::MakeDragList(control);
    if (!Subclass(control)) {
        return false;
    }
    // The list box read its style when it was created and keeps no strings.
    // Set now, the flag only tells other programs that ask for a line's text
    // (screen readers, test tools) to pass a text buffer, which WindowProc
    // fills with the entry's title; without it Windows and Wine hand them a
    // pointer-sized one.
    ::SetWindowLongPtrW(control, GWL_STYLE,
                        ::GetWindowLongPtrW(control, GWL_STYLE) | LBS_HASSTRINGS);
    return true;
}

int CItemListBox::GetCount() const {
    return m_hwnd ? static_cast<int>(::SendMessageW(m_hwnd, LB_GETCOUNT, 0, 0)) : 0;
}

int CItemListBox::GetCurSel() const {
    return m_hwnd ? static_cast<int>(::SendMessageW(m_hwnd, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

int CItemListBox::EntryOfLine(int line) const {
    if (m_pView == nullptr) {
        return line;
    }
    return line >= 0 && static_cast<size_t>(line) < m_pView->size()
               ? (*m_pView)[static_cast<size_t>(line)]
               : -1;
}

int CItemListBox::LineOfEntry(int entry) const {
    if (m_pView == nullptr) {
        return entry;
    }
    // The view is in list order.
    const auto at = std::lower_bound(m_pView->begin(), m_pView->end(), entry);
    return at != m_pView->end() && *at == entry ? static_cast<int>(at - m_pView->begin()) : -1;
}

void CItemListBox::SetCurSel(int index) {
    if (m_hwnd) {
        ::SendMessageW(m_hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

bool CItemListBox::PreTranslateMessage(MSG* msg) {
    if (!m_bInteractive) {
        return IsKeyboardOrMouseInput(msg->message);
    }
    m_bRightButton = msg->message == WM_RBUTTONDOWN || msg->message == WM_RBUTTONUP;
    return ui::Window::PreTranslateMessage(msg);
}

std::optional<std::string> CItemListBox::LineText(WPARAM index) const {
    const pikora::TextItemList& items = TheApp().m_items;
    if (index >= static_cast<WPARAM>(items.GetCount())) {
        return std::nullopt;
    }
    const pikora::TextItemList::POSITION pos =
        items.FindIndex(EntryOfLine(static_cast<int>(index)));
    if (pos == nullptr) {
        return std::nullopt;
    }
    return pikora::LineTextOfTitle(items.GetAt(pos).title);
}

void CItemListBox::OnChar(wchar_t typed) {
    const std::string character = ui::Narrow(std::wstring_view(&typed, 1));
    if (m_pView != nullptr || character.empty()) {
        return;  // a narrowed list is searched in its box
    }
    const int caret = static_cast<int>(::SendMessageW(m_hwnd, LB_GETCARETINDEX, 0, 0));
    const int line = pikora::NextLineStartingWith(TheApp().m_items, caret, character);
    if (line < 0) {
        return;
    }
    SetCurSel(line);
    // As the list box does for a line chosen from the keyboard.
    ::SendMessageW(::GetParent(m_hwnd), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(m_hwnd), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(m_hwnd));
}

LRESULT CItemListBox::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case LB_GETTEXTLEN: {
            const std::optional<std::string> text = LineText(wParam);
            return text ? static_cast<LRESULT>(ui::Wide(*text).size()) : LB_ERR;
        }
        case LB_GETTEXT: {
            const std::optional<std::string> text = LineText(wParam);
            if (!text || lParam == 0) {
                return LB_ERR;
            }
            const std::wstring wide = ui::Wide(*text);
            std::memcpy(reinterpret_cast<wchar_t*>(lParam), wide.c_str(),
                        (wide.size() + 1) * sizeof(wchar_t));
            return static_cast<LRESULT>(wide.size());
        }
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        default:
            break;
    }
    if (msg == WM_LBUTTONDOWN) {
        const LRESULT result = Default(msg, wParam, lParam);
        // A drag that has just begun put its band on the clicked line, and the
        // list then drew the new selection over part of it.
        if (m_nLast >= 0) {
            RepaintBand(m_nLast);
            InvertBand(m_nLast);
        }
        return result;
    }
    return ui::Window::WindowProc(msg, wParam, lParam);
}

int CItemListBox::ItemHeight() const {
    return pikora::ScaleForDpi(pikora::ITEM_HEIGHT, m_nDpi);
}

void CItemListBox::MeasureItem(MEASUREITEMSTRUCT& mis) {
    mis.itemHeight = static_cast<UINT>(ItemHeight());
}

int CItemListBox::CompareItem(const COMPAREITEMSTRUCT&) {
    return 0;
}

void CItemListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
    const int side = ItemHeight();
    RECT text = dis.rcItem;
    text.left += side;

    // The lines are drawn from the text list, never from the control's strings.
    const pikora::TextItemList& items = TheApp().m_items;
    if (items.IsEmpty()) {
        return;
    }
    const pikora::TextItemList::POSITION pos =
        items.FindIndex(EntryOfLine(static_cast<int>(dis.itemID)));
    if (pos == nullptr) {
        return;
    }
    const pikora::TextItem entry = items.GetAt(pos);
    const pikora::ItemDrawPlan plan =
        pikora::PlanItemDraw(entry.kind, dis.itemAction, dis.itemState);
    HDC dc = dis.hDC;

    if (plan.selectionFrame) {
        ui::UniqueBrush blue(::CreateSolidBrush(RGB(0, 0, 255)));
        ::FrameRect(dc, &text, blue.Get());
        if (auto* dialog =
                dynamic_cast<CPopupListDlg*>(ui::Window::FromHandle(::GetParent(m_hwnd)))) {
            dialog->ShowEntryTip(entry.text.str());
        }
    }
    HBRUSH window = ::GetSysColorBrush(COLOR_WINDOW);  // the system's own: not deleted
    if (plan.eraseFrame) {
        ::FrameRect(dc, &text, window);
    } else if (plan.fillInterior) {
        RECT interior = text;
        ::InflateRect(&interior, -1, -1);
        ::FillRect(dc, &interior, window);
    }
    if (HDC icon = IconDC(plan.icon)) {
        if (side == pikora::ITEM_HEIGHT) {
            ::BitBlt(dc, dis.rcItem.left, dis.rcItem.top, side, side, icon, 0, 0, SRCCOPY);
        } else {
            // Whole pixels, not blended ones: the small icons stay crisp when
            // enlarged for a high-DPI monitor.
            const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
            ::StretchBlt(dc, dis.rcItem.left, dis.rcItem.top, side, side, icon, 0, 0,
                         pikora::ITEM_HEIGHT, pikora::ITEM_HEIGHT, SRCCOPY);
            ::SetStretchBltMode(dc, oldMode);
        }
    }
    text.left += 1;
    // No DT_NOPREFIX: an ampersand in a title underlines the next character.
    const std::wstring title = ui::Wide(entry.title);
    ::DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
                DT_SINGLELINE | DT_VCENTER);
}

LRESULT CItemListBox::OnDragListNotify(const DRAGLISTINFO& info) {
    switch (info.uNotification) {
        case DL_BEGINDRAG:
            return BeginDrag(info.ptCursor);
        case DL_DRAGGING:
            return Dragging(info.ptCursor);
        case DL_DROPPED:
            Dropped(GetCurSel(), info.ptCursor);
            return 0;
        case DL_CANCELDRAG:
            CancelDrag(info.ptCursor);
            return 0;
        default:
            return 0;
    }
}

int CItemListBox::ItemFromPt(POINT pt, bool autoScroll) const {
    return ::LBItemFromPt(m_hwnd, pt, autoScroll ? TRUE : FALSE);
}

BOOL CItemListBox::BeginDrag(POINT pt) {
    // The left-button press the popup sends for a right-click selects a line;
    // it must not pick the line up.
    // Nor is a line of a narrowed list: where it would land among the hidden
    // entries is anyone's guess.
    if (m_bRightButton || m_pView != nullptr) {
        return FALSE;
    }
    m_nLast = -1;
    DrawInsert(ItemFromPt(pt));
    return TRUE;
}

UINT CItemListBox::Dragging(POINT pt) {
    const int index = ItemFromPt(pt, false);
    DrawInsert(index);
    // Only for its scrolling while the pointer is just above or below the list.
    ItemFromPt(pt);
    m_nDragResult = index == -1 ? DL_STOPCURSOR : DL_MOVECURSOR;
    return static_cast<UINT>(m_nDragResult);
}

void CItemListBox::Dropped(int srcIndex, POINT pt) {
    if (m_nDragResult == DL_STOPCURSOR) {
        DrawInsert(-1);
        return;
    }
    const int target = ItemFromPt(pt);
    const pikora::DropPlan plan = pikora::PlanDrop(srcIndex, target);
    DrawInsert(-1);
    if (plan.moveEntry) {
        TheApp().MoveItem(srcIndex, target);
    }
    if (plan.lines == pikora::DropPlan::Lines::Redraw) {
        SetCurSel(plan.select);
        ::InvalidateRect(m_hwnd, nullptr, FALSE);
    }
}

void CItemListBox::CancelDrag(POINT) {
    DrawInsert(-1);
}

void CItemListBox::DrawInsert(int index) {
    if (index == m_nLast) {
        return;
    }
    RepaintBand(m_nLast);
    InvertBand(index);
    m_nLast = index;
}

RECT CItemListBox::BandRect(int index) const {
    RECT band{};
    if (index < 0 || !m_hwnd) {
        return band;
    }
    RECT client;
    RECT item;
    ::GetClientRect(m_hwnd, &client);
    if (::SendMessageW(m_hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
        return band;
    }
    const int half = pikora::ScaleForDpi(2, m_nDpi);
    const RECT whole{client.left, item.top - half, client.right, item.top + half};
    ::IntersectRect(&band, &whole, &client);
    return band;
}

void CItemListBox::InvertBand(int index) {
    const RECT band = BandRect(index);
    if (::IsRectEmpty(&band)) {
        return;
    }
    // The halftone pattern: every other pixel, shifted by one on each row.
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    ui::UniqueBitmap pattern(::CreateBitmap(8, 8, 1, 1, kHalftone));
    ui::UniqueBrush brush(::CreatePatternBrush(pattern.Get()));
    ClientDC dc(m_hwnd);
    if (!dc.Get() || !brush) {
        return;
    }
    ui::SelectObjectScope select(dc.Get(), brush.Get());
    ::PatBlt(dc.Get(), band.left, band.top, band.right - band.left, band.bottom - band.top,
             PATINVERT);
}

void CItemListBox::RepaintBand(int index) {
    // Inverting the band once more would only restore the pixels if nothing
    // had drawn there since (a selection change does); the lines under it are
    // drawn afresh instead.
    const RECT band = BandRect(index);
    if (::IsRectEmpty(&band)) {
        return;
    }
    ::InvalidateRect(m_hwnd, &band, TRUE);
    ::UpdateWindow(m_hwnd);
}
