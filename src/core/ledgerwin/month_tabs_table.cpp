#include "core/ledger/cp932.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/month_tabs.h"

namespace ravelto::ledgerwin {

std::vector<MonthTab> MonthTabsFromTotals(const store::Table& totals, int settle_day,
                                          const Clock& clock) {
    const int count = totals.RecordCount();
    if (count == 0) return MonthTabsForToday(clock.Today(), settle_day);
    static const std::string field = sj("売上日");
    const int index = totals.FieldIndex(field);
    const Date first = CharToDate(totals.ReadAt(1).Text(index), clock);
    const Date last = CharToDate(totals.ReadAt(count).Text(index), clock);
    return MonthTabsForSpan(first, last, settle_day);
}

}  // namespace ravelto::ledgerwin
