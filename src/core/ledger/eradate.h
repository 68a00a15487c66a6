#pragma once

// Era dates: the only form in which the system holds a date. An era date
// string is eleven double-byte characters, 22 CP932 bytes (平成１４年１２月０５日);
// its first 16 bytes are the month label (平成１４年１２月) that names a month
// period. Date fields must hold all 22 bytes.

#include <array>
#include <compare>
#include <cstddef>
#include <stdexcept>
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

// A date that cannot be written as an era date. what() is Japanese UTF-8.
class DateError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// A real calendar date (month 1..12, day within the month).
bool IsValidDate(Date date);

inline constexpr size_t kEraDateBytes = 22;
inline constexpr size_t kMonthLabelBytes = 16;

// ---- The era table ------------------------------------------------------

enum class Era { kMeiji, kTaisho, kShowa, kHeisei };

struct EraEntry {
    Era era;
    const char* name;   // UTF-8; EraName() gives the CP932 text
    Date applies_from;  // first date written in this era
    int offset;         // Western year = era year + offset
};

// Oldest first. 平成 has no end: every later date is written in 平成.
extern const std::array<EraEntry, 4> kEraTable;

const std::string& EraName(Era era);  // CP932, 4 bytes
int EraOffset(Era era);

// The range of dates an era date string can hold: nothing before 明治 begins,
// and nothing after 平成９９年, the last year two digits can write.
inline constexpr Date kFirstEraDate{1868, 1, 1};
inline constexpr Date kLastEraDate{2087, 12, 31};

struct EraYear {
    Era era = Era::kHeisei;
    int year = 0;  // year of the era
    bool operator==(const EraYear&) const = default;
};

// The era a date is written in (by the dates each era applies from).
// Throws DateError for an invalid date or one outside kFirstEraDate..kLastEraDate.
EraYear EraOfDate(Date date);

// The era the date dialog shows for a Western year, decided by the year alone:
// 明治 up to 1911, 大正 1912–1925, 昭和 1926–1988, 平成 from 1989.
EraYear EraOfYear(int western_year);

// The year edit of the date dialog rolls between eras until no rule applies:
// 明治 above 44 → 大正 −44, 大正 0 → 明治 44, 大正 above 14 → 昭和 −14,
// 昭和 0 → 大正 14, 昭和 64 or more → 平成 −63, 平成 0 → 昭和 63.
EraYear RollEra(EraYear shown);

// ---- Formatting ---------------------------------------------------------

// The date as the date dialog leaves it: era name, then year, month and day
// with two single-byte digits each (平成14年12月05日). CP932.
// Throws DateError for an invalid date or one outside the era range.
std::string FormatEraDate(Date date);

// The era date string every stored or shown date is: FormatEraDate passed
// through ChangeChar (平成１４年１２月０５日, 22 bytes). Throws as FormatEraDate.
std::string DateToEraString(Date date);

// Single-byte characters to their double-byte forms: digits and letters
// become full-width (H14 → Ｈ１４), a blank becomes the full-width blank.
// Double-byte characters are copied unchanged (a lead byte at the very end is
// copied alone); control bytes and half-width katakana are kept as they are.
// Blanks and control bytes at both ends are removed.
std::string ChangeChar(std::string_view cp932_text);

// The month label of an era date string: its first 16 bytes.
std::string MonthLabel(std::string_view era_date);

// ---- Parsing ------------------------------------------------------------

// Parses an era date string or a month label into year, month and day; parts
// it cannot find are today's, and the result is always a valid date.
Date CharToDate(std::string_view cp932_text, const Clock& clock);

}  // namespace ravelto
