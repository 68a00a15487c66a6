// The record store on synthetic ledgers. Figures are compared as ratios in
// one run: above all, a month view must cost the same whether the ledger
// holds 10,000 or 100,000 records.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_ledgers.h"
#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

// The month before the newest: 800 records in every ledger of these sizes.
std::string MonthFilter(const bench::BenchLedger& l) {
    const std::string& label = l.info.month_labels[l.info.month_labels.size() - 2];
    std::string f = "(";
    f.append(sj("売上日")).append(" = ").append(store::QuoteValue(label + "*")).append(")");
    return f;
}

void BM_OpenLedger(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        store::Database db(l.data_dir);
        store::Table& t = db.Open(ledger::ReceiveTable());
        benchmark::DoNotOptimize(t.Text(ledger::rcv::kName));
    }
}
BENCHMARK(BM_OpenLedger)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Select the month (ledger in the order at start) and walk it, reading the
// fields a record panel shows.
void BM_MonthView(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.data_dir);
    store::Table& t = db.Open(ledger::ReceiveTable());
    t.SetOrder(ledger::OrderDescending());
    const std::string month = MonthFilter(l);
    int64_t seen = 0;
    for (auto _ : state) {
        t.SetFilter("");
        t.SetFiltered(true);
        t.SetFilter(month);
        for (t.First(); !t.Eof(); t.Next()) {
            benchmark::DoNotOptimize(t.Text(ledger::rcv::kName));
            benchmark::DoNotOptimize(t.Int(ledger::rcv::kBalance));
            ++seen;
        }
    }
    state.counters["records"] = static_cast<double>(t.RecordCount());
    state.SetItemsProcessed(seen);
}
BENCHMARK(BM_MonthView)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The month filter alone (the view is read, no record is).
void BM_MonthFilter(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.data_dir);
    store::Table& t = db.Open(ledger::ReceiveTable());
    t.SetOrder(ledger::OrderDescending());
    t.SetFiltered(true);
    const std::string month = MonthFilter(l);
    for (auto _ : state) {
        t.SetFilter(month);
        benchmark::DoNotOptimize(t.RecordCount());
    }
}
BENCHMARK(BM_MonthFilter)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_LocatePartial(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.data_dir);
    store::Table& t = db.Open(ledger::ReceiveTable());
    t.SetOrder(ledger::OrderDescending());
    t.SetFilter(MonthFilter(l));
    t.SetFiltered(true);
    // The last record of the view, found by the start of its number and name.
    store::Record last = t.ReadAt(t.RecordCount());
    std::vector<std::string> values = {last.Text(ledger::rcv::kRegNo).substr(0, 8),
                                       last.Text(ledger::rcv::kName).substr(0, 4)};
    const std::string fields = sj("登録番号;氏名");
    for (auto _ : state) {
        t.First();
        benchmark::DoNotOptimize(t.Locate(fields, values, true));
    }
}
BENCHMARK(BM_LocatePartial)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_EditAndPost(benchmark::State& state) {
    const bench::BenchLedger& l = bench::GeneratedLedgerOf(static_cast<int>(state.range(0)));
    store::Database db(l.data_dir);
    store::Table& t = db.Open(ledger::ReceiveTable());
    t.SetOrder(ledger::OrderDescending());
    t.SetFilter(MonthFilter(l));
    t.SetFiltered(true);
    t.SetRecNo(t.RecordCount() / 2);
    int32_t v = 0;
    for (auto _ : state) {
        t.Edit();
        t.SetInt(ledger::rcv::kAdjustment, ++v % 1000);
        t.Post();
    }
}
BENCHMARK(BM_EditAndPost)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_Append10000InOneTransaction(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::path dir = bench::BenchRoot() / ("append-" + std::to_string(n++));
        fs::remove_all(dir);
        state.ResumeTiming();
        store::Database db(dir);
        ledger::GeneratorOptions o;
        o.records = 10000;
        benchmark::DoNotOptimize(ledger::GenerateLedger(db, o).records);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_Append10000InOneTransaction)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
