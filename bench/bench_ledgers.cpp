#include "bench_ledgers.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "core/ledger/record_store.h"

namespace ravelto::bench {

namespace fs = std::filesystem;

const fs::path& BenchRoot() {
    static const fs::path root = [] {
        fs::path p = fs::temp_directory_path() / ("ravelto-bench-" + std::to_string(::getpid()));
        fs::remove_all(p);
        fs::create_directories(p);
        return p;
    }();
    // Ledgers of 100,000 records are large: leave nothing behind. Registered
    // once root exists, so it runs before root is destroyed.
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(BenchRoot(), ec);
        });
        return true;
    }();
    (void)cleanup;
    return root;
}

const BenchLedger& GeneratedLedgerOf(int records) {
    static std::map<int, BenchLedger> made;
    auto it = made.find(records);
    if (it != made.end()) return it->second;
    BenchLedger l;
    l.start_dir = BenchRoot() / ("ledger-" + std::to_string(records));
    l.data_dir = l.start_dir / "CARDATA";
    fs::create_directories(l.start_dir);
    std::ofstream(l.start_dir / "User.INI") << "a\r\n";
    store::Database db(l.data_dir);
    ledger::GeneratorOptions o;
    o.records = records;
    l.info = ledger::GenerateLedger(db, o);
    return made.emplace(records, std::move(l)).first->second;
}

}  // namespace ravelto::bench
