// The settings record and how it is read from and written to Pikora.ini.
#pragma once

#include <string>

#include "settings/profile.h"

namespace pikora {

// Field names are the INI key names, in the record's order.
struct AppSettings {
    int ToClip = 0, NoKeyClear = 0, NormalDelete = 0, Sakiire = 0, StopRun = 0, RirekiWave = 0,
        UseItemMoveTop = 0, CopyPopup = 0, SelectID = 0, SelectSW = 0, WordBugSW = 0, PouupKey = 0,
        PouupMod = 0, RirekiKey = 0, RirekiMod = 0, CaretPosX = 0, CaretPosY = 0, DialogSizeX = 0,
        DialogSizeY = 0, SemitransparentWindow = 0;
    std::string DicCgi, InyouChar, WaveName;
};

constexpr const char* kSettingSection = "Setting";
constexpr const wchar_t* kIniFileName = L"Pikora.ini";
// Every dictionary lookup sends the clipboard's text to this host, so it must
// be one that no stranger can take over: the dictionary of the service the web
// search uses, whose search program takes the same query keys.
constexpr const char* kDefaultDicCgi = "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi";
// What earlier versions wrote as the default, on a host outside our control;
// a file that still holds it gets the default above.
constexpr const char* kFormerDefaultDicCgi = "http://dictionary.pikora.jp/cgi-bin/dict_search.cgi";

// Every field at the value a first run gives it.
AppSettings DefaultSettings();

// The key's value; a missing key or one holding -1 gets def, which is then
// written to the file at once. Any other value, -2 included, is used as is.
int GetProfileIntDefault(Profile& p, const std::string& section, const std::string& key, int def);

// The key's text; missing or empty gets def, which is then written at once.
std::string GetProfileStringDefault(Profile& p, const std::string& section, const std::string& key,
                                    const std::string& def);

// Reads the 23 keys of the "Setting" section in their fixed order, so that a
// first run writes them to the file in that order.
void LoadSettings(Profile& p, AppSettings& s);

// The keys the settings dialog writes on OK, in its order.
void WriteDialogSettings(Profile& p, const AppSettings& s);

// The keys the popup run writes after each use of the popup list.
void WritePopupSettings(Profile& p, const AppSettings& s);

// Paths are UTF-16, as Windows gives them: a folder name that code page 932
// cannot spell must work too.

// Up to and including the last backslash of the executable's path (empty
// when there is none).
std::wstring ProgramDirForExe(const std::wstring& exePath);

// ProgramDirForExe(exePath) + "Pikora.ini".
std::wstring IniPathForExe(const std::wstring& exePath);

// A file name as seen from folder (a ProgramDirForExe result): a relative name
// is put under it; a full one (C:\x, \\server\x, \x) is kept.
std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name);

}  // namespace pikora
