// The common open-file dialog over GetOpenFileNameA, with the filter given
// the way resource strings write it: "Text (*.txt)|*.txt|All (*.*)|*.*||".
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class FileDialog {
  public:
    // owner may be none: the active window of this thread owns the dialog
    // then, so it stays modal to whatever the user is working in.
    FileDialog(std::string defaultExt, std::string filter, DWORD flags, HWND owner = nullptr,
               std::string initialDir = std::string());

    // True when the user chose a file.
    bool DoModal();
    // The chosen file's full path.
    const std::string& PathName() const { return m_path; }

  private:
    std::string m_defaultExt;
    std::string m_filter;  // '|' already turned into NULs
    DWORD m_flags;
    HWND m_owner;
    std::string m_initialDir;
    std::string m_path;
};

}  // namespace ui
