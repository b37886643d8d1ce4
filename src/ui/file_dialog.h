// The common open-file dialog over GetOpenFileNameW, with the filter given
// the way resource strings write it: "Text (*.txt)|*.txt|All (*.*)|*.*||".
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class FileDialog {
  public:
    // owner may be none: the active window of this thread owns the dialog
    // then, so it stays modal to whatever the user is working in.
    FileDialog(const std::string& defaultExt, const std::string& filter, DWORD flags,
               HWND owner = nullptr, std::wstring initialDir = std::wstring());

    // True when the user chose a file.
    bool DoModal();
    // The chosen file's full path.
    const std::wstring& PathName() const { return m_path; }
    // The same path as code page 932 text, for the settings and the entries
    // that keep paths as text. A name that code page cannot spell is given
    // by its short name, which still finds the file.
    std::string PathNameCp932() const;

  private:
    std::wstring m_defaultExt;
    std::wstring m_filter;  // '|' already turned into NULs
    DWORD m_flags;
    HWND m_owner;
    std::wstring m_initialDir;
    std::wstring m_path;
};

}  // namespace ui
