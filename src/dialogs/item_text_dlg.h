// What the add and edit dialogs share: a text box that macro templates and
// file names are put into, and the drop-down of macro templates.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/dialog.h"

class CItemTextDlg : public ui::Dialog {
  protected:
    // The longest name either dialog takes, in bytes.
    static constexpr size_t kMaxTitleBytes = 256;

    CItemTextDlg(UINT templateId, ui::Window* parent, int textBoxId, int templateComboId);

    bool OnInitDialog() override;

    // The insert button of the drop-down: the selected template's body goes
    // into the text box, in place of its selection.
    void OnPasteTemplate();
    // The file-name button: a chosen file's full path goes into the text box.
    void OnPasteFileName();

    // The templates as the INI file holds them now: labels in the drop-down,
    // bodies at the same indexes.
    void LoadTemplates();
    // Replaces the text box's selection by s (or inserts s at the caret) and
    // gives the text box the focus.
    void InsertIntoTextBox(const std::string& s);

    HWND m_comboTemplate = nullptr;
    std::vector<std::string> m_templateBodies;

  private:
    int m_textBoxId;
    int m_templateComboId;
};
