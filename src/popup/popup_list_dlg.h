// The popup list: a small topmost window at the caret, filled by the item
// list, through which the user picks the entry to paste. It answers with a
// result code and leaves the chosen index in the caller's variable; pasting
// is the caller's work.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "popup/item_list_box.h"
#include "popup/search_box.h"
#include "ui/dialog.h"
#include "ui/handles.h"

class CPopupListDlg : public ui::Dialog {
  public:
    // mode: POPUP_MODE_USER or POPUP_MODE_AUTO. pDialogSize points to the
    // outer width, followed by the outer height. DoModal may be run again on
    // the same object while it answers POPUP_REOPEN.
    CPopupListDlg(ui::Window* parent, int* pResultIndex, BYTE mode, int* pDialogSize);
    ~CPopupListDlg() override;

    // Puts text into the list's tooltip, hiding a tip that is showing.
    void ShowEntryTip(const std::string& text);

    // The DPI of the monitor the popup opens on; the size pair stays in
    // 96-DPI numbers and is scaled by it. Set before DoModal.
    void SetDpi(int dpi);

    bool PreTranslateMessage(MSG* msg) override;

  protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    static void DestroyIfWindow(HWND hwnd);

    LRESULT OnShowWindow(BOOL show, UINT status);
    LRESULT OnSize(UINT type, int cx, int cy);
    LRESULT OnDpiChanged(WPARAM dpis, LPARAM suggestedRect);
    void OnListSelChange();
    void OnListDblClk();
    void OnListKillFocus();
    // A focus loss that gave the activation to no window: take it back, or
    // end as dismissed when another window has taken it meanwhile.
    void OnReclaimFocus();
    void OnSearchKillFocus();
    bool PreTranslateSearchMessage(MSG* msg);
    void OnItemEdit();
    void OnItemLock();
    void OnItemNormal();
    void OnItemDelete();
    void OnListAddData();
    void OnListSettings();
    void OnClipboardLookup(UINT id);
    void SetSelectedKind(int32_t kind);
    void ShowChangeAt(int index, int line);
    void OpenContextMenu(const MSG& msg);
    void OpenKeyboardMenu();
    void TrackListMenu(int x, int y);
    TOOLINFOW ListTool() const;
    void RemoveTipTool();
    bool On9x() const;

    CItemListBox m_list;
    // Ctrl+F: narrows the list to what is typed into it.
    CSearchBox m_search{m_list};
    int* m_pResultIndex;
    // False while an automatic popup has not yet lost the focus.
    bool m_bUserMode;
    bool m_bEscaped = false;
    // Looks at the foreground after a focus loss to no window.
    int m_nReclaimChecks = 0;
    // The line selected each time the window is shown.
    int m_nCurSel = 0;
    int* m_pDialogSize;
    int m_nDpi = 96;
    // The popup ended itself; the focus loss its hiding causes changes nothing.
    bool m_bClosing = false;
    // A menu or a command's own window is up; a focus loss does not close.
    bool m_bCommandActive = false;
    // Size changes resize the list and are recorded in the size pair.
    bool m_bTrackSize = false;
    ui::UniqueMenu m_menu;
    // Owned by the dialog window: made again with each run.
    ui::UniqueHandle<HWND, ui::SimpleTraits<HWND, &CPopupListDlg::DestroyIfWindow>> m_tooltip;
    ui::UniqueModule m_hUser32;
    SetLayeredWindowAttributesFn m_pfnSetLayeredWindowAttributes = nullptr;
};
