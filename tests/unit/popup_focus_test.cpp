#include "popup/popup_focus.h"

#include <gtest/gtest.h>

namespace pikora {
namespace {

TEST(PopupFocusLoss, AfterThePopupEndedItselfTheResultStands) {
    // Enter, a double-click or a reopen request set the closing flag; the
    // focus loss of the hiding that follows only clears the flags.
    for (bool userMode : {false, true}) {
        for (bool escaped : {false, true}) {
            EXPECT_EQ(DecideFocusLoss(true, false, userMode, escaped), FocusLossAction::ClearFlags);
        }
    }
}

TEST(PopupFocusLoss, ACommandWindowDoesNotCloseThePopup) {
    EXPECT_EQ(DecideFocusLoss(false, true, true, false), FocusLossAction::ClearFlags);
    EXPECT_EQ(DecideFocusLoss(false, true, false, false), FocusLossAction::ClearFlags);
    EXPECT_EQ(DecideFocusLoss(true, true, true, false), FocusLossAction::ClearFlags);
}

TEST(PopupFocusLoss, ClickingElsewhere) {
    // A popup the user opened is dismissed.
    EXPECT_EQ(DecideFocusLoss(false, false, true, false), FocusLossAction::Dismiss);
    // An automatic popup survives its first focus loss and becomes a user
    // popup; the second one dismisses it.
    EXPECT_EQ(DecideFocusLoss(false, false, false, false), FocusLossAction::BecomeUserMode);
    // After Escape the hiding must not turn the cancel into a dismissal.
    EXPECT_EQ(DecideFocusLoss(false, false, true, true), FocusLossAction::Forget);
}

TEST(PopupAutoClose, TimerResultByPlatformAndMode) {
    // Untouched automatic popup: cancelled, except on the 9x family.
    EXPECT_FALSE(AutoCloseDismisses(false, false));
    EXPECT_TRUE(AutoCloseDismisses(true, false));
    // Once the user clicked elsewhere it counts as dismissed everywhere.
    EXPECT_TRUE(AutoCloseDismisses(false, true));
    EXPECT_TRUE(AutoCloseDismisses(true, true));
}

}  // namespace
}  // namespace pikora
