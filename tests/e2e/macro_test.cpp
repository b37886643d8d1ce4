// Macros as the user meets them: an entry chosen in the popup over Wine's
// notepad has its date keywords and program launches expanded on the way to
// the paste, and the ready-made templates in Pikora.ini are put back at every
// start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/ini_file.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support_popup.h"

namespace {

using namespace e2e;

// The paste waits this long for the application to read the clipboard before
// it restores the previous text; a little more lets the popup run finish.
constexpr DWORD kPasteSettleMs = 700;

// A program macro may hold the paste until the started program is idle, for
// at most 10 s.
constexpr DWORD kLaunchedPasteTimeoutMs = 15000;

// The popup menu's "ロックする(&L)".
constexpr UINT kIdItemLock = 32778;

std::string Format(const char* format, int a, int b, int c, int d = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

// "$Y/$M/$D $H" as it should expand at `t`.
std::string DateAndHour(const SYSTEMTIME& t) {
    return Format("%04d/%02d/%02d %02d", t.wYear, t.wMonth, t.wDay, t.wHour);
}

// "$Y-$M-$D" as it should expand at `t`.
std::string DashedDate(const SYSTEMTIME& t) {
    return Format("%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
}

SYSTEMTIME Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return t;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += "  " + Utf8(line) + "\n";
    }
    return out.empty() ? "  (none)\n" : out;
}

// --- Program macros ------------------------------------------------------------

// One start of the probe program, as it logged it.
struct ProbeStart {
    std::string commandLine;
    std::string args;        // its arguments after the log path, joined by blanks
    std::string atStart;     // notepad's text when it started
    std::string beforeIdle;  // notepad's text just before it became idle for input
};

std::string ProbeExe() {
    return ThisExeDir() + "\\macro_probe.exe";
}

// Outside Pikora's folder, which the fixture makes afresh.
std::string ProbeLogPath() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + CurrentTestName() + ".probe.log";
}

std::vector<std::string> ProbeLogLines(const std::string& log) {
    return SplitLines(ReadFileBytes(log).value_or(""));
}

class PikoraMacro : public PikoraWithNotepad {};

TEST_F(PikoraMacro, ADateBlockChosenInThePopupTypesTodaysDateAndHourAndTheEntryKeepsItsMacro) {
    const DatEntry entry = Locked("stamp", "<pikoraMACRO>$Y/$M/$D $H</pikoraMACRO>");
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {entry}));

    ASSERT_NE(OpenPopupWithAltX(), nullptr) << "no popup after Alt+X; Pikora's windows:\n"
                                            << DescribeWindowsOf(pikora_.Pid());
    const SYSTEMTIME before = Now();
    PressKey(VK_RETURN);
    // Either side of an hour boundary the paste may carry the earlier or the
    // later hour (or day).
    const std::string early = "ab" + DateAndHour(before);
    std::string late;
    const bool arrived = WaitUntil(
        [&] {
            late = "ab" + DateAndHour(Now());
            const std::string text = notepad_->Text();
            return text == early || text == late;
        },
        3000);
    EXPECT_TRUE(arrived) << "notepad holds '" << Utf8(notepad_->Text()) << "', expected '" << early
                         << "'" << (late != early ? " or '" + late + "'" : "");

    // Only the paste is expanded: the stored entry keeps its macro.
    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({entry}));
}

TEST_F(PikoraMacro, AProgramMacroStartsItsProgramOnceWithExpandedArgumentsBeforeThePaste) {
    const std::string probe = ProbeExe();
    ASSERT_TRUE(FileSize(probe).has_value()) << probe << " is missing";
    const std::string log = ProbeLogPath();
    DeleteFileA(log.c_str());
    // The keywords inside the command line are replaced before the launch.
    const DatEntry entry = Locked("probe", "A<pikoraMACRO>$SHELL<\"" + probe + "\" \"" + log +
                                               "\" $Y-$M-$D>$SHELL</pikoraMACRO>B");
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(SettingIni({}), {entry}));

    ASSERT_NE(OpenPopupWithAltX(), nullptr) << "no popup after Alt+X; Pikora's windows:\n"
                                            << DescribeWindowsOf(pikora_.Pid());
    const SYSTEMTIME before = Now();
    PressKey(VK_RETURN);
    // The block itself leaves nothing between A and B.
    EXPECT_TRUE(notepad_->WaitForText("abAB", kLaunchedPasteTimeoutMs))
        << "notepad holds '" << Utf8(notepad_->Text()) << "'";
    const SYSTEMTIME after = Now();
    EXPECT_TRUE(WaitUntil([&] { return !ProbeLogLines(log).empty(); }, 3000))
        << "the probe never logged a start to " << log;
    // A second start, had there been one, would have logged by now.
    Sleep(kPasteSettleMs);

    const std::vector<std::string> lines = ProbeLogLines(log);
    ASSERT_EQ(lines.size(), 1u) << "starts logged by the probe:\n" << Joined(lines);
    const std::vector<std::string> fields = SplitTabs(lines[0]);
    ASSERT_EQ(fields.size(), 5u) << "malformed probe line: " << Utf8(lines[0]);
    const ProbeStart start{fields[1], fields[2], fields[3], fields[4]};
    EXPECT_TRUE(start.args == DashedDate(before) || start.args == DashedDate(after))
        << "the probe was given '" << Utf8(start.args) << "' after the log path, expected '"
        << DashedDate(before) << "'; command line: " << Utf8(start.commandLine);
    // Only what was typed before the popup: the paste comes after the launch,
    // and only once the program is ready for input.
    EXPECT_EQ(Utf8(start.atStart), "ab") << "notepad's text when the probe started";
    EXPECT_EQ(Utf8(start.beforeIdle), "ab") << "notepad's text when the probe became idle";

    const auto saved = DatAfterExit();
    ASSERT_TRUE(saved.has_value()) << DescribeDat(pikora_.ReadDat());
    EXPECT_EQ(DescribeEntries(*saved), DescribeEntries({entry}));
    DeleteFileA(log.c_str());
}

// The list as Pikora.dat holds it now; nothing while the file is incomplete.
std::optional<std::vector<DatEntry>> DatEntriesNow(const PikoraProcess& pikora) {
    const auto bytes = pikora.ReadDat();
    return bytes ? CompleteDatEntries(*bytes) : std::nullopt;
}

// Waits until Pikora.dat holds one entry of `kind`, as it saves the list
// after a capture and after each popup.
bool WaitSingleEntryOfKind(const PikoraProcess& pikora, int32_t kind) {
    return WaitUntil(
        [&] {
            const auto entries = DatEntriesNow(pikora);
            return entries && entries->size() == 1 && (*entries)[0].kind == kind;
        },
        3000);
}

TEST_F(PikoraMacro, ACopiedProgramMacroStartsNothingUntilTheUserLocksTheEntry) {
    const std::string probe = ProbeExe();
    ASSERT_TRUE(FileSize(probe).has_value()) << probe << " is missing";
    const std::string log = ProbeLogPath();
    DeleteFileA(log.c_str());
    // A text from a web page or a mail that hides a command behind its first line.
    const std::string copied =
        "A<pikoraMACRO>$SHELL<\"" + probe + "\" \"" + log + "\" $Y>$SHELL</pikoraMACRO>B";
    ASSERT_NO_FATAL_FAILURE(StartWithNotepad(
        SettingIni({{"StopRun", "0"}, {"NormalDelete", "0"}, {"NoKeyClear", "0"}}), {}));
    ASSERT_TRUE(SetClipboardText(copied));
    ASSERT_TRUE(WaitSingleEntryOfKind(pikora_, kKindNormal))
        << "the copy was not recorded; " << DescribeDat(pikora_.ReadDat());
    ASSERT_EQ(DatEntriesNow(pikora_)->front().text, copied);

    // Chosen as a normal entry: the same text as a locked one would paste,
    // but nothing is started.
    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    PressKey(VK_RETURN);
    EXPECT_TRUE(notepad_->WaitForText("abAB", kLaunchedPasteTimeoutMs))
        << "notepad holds '" << Utf8(notepad_->Text()) << "'";
    // A launch comes before the paste, and the probe logs before it is idle:
    // had there been one, its line would be there by now.
    EXPECT_EQ(Joined(ProbeLogLines(log)), Joined({})) << "a copied text started a program";

    // Locked by the user, the same entry starts its program once.
    HWND popup = OpenPopupWithAltX();
    ASSERT_NE(popup, nullptr) << DescribeWindowsOf(pikora_.Pid());
    PostMessageA(popup, WM_COMMAND, MAKEWPARAM(kIdItemLock, 0), 0);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitPopupGone(pikora_.Pid()));
    ASSERT_TRUE(WaitSingleEntryOfKind(pikora_, kKindLocked))
        << "the entry was not locked; " << DescribeDat(pikora_.ReadDat());
    ASSERT_TRUE(notepad_->Focus());
    ASSERT_NE(OpenPopupWithAltX(), nullptr) << DescribeWindowsOf(pikora_.Pid());
    PressKey(VK_RETURN);
    EXPECT_TRUE(notepad_->WaitForText("abABAB", kLaunchedPasteTimeoutMs))
        << "notepad holds '" << Utf8(notepad_->Text()) << "'";
    EXPECT_TRUE(WaitUntil([&] { return !ProbeLogLines(log).empty(); }, 3000))
        << "the locked entry did not start the probe";
    Sleep(kPasteSettleMs);
    EXPECT_EQ(ProbeLogLines(log).size(), 1u) << Joined(ProbeLogLines(log));
    DeleteFileA(log.c_str());
}

// --- Templates -----------------------------------------------------------------

// The nine templates as every start writes them where they are missing.
const std::vector<std::string>& DefaultTemplateLines() {
    static const std::vector<std::string> lines = {
        "MacroTemplate_01=西暦4桁@<pikoraMACRO>$Y/$M/$D</pikoraMACRO>",
        "MacroTemplate_02=和暦@<pikoraMACRO>平成$WH年$M月$D日</pikoraMACRO>",
        "MacroTemplate_03=曜日@<pikoraMACRO>$d曜日</pikoraMACRO>",
        "MacroTemplate_04=曜日(英語)@<pikoraMACRO>$ddd</pikoraMACRO>",
        "MacroTemplate_05=時間(23:59:59)@<pikoraMACRO>$H:$m:$s</pikoraMACRO>",
        "MacroTemplate_06=時間(PM 11:59:59)@<pikoraMACRO>$AMPM $h:$m:$s</pikoraMACRO>",
        "MacroTemplate_07=時間(午後 11時 59分)@<pikoraMACRO>$ampm $h時 $m分</pikoraMACRO>",
        "MacroTemplate_08=シェル実行@<pikoraMACRO>$SHELL<実行ファイル名>$SHELL</pikoraMACRO>",
        "MacroTemplate_09=関連付け実行@<pikoraMACRO>$RELATE<ファイル名>$RELATE </pikoraMACRO>",
    };
    return lines;
}

std::string JoinedCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

class PikoraMacroTemplates : public PikoraTest {
  protected:
    // Runs the prepared copy once (start, then exit through its menu) and
    // gives the [Macro] lines of Pikora.ini afterwards.
    void RunOnce(std::vector<std::string>& macro, std::string* ini = nullptr) {
        ASSERT_TRUE(pikora_.Start()) << pikora_.Error();
        ASSERT_TRUE(pikora_.Exit()) << "Pikora did not end; its windows:\n"
                                    << DescribeWindowsOf(pikora_.Pid());
        const auto bytes = pikora_.ReadIni();
        ASSERT_TRUE(bytes.has_value()) << "no Pikora.ini next to the exe";
        macro = IniSection(*bytes, "Macro");
        if (ini != nullptr) {
            *ini = *bytes;
        }
    }
};

TEST_F(PikoraMacroTemplates, AFirstStartWritesTheNineTemplatesInSlotOrder) {
    ASSERT_EQ(Hex("曜日"), "97 6A 93 FA") << "the test itself was not compiled to CP932";
    ASSERT_TRUE(pikora_.Prepare(CurrentTestName())) << pikora_.Error();
    std::vector<std::string> macro;
    std::string ini;
    ASSERT_NO_FATAL_FAILURE(RunOnce(macro, &ini));

    EXPECT_EQ(Joined(macro), Joined(DefaultTemplateLines()));
    EXPECT_NE(ini.find("[Macro]\r\n" + JoinedCrLf(DefaultTemplateLines())), std::string::npos)
        << "[Macro] is not the nine lines, CR LF each, right after its header:\n"
        << Hex(ini.substr(std::min(ini.find("[Macro]"), ini.size())));
}

TEST_F(PikoraMacroTemplates, AnEmptiedOrDeletedDefaultComesBackAtTheNextStartAndUserTextsStay) {
    ASSERT_TRUE(pikora_.Prepare(CurrentTestName())) << pikora_.Error();
    std::vector<std::string> macro;
    ASSERT_NO_FATAL_FAILURE(RunOnce(macro));
    ASSERT_EQ(Joined(macro), Joined(DefaultTemplateLines()));

    // The user edits the file between two runs: a text of their own in slot
    // 1, slot 3 emptied, slot 7 deleted.
    const std::string own = "MacroTemplate_01=mine@<pikoraMACRO>$H時</pikoraMACRO>";
    std::string ini = *pikora_.ReadIni();
    const auto replaceLine = [&](const std::string& from, const std::string& to) {
        const size_t at = ini.find(from + "\r\n");
        ASSERT_NE(at, std::string::npos) << Utf8(from) << " is not in Pikora.ini";
        ini.replace(at, from.size() + 2, to);
    };
    const auto& defaults = DefaultTemplateLines();
    ASSERT_NO_FATAL_FAILURE(replaceLine(defaults[0], own + "\r\n"));
    ASSERT_NO_FATAL_FAILURE(replaceLine(defaults[2], "MacroTemplate_03=\r\n"));
    ASSERT_NO_FATAL_FAILURE(replaceLine(defaults[6], ""));
    ASSERT_TRUE(WriteFileBytes(pikora_.IniPath(), ini));

    ASSERT_NO_FATAL_FAILURE(RunOnce(macro));
    std::vector<std::string> expected = defaults;
    expected[0] = own;
    // Compared as a set: where the platform puts a key it adds is its own affair.
    EXPECT_EQ(Joined(Sorted(macro)), Joined(Sorted(expected)));
}

TEST_F(PikoraMacroTemplates, SlotsAfterAnEmptyTenthAreLeftAsTheyAre) {
    // Slot 10 once missing, once present and empty; slot 5 is empty too, so
    // the run must also get past an empty default on its way to slot 10.
    const std::string eleven = "MacroTemplate_11=eleven@<pikoraMACRO>$Y</pikoraMACRO>";
    const std::string twelve = "MacroTemplate_12=twelve";
    for (const bool tenthPresent : {false, true}) {
        SCOPED_TRACE(tenthPresent ? "MacroTemplate_10= present and empty"
                                  : "MacroTemplate_10 missing");
        std::vector<std::string> seeded = DefaultTemplateLines();
        seeded[4] = "MacroTemplate_05=";
        if (tenthPresent) {
            seeded.push_back("MacroTemplate_10=");
        }
        seeded.push_back(eleven);
        seeded.push_back(twelve);
        PikoraSeed seed;
        seed.ini = SettingIni({}) + "[Macro]\r\n" + JoinedCrLf(seeded);
        ASSERT_TRUE(pikora_.Prepare(CurrentTestName(), seed)) << pikora_.Error();

        std::vector<std::string> macro;
        ASSERT_NO_FATAL_FAILURE(RunOnce(macro));
        std::vector<std::string> expected = seeded;
        expected[4] = DefaultTemplateLines()[4];
        // In place: an existing key keeps its line.
        EXPECT_EQ(Joined(macro), Joined(expected));
    }
}

}  // namespace
