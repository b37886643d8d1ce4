// The application object: owns every long-lived piece of state of the program.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/caret_finder.h"
#include "settings/app_settings.h"
#include "store/data_file.h"
#include "store/data_file_writer_win32.h"
#include "store/history_capture.h"
#include "store/text_list.h"
#include "ui/app.h"
#include "ui/handles.h"

class CMainFrame;
class CSettingsDlg;

class CPopupApp : public ui::App {
  public:
    CPopupApp();
    ~CPopupApp() override;

    bool InitInstance() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(UINT id) override;

    CMainFrame* MainFrame() const;

    // Settings (INI file next to the exe).
    void LoadSettings();
    int GetProfileIntDefault(const std::string& section, const std::string& key, int def);
    std::string GetProfileStringDefault(const std::string& section, const std::string& key,
                                        const std::string& def);
    void WriteProfileInt(const std::string& section, const std::string& key, int value);
    void SetHotkeys(int popupKey, int popupMod, int historyKey, int historyMod);
    void GetHotkeys(int& popupKey, int& popupMod, int& historyKey, int& historyMod) const;
    const std::wstring& IniPath() const { return m_strIniPath; }

    // The data file (the working folder at start). SaveDataFile hands the list's
    // bytes to the writer thread; SaveDataFileNow writes before it returns,
    // for the end of the program, after which nothing else would.
    void LoadDataFile();
    void SaveDataFile();
    void SaveDataFileNow();
    // From the poll tick: a list that changed since its last save is handed
    // to the writer, so that no change waits for the next save point (a kill
    // or a power cut would lose it). Changes in one tick are one write.
    void SaveIfListChanged();
    // The writer's word on a write, on this thread: a failure is told once.
    void OnDataFileWritten(bool saved, unsigned long win32Error);

    // Clipboard history.
    // Whether a copy made now may become history, but for its text.
    pikora::CaptureGate CaptureGateNow() const;
    void CaptureHistoryText(std::string text, const pikora::CaptureGate& gate);
    // Pikora's own passing texts on the clipboard (a paste's text, the user's
    // text put back, a Ctrl+V entry) are never recorded, and what the
    // clipboard then holds is known without reading it back. Reading back
    // what the process itself has just put there costs about a kilobyte a
    // time under Wine that is never given back.
    void NoteOwnClipboardText(const std::string& text);
    // That text while the clipboard still holds it; nothing once it changed.
    std::optional<std::string> OwnClipboardText() const;
    std::string TakeOldestNormalText();
    void ClearNormalItems();
    void MoveItem(int source, int destination);

    // Popup run.
    void RunPopup(int mode);
    void LocateCaret(POINT& p);
    void PopupPosFromCursor();
    // The hover's capture of the caret, the target window and the pointer.
    void TakeCaretCapture();
    void ActivateTarget();
    // Activates the target again when something took the front since.
    void KeepTargetInFront();
    // The entry's text as it is pasted; launch macros run for locked entries only.
    std::string ExpandMacros(const pikora::TextItem& entry);

    // Lookups of a text on the web; owner is the window the browser is
    // opened for (none from the tray).
    void OpenWebSearch(HWND owner, const std::string& text);
    void OpenDictionary(HWND owner, const std::string& text, const char* selector);
    // One of the four lookup commands on the clipboard's text. The tray's
    // English-Japanese lookup lowers the text first; the popup's passes it
    // on as it is.
    void LookUpClipboardText(UINT id, HWND owner, bool lowerEnglish);
    // The settings dialog, also run from the popup list's menu. The popup
    // passes itself as owner: it is topmost, and a dialog it does not own
    // could open behind it.
    void OnSettings(ui::Window* owner = nullptr);
    // (Re-)register a configurable hotkey from the settings; a failure is
    // reported to the user. False when the hotkey is not in effect.
    bool RegisterPopupHotkey();
    bool RegisterHistoryHotkey();

    // Members shared with the frame, the popup list and the dialogs.
    POINT m_ptPopup{0, 0};
    POINT m_ptCaret{0, 0};
    pikora::TextItemList m_items;
    std::wstring m_strProgramDir;
    pikora::AppSettings m_settings;
    std::string m_lastClipText;
    ui::UniqueHandleK m_hMutex;  // closed with the application object
    bool m_bPopupActive = false;
    bool m_bHistoryMode = true;
    bool m_bCaretCapturePending = false;
    bool m_bCopyPopupPending = false;
    HWND m_hwndTargetFocus = nullptr;
    HWND m_hwndNextViewer = nullptr;
    OSVERSIONINFOW m_osVersion{};
    POINT m_ptMouseRestore{0, 0};

  private:
    void RegisterStartupHotkeys();
    void PasteEntry(int index);
    void InterceptCtrlV();
    void OnAppAbout();
    void OnHelpReadme();
    void OnAddData();
    void OnAddQuote();
    void OnLookup(UINT id);
    // The history sound's file.
    std::wstring SoundPath() const;

    std::wstring m_strIniPath;
    // Pikora.dat in the folder that was current at start, and that folder;
    // fixed then, as the current folder may move.
    std::wstring m_strDataPath;
    std::unique_ptr<CMainFrame> m_frame;
    CSettingsDlg* m_pSettingsDlg = nullptr;  // while the settings dialog runs
    // Saving (and capturing) stays off until the data file was read or is known
    // to be absent, so that a file we could not read is never replaced.
    pikora::DataFileGuard m_dataFileGuard;
    DWORD m_ownClipboardSequence = 0;
    std::string m_ownClipboardText;
    std::unique_ptr<pikora::DataFileWriter> m_dataFileWriter;
    // The list's revision when it was last encoded for a save.
    unsigned long long m_savedRevision = 0;
    CCaretFinder m_caretFinder;
};

// The one application object.
CPopupApp& TheApp();
