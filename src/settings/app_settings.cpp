#include "settings/app_settings.h"

#include "text/cp932.h"

namespace pikora {

AppSettings DefaultSettings() {
    AppSettings s;
    s.ToClip = 0;
    s.NoKeyClear = 1;
    s.NormalDelete = 1;
    s.Sakiire = 1;
    s.StopRun = 1;
    s.RirekiWave = 1;
    s.UseItemMoveTop = 0;
    s.CopyPopup = 1;
    s.SelectID = 0;
    s.SelectSW = 1;
    s.WordBugSW = 0;
    s.PouupKey = 88;   // 'X'
    s.PouupMod = 1;    // MOD_ALT
    s.RirekiKey = 90;  // 'Z'
    s.RirekiMod = 1;
    s.CaretPosX = -20;
    s.CaretPosY = 20;
    s.DialogSizeX = 155;
    s.DialogSizeY = 225;
    s.SemitransparentWindow = 200;
    s.DicCgi = kDefaultDicCgi;
    s.InyouChar = ">";
    s.WaveName = "pu.wav";
    return s;
}

int GetProfileIntDefault(Profile& p, const std::string& section, const std::string& key, int def) {
    const int value = p.ReadInt(section, key, -1);
    if (value != -1) {
        return value;
    }
    p.WriteInt(section, key, def);
    return def;
}

std::string GetProfileStringDefault(Profile& p, const std::string& section, const std::string& key,
                                    const std::string& def) {
    std::string value = p.ReadString(section, key, std::string());
    if (!value.empty()) {
        return value;
    }
    p.WriteString(section, key, def);
    return def;
}

void LoadSettings(Profile& p, AppSettings& s) {
    const AppSettings d = DefaultSettings();
    const std::string sec = kSettingSection;
    auto readInt = [&](const char* key, int& field, int def) {
        field = GetProfileIntDefault(p, sec, key, def);
    };
    auto readString = [&](const char* key, std::string& field, const std::string& def) {
        field = GetProfileStringDefault(p, sec, key, def);
    };
    readInt("PouupKey", s.PouupKey, d.PouupKey);
    readInt("PouupMod", s.PouupMod, d.PouupMod);
    readInt("RirekiKey", s.RirekiKey, d.RirekiKey);
    readInt("RirekiMod", s.RirekiMod, d.RirekiMod);
    readInt("CaretPosX", s.CaretPosX, d.CaretPosX);
    readInt("CaretPosY", s.CaretPosY, d.CaretPosY);
    readInt("SelectID", s.SelectID, d.SelectID);
    readInt("SelectSW", s.SelectSW, d.SelectSW);
    readInt("DialogSizeX", s.DialogSizeX, d.DialogSizeX);
    readInt("DialogSizeY", s.DialogSizeY, d.DialogSizeY);
    readInt("ToClip", s.ToClip, d.ToClip);
    readInt("NoKeyClear", s.NoKeyClear, d.NoKeyClear);
    readInt("NormalDelete", s.NormalDelete, d.NormalDelete);
    readInt("Sakiire", s.Sakiire, d.Sakiire);
    readInt("StopRun", s.StopRun, d.StopRun);
    readInt("UseItemMoveTop", s.UseItemMoveTop, d.UseItemMoveTop);
    readInt("CopyPopup", s.CopyPopup, d.CopyPopup);
    readInt("RirekiWave", s.RirekiWave, d.RirekiWave);
    readInt("WordBugSW", s.WordBugSW, d.WordBugSW);
    readInt("SemitransparentWindow", s.SemitransparentWindow, d.SemitransparentWindow);
    readString("WaveName", s.WaveName, d.WaveName);
    readString("DicCgi", s.DicCgi, d.DicCgi);
    if (s.DicCgi == kFormerDefaultDicCgi) {
        s.DicCgi = d.DicCgi;
        p.WriteString(sec, "DicCgi", s.DicCgi);
    }
    readString("InyouChar", s.InyouChar, d.InyouChar);
}

void WriteDialogSettings(Profile& p, const AppSettings& s) {
    const std::string sec = kSettingSection;
    p.WriteInt(sec, "ToClip", s.ToClip);
    p.WriteInt(sec, "NoKeyClear", s.NoKeyClear);
    p.WriteInt(sec, "NormalDelete", s.NormalDelete);
    p.WriteInt(sec, "Sakiire", s.Sakiire);
    p.WriteInt(sec, "StopRun", s.StopRun);
    p.WriteInt(sec, "RirekiWave", s.RirekiWave);
    p.WriteInt(sec, "UseItemMoveTop", s.UseItemMoveTop);
    p.WriteInt(sec, "CopyPopup", s.CopyPopup);
    p.WriteInt(sec, "SelectSW", s.SelectSW);
    p.WriteInt(sec, "WordBugSW", s.WordBugSW);
    p.WriteInt(sec, "SemitransparentWindow", s.SemitransparentWindow);
    p.WriteString(sec, "InyouChar", s.InyouChar);
    p.WriteInt(sec, "CaretPosX", s.CaretPosX);
    p.WriteInt(sec, "CaretPosY", s.CaretPosY);
    p.WriteString(sec, "WaveName", s.WaveName);
    p.WriteInt(sec, "PouupKey", s.PouupKey);
    p.WriteInt(sec, "PouupMod", s.PouupMod);
    p.WriteInt(sec, "RirekiKey", s.RirekiKey);
    p.WriteInt(sec, "RirekiMod", s.RirekiMod);
}

void WritePopupSettings(Profile& p, const AppSettings& s) {
    const std::string sec = kSettingSection;
    p.WriteInt(sec, "DialogSizeX", s.DialogSizeX);
    p.WriteInt(sec, "DialogSizeY", s.DialogSizeY);
    p.WriteInt(sec, "SelectID", s.SelectID);
}

std::wstring ProgramDirForExe(const std::wstring& exePath) {
    const std::size_t last = exePath.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : exePath.substr(0, last + 1);
}

std::wstring IniPathForExe(const std::wstring& exePath) {
    return ProgramDirForExe(exePath) + kIniFileName;
}

std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name) {
    const bool full = (!name.empty() && (name[0] == L'\\' || name[0] == L'/')) ||
                      (name.size() >= 2 && name[1] == L':');
    return full ? name : folder + name;
}

}  // namespace pikora
