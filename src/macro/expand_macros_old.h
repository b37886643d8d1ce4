// The expander before the rewrite, kept until a differential run has compared
// the two.
#pragma once

#include <string>
#include <string_view>

#include "macro/launcher.h"
#include "macro/local_time.h"

namespace pikora {

std::string OldExpandMacros(std::string_view text, const LocalTime& now, Launcher& launcher);

}  // namespace pikora
