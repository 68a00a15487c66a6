// The balance calculation on synthetic ledgers: editing one amount of a
// record of the open month and posting it (CarCalc, the ledger record and the
// month's totals record written together), and the personal-mode totals line.
// Compare the 1,000 and 100,000 figures: the cost must not grow with the ledger.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/accounting/balance.h"
#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

fs::path BenchRoot() {
    static const fs::path root = [] {
        fs::path p =
            fs::temp_directory_path() / ("ravelto-acc-bench-" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p;
    }();
    return root;
}

struct Ledger {
    fs::path dir;
    ledger::GeneratedLedger info;
};

const Ledger& LedgerOf(int records) {
    static std::map<int, Ledger> made;
    auto it = made.find(records);
    if (it != made.end()) return it->second;
    Ledger l;
    l.dir = BenchRoot() / ("ledger-" + std::to_string(records));
    fs::remove_all(l.dir);
    store::Database db(l.dir);
    ledger::GeneratorOptions o;
    o.records = records;
    l.info = ledger::GenerateLedger(db, o);
    return made.emplace(records, l).first->second;
}

std::string MonthFilter(const std::string& label) {
    return "(" + sj("売上日") + " = " + store::QuoteValue(label + "*") + ")";
}

// The open month (the newest) shown as the month view shows it, with the
// record events the window wires.
struct OpenMonth {
    explicit OpenMonth(const Ledger& l)
        : db(l.dir),
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
    const Ledger& l = LedgerOf(static_cast<int>(state.range(0)));
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
    const Ledger& l = LedgerOf(static_cast<int>(state.range(0)));
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
    const Ledger& l = LedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.dir);
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
