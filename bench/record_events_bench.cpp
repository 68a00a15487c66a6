// Record entry as the window drives it: a click on a record panel, an amount
// typed into 入金額1 and committed, the field left (CarCalc), the post button
// (the ledger record and the month's totals record in one transaction).
// Compare the 1,000 and 100,000 figures: the cost must not grow with the ledger.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/record_events.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

fs::path BenchRoot() {
    static const fs::path root = [] {
        fs::path p =
            fs::temp_directory_path() / ("ravelto-events-bench-" + std::to_string(::getpid()));
        fs::create_directories(p);
        return p;
    }();
    return root;
}

struct Generated {
    fs::path dir;
    ledger::GeneratedLedger info;
};

const Generated& LedgerOf(int records) {
    static std::map<int, Generated> made;
    auto it = made.find(records);
    if (it != made.end()) return it->second;
    Generated g;
    g.dir = BenchRoot() / ("ledger-" + std::to_string(records));
    fs::remove_all(g.dir);
    store::Database db(g.dir);
    ledger::GeneratorOptions o;
    o.records = records;
    g.info = ledger::GenerateLedger(db, o);
    return made.emplace(records, g).first->second;
}

// Nobody answers: the bench never asks.
class NoQuestions : public Questions {
  public:
    Answer Message(const MessageRequest&) override { return Answer::Ok; }
    std::optional<std::string> InputBox(const InputRequest&) override { return std::nullopt; }
    std::optional<fs::path> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<fs::path> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> AskPassword(const PasswordRequest&) override { return std::nullopt; }
    CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& r) override {
        return {false, r.values};
    }
    std::optional<TitleColors> EditTitleColors(const TitleColorsRequest&) override {
        return std::nullopt;
    }
    std::optional<std::vector<std::string>> EditList(const ListEditRequest&) override {
        return std::nullopt;
    }
    void ShowVersion() override {}
};

void BM_TypeAmountAndPost(benchmark::State& state) {
    const Generated& g = LedgerOf(static_cast<int>(state.range(0)));
    store::Database db(g.dir);
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
    NoQuestions questions;
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
