#pragma once

// The month tabs of the ledger window: tab 0 is the personal view, tabs 1, 2,
// … are the month periods from the newest to the oldest, each with the first
// and last sales date of its period.

#include <string>
#include <vector>

#include "core/ledger/eradate.h"

namespace ravelto::store {
class Table;
}

namespace ravelto::ledgerwin {

// Room for tab indexes 1 to 2000; older months are not shown.
inline constexpr int kMaxMonthTabs = 2000;

struct MonthTab {
    std::string label;         // month label, the tab's caption
    std::string period_start;  // TabPeriodStart (the label itself when SettleDay is 0)
    std::string period_end;    // TabPeriodEnd (empty when SettleDay is 0)
    bool operator==(const MonthTab&) const = default;
};

// The one tab of an empty totals table: the period that holds today.
std::vector<MonthTab> MonthTabsForToday(const Date& today, int settle_day);

// Tabs for every month from `last` (newest) down to `first` (oldest); only
// year and month of the two dates count.
std::vector<MonthTab> MonthTabsForSpan(const Date& first, const Date& last, int settle_day);

// Builds the tabs from the totals table: reads its first and last record of
// the current view and nothing else.
std::vector<MonthTab> MonthTabsFromTotals(const store::Table& totals, int settle_day,
                                          const Clock& clock);

}  // namespace ravelto::ledgerwin
