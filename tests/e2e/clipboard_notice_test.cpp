// A clipboard change reaches Pikora: in history mode it becomes a record of
// Pikora.dat.
#include <gtest/gtest.h>

#include <cstdint>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/pikora_process.h"

namespace {

using namespace e2e;

std::string Int32(int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] =
            static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    }
    return bytes;
}

std::string Record(int32_t kind, int32_t reserved1, int32_t reserved2, const std::string& title,
                   const std::string& text) {
    return Int32(kind) + Int32(reserved1) + Int32(reserved2) +
           Int32(static_cast<int32_t>(title.size() + 1)) + title + '\0' +
           Int32(static_cast<int32_t>(text.size() + 1)) + text + '\0';
}

class PikoraClipboardNotice : public PikoraTest {};

TEST_F(PikoraClipboardNotice, CopiedTextIsRecordedButTheTextPresentAtStartIsNot) {
    // History mode on from the start, no automatic popup, normal entries kept
    // in the file, no sound.
    PikoraSeed seed;
    seed.ini = "[Setting]\r\nStopRun=0\r\nCopyPopup=0\r\nNoKeyClear=0\r\nRirekiWave=0\r\n";
    ASSERT_TRUE(SetClipboardText("there before the start"));
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));

    ASSERT_TRUE(SetClipboardText("abc"));
    const std::string expected = Int32(1) + Record(0, 0, -1, "abc", "abc");
    // The capture saves at once. Only the size is polled: opening the file
    // could collide with Pikora's writer, which does not share it.
    EXPECT_TRUE(WaitUntil([&] { return FileSize(pikora_.DatPath()) == expected.size(); }, 3000))
        << "Pikora.dat size: "
        << (FileSize(pikora_.DatPath()) ? std::to_string(*FileSize(pikora_.DatPath()))
                                        : std::string("missing"));

    ASSERT_TRUE(pikora_.Exit());
    const auto dat = pikora_.ReadDat();
    ASSERT_TRUE(dat.has_value()) << "no Pikora.dat after the exit";
    EXPECT_EQ(Hex(*dat), Hex(expected));
}

}  // namespace
