// The ledger window's start-up on synthetic ledgers: opening the two tables,
// creation (settings, tabs from the first and last totals record, the
// order) and the delayed start-up's first month view. Compared as ratios in
// one run: the cost must follow the month shown, not the size of the ledger.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/questions.h"
#include "core/ledger/record_store.h"
#include "core/ledgerwin/receive_data_form.h"

namespace {

using namespace ravelto;
namespace fs = std::filesystem;

// Nobody to ask: the start directory holds User.INI and no password.
class NoQuestions : public Questions {
  public:
    Answer Message(const MessageRequest&) override { return Answer::Cancel; }
    std::optional<std::string> InputBox(const InputRequest&) override { return {}; }
    std::optional<fs::path> OpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<fs::path> SaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> AskPassword(const PasswordRequest&) override { return {}; }
    CompanyInfoResult EditCompanyInfo(const CompanyInfoRequest& r) override {
        return {false, r.values};
    }
    std::optional<TitleColors> EditTitleColors(const TitleColorsRequest&) override { return {}; }
    std::optional<std::vector<std::string>> EditList(const ListEditRequest&) override { return {}; }
    void ShowVersion() override {}
};

fs::path StartDirOf(int records) {
    static std::map<int, fs::path> made;
    auto it = made.find(records);
    if (it != made.end()) return it->second;
    const fs::path dir =
        fs::temp_directory_path() /
        ("ravelto-window-bench-" + std::to_string(::getpid()) + "-" + std::to_string(records));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "User.INI") << "a\r\n";
    {
        store::Database db(dir / "CARDATA");
        ledger::GeneratorOptions o;
        o.records = records;
        ledger::GenerateLedger(db, o);
    }
    return made.emplace(records, dir).first->second;
}

void BM_StartupToFirstMonthView(benchmark::State& state) {
    const fs::path start = StartDirOf(static_cast<int>(state.range(0)));
    const FixedClock clock({2002, 12, 25});
    NoQuestions questions;
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

}  // namespace
