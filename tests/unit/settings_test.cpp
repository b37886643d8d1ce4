#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/app_settings.h"
#include "settings/ini_text.h"

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
    EXPECT_EQ(IniPathForExe(L"D:\\\uD45C\\ソ\U0001F600.exe"), L"D:\\\uD45C\\Pikora.ini");

    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"pu.wav"), L"C:\\表\\pu.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"sub\\pu.wav"), L"C:\\表\\sub\\pu.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"D:\\a.wav"), L"D:\\a.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"\\\\server\\a.wav"), L"\\\\server\\a.wav");
    EXPECT_EQ(PathInFolder(L"C:\\表\\", L"\\a.wav"), L"\\a.wav");
}

// The expectations are what Wine's GetPrivateProfileStringA answers for the
// same files, with a Japanese code page.
TEST(IniText, ReadsAValueTheWayTheProfileFunctionsDo) {
    const std::optional<std::string> none;
    const std::string crlf = "[S]\r\nk=v\r\n";
    const struct {
        std::string file, section, key;
        std::optional<std::string> value;
    } cases[] = {
        {"", "S", "k", none},
        {crlf, "S", "k", "v"},
        {crlf, " s ", " K ", "v"},
        {"[S]\nk=v", "S", "k", "v"},              // LF, no final line end
        {"[S]\rj=w\rk=v\r", "S", "k", "v"},       // CR alone
        {"k=v\r\n", "S", "k", none},              // before any section
        {"k=v\r\n[S]\r\nk=w\r\n", "", "k", "v"},  // ... is the section ""
        {"[S]\r\n\t k k \t= \tv v \f\r\n", "S", "k k", "v v"},
        {"[S]\r\nk= \" v \" \r\n", "S", "k", " v "},
        {"[S]\r\nk='v'\r\n", "S", "k", "v"},
        {"[S]\r\nk=\"\"\r\n", "S", "k", ""},
        {"[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
        {"[S]\r\nk=\"\r\n", "S", "k", "\""},
        {"[S]\r\nk=a=b\x1f\r\n", "S", "k", "a=b\x1f"},
        {std::string("[S]\r\nk=a\0b\r\n", 12), "S", "k", "a"},
        {"[S]\r\nk=\r\n", "S", "k", ""},
        {"[S]\r\nk\r\n", "S", "k", none},     // no '=': no value
        {"[S]\r\n;k=v\r\n", "S", ";k", "v"},  // no comments
        {"[S]\r\nk=1\r\nk=2\r\n[S]\r\nj=3\r\n", "S", "k", "1"},
        {"[S]\r\nk=1\r\nk=2\r\n[S]\r\nj=3\r\n", "S", "j", none},
        {"  [ S ] junk\r\nk=v\r\n", "S", "k", "v"},
        {"[S]x]\r\nk=v\r\n", "S]x", "k", "v"},
        {"[A]\r\n[S\r\nk=v\r\n", "A", "k", "v"},  // no ']': a key line
        {"[ソ]\r\n表=ソ\r\n", "ソ", "表", "ソ"},  // trail bytes ']' and '\'
        {"[S]\r\nア=v\r\n", "S", "ャ", none},     // trail bytes 'A' and 'a'
        {"[S]\r\nk=\xA0\x80\xFF\x83\r\n", "S", "k", "\xA0\x80\xFF\x83"},
        {"\xEF\xBB\xBF[S]\r\nk=\xE3\x81\x82\r\n", "S", "k", "\xE3\x81\x82"},
        {"[S]\r\n" + std::string(5000, 'y') + "=\r\nk=" + std::string(70000, 'x'), "S", "k",
         std::string(70000, 'x')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniValue(c.file, c.section, c.key), c.value) << c.file.substr(0, 40);
    }
}

TEST(IniText, WritesKeepEveryOtherByte) {
    const struct {
        std::string file, section, key, value, after;
    } cases[] = {
        {"", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"[S]\r\nk=v\r\n", "S", "k", "new", "[S]\r\nk=new\r\n"},
        {"[S]\r\nk=v\r\n", "S", "j", " w ", "[S]\r\nk=v\r\nj=w \r\n"},
        {"[S]\r\nk=v\r\n", "T", "j", "w", "[S]\r\nk=v\r\n[T]\r\nj=w\r\n"},
        {"[S]\r\nk=v", "T", "j", "w", "[S]\r\nk=v\r\n[T]\r\nj=w\r\n"},
        {"[S]\r\nk=v", "S", "j", "w", "[S]\r\nk=v\r\nj=w\r\n"},
        {"[S]\r\nk=v", "S", "k", "w", "[S]\r\nk=w"},
        {"[S]\nk=v\n\n[T]\n", "S", "j", "w", "[S]\nk=v\nj=w\r\n\n[T]\n"},
        {"; c\r\n[s]\r\n  K = \"v\" \r\nk=2\r\n", "S", "k", "w", "; c\r\n[s]\r\n  K =w\r\nk=2\r\n"},
        {"[S]\r\n k = v \r\n", "S", "k", "\tv", "[S]\r\n k = v \r\n"},  // same value
        {"[S]\r\n k \r\nj=1\r\n", "S", "k", "2", "[S]\r\n k=2\r\nj=1\r\n"},
        {"[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", "k", "3", "[S]\r\na=1\r\nk=3\r\n[S]\r\nb=2\r\n"},
        {"[S]\r\nk=v\r\n", "", "k", "2", "k=2\r\n[S]\r\nk=v\r\n"},
        {"[S]\r\nk=v\r\n\r\n", "ソ", "表", "ソ", "[S]\r\nk=v\r\n\r\n[ソ]\r\n表=ソ\r\n"},
        {"[ソ]\r\nk=v\r\n", "ソ", "表", "x", "[ソ]\r\nk=v\r\n表=x\r\n"},
        {"\xEF\xBB\xBF", "S", "k", "v", "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IniWithValue(c.file, c.section, c.key, c.value), c.after) << c.file;
    }
}

TEST(IniText, IntegersWrapAt32BitsAndTakeOnlyASmallX) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {0,
         {"abc", "-", "--5", "- 5", "+-3", "0X1f", "0x", "0xg", "00x10", "4294967296", "\x82\x4F"}},
        {12, {"12", "12a", "12 34", "+0012"}},
        {3, {"3.9"}},
        {-20, {"-20"}},
        {16, {"0x10", "+0x0010"}},
        {-16, {"-0x10"}},
        {2748, {"0xAbC"}},
        {-1, {"4294967295", "0x1FFFFFFFF"}},
        {INT_MIN, {"2147483648"}},
        {INT_MAX, {"-2147483649"}},
        {1661992959, {"99999999999999999999"}},
        {1, {"-0xffffffff"}},
    };
    for (const auto& [value, texts] : cases) {
        for (const std::string& text : texts) {
            EXPECT_EQ(IniIntValue(text, 777), value) << text;
        }
    }
    EXPECT_EQ(IniIntValue("", 777), 777);
}

}  // namespace
}  // namespace pikora
