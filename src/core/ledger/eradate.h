#pragma once

// Era dates: the only form in which the system holds a date. An era date
// string is 20 CP932 bytes (平成１４年１２月０５日); its first 16 bytes are the
// month label (平成１４年１２月) that names a month period.

#include <compare>
#include <string>
#include <string_view>

namespace ravelto {

struct Date {
    int year = 0;   // Western year
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    auto operator<=>(const Date&) const = default;
};

// "Today", injected everywhere so tests never depend on the real date.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual Date Today() const = 0;
};

// The machine's local date.
class SystemClock : public Clock {
  public:
    Date Today() const override;
};

// A clock that always answers the same date (tests, benchmarks).
class FixedClock : public Clock {
  public:
    explicit FixedClock(Date today) : today_(today) {}
    Date Today() const override { return today_; }
    void Set(Date today) { today_ = today; }

  private:
    Date today_;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Parses an era date string or a month label into year, month and day; parts
// it cannot find are today's, and the result is always a valid date.
Date CharToDate(std::string_view cp932_text, const Clock& clock);

}  // namespace ravelto
