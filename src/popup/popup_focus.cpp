#include "popup/popup_focus.h"

namespace pikora {

FocusLossAction DecideFocusLoss(bool closing, bool commandActive, bool userMode, bool escaped) {
    if (closing || commandActive) {
        return FocusLossAction::ClearFlags;
    }
    if (!userMode) {
        return FocusLossAction::BecomeUserMode;
    }
    return escaped ? FocusLossAction::Forget : FocusLossAction::Dismiss;
}

bool AutoCloseDismisses(bool on9x, bool userMode) {
    return on9x || userMode;
}

}  // namespace pikora
