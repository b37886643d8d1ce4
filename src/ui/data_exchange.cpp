#include "ui/data_exchange.h"

#include <cstdlib>
#include <vector>

#include "ui/app.h"
#include "ui/dialog.h"
#include "ui/wide_text.h"

namespace ui {

void DataExchange::Fail(int controlId, const std::string& message) {
    m_failed = true;
    HWND dlg = m_dialog.Handle();
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION, dlg);
    if (HWND control = ::GetDlgItem(dlg, controlId)) {
        ::SetFocus(control);
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Text(int controlId, std::string& value, size_t maxBytes) {
    if (m_failed) {
        return;
    }
    HWND control = ::GetDlgItem(m_dialog.Handle(), controlId);
    if (!m_saveAndValidate) {
        if (maxBytes > 0) {
            ::SendMessageW(control, EM_LIMITTEXT, maxBytes, 0);
        }
        SetWindowTextString(control, value);
        return;
    }
    std::string text = GetWindowTextString(control);
    if (maxBytes > 0 && text.size() > maxBytes) {
        Fail(controlId, std::to_string(maxBytes) + " 文字以内で入力してください。");
        return;
    }
    value = std::move(text);
}

void DataExchange::Int(int controlId, int& value) {
    if (m_failed) {
        return;
    }
    HWND control = ::GetDlgItem(m_dialog.Handle(), controlId);
    if (!m_saveAndValidate) {
        SetWindowTextString(control, std::to_string(value));
        return;
    }
    value = std::atoi(GetWindowTextString(control).c_str());
}

void DataExchange::Check(int controlId, int& value) {
    if (m_failed) {
        return;
    }
    HWND control = ::GetDlgItem(m_dialog.Handle(), controlId);
    if (!m_saveAndValidate) {
        ::SendMessageW(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    value = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

}  // namespace ui
