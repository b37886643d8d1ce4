// The owner-drawn list of the popup: one 17-pixel line per entry of the text
// list (kind icon, then the title), drag reordering, and no input at all while
// the popup is automatic.
//
// The control keeps no lines of its own (LBS_NODATA): it is told how many
// there are and draws line i from entry i of the text list. Filling and
// emptying a control that holds 100,000 strings took longer than everything
// else in opening a popup and pasting from it. What the control's strings
// gave, it answers itself: the titles through LB_GETTEXT, and the jump to a
// title by its first character.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "popup/item_draw.h"
#include "ui/handles.h"
#include "ui/window.h"

// True for keyboard and mouse messages, over the client area or not.
bool IsKeyboardOrMouseInput(UINT message);

// The Windows 95/98 family, where the popup refills its list in place instead
// of being rebuilt.
bool IsWin9xPlatform();

class CItemListBox : public ui::Window {
  public:
    CItemListBox();
    ~CItemListBox() override;

    // Takes over a list box from a dialog template and makes it a drag list.
    bool Bind(HWND control);

    bool PreTranslateMessage(MSG* msg) override;

    // Owner drawing, forwarded by the parent dialog.
    void DrawItem(const DRAWITEMSTRUCT& dis);
    void MeasureItem(MEASUREITEMSTRUCT& mis);
    int CompareItem(const COMPAREITEMSTRUCT& cis);

    // The drag list's notifications, forwarded by the parent dialog; the
    // result is what the drag list expects back.
    LRESULT OnDragListNotify(const DRAGLISTINFO& info);

    BOOL BeginDrag(POINT pt);
    UINT Dragging(POINT pt);
    void Dropped(int srcIndex, POINT pt);
    void CancelDrag(POINT pt);
    // Moves the insertion band to the top edge of line index (-1: no band).
    void DrawInsert(int index);
    // The line under a screen point, -1 for none; with autoScroll a point just
    // above or below the list scrolls it by one line.
    int ItemFromPt(POINT pt, bool autoScroll = true) const;

    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int index);

    // While a search narrows the list, line i shows entry (*view)[i] of the
    // text list; nullptr shows every entry. The view stays the caller's.
    void SetView(const std::vector<int>* view) { m_pView = view; }
    bool IsNarrowed() const { return m_pView != nullptr; }
    // The entry a line shows, -1 for none; and the line that shows an entry.
    int EntryOfLine(int line) const;
    int LineOfEntry(int entry) const;

    // Set by the popup from its mode: true for a popup the user opened.
    // Fixed for the life of the object.
    bool m_bInteractive = false;
    // The DPI the lines are measured and drawn at: the popup's monitor's.
    int m_nDpi = 96;
    // Height of a line and side of its kind icon at m_nDpi.
    int ItemHeight() const;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    // The title of line index, as LB_GETTEXT gives it; nothing for no line.
    std::optional<std::string> LineText(WPARAM index) const;
    void OnChar(wchar_t typed);

    void LoadItemBitmap(ui::UniqueMemoryDC& dc, ui::UniqueBitmap& bmp, UINT bitmapId, size_t slot);
    HDC IconDC(pikora::ItemIcon icon) const;
    RECT BandRect(int index) const;
    void InvertBand(int index);
    void RepaintBand(int index);

    ui::UniqueMemoryDC m_dcLocked;
    ui::UniqueMemoryDC m_dcNormal;
    ui::UniqueMemoryDC m_dcLockedFocus;
    ui::UniqueMemoryDC m_dcNormalFocus;
    ui::UniqueBitmap m_bmpLocked;
    ui::UniqueBitmap m_bmpNormal;
    ui::UniqueBitmap m_bmpLockedFocus;
    ui::UniqueBitmap m_bmpNormalFocus;
    // What the last Dragging call answered (DL_STOPCURSOR or DL_MOVECURSOR).
    int m_nDragResult = 0;
    // The message being filtered is a right-button press or release.
    bool m_bRightButton = false;
    // The line whose insertion band is on screen, -1 for none.
    int m_nLast = -1;
    const std::vector<int>* m_pView = nullptr;
    // Each loaded bitmap stays selected into its memory DC until the bitmaps
    // go; declared last so it lets go of them first.
    std::array<std::optional<ui::SelectObjectScope>, 4> m_iconSelections;
};
