// Expansion of the macro blocks of an entry's text just before it is pasted.
#pragma once

#include <string>
#include <string_view>

#include "macro/launcher.h"
#include "macro/local_time.h"

namespace pikora {

// Replaces every "<pikoraMACRO>" ... "</pikoraMACRO>" block of text (CP932
// bytes) by its expansion: date and time keywords take their values from now,
// "$RELATE<document>$RELATE" opens a document and "$SHELL<command>$SHELL"
// starts a program through launcher (documents of a block first), and both
// leave no text behind. Text outside blocks comes back unchanged. Identical
// blocks share one expansion, so a launch inside them runs once.
std::string ExpandMacros(std::string_view text, const LocalTime& now, Launcher& launcher);

}  // namespace pikora
