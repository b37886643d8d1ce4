// What the macro tests share: the example instant and a launcher that records
// what it was asked to open or start, in order.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "macro/launcher.h"
#include "macro/local_time.h"

namespace macro_testing {

// Tuesday, 6 March 2001, 14:05:09.
inline pikora::LocalTime ExampleInstant() {
    pikora::LocalTime t;
    t.year = 2001;
    t.month0 = 2;
    t.mday = 6;
    t.wday = 2;
    t.hour = 14;
    t.minute = 5;
    t.second = 9;
    return t;
}

struct Launch {
    char kind;  // 'D' document, 'P' program
    std::string argument;
    bool operator==(const Launch& other) const {
        return kind == other.kind && argument == other.argument;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Launch& launch) {
    return os << launch.kind << ":" << launch.argument;
}

class RecordingLauncher : public pikora::Launcher {
  public:
    void OpenDocument(const std::string& target) override { calls.push_back({'D', target}); }
    void StartProgram(const std::string& commandLine) override {
        calls.push_back({'P', commandLine});
    }
    std::vector<Launch> calls;
};

}  // namespace macro_testing
