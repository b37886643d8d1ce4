// The platform side of macro expansion: the shell and process launcher and
// the current local time.
#pragma once

#include <string>

#include "macro/launcher.h"
#include "macro/local_time.h"

class ShellLauncher : public pikora::Launcher {
  public:
    void OpenDocument(const std::string& target) override;
    void StartProgram(const std::string& commandLine) override;
};

// Now, from the C runtime's calendar time and local-time conversion.
pikora::LocalTime CurrentLocalTime();
