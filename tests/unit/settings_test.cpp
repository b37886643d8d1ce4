#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "settings/app_settings.h"

namespace pikora {
namespace {

// An INI file in memory that answers like the private-profile functions and
// records every write in order.
class FakeProfile : public Profile {
  public:
    using Key = std::pair<std::string, std::string>;
    struct Write {
        std::string section, key, value;
        bool operator==(const Write& o) const {
            return section == o.section && key == o.key && value == o.value;
        }
    };

    int ReadInt(const std::string& section, const std::string& key, int def) override {
        auto it = values.find({section, key});
        if (it == values.end() || it->second.empty()) {
            return def;
        }
        return static_cast<int>(std::strtol(it->second.c_str(), nullptr, 10));
    }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) override {
        auto it = values.find({section, key});
        return it == values.end() ? def : it->second;
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[{section, key}] = value;
        writes.push_back({section, key, value});
        return true;
    }

    std::string Get(const std::string& key) const { return values.at({"Setting", key}); }

    std::map<Key, std::string> values;
    std::vector<Write> writes;
};

std::vector<std::string> WrittenKeys(const FakeProfile& p) {
    std::vector<std::string> keys;
    for (const auto& w : p.writes) {
        keys.push_back(w.key);
    }
    return keys;
}

TEST(Settings, FirstRunWritesTheTwentyThreeDefaultsInLoadOrder) {
    FakeProfile profile;
    AppSettings s;
    LoadSettings(profile, s);

    const std::vector<FakeProfile::Write> expected = {
        {"Setting", "PouupKey", "88"},
        {"Setting", "PouupMod", "1"},
        {"Setting", "RirekiKey", "90"},
        {"Setting", "RirekiMod", "1"},
        {"Setting", "CaretPosX", "-20"},
        {"Setting", "CaretPosY", "20"},
        {"Setting", "SelectID", "0"},
        {"Setting", "SelectSW", "1"},
        {"Setting", "DialogSizeX", "155"},
        {"Setting", "DialogSizeY", "225"},
        {"Setting", "ToClip", "0"},
        {"Setting", "NoKeyClear", "1"},
        {"Setting", "NormalDelete", "1"},
        {"Setting", "Sakiire", "1"},
        {"Setting", "StopRun", "1"},
        {"Setting", "UseItemMoveTop", "0"},
        {"Setting", "CopyPopup", "1"},
        {"Setting", "RirekiWave", "1"},
        {"Setting", "WordBugSW", "0"},
        {"Setting", "SemitransparentWindow", "200"},
        {"Setting", "WaveName", "pu.wav"},
        {"Setting", "DicCgi", "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi"},
        {"Setting", "InyouChar", ">"},
    };
    EXPECT_EQ(profile.writes, expected);

    EXPECT_EQ(s.ToClip, 0);
    EXPECT_EQ(s.NoKeyClear, 1);
    EXPECT_EQ(s.NormalDelete, 1);
    EXPECT_EQ(s.Sakiire, 1);
    EXPECT_EQ(s.StopRun, 1);
    EXPECT_EQ(s.RirekiWave, 1);
    EXPECT_EQ(s.UseItemMoveTop, 0);
    EXPECT_EQ(s.CopyPopup, 1);
    EXPECT_EQ(s.SelectID, 0);
    EXPECT_EQ(s.SelectSW, 1);
    EXPECT_EQ(s.WordBugSW, 0);
    EXPECT_EQ(s.PouupKey, 'X');
    EXPECT_EQ(s.PouupMod, 1);
    EXPECT_EQ(s.RirekiKey, 'Z');
    EXPECT_EQ(s.RirekiMod, 1);
    EXPECT_EQ(s.CaretPosX, -20);
    EXPECT_EQ(s.CaretPosY, 20);
    EXPECT_EQ(s.DialogSizeX, 155);
    EXPECT_EQ(s.DialogSizeY, 225);
    EXPECT_EQ(s.SemitransparentWindow, 200);
    EXPECT_EQ(s.DicCgi, "http://dictionary.goo.ne.jp/cgi-bin/dict_search.cgi");
    EXPECT_EQ(s.InyouChar, ">");
    EXPECT_EQ(s.WaveName, "pu.wav");

    // The next start finds every key and writes nothing.
    FakeProfile again = profile;
    again.writes.clear();
    AppSettings second;
    LoadSettings(again, second);
    EXPECT_TRUE(again.writes.empty());
    EXPECT_EQ(second.CaretPosX, -20);
    EXPECT_EQ(second.DicCgi, s.DicCgi);
}

TEST(Settings, MinusOneAndEmptyCountAsMissingAndAreRepaired) {
    FakeProfile profile;
    AppSettings first;
    LoadSettings(profile, first);
    profile.writes.clear();

    profile.values[{"Setting", "CaretPosX"}] = "-1";
    profile.values[{"Setting", "CaretPosY"}] = "-2";
    profile.values[{"Setting", "StopRun"}] = "0";
    profile.values[{"Setting", "PouupKey"}] = "";  // empty reads as missing too
    profile.values[{"Setting", "InyouChar"}] = "";
    profile.values[{"Setting", "WaveName"}] = "C:\\音\\ding.wav";
    // The dictionary address earlier versions wrote, on a host nobody here
    // controls: replaced, while an address of the user's own stays.
    profile.values[{"Setting", "DicCgi"}] = "http://dictionary.pikora.jp/cgi-bin/dict_search.cgi";

    AppSettings s;
    LoadSettings(profile, s);
    EXPECT_EQ(s.CaretPosX, -20);
    EXPECT_EQ(s.CaretPosY, -2);
    EXPECT_EQ(s.StopRun, 0);
    EXPECT_EQ(s.PouupKey, 88);
    EXPECT_EQ(s.InyouChar, ">");
    EXPECT_EQ(s.WaveName, "C:\\音\\ding.wav");
    EXPECT_EQ(s.DicCgi, kDefaultDicCgi);
    EXPECT_EQ(WrittenKeys(profile),
              (std::vector<std::string>{"PouupKey", "CaretPosX", "DicCgi", "InyouChar"}));
    EXPECT_EQ(profile.Get("DicCgi"), kDefaultDicCgi);
    profile.values[{"Setting", "DicCgi"}] = "http://dic.example/cgi-bin/dict_search.cgi";
    LoadSettings(profile, s);
    EXPECT_EQ(s.DicCgi, "http://dic.example/cgi-bin/dict_search.cgi");
    EXPECT_EQ(profile.Get("CaretPosX"), "-20");
    EXPECT_EQ(profile.Get("CaretPosY"), "-2");
    EXPECT_EQ(profile.Get("InyouChar"), ">");
}

TEST(Settings, ReadingRulesWriteTheDefaultBackOnlyWhenMissing) {
    FakeProfile profile;
    EXPECT_EQ(GetProfileIntDefault(profile, "S", "k", 7), 7);
    EXPECT_EQ(profile.values.at({"S", "k"}), "7");
    profile.values[{"S", "k"}] = "-1";
    EXPECT_EQ(GetProfileIntDefault(profile, "S", "k", 8), 8);
    EXPECT_EQ(profile.values.at({"S", "k"}), "8");
    profile.values[{"S", "k"}] = "-2";
    profile.writes.clear();
    EXPECT_EQ(GetProfileIntDefault(profile, "S", "k", 9), -2);
    EXPECT_EQ(GetProfileIntDefault(profile, "S", "zero", 0), 0);
    EXPECT_EQ(WrittenKeys(profile), (std::vector<std::string>{"zero"}));

    profile.writes.clear();
    EXPECT_EQ(GetProfileStringDefault(profile, "S", "s", "def"), "def");
    EXPECT_EQ(profile.values.at({"S", "s"}), "def");
    profile.values[{"S", "s"}] = " ";
    EXPECT_EQ(GetProfileStringDefault(profile, "S", "s", "def"), " ");
    EXPECT_EQ(WrittenKeys(profile), (std::vector<std::string>{"s"}));
}

TEST(Settings, DialogAndPopupWriteTheirKeysInOrder) {
    AppSettings s = DefaultSettings();
    s.CaretPosX = 12;
    s.InyouChar = "| ";
    s.WaveName = "b.wav";
    s.PouupKey = 'Q';
    s.PouupMod = 6;

    FakeProfile dialog;
    WriteDialogSettings(dialog, s);
    EXPECT_EQ(WrittenKeys(dialog),
              (std::vector<std::string>{"ToClip", "NoKeyClear", "NormalDelete", "Sakiire",
                                        "StopRun", "RirekiWave", "UseItemMoveTop", "CopyPopup",
                                        "SelectSW", "WordBugSW", "SemitransparentWindow",
                                        "InyouChar", "CaretPosX", "CaretPosY", "WaveName",
                                        "PouupKey", "PouupMod", "RirekiKey", "RirekiMod"}));
    EXPECT_EQ(dialog.Get("CaretPosX"), "12");
    EXPECT_EQ(dialog.Get("InyouChar"), "| ");
    EXPECT_EQ(dialog.Get("WaveName"), "b.wav");
    EXPECT_EQ(dialog.Get("PouupKey"), "81");
    EXPECT_EQ(dialog.Get("PouupMod"), "6");
    for (const auto& w : dialog.writes) {
        EXPECT_EQ(w.section, "Setting");
    }

    s.DialogSizeX = 300;
    s.SelectID = 4;
    FakeProfile popup;
    WritePopupSettings(popup, s);
    EXPECT_EQ(popup.writes, (std::vector<FakeProfile::Write>{{"Setting", "DialogSizeX", "300"},
                                                             {"Setting", "DialogSizeY", "225"},
                                                             {"Setting", "SelectID", "4"}}));
}

TEST(Settings, IniFileLivesNextToTheExecutable) {
    EXPECT_EQ(IniPathForExe(L"C:\\Program Files\\Pikora\\Pikora.exe"),
              L"C:\\Program Files\\Pikora\\Pikora.ini");
    EXPECT_EQ(ProgramDirForExe(L"C:\\Pikora.exe"), L"C:\\");
    EXPECT_EQ(ProgramDirForExe(L"Pikora.exe"), L"");
    EXPECT_EQ(IniPathForExe(L"Pikora.exe"), L"Pikora.ini");
    // Names code page 932 cannot spell (Hangul, an emoji) are paths like any other.
    EXPECT_EQ(IniPathForExe(L"D:\\표\\ソ\U0001F600.exe"), L"D:\\표\\Pikora.ini");

    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"pu.wav"), L"C:\\表\\pu.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"sub\\pu.wav"), L"C:\\表\\sub\\pu.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"D:\\a.wav"), L"D:\\a.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"\\\\server\\a.wav"), L"\\\\server\\a.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"\\a.wav"), L"\\a.wav");
}

}  // namespace
}  // namespace pikora
