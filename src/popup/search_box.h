// The popup's search line: a one-line edit along the bottom edge of the popup,
// opened by Ctrl+F. What is typed narrows the list to the entries whose name
// or text holds it; nothing of it is kept once the popup closes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "popup/entry_filter.h"
#include "ui/window.h"

class CItemListBox;

class CSearchBox : public ui::Window {
  public:
    explicit CSearchBox(CItemListBox& list);

    // Creates the box in the popup (or finds it again) and gives it the focus.
    void Open(HWND dialog);
    bool IsOpen() const { return m_hwnd != nullptr; }
    // The list shows only some entries.
    bool IsNarrowed() const { return !m_query.empty(); }
    bool HasText() const;
    // Empties the box: the whole list again, on the entry that was selected.
    void ClearText();

    // Height the box takes from the bottom of a client area.
    int Height() const;
    // Puts the list above the box in a client area of cx by cy.
    void Layout(int cx, int cy);

    // The text changed: narrow now, or once the keys that wait are read.
    void OnTextChange();
    // The list changed under the narrowed lines: narrow it again and select
    // the line at `line` (or the last), or the line of `entry` when given.
    void Refresh(int line, int entry = -1);
    // The popup is built afresh without the box: the whole list, and the
    // folded texts go.
    void Forget();

    // Keys that move in the list rather than in the text.
    static bool IsListKey(WPARAM vk);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnTimer(UINT_PTR id);
    std::string Text() const;
    // The entry of the selected line; while no line is selected (nothing
    // matched), the one selected last.
    int SelectedEntry();
    // Shows the lines for m_query and selects one of them.
    void Apply(int selectEntry, int selectLine);

    CItemListBox& m_list;
    pikora::EntryFilter m_filter;
    std::vector<int> m_view;
    std::string m_query;
    int m_nLastEntry = -1;
};
