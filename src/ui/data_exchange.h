// Dialog data exchange: moves values between a dialog's controls and members.
// The first value that does not validate stops the exchange: the user is told
// why and the control gets the focus.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Dialog;

class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

    bool Saving() const { return m_saveAndValidate; }
    bool Failed() const { return m_failed; }
    Dialog& DialogRef() const { return m_dialog; }
    void Fail(int controlId, const std::string& message);

    // Text of an edit control; maxBytes > 0 limits it (code page 932 bytes).
    void Text(int controlId, std::string& value, size_t maxBytes = 0);
    // Decimal integer of an edit control, converted as atoi does.
    void Int(int controlId, int& value);
    // An auto check box as 0/1.
    void Check(int controlId, int& value);

  private:
    Dialog& m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
};

}  // namespace ui
