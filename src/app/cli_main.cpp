// ravelto-cli: runs core commands headless.
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "core/accounting/name_group_generator.h"
#include "core/ledger/cp932.h"
#include "core/ledger/ledger_generator.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"

namespace {

constexpr const char* kUsage =
    "使い方: ravelto-cli --version\n"
    "        ravelto-cli generate --records 件数 --dir フォルダ [--seed 数] [--per-month 件数] "
    "[--settle-day 日] [--name-groups 組数]\n";

std::optional<long long> Number(std::string_view text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Writes a synthetic ledger into DIR/receive.DB and DIR/RcivTotal.db, and name
// groups of its customers into DIR/RcTotalName.DB when asked.
int Generate(int argc, char** argv) {
    ravelto::ledger::GeneratorOptions options;
    std::string dir;
    bool have_records = false;
    int name_groups = 0;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (i + 1 >= argc) {
            std::cerr << "「" << arg << "」の値がありません。\n" << kUsage;
            return 2;
        }
        std::string_view value = argv[++i];
        if (arg == "--dir") {
            dir = value;
            continue;
        }
        auto n = Number(value);
        if (!n) {
            std::cerr << "「" << arg << "」の値「" << value << "」は数ではありません。\n";
            return 2;
        }
        if (arg == "--records" && *n >= 1 && *n <= 10000000) {
            options.records = static_cast<int>(*n);
            have_records = true;
        } else if (arg == "--seed") {
            options.seed = static_cast<uint64_t>(*n);
        } else if (arg == "--per-month" && *n >= 1 && *n <= 100000) {
            options.per_month = static_cast<int>(*n);
        } else if (arg == "--settle-day" &&
                   (*n == 0 || *n == 5 || *n == 10 || *n == 15 || *n == 20 || *n == 25)) {
            options.settle_day = static_cast<int>(*n);
        } else if (arg == "--name-groups" && *n <= 10000) {
            name_groups = static_cast<int>(*n);
        } else {
            std::cerr << "「" << arg << " " << value << "」は使えません。\n" << kUsage;
            return 2;
        }
    }
    if (dir.empty() || !have_records) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        ravelto::store::Database db(dir);
        if (db.Open(ravelto::ledger::ReceiveTable()).RecordCount() > 0 ||
            db.Open(ravelto::ledger::TotalsTable()).RecordCount() > 0) {
            std::cerr << "「" << dir
                      << "」の台帳には既にレコードがあります。空のフォルダを指定してください。\n";
            return 1;
        }
        auto made = ravelto::ledger::GenerateLedger(db, options);
        std::cout << made.records << "件の台帳と" << made.month_labels.size()
                  << "か月分の合計を作りました（" << ravelto::Cp932ToUtf8(made.month_labels.front())
                  << "～" << ravelto::Cp932ToUtf8(made.month_labels.back()) << "）。\n";
        if (name_groups > 0)
            std::cout << ravelto::accounting::GenerateNameGroups(db, name_groups)
                      << "組の合計請求書氏名を作りました。\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "ravelto-cli 1.20\n";
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "generate") == 0) return Generate(argc, argv);
    std::cerr << kUsage;
    return 2;
}
