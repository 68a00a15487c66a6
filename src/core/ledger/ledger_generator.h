#pragma once

// Synthetic ledgers for benchmarks, tests, screenshots and the command-line
// tool: realistic customers (CP932 names, half-width katakana readings,
// addresses, registration numbers like 品川 500 さ 12-34), era dates, amounts
// that keep the record invariants (先月残合計 = 先月立替残 + 先月売掛残,
// 請求合計 = 諸費用 + 売上, remaining balances as the balance calculation
// gives them) and one totals record per month holding the month's sums (the
// newest month open, 書込モード 1; older months closed, 2). The same options
// always give the same ledger.

#include <cstdint>
#include <string>
#include <vector>

#include "core/ledger/record_store.h"

namespace ravelto::ledger {

struct GeneratorOptions {
    int records = 1000;
    uint64_t seed = 20021205;
    // The newest month period (Western year and month); older months precede it.
    int year = 2002;
    int month = 12;
    // Records per month; the number of months follows from records.
    int per_month = 800;
    // Settlement day of the month periods (0 = month end).
    int settle_day = 0;
};

struct GeneratedLedger {
    std::vector<std::string> month_labels;  // CP932, oldest first
    std::vector<int> month_counts;          // records per month, same order
    int records = 0;
};

// Appends the ledger to receive.DB and RcivTotal.db of db (opened when
// needed) in one transaction, in date order. Meant for empty tables.
GeneratedLedger GenerateLedger(store::Database& db, const GeneratorOptions& options);

}  // namespace ravelto::ledger
