// The tray menu's clipboard submenu: the lookups open the clipboard text's
// address in the browser (here the probe that the shell starts instead), and
// quoting puts the quoted text back on the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/input.h"
#include "support/pikora_process.h"
#include "support/shell_open.h"
#include "support/thread_spy.h"
#include "support/tray.h"

namespace {

using namespace e2e;

constexpr char kDicCgi[] = "http://dic.lookup-test.example/cgi-bin/dict_search.cgi";
constexpr char kWebSearch[] = "http://search.goo.ne.jp/default.asp?MT=";
constexpr char kWebSearchTail[] = "&WTS=ntt&SM=MC&DE=2&DC=10";

// Items of the submenu "クリップボード処理(&B)" below its first one,
// "引用符を付加(&I)" (the separator is skipped by the arrow keys).
enum class Lookup { WebSearch = 1, Japanese = 2, EnJa = 3, JaEn = 4 };

class PikoraLookup : public PikoraTest {
  protected:
    void SetUp() override {
        // The dictionary's address comes from the INI file.
        PikoraSeed seed;
        seed.ini = std::string("[Setting]\r\nDicCgi=") + kDicCgi + "\r\n";
        ASSERT_NO_FATAL_FAILURE(StartPikora(seed));
        spy_ = std::make_unique<ThreadSpy>(pikora_.Pid(), pikora_.ThreadId());
        ASSERT_TRUE(spy_->Ok()) << spy_->Error();
        recorder_ = std::make_unique<ShellOpenRecorder>(pikora_.Folder() + "\\opened.log");
        ASSERT_TRUE(recorder_->Ok()) << recorder_->Error();
    }

    void TearDown() override {
        PikoraTest::TearDown();
        recorder_.reset();
    }

    // Opens the tray menu, then the clipboard submenu by its letter, and
    // chooses the item `downs` places below its first one by the arrow keys.
    void ChooseInClipboardSubmenu(int downs) {
        ASSERT_TRUE(OpenTrayMenu(*spy_, pikora_.Frame()).has_value());
        PressKey('B');
        for (int i = 0; i < downs; ++i) {
            PressKey(VK_DOWN);
        }
        PressKey(VK_RETURN);
        ASSERT_TRUE(spy_->WaitMenuLoop(false)) << "the tray menu did not close";
    }

    // Runs a lookup and returns what the shell was asked to open for it.
    std::string LookUp(Lookup which) {
        const size_t before = recorder_->Opened().size();
        ChooseInClipboardSubmenu(static_cast<int>(which));
        if (!recorder_->WaitOpened(before + 1)) {
            ADD_FAILURE() << "nothing was opened; openings so far:\n" << recorder_->Describe();
            return {};
        }
        return recorder_->Opened()[before];
    }

    std::unique_ptr<ThreadSpy> spy_;
    std::unique_ptr<ShellOpenRecorder> recorder_;
};

TEST_F(PikoraLookup, EachDictionarySendsItsSelectorAndOnlyEnglishToJapaneseLowersTheText) {
    ASSERT_TRUE(SetClipboardText("Hello"));
    EXPECT_EQ(LookUp(Lookup::EnJa), std::string(kDicCgi) + "?MT=hello&sw=0");
    EXPECT_EQ(LookUp(Lookup::JaEn), std::string(kDicCgi) + "?MT=Hello&sw=1");
    EXPECT_EQ(LookUp(Lookup::Japanese), std::string(kDicCgi) + "?MT=Hello&sw=2");

    // Full-width capitals become small too; the katakana ア (83 41), whose
    // second byte is an 'A', stays what it is.
    ASSERT_TRUE(SetClipboardText("ＡＢＣアA"));
    EXPECT_EQ(LookUp(Lookup::EnJa), Utf8(std::string(kDicCgi) + "?MT=ａｂｃアa&sw=0"));

    // Without text on the clipboard the page still opens, with an empty value.
    ASSERT_TRUE(ClearClipboard());
    EXPECT_EQ(LookUp(Lookup::Japanese), std::string(kDicCgi) + "?MT=&sw=2");
    EXPECT_EQ(recorder_->Opened().size(), 5u) << recorder_->Describe();
}

TEST_F(PikoraLookup, WebSearchCarriesDoubleByteTextUnescapedAndEscapesWhatWouldCutTheQuery) {
    // 表 and ソ end in the byte 5C, a backslash on its own.
    const std::string text = "日本語の表とソース";
    ASSERT_TRUE(SetClipboardText(text));
    EXPECT_EQ(LookUp(Lookup::WebSearch), Utf8(kWebSearch + text + kWebSearchTail));

    // Sent as they are, "&" and "#" would search for "AT" and a quote would
    // end the browser's argument.
    ASSERT_TRUE(SetClipboardText("AT&T \"C#\""));
    EXPECT_EQ(LookUp(Lookup::WebSearch),
              std::string(kWebSearch) + "AT%26T%20%22C%23%22" + kWebSearchTail);
}

TEST_F(PikoraLookup, QuotingPutsTheQuoteStringAtTheStartOfEveryLine) {
    ASSERT_TRUE(SetClipboardText("a\r\nb"));
    ASSERT_NO_FATAL_FAILURE(ChooseInClipboardSubmenu(0));
    std::optional<std::string> text;
    EXPECT_TRUE(WaitUntil([&] { return (text = GetClipboardText()) == ">a\r\n>b"; }, 3000))
        << "clipboard: " << (text ? Hex(*text) : "(no text)");

    // A text that ends in a line break gets a quote string on the empty line
    // after it; Japanese text is left as it is.
    ASSERT_TRUE(SetClipboardText("引用\r\n"));
    ASSERT_NO_FATAL_FAILURE(ChooseInClipboardSubmenu(0));
    EXPECT_TRUE(WaitUntil([&] { return (text = GetClipboardText()) == ">引用\r\n>"; }, 3000))
        << "clipboard: " << (text ? Hex(*text) : "(no text)");

    // An empty clipboard gets the quote string alone.
    ASSERT_TRUE(ClearClipboard());
    ASSERT_NO_FATAL_FAILURE(ChooseInClipboardSubmenu(0));
    EXPECT_TRUE(WaitUntil([&] { return (text = GetClipboardText()) == ">"; }, 3000))
        << "clipboard: " << (text ? Hex(*text) : "(no text)");
    EXPECT_TRUE(recorder_->Opened().empty()) << recorder_->Describe();
}

TEST_F(PikoraLookup, QuotingLeavesAPictureOnTheClipboardAlone) {
    ASSERT_TRUE(SetClipboardDib(4, 4, RGB(255, 0, 0)));
    ASSERT_NO_FATAL_FAILURE(ChooseInClipboardSubmenu(0));
    // The command has run once a lookup chosen after it has opened its page;
    // the lookup reads no text either.
    EXPECT_EQ(LookUp(Lookup::Japanese), std::string(kDicCgi) + "?MT=&sw=2");
    EXPECT_TRUE(ClipboardHasFormat(CF_DIB));
    EXPECT_FALSE(GetClipboardText().has_value()) << Hex(GetClipboardText().value_or(""));

    // Nor a text that its owner fails to hand over: that is no empty text.
    // The command is sent, so that this thread answers Pikora's requests for
    // the text while it waits.
    UnicodeCopyOnRequest refusing(L"a", std::nullopt, false);
    ASSERT_TRUE(refusing.Ok());
    const DWORD before = GetClipboardSequenceNumber();
    SendMessageA(pikora_.Frame(), WM_COMMAND, MAKEWPARAM(kIdAddQuote, 0), 0);
    EXPECT_TRUE(refusing.WaitRead(0));
    EXPECT_EQ(GetClipboardSequenceNumber(), before) << "quoted a text it could not read";
}

}  // namespace
