// What macro expansion needs from the platform to open documents and start
// programs. The Win32 side implements it with the shell and process APIs;
// unit tests record the calls.
#pragma once

#include <string>

namespace pikora {

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Opens a document (or URL) with its associated program; does not wait.
    virtual void OpenDocument(const std::string& target) = 0;
    // Starts a command line and waits, for a bounded time, until the new
    // program is ready for input. A command line that cannot be started is
    // ignored.
    virtual void StartProgram(const std::string& commandLine) = 0;
};

}  // namespace pikora
