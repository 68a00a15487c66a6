#include "core/ledgerwin/month_tabs.h"

#include <algorithm>
#include <utility>

#include "core/ledger/cp932.h"
#include "core/ledger/record_store.h"

namespace ravelto::ledgerwin {

namespace {

MonthTab TabOf(int year, int month, int settle_day) {
    MonthTab tab;
    if (settle_day == 0) {
        tab.label = MonthLabel(DateToEraString(Date{year, month, 1}));
        tab.period_start = tab.label;
        return tab;
    }
    tab.period_end = DateToEraString(Date{year, month, settle_day});
    tab.label = MonthLabel(tab.period_end);
    int prev_year = year, prev_month = month - 1;
    if (prev_month == 0) {
        prev_month = 12;
        --prev_year;
    }
    tab.period_start = DateToEraString(Date{prev_year, prev_month, settle_day + 1});
    return tab;
}

}  // namespace

std::vector<MonthTab> MonthTabsForToday(const Date& today, int settle_day) {
    if (settle_day == 0) return {TabOf(today.year, today.month, 0)};
    int year = today.year, month = today.month;
    if (today.day > settle_day) {
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return {TabOf(year, month, settle_day)};
}

std::vector<MonthTab> MonthTabsForSpan(const Date& first_in, const Date& last_in, int settle_day) {
    // A ledger restored out of order can leave the newest month first: the
    // span is the same, so never end up without a month tab.
    Date first = first_in, last = last_in;
    if (last.year * 12 + last.month < first.year * 12 + first.month) std::swap(first, last);
    // A damaged 売上日 can give a year far outside the eras: walk only the
    // months that can be named, not millions that cannot.
    first = std::max(first, Date{kFirstEraDate.year, kFirstEraDate.month, 1});
    last = std::min(last, Date{kLastEraDate.year, kLastEraDate.month, 1});
    std::vector<MonthTab> tabs;
    for (int y = last.year; y >= first.year; --y) {
        const int from = y == last.year ? last.month : 12;
        const int to = y == first.year ? first.month : 1;
        for (int m = from; m >= to; --m) {
            if (static_cast<int>(tabs.size()) == kMaxMonthTabs) return tabs;
            try {
                tabs.push_back(TabOf(y, m, settle_day));
            } catch (const DateError&) {
                // A month outside the era table cannot be named: it gets no tab.
            }
        }
    }
    return tabs;
}

std::vector<MonthTab> MonthTabsFromTotals(const store::Table& totals, int settle_day,
                                          const Clock& clock) {
    const int count = totals.RecordCount();
    if (count == 0) return MonthTabsForToday(clock.Today(), settle_day);
    static const std::string field = sj("売上日");
    const int index = totals.FieldIndex(field);
    const Date first = CharToDate(totals.ReadAt(1).Text(index), clock);
    const Date last = CharToDate(totals.ReadAt(count).Text(index), clock);
    auto tabs = MonthTabsForSpan(first, last, settle_day);
    // Totals whose months none can be named still leave a month to work in.
    if (tabs.empty()) return MonthTabsForToday(clock.Today(), settle_day);
    return tabs;
}

}  // namespace ravelto::ledgerwin
