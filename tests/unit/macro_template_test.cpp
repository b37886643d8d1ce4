#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "macro/expand_macros.h"
#include "macro/macro_template.h"
#include "macro_testing.h"

namespace {

using pikora::DefaultMacroTemplateValues;
using pikora::LoadMacroTemplates;
using pikora::MacroTemplateKey;
using pikora::ParseMacroTemplate;
using pikora::SeedMacroTemplates;

// An INI file in memory that records every write.
class FakeProfile : public pikora::Profile {
  public:
    int ReadInt(const std::string& section, const std::string& key, int def) override {
        const auto it = values_.find({section, key});
        return it == values_.end() || it->second.empty() ? def : std::stoi(it->second);
    }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) override {
        const auto it = values_.find({section, key});
        return it == values_.end() ? def : it->second;
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override {
        writes.push_back({section + "/" + key, value});
        values_[{section, key}] = value;
        return true;
    }
    void Set(int slot, const std::string& value) {
        values_[{"Macro", MacroTemplateKey(slot)}] = value;
    }

    std::vector<std::pair<std::string, std::string>> writes;

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

class NoLauncher : public pikora::Launcher {
  public:
    void OpenDocument(const std::string& target) override { opened.push_back(target); }
    void StartProgram(const std::string& commandLine) override { started.push_back(commandLine); }
    std::vector<std::string> opened;
    std::vector<std::string> started;
};

const std::vector<std::string> kStoredDefaults = {
    "西暦4桁@<pikoraMACRO>$Y/$M/$D</pikoraMACRO>",
    "和暦@<pikoraMACRO>平成$WH年$M月$D日</pikoraMACRO>",
    "曜日@<pikoraMACRO>$d曜日</pikoraMACRO>",
    "曜日(英語)@<pikoraMACRO>$ddd</pikoraMACRO>",
    "時間(23:59:59)@<pikoraMACRO>$H:$m:$s</pikoraMACRO>",
    "時間(PM 11:59:59)@<pikoraMACRO>$AMPM $h:$m:$s</pikoraMACRO>",
    "時間(午後 11時 59分)@<pikoraMACRO>$ampm $h時 $m分</pikoraMACRO>",
    "シェル実行@<pikoraMACRO>$SHELL<実行ファイル名>$SHELL</pikoraMACRO>",
    "関連付け実行@<pikoraMACRO>$RELATE<ファイル名>$RELATE </pikoraMACRO>",
};

TEST(MacroTemplate, KeysAreNumberedWithTwoDigits) {
    EXPECT_EQ(MacroTemplateKey(1), "MacroTemplate_01");
    EXPECT_EQ(MacroTemplateKey(10), "MacroTemplate_10");
    EXPECT_EQ(MacroTemplateKey(99), "MacroTemplate_99");
    EXPECT_STREQ(pikora::kMacroSection, "Macro");
}

TEST(MacroTemplate, ValueSplitsAtTheFirstAtSign) {
    auto t = ParseMacroTemplate("label@body");
    EXPECT_EQ(t.label, "label");
    EXPECT_EQ(t.body, "body");
    t = ParseMacroTemplate("<pikoraMACRO>$Y</pikoraMACRO>");
    EXPECT_EQ(t.label, "");
    EXPECT_EQ(t.body, "<pikoraMACRO>$Y</pikoraMACRO>");
    t = ParseMacroTemplate("mail@user@example.com");
    EXPECT_EQ(t.label, "mail");
    EXPECT_EQ(t.body, "user@example.com");
    t = ParseMacroTemplate("@only body");
    EXPECT_EQ(t.label, "");
    EXPECT_EQ(t.body, "only body");
    t = ParseMacroTemplate("only label@");
    EXPECT_EQ(t.label, "only label");
    EXPECT_EQ(t.body, "");
    // ァ is 0x83 0x40: its second byte is no '@'.
    ASSERT_EQ(std::string("ァ"), "\x83\x40");
    t = ParseMacroTemplate("ファイル@body@");
    EXPECT_EQ(t.label, "ファイル");
    EXPECT_EQ(t.body, "body@");
    t = ParseMacroTemplate("ファイル");
    EXPECT_EQ(t.label, "");
    EXPECT_EQ(t.body, "ファイル");
}

TEST(MacroTemplate, DefaultsPasteAsDocumented) {
    const pikora::LocalTime t = macro_testing::ExampleInstant();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"西暦4桁", "2001/03/06"},
        {"和暦", "平成13年03月06日"},
        {"曜日", "火曜日"},
        {"曜日(英語)", "TuesDay"},
        {"時間(23:59:59)", "14:05:09"},
        {"時間(PM 11:59:59)", "PM 02:05:09"},
        {"時間(午後 11時 59分)", "午後 02時 05分"},
        {"シェル実行", ""},
        {"関連付け実行", " "},
    };
    NoLauncher launcher;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto parsed = ParseMacroTemplate(DefaultMacroTemplateValues()[i]);
        EXPECT_EQ(parsed.label, expected[i].first);
        EXPECT_EQ(pikora::ExpandMacros(parsed.body, t, launcher), expected[i].second)
            << parsed.label;
    }
    EXPECT_EQ(launcher.started, std::vector<std::string>{"実行ファイル名"});
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"ファイル名"});
}

TEST(MacroTemplate, SeedingWritesMissingDefaultsOnly) {
    FakeProfile fresh;
    SeedMacroTemplates(fresh);
    ASSERT_EQ(fresh.writes.size(), 9u);
    for (int slot = 1; slot <= 9; ++slot) {
        EXPECT_EQ(fresh.writes[slot - 1].first, "Macro/" + MacroTemplateKey(slot));
        EXPECT_EQ(fresh.writes[slot - 1].second, kStoredDefaults[slot - 1]);
    }
    // Code page 932 bytes, with single-byte digits, brackets and colons.
    EXPECT_EQ(fresh.writes[0].second.substr(0, 8),
              "\x90\xbc\x97\xef"
              "4\x8c\x85@");
    EXPECT_EQ(fresh.writes[4].second.substr(0, 15), "\x8e\x9e\x8a\xd4(23:59:59)@");
    const auto offered = LoadMacroTemplates(fresh);
    ASSERT_EQ(offered.size(), 9u);
    EXPECT_EQ(offered[0].label, "西暦4桁");
    EXPECT_EQ(offered[8].body, "<pikoraMACRO>$RELATE<ファイル名>$RELATE </pikoraMACRO>");

    // A second start changes nothing, and a user's own text stays.
    fresh.writes.clear();
    fresh.Set(2, "mine@<pikoraMACRO>$H</pikoraMACRO>");
    SeedMacroTemplates(fresh);
    EXPECT_TRUE(fresh.writes.empty());
    EXPECT_EQ(LoadMacroTemplates(fresh)[1].label, "mine");

    // A user empties slot 3: the list stops before it until the next start
    // writes its default again.
    fresh.Set(3, "");
    EXPECT_EQ(LoadMacroTemplates(fresh).size(), 2u);
    SeedMacroTemplates(fresh);
    ASSERT_EQ(fresh.writes.size(), 1u);
    EXPECT_EQ(fresh.writes[0].first, "Macro/MacroTemplate_03");
    EXPECT_EQ(fresh.writes[0].second, kStoredDefaults[2]);
    EXPECT_EQ(LoadMacroTemplates(fresh).size(), 9u);
}

TEST(MacroTemplate, SlotsAfterAGapAreNeverOffered) {
    FakeProfile profile;
    SeedMacroTemplates(profile);
    profile.Set(11, "eleven@11");
    profile.writes.clear();
    SeedMacroTemplates(profile);
    EXPECT_TRUE(profile.writes.empty());
    EXPECT_EQ(LoadMacroTemplates(profile).size(), 9u);

    // A tenth template closes the gap.
    profile.Set(10, "ten@10");
    const auto offered = LoadMacroTemplates(profile);
    ASSERT_EQ(offered.size(), 11u);
    EXPECT_EQ(offered[9].label, "ten");
    EXPECT_EQ(offered[10].body, "11");

    // At most 99 slots are read.
    for (int slot = 1; slot <= 100; ++slot) {
        profile.Set(slot, "t" + std::to_string(slot) + "@");
    }
    EXPECT_EQ(LoadMacroTemplates(profile).size(), 99u);
    profile.writes.clear();
    SeedMacroTemplates(profile);
    EXPECT_TRUE(profile.writes.empty());
}

}  // namespace
