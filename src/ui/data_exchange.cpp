#include "ui/data_exchange.h"

#include <cstdlib>
#include <vector>

#include "ui/app.h"
#include "ui/dialog.h"

namespace ui {

std::string GetWindowTextString(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int got = ::GetWindowTextA(hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void DataExchange::Fail(int controlId, const std::string& message) {
    m_failed = true;
    HWND dlg = m_dialog.Handle();
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION, dlg);
    if (HWND control = ::GetDlgItem(dlg, controlId)) {
        ::SetFocus(control);
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void DataExchange::Text(int controlId, std::string& value, size_t maxBytes) {
    if (m_failed) {
        return;
    }
    HWND control = ::GetDlgItem(m_dialog.Handle(), controlId);
    if (!m_saveAndValidate) {
        if (maxBytes > 0) {
            ::SendMessageA(control, EM_LIMITTEXT, maxBytes, 0);
        }
        ::SetWindowTextA(control, value.c_str());
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
        ::SetWindowTextA(control, std::to_string(value).c_str());
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
        ::SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    value = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

}  // namespace ui
