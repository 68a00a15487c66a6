// The ledger window's start-up on synthetic ledgers: opening the two tables,
// creation (settings, tabs from the first and last totals record, the
// order) and the delayed start-up's first month view. Compared as ratios in
// one run: the cost must follow the month shown, not the size of the ledger.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench_ledgers.h"
#include "core/accounting/name_groups.h"
#include "core/ledger/cp932.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/questions.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/receive_data_form.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

void BM_StartupToFirstMonthView(benchmark::State& state) {
    const fs::path start = bench::GeneratedLedgerOf(static_cast<int>(state.range(0))).start_dir;
    const FixedClock clock({2002, 12, 25});
    bench::NoQuestions questions;
    int shown = 0;
    for (auto _ : state) {
        store::Database db(start / "CARDATA");
        store::Table& ledger = db.Open(ledger::ReceiveTable());
        store::Table& totals = db.Open(ledger::TotalsTable());
        ledgerwin::ReceiveDataForm form(ledger, totals, clock, start, questions, {});
        form.FormCreate();
        form.Timer1Timer();
        shown = form.View().record_count;
        benchmark::DoNotOptimize(shown);
    }
    state.counters["records_in_view"] = shown;
}
BENCHMARK(BM_StartupToFirstMonthView)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// A window past its start-up on the generated ledger of `records`.
struct OpenWindow {
    explicit OpenWindow(int records)
        : start(bench::GeneratedLedgerOf(records).start_dir),
          clock({2002, 12, 25}),
          db(start / "CARDATA"),
          ledger(db.Open(ledger::ReceiveTable())),
          totals(db.Open(ledger::TotalsTable())),
          groups(db.Open(accounting::TotalNameTable())),
          form(ledger, totals, clock, start, questions, {}) {
        form.SetNameGroups(&groups);
        form.FormCreate();
        form.Timer1Timer();
    }
    fs::path start;
    FixedClock clock;
    bench::NoQuestions questions;
    store::Database db;
    store::Table& ledger;
    store::Table& totals;
    store::Table& groups;
    ledgerwin::ReceiveDataForm form;
};

// From one month of about 800 records to another, and back.
void BM_TabChangeToMonth(benchmark::State& state) {
    OpenWindow w(static_cast<int>(state.range(0)));
    int tab = 2;
    for (auto _ : state) {
        w.form.SelectTab(tab);
        tab = tab == 2 ? 3 : 2;
        benchmark::DoNotOptimize(w.form.View().record_count);
    }
    state.counters["records_in_view"] = w.form.View().record_count;
}
BENCHMARK(BM_TabChangeToMonth)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the newest month to the personal view of a customer of the month who
// has about 200 records in the whole ledger.
void BM_TabChangeToPersonal(benchmark::State& state) {
    OpenWindow w(static_cast<int>(state.range(0)));
    const std::string name_field = sj("氏名");
    std::map<std::string, int> all;
    w.ledger.SetFiltered(false);
    for (int n = 1; n <= w.ledger.RecordCount(); ++n)
        ++all[w.ledger.ReadAt(n).Text(name_field)];
    w.form.SelectTab(1);
    std::string customer;
    for (int n = 1; n <= w.ledger.RecordCount(); ++n) {
        const std::string& name = w.ledger.ReadAt(n).Text(name_field);
        if (customer.empty() || std::abs(all[name] - 200) < std::abs(all[customer] - 200))
            customer = name;
    }
    for (auto _ : state) {
        state.PauseTiming();
        w.form.SelectTab(1);
        w.ledger.Locate(name_field, {customer}, false);
        state.ResumeTiming();
        w.form.SelectTab(0);
        benchmark::DoNotOptimize(w.form.View().record_count);
    }
    state.counters["records_in_view"] = w.form.View().record_count;
    state.counters["customer_records"] = all[customer];
}
BENCHMARK(BM_TabChangeToPersonal)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
