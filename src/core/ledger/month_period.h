#pragma once

// Month periods. With the settlement day 0 a month period is the calendar
// month: the sales dates that begin with its month label. With a settlement
// day S (5, 10, 15, 20 or 25) the period labelled with year y and month m runs
// from (y, m − 1, S + 1) to (y, m, S), both inclusive; month 0 is December of
// y − 1. The label of such a period is the month label of its last day.
//
// Everything here throws DateError (Japanese what()) for a settlement day
// outside 0..27 and for periods whose dates fall outside the era range.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "core/ledger/eradate.h"

namespace ravelto {

struct YearMonth {
    int year = 0;   // Western year
    int month = 0;  // 1..12
    auto operator<=>(const YearMonth&) const = default;
};

// Day S + 1 must exist in every month, so a settlement day is 0 or 1..27
// (the settings offer 0, 5, 10, 15, 20 and 25).
bool IsValidSettleDay(int settle_day);

YearMonth NextMonth(YearMonth month);      // December rolls into January
YearMonth PreviousMonth(YearMonth month);  // January rolls back into December

// The year and month a month label names (its first 16 bytes: a known era
// name, two full-width digits, 年, two full-width digits, 月). An era date
// string gives the month of its date. nullopt for anything else.
std::optional<YearMonth> ParseMonthLabel(std::string_view cp932_label);

// The label of the period of (year, month): the month label of the date
// (year, month, S), or of the 1st when S is 0.
std::string MonthLabelOf(YearMonth month, int settle_day);

// First and last era date strings of a period.
struct MonthPeriod {
    std::string first;  // TabPeriodStart
    std::string last;   // TabPeriodEnd
};

// The period of (year, month). With S 0 it is the calendar month (1st to its
// last day); callers filter such a month by its label instead.
MonthPeriod PeriodOf(YearMonth month, int settle_day);
// The period a month label names. Throws DateError when the text is no label.
MonthPeriod PeriodOfLabel(std::string_view cp932_label, int settle_day);

// The month whose period holds the date: its own month when its day is S or
// less (or S is 0), else the following month.
YearMonth MonthOfDate(Date date, int settle_day);
// The label of the period that holds the date. With S 0 it is the first 16
// bytes of the date's own era date string.
std::string MonthLabelOfDate(Date date, int settle_day);

// The label of the month after / before the one a label names. Throws
// DateError when the text is no label.
std::string NextMonthLabel(std::string_view cp932_label, int settle_day);
std::string PreviousMonthLabel(std::string_view cp932_label, int settle_day);

}  // namespace ravelto
