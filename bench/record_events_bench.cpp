// Record entry as the window drives it: a click on a record panel, an amount
// typed into 入金額1 and committed, the field left (CarCalc), the post button
// (the ledger record and the month's totals record in one transaction).
// Compare the 1,000 and 100,000 figures: the cost must not grow with the ledger.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_ledgers.h"
#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/record_events.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

void BM_TypeAmountAndPost(benchmark::State& state) {
    const bench::BenchLedger& g = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(g.data_dir);
    store::Table& ledger = db.Open(ledger::ReceiveTable());
    store::Table& totals = db.Open(ledger::TotalsTable());
    const std::string label = g.info.month_labels.back();
    const std::string filter = "(" + sj("売上日") + " = " + store::QuoteValue(label + "*") + ")";
    ledger.SetOrder(ledger::OrderDescending());
    ledger.SetFilter(filter);
    ledger.SetFiltered(true);
    totals.SetFilter(filter);
    totals.SetFiltered(true);

    ledgerwin::MainWindowState s;
    ledgerwin::WindowView v;
    s.SelectedMonthLabel = label;
    s.AmountsEditable = 1;
    v.tab_captions = {sj("個人モード"), label, sj("平成元年０１月")};
    v.tab_index = 1;
    v.total_panel1 = true;
    v.editable = {true, true, true, true};
    bench::NoQuestions questions;
    FixedClock clock({2002, 12, 10});
    ledgerwin::LedgerRecordEvents events(s, v, db, ledger, totals, questions, clock);
    events.Install();

    namespace rcv = ledger::rcv;
    const int count = ledger.RecordCount();
    int n = 0;
    for (auto _ : state) {
        events.MoveTo(n % count + 1);
        v.editable = {true, true, true, true};  // the bench edits whatever mode the record has
        const std::string amount = std::to_string(ledger.Int(rcv::kPayment1) + ((n & 1) ? -1 : 1));
        events.FieldKey(rcv::kPayment1);
        events.CommitField(rcv::kPayment1, amount);
        events.FieldExit(rcv::kPayment1);
        events.NavigatorClick(ledgerwin::NavButton::Post);
        ++n;
    }
    state.counters["month_records"] = count;
}
BENCHMARK(BM_TypeAmountAndPost)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
