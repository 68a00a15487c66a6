// The balance calculation on synthetic ledgers: editing one amount of a
// record of the open month and posting it (CarCalc, the ledger record and the
// month's totals record written together), and the personal-mode totals line.
// Compare the 1,000 and 100,000 figures: the cost must not grow with the ledger.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_ledgers.h"
#include "core/accounting/balance.h"
#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

std::string MonthFilter(const std::string& label) {
    return "(" + sj("売上日") + " = " + store::QuoteValue(label + "*") + ")";
}

// The open month (the newest) shown as the month view shows it, with the
// record events the window wires.
struct OpenMonth {
    explicit OpenMonth(const bench::BenchLedger& l)
        : db(l.data_dir),
          ledger(db.Open(ledger::ReceiveTable())),
          totals(db.Open(ledger::TotalsTable())) {
        context.selected_month_label = l.info.month_labels.back();
        ledger.SetOrder(ledger::OrderDescending());
        ledger.SetFilter(MonthFilter(context.selected_month_label));
        ledger.SetFiltered(true);
        totals.SetFilter(MonthFilter(context.selected_month_label));
        totals.SetFiltered(true);
        ledger.Events().BeforeEdit = [this] { snapshot = accounting::ReadAmounts(ledger); };
        ledger.Events().AfterPost = [this] {
            accounting::WriteTotalsAfterPost(ledger, totals, context);
        };
    }
    store::Database db;
    store::Table& ledger;
    store::Table& totals;
    accounting::TotalsContext context;
    accounting::AmountSnapshot snapshot{};
};

// Edit 入金額1 of one record, leave the field (CarCalc), post: the ledger
// record and the totals record in one transaction.
void BM_EditAmountAndPost(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    OpenMonth m(l);
    const std::string payment = sj("入金額1");
    const int count = m.ledger.RecordCount();
    int n = 0;
    for (auto _ : state) {
        m.ledger.SetRecNo(n % count + 1);
        m.ledger.Edit();
        m.ledger.SetInt(payment, m.ledger.Int(payment) + ((n & 1) ? -1 : 1));
        accounting::AmountFieldExit(m.ledger, m.totals, accounting::SumOf::None, m.context,
                                    m.snapshot);
        store::Transaction tx(m.db);
        m.ledger.Post();
        tx.Commit();
        ++n;
    }
    state.counters["month_records"] = count;
}
BENCHMARK(BM_EditAmountAndPost)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// CarCalc alone on an edited record (nothing posted).
void BM_CarCalc(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    OpenMonth m(l);
    m.ledger.Edit();
    for (auto _ : state)
        benchmark::DoNotOptimize(accounting::CarCalc(m.ledger, m.totals, m.context, m.snapshot));
    m.ledger.Cancel();
    m.totals.Cancel();
}
BENCHMARK(BM_CarCalc)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The personal-mode totals line over a view: the whole newest month and the
// month before (about 1,600 records), more than a customer ever has.
void BM_PrTotalCalc(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.data_dir);
    store::Table& t = db.Open(ledger::ReceiveTable());
    const auto& labels = l.info.month_labels;
    const std::string newest = labels.back();
    const std::string before = labels.size() > 1 ? labels[labels.size() - 2] : newest;
    t.SetFilter(MonthFilter(newest) + "or  " + MonthFilter(before));
    t.SetFiltered(true);
    accounting::NewestMonth month{newest, newest, ""};
    for (auto _ : state) {
        t.SetFiltered(false);  // a fresh view, as a tab change gives
        t.SetFiltered(true);
        benchmark::DoNotOptimize(accounting::PrTotalCalc(t, month, 0));
    }
    state.counters["view_records"] = t.RecordCount();
}
BENCHMARK(BM_PrTotalCalc)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
