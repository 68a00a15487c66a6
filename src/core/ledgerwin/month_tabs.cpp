#include "core/ledgerwin/month_tabs.h"

#include <utility>

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
    tab.label = tab.period_end.substr(0, 16);
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

}  // namespace ravelto::ledgerwin
