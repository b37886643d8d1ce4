#include "ui/file_dialog.h"

#include <commdlg.h>

#include <utility>
#include <vector>

namespace ui {

FileDialog::FileDialog(std::string defaultExt, std::string filter, DWORD flags, HWND owner,
                       std::string initialDir)
    : m_defaultExt(std::move(defaultExt)),
      m_filter(std::move(filter)),
      m_flags(flags),
      m_owner(owner),
      m_initialDir(std::move(initialDir)) {
    // The '|' separators become the NULs GetOpenFileName wants; the list ends
    // with two NULs whether or not the string ended with "||". The walk goes
    // by characters: '|' can be the second byte of a double-byte one ("ポ").
    for (size_t i = 0; i < m_filter.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(m_filter[i])) && i + 1 < m_filter.size()) {
            ++i;
        } else if (m_filter[i] == '|') {
            m_filter[i] = '\0';
        }
    }
    m_filter.append(2, '\0');
}

bool FileDialog::DoModal() {
    // Room for a long path; GetOpenFileName fails rather than truncates.
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_owner != nullptr ? m_owner : ::GetActiveWindow();
    ofn.lpstrFilter = m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
    ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;
    if (!::GetOpenFileNameA(&ofn)) {
        return false;
    }
    m_path = file.data();
    return true;
}

}  // namespace ui
