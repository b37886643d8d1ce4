// The application object's settings, data file and history capture: thin
// Win32 glue around the portable store.
#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <utility>

#include "app/popup_app.h"
#include "macro/macro_template.h"
#include "settings/ini_profile_win32.h"
#include "store/data_file_win32.h"
#include "store/file_error.h"
#include "store/history_capture.h"
#include "store/list_ops.h"
#include "ui/app.h"
#include "ui/wide_text.h"

namespace {

// The exe's own path, however long: a folder deep under the user's profile
// can pass MAX_PATH, and GetModuleFileNameW then cuts rather than fails.
std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return std::wstring();
        }
        if (n < path.size() || path.size() >= 32768) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

void CPopupApp::LoadSettings() {
    const std::wstring path = ModulePath();
    m_strProgramDir = pikora::ProgramDirForExe(path);
    m_strIniPath = pikora::IniPathForExe(path);
    pikora::IniProfile profile(m_strIniPath);
    pikora::LoadSettings(profile, m_settings);
    pikora::SeedMacroTemplates(profile);
}

int CPopupApp::GetProfileIntDefault(const std::string& section, const std::string& key, int def) {
    pikora::IniProfile profile(m_strIniPath);
    return pikora::GetProfileIntDefault(profile, section, key, def);
}

std::string CPopupApp::GetProfileStringDefault(const std::string& section, const std::string& key,
                                               const std::string& def) {
    pikora::IniProfile profile(m_strIniPath);
    return pikora::GetProfileStringDefault(profile, section, key, def);
}

void CPopupApp::WriteProfileInt(const std::string& section, const std::string& key, int value) {
    pikora::IniProfile profile(m_strIniPath);
    profile.WriteInt(section, key, value);
}

void CPopupApp::SetHotkeys(int popupKey, int popupMod, int historyKey, int historyMod) {
    m_settings.PouupKey = popupKey;
    m_settings.PouupMod = popupMod;
    m_settings.RirekiKey = historyKey;
    m_settings.RirekiMod = historyMod;
}

void CPopupApp::GetHotkeys(int& popupKey, int& popupMod, int& historyKey, int& historyMod) const {
    popupKey = m_settings.PouupKey;
    popupMod = m_settings.PouupMod;
    historyKey = m_settings.RirekiKey;
    historyMod = m_settings.RirekiMod;
}

void CPopupApp::LoadDataFile() {
    const pikora::LoadResult result = pikora::LoadDataFileFrom(m_strDataPath, m_items);
    m_savedRevision = m_items.Revision();
    m_dataFileGuard.OnLoad(result.status);
    if (result.status == pikora::LoadStatus::Loaded && result.decode.damaged) {
        // The next save would write only what could be read: keep the damaged
        // file for the user before that happens.
        const std::string kept = std::string(pikora::kDataFileName) + ".damaged";
        ::CopyFileW(m_strDataPath.c_str(), (m_strDataPath + L".damaged").c_str(), FALSE);
        ui::AppMessageBox(std::string(pikora::kDataFileName) + " が壊れていました。読み込めた " +
                              std::to_string(result.decode.read) +
                              " 件の項目だけを使います。\n元のファイルは " + kept +
                              " として残しました。",
                          MB_OK | MB_ICONEXCLAMATION);
    }
    if (m_dataFileGuard.TakeUnreadableNotice()) {
        ui::AppMessageBox(std::string(pikora::kDataFileName) +
                              " を読み込めませんでした（他のプログラムが使用中か、"
                              "アクセス権がありません）。\n"
                              "リストは空で始まります。このファイルは上書きしません。",
                          MB_OK | MB_ICONEXCLAMATION);
    }
}

void CPopupApp::SaveDataFile() {
    if (!m_dataFileWriter) {
        SaveDataFileNow();
        return;
    }
    if (!m_dataFileGuard.SaveAllowed()) {
        return;
    }
    m_savedRevision = m_items.Revision();
    std::optional<std::string> bytes = pikora::EncodeForSave(m_items, m_settings.NoKeyClear != 0);
    if (!bytes) {
        OnDataFileWritten(false, ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    m_dataFileWriter->Write(std::move(*bytes));
}

void CPopupApp::SaveDataFileNow() {
    // Queued content is older than the list: let it land first, so that it
    // cannot replace what is written here.
    if (m_dataFileWriter) {
        m_dataFileWriter->Drain();
    }
    if (!m_dataFileGuard.SaveAllowed()) {
        return;
    }
    m_savedRevision = m_items.Revision();
    const pikora::SaveOutcome outcome =
        pikora::SaveDataFileTo(m_strDataPath, m_items, m_settings.NoKeyClear != 0);
    OnDataFileWritten(outcome.ok, outcome.win32Error);
}

void CPopupApp::SaveIfListChanged() {
    if (m_items.Revision() != m_savedRevision) {
        SaveDataFile();
    }
}

void CPopupApp::OnDataFileWritten(bool saved, unsigned long win32Error) {
    // The list in memory stays as it is, and the next save point tries again.
    if (m_dataFileGuard.TakeSaveFailureNotice(saved)) {
        const pikora::FileErrorCause cause = pikora::FileErrorCauseFromWin32(win32Error);
        const std::string pattern = ui::LoadResString(pikora::FileErrorStringId(cause));
        ui::AppMessageBox(pikora::FormatFileError(pattern, pikora::kDataFileName),
                          MB_OK | MB_ICONSTOP);
    }
}

pikora::CaptureGate CPopupApp::CaptureGateNow() const {
    return pikora::CaptureGate{m_dataFileGuard.LoadRan(), m_bPopupActive, m_bHistoryMode};
}

void CPopupApp::CaptureHistoryText(std::string text, const pikora::CaptureGate& gate) {
    if (!pikora::ShouldCapture(gate, text, m_lastClipText)) {
        return;
    }
    if (m_settings.RirekiWave != 0) {
        ::PlaySoundW(SoundPath().c_str(), nullptr, SND_FILENAME | SND_ASYNC);
    }
    m_items.AddHead(pikora::MakeHistoryItem(text));
    m_lastClipText = text;
    SaveDataFile();
    if (m_settings.CopyPopup != 0) {
        m_bCopyPopupPending = true;
    }
}

std::wstring CPopupApp::SoundPath() const {
    // A bare name such as the default "pu.wav" means the file beside the list,
    // wherever the current folder has moved since; one that is not there is
    // left to PlaySound's own search (the Windows folder's sounds).
    const std::wstring name = ui::Wide(m_settings.WaveName);
    const std::wstring beside = pikora::PathInFolder(pikora::ProgramDirForExe(m_strDataPath), name);
    return ::GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES ? beside : name;
}

void CPopupApp::NoteOwnClipboardText(const std::string& text) {
    m_ownClipboardSequence = ::GetClipboardSequenceNumber();
    m_ownClipboardText = text;
}

std::optional<std::string> CPopupApp::OwnClipboardText() const {
    if (m_ownClipboardSequence == 0 || ::GetClipboardSequenceNumber() != m_ownClipboardSequence) {
        return std::nullopt;
    }
    return m_ownClipboardText;
}

std::string CPopupApp::TakeOldestNormalText() {
    return pikora::TakeOldestNormalText(m_items);
}

void CPopupApp::ClearNormalItems() {
    pikora::ClearNormalItems(m_items);
}

void CPopupApp::MoveItem(int source, int destination) {
    pikora::MoveItem(m_items, source, destination);
}
