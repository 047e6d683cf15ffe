#pragma once
// Helpers for the tests that check every day or every year of a range.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

namespace calendar::test {

// A broken rule fails on thousands of dates: the first few are reported, the rest counted.
class MismatchLog {
public:
    void Record(const std::string& message) {
        if (++count_ <= 10) ADD_FAILURE() << message;
    }
    int count() const { return count_; }

private:
    int count_ = 0;
};

inline std::string DateText(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

inline std::string DateText(std::chrono::year_month_day date) {
    return DateText(int(date.year()), int(unsigned(date.month())), int(unsigned(date.day())));
}

// The serial number of a chrono day, anchored on 1 January 2000 being day 36526.
inline double SerialOf(std::chrono::sys_days day) {
    using namespace std::chrono;
    return 36526.0 + double((day - sys_days{year{2000} / January / 1}).count());
}

// Sets TZ for the life of the object, and restores the one before; the C library reads
// it again at once.
class ZoneForTest {
public:
    explicit ZoneForTest(const std::string& zone) {
        if (const char* before = getenv("TZ")) before_ = before;
        setenv("TZ", zone.c_str(), 1);
        tzset();
    }
    ~ZoneForTest() {
        if (before_)
            setenv("TZ", before_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneForTest(const ZoneForTest&) = delete;
    ZoneForTest& operator=(const ZoneForTest&) = delete;

private:
    std::optional<std::string> before_;
};

}  // namespace calendar::test
