// What ends the popup list: the rules behind a loss of the keyboard focus and
// the automatic popup's timer. The framework hides the dialog after it ended,
// which takes the focus once more; these rules keep that late focus loss
// from replacing the result the popup already has.
#pragma once

namespace pikora {

enum class FocusLossAction {
    // The popup ended itself (Enter, double-click, reopen) or a command's own
    // window took the focus: clear the closing, command and size-tracking
    // flags and stay as it is.
    ClearFlags,
    // First focus loss of an automatic popup: it becomes a user-mode popup
    // and stays open.
    BecomeUserMode,
    // The user clicked elsewhere: end as dismissed, then drop the tooltip's
    // tool and stop tracking the size.
    Dismiss,
    // Escape ended the popup: only drop the tooltip's tool and stop tracking.
    Forget,
};

FocusLossAction DecideFocusLoss(bool closing, bool commandActive, bool userMode, bool escaped);

// The automatic popup's timer ends it as dismissed on the 9x family and once
// it has become a user-mode popup; otherwise as cancelled.
bool AutoCloseDismisses(bool on9x, bool userMode);

}  // namespace pikora
