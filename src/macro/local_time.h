// A calendar instant as the C runtime's local-time conversion gives it.
#pragma once

namespace pikora {

struct LocalTime {
    int year = 0;    // e.g. 2001
    int month0 = 0;  // 0 = January ... 11 = December
    int mday = 0;    // 1 ... 31
    int wday = 0;    // 0 = Sunday ... 6 = Saturday
    int hour = 0;    // 0 ... 23
    int minute = 0;
    int second = 0;
};

}  // namespace pikora
