// A clipboard change reaches Pikora: in history mode it becomes a record of
// Pikora.dat.
#include <gtest/gtest.h>

#include <string>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/pikora_process.h"

namespace {

using namespace e2e;

class PikoraClipboardNotice : public PikoraTest {};

TEST_F(PikoraClipboardNotice, CopiedTextIsRecordedButTheTextPresentAtStartIsNot) {
    // History mode on from the start, no automatic popup, normal entries kept
    // in the file, no sound.
    PikoraSeed seed;
    seed.ini = "[Setting]\r\nStopRun=0\r\nCopyPopup=0\r\nNoKeyClear=0\r\nRirekiWave=0\r\n";
    ASSERT_TRUE(SetClipboardText("there before the start"));
    ASSERT_NO_FATAL_FAILURE(StartPikora(seed));

    ASSERT_TRUE(SetClipboardText("abc"));
    const std::string expected = Int32Bytes(1) + HistoryRecord("abc", "abc");
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
