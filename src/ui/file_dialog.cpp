#include "ui/file_dialog.h"

#include <commdlg.h>

#include <utility>
#include <vector>

#include "ui/wide_text.h"

namespace ui {

FileDialog::FileDialog(const std::string& defaultExt, const std::string& filter, DWORD flags,
                       HWND owner, std::wstring initialDir)
    : m_defaultExt(Wide(defaultExt)),
      m_filter(Wide(filter)),
      m_flags(flags),
      m_owner(owner),
      m_initialDir(std::move(initialDir)) {
    // The '|' separators become the NULs GetOpenFileName wants; the list ends
    // with two NULs whether or not the string ended with "||".
    for (wchar_t& c : m_filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    m_filter.append(2, L'\0');
}

bool FileDialog::DoModal() {
    // Room for a long path; GetOpenFileName fails rather than truncates.
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_owner != nullptr ? m_owner : ::GetActiveWindow();
    ofn.lpstrFilter = m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
    ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&ofn)) {
        return false;
    }
    m_path = file.data();
    return true;
}

std::string FileDialog::PathNameCp932() const {
    std::string path = Narrow(m_path);
    if (Wide(path) == m_path) {
        return path;
    }
    std::vector<wchar_t> shortPath(32768, L'\0');
    const DWORD n =
        ::GetShortPathNameW(m_path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (n > 0 && n < shortPath.size()) {
        return Narrow(std::wstring_view(shortPath.data(), n));
    }
    return path;
}

}  // namespace ui
